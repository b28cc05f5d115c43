#include "search/frmschf.h"

FrmSchF::FrmSchF(Program &program, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_program(program)
{
    setObjectName(QStringLiteral("frmSchF"));
    setWindowTitle(QStringLiteral("食品素材の検索"));
}
