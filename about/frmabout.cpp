#include "about/frmabout.h"

FrmAbout::FrmAbout(Program &program, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_program(program)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("ゼントのﾊﾞｰｼﾞｮﾝ情報"));
}
