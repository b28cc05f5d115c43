#include "nutrition/frmkij.h"

FrmKij::FrmKij(Program &program, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_program(program)
{
    setObjectName(QStringLiteral("frmKij"));
    setWindowTitle(QStringLiteral("基準値との比較"));
}
