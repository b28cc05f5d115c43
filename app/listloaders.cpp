// The loaders of the main window's shared lists: dishes, categories, the
// foods of a category and units.
#include "app/fmain.h"
#include "app/program.h"
#include "app/bindings.h"
#include "core/store/datasource.h"

#include <QLineEdit>
#include <QPushButton>

void Fmain::LoadDishList()
{
    // The refresh would store a name box left empty.
    dropEmptyDishName();
    AdoMnu->setConnectionString(program().DbConnectionString);
    AdoMnu->setRecordSource(QStringLiteral("SELECT mnu.* FROM mnu"));
    AdoMnu->refresh();
    if (AdoMnu->eof()) {
        for (QPushButton *button : dishButtons())
            button->setEnabled(false);
    }
    FieldBinding::bind(TexTitle, AdoMnu, QStringLiteral("アイテム名"));
    FieldBinding::bind(TexID, AdoMnu, QStringLiteral("ID"));
}

void Fmain::LoadCategoryList()
{
    AdoEys1->setConnectionString(program().DbConnectionString);
    AdoEys1->setRecordSource(QStringLiteral("SELECT bun.* FROM bun"));
    AdoEys1->refresh();
    categoryList->setRowSource(AdoEys1, QStringLiteral("分類名"), QStringLiteral("分類№"));
}

void Fmain::LoadCategoryFoods()
{
    // The category number is held here, not in CurrentId; with no category
    // selected it stays 0.
    qint64 category = 0;
    bool ok = false;
    const qint64 selected = categoryList->boundText().toLongLong(&ok);
    if (ok)
        category = selected;
    AdoEys2->setConnectionString(program().DbConnectionString);
    AdoEys2->setRecordSource(QStringLiteral("SELECT eys.* FROM eys WHERE(eys.BID =")
                             + QString::number(category) + QStringLiteral(")"));
    AdoEys2->refresh();
    foodList->setRowSource(AdoEys2, QStringLiteral("SNM"), QStringLiteral("SID"));
}

void Fmain::LoadUnitList()
{
    AdoTni->setConnectionString(program().DbConnectionString);
    AdoTni->setRecordSource(QStringLiteral("SELECT tni.* FROM tni"));
    AdoTni->refresh();
    unitCombo->setRowSource(AdoTni, QStringLiteral("TNM"), QStringLiteral("KAK"));
    unitCombo->setText(QStringLiteral("ｇ"));
}
