#include "foods/seibn.h"

#include "data/datasource.h"

Seibn::Seibn(Program &program, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_program(program)
{
    setObjectName(QStringLiteral("Seibn"));
    setWindowTitle(QStringLiteral("栄養成分"));
    Adodc1 = new DataSource(this);
    Adodc1->setObjectName(QStringLiteral("Adodc1"));
    Adodc2 = new DataSource(this);
    Adodc2->setObjectName(QStringLiteral("Adodc2"));
}

void Seibn::BindFoodEditor() {}
void Seibn::LoadFoodRecord() {}
void Seibn::BeginNewFood() {}
