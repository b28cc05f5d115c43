// The loaders of the main window's shared lists: dishes, categories, the
// foods of a category and units.
#include "app/bindings.h"
#include "app/fmain.h"
#include "app/program.h"
#include "core/dish/dishsession.h"
#include "core/store/datasource.h"
#include "core/store/numberreader.h"
#include "core/store/queries.h"

#include <QLineEdit>
#include <QPushButton>

void Fmain::LoadDishList()
{
    m_dish->setConnectionString(program().DbConnectionString);
    m_dish->loadDishes();
    bindDishBoxes();
}

void Fmain::bindDishBoxes()
{
    if (!m_dish->hasDish()) {
        for (QPushButton *button : dishButtons())
            button->setEnabled(false);
    }
    FieldBinding::bind(TexTitle, AdoMnu, QStringLiteral("アイテム名"));
    FieldBinding::bind(TexID, AdoMnu, QStringLiteral("ID"));
}

void Fmain::LoadCategoryList()
{
    AdoEys1->setConnectionString(program().DbConnectionString);
    AdoEys1->setRecordSource(Queries::categories());
    AdoEys1->refresh();
    categoryList->setRowSource(AdoEys1, QStringLiteral("分類名"), QStringLiteral("分類№"));
}

void Fmain::LoadCategoryFoods()
{
    // The category number is held here, not in CurrentId; with no category
    // selected it stays 0.
    const qint64 category = NumberReader::key(categoryList->boundText()).value_or(0);
    AdoEys2->setConnectionString(program().DbConnectionString);
    AdoEys2->setRecordSource(Queries::categoryFoods(category));
    AdoEys2->refresh();
    foodList->setRowSource(AdoEys2, QStringLiteral("SNM"), QStringLiteral("SID"));
}

void Fmain::LoadUnitList()
{
    m_dish->loadUnits();
    unitCombo->setRowSource(AdoTni, QStringLiteral("TNM"), QStringLiteral("KAK"));
    unitCombo->setText(QStringLiteral("ｇ"));
}

// The chosen food changed: its own measures come first in the unit list, and
// the unit shown counts at the food's own weight. The unit text stays; the
// weight factor is recomputed, since the same unit may now weigh otherwise.
// A store without measures keeps the unit table alone.
void Fmain::LoadFoodUnits()
{
    if (AdoTni->recordSource().isEmpty())
        return; // before LoadUnitList: nothing to reorder yet
    const QString unit = unitCombo->text();
    m_dish->loadUnits(NumberReader::key(foodIdBox->text()).value_or(0));
    unitCombo->setRowSource(AdoTni, QStringLiteral("TNM"), QStringLiteral("KAK"));
    unitCombo->setText(unit);
    recalcWeight();
}
