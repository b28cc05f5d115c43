#include "settings/frmconfig.h"

#include <QCheckBox>
#include <QComboBox>

FrmConfig::FrmConfig(Program &program, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_program(program)
{
    setObjectName(QStringLiteral("frmConfig"));
    setWindowTitle(QStringLiteral("栄養価計算の設定"));
    Check1 = new QCheckBox(QStringLiteral("表紙の表示"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
}
