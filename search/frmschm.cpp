#include "search/frmschm.h"

FrmSchM::FrmSchM(Program &program, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_program(program)
{
    setObjectName(QStringLiteral("frmSchM"));
    setWindowTitle(QStringLiteral("ﾒﾆｭｰ一覧"));
}
