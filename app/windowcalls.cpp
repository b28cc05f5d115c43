// The typed calls through which the secondary windows reach the main window.
#include "app/bindings.h"
#include "app/fmain.h"
#include "core/store/datasource.h"
#include "foods/foodlists.h"

#include <QLineEdit>

namespace {

std::optional<qint64> keyOf(const QString &text)
{
    bool isNumber = false;
    const qint64 key = text.trimmed().toLongLong(&isNumber);
    return isNumber ? std::optional<qint64>(key) : std::nullopt;
}

} // namespace

qint64 Fmain::currentDish() const
{
    return keyOf(TexID->text()).value_or(0);
}

bool Fmain::showDish(qint64 dishKey)
{
    // The first dish with the key, first to last; without one the current
    // dish stays as it was.
    DataSource *dishes = AdoMnu;
    const int idColumn = dishes->fieldIndex(QStringLiteral("Id"));
    const int count = idColumn < 0 ? 0 : dishes->recordCount();
    int found = -1;
    for (int row = 0; row < count && found < 0; ++row) {
        bool isNumber = false;
        const qint64 id = dishes->value(row, idColumn).toLongLong(&isNumber);
        if (isNumber && id == dishKey)
            found = row;
    }
    if (found < 0)
        return false;
    dishes->moveTo(found); // a refused pending change keeps the pointer where it is
    LoadDishComposition();
    CalcDishWeight();
    CalcDishNutrients();
    return true;
}

void Fmain::takeFood(qint64 foodId)
{
    // The food's name and category as the store holds them.
    DataSource food;
    food.setConnectionString(AdoEys1->connectionString());
    food.setRecordSource(QStringLiteral("SELECT eys.SNM,bun.分類名 FROM eys,bun "
                                        "WHERE((bun.分類№=eys.BID) AND (eys.SID=") +
                         QString::number(foodId) + QStringLiteral("))"));
    if (!food.refresh() || food.eof())
        return;
    const QString foodName = food.text(QStringLiteral("SNM"));
    const QString category = food.text(QStringLiteral("分類名"));
    foodNameBox->setText(foodName);
    foodIdBox->setText(QString::number(foodId));
    quantityBox->setText(QStringLiteral("100"));
    unitCombo->setText(QStringLiteral("ｇ"));
    // A category name that is not in the list selects nothing; the food list
    // then shows no category's foods and selects nothing either.
    categoryList->setText(category);
    LoadCategoryFoods();
    foodList->setText(foodName);
    // Two foods of one category may share a name: the list must show the very
    // food whose key the line editor now holds.
    const QString key = QString::number(foodId);
    if (foodList->boundText() != key)
        foodList->setBoundText(key);
}

void Fmain::reloadFoodLists()
{
    FoodLists::reload(*this);
}

std::optional<qint64> Fmain::chosenFood() const
{
    return keyOf(foodIdBox->text());
}
