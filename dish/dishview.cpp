// Recipe view of the current dish and navigation between dishes.
#include "app/bindings.h"
#include "app/fmain.h"
#include "app/program.h"
#include "core/store/datasource.h"
#include "core/store/numberreader.h"
#include "core/store/queries.h"

#include <QLineEdit>

namespace {

const QString recipeFood = QStringLiteral("素材");
const QString recipeQuantity = QStringLiteral("数量");
const QString recipeUnit = QStringLiteral("単位");

// A key from a box or a grid cell; nothing for empty or non-numeric text.
std::optional<qint64> keyOf(const QString &text)
{
    return NumberReader::key(text);
}

} // namespace

qint64 Fmain::takeDishKey()
{
    // Keys start at 1 (AUTOINCREMENT): 0 names no dish. Keeping whatever
    // CurrentId last held instead would show the dish, food or line that some
    // other routine queried last.
    program().CurrentId = keyOf(TexID->text()).value_or(0);
    return program().CurrentId;
}

void Fmain::clearSelectedLine()
{
    m_selectedLineDish.reset();
    FieldBinding::unbind(TexKouID);
    TexKouID->clear();
}

// Runs every step even when one fails; a failed query leaves an empty grid.
void Fmain::LoadDishComposition()
{
    const qint64 dish = takeDishKey();
    if (m_selectedLineDish && *m_selectedLineDish != dish)
        clearSelectedLine();

    AdoKou->setConnectionString(program().DbConnectionString);
    AdoKou->setRecordSource(Queries::dishLines(program().CurrentId));
    AdoKou->refresh();
    recipeGrid->setDataSource(AdoKou);

    // Hidden columns first, then the three shown ones, then the alignment.
    const int food = AdoKou->fieldIndex(recipeFood);
    const int quantity = AdoKou->fieldIndex(recipeQuantity);
    const int unit = AdoKou->fieldIndex(recipeUnit);
    for (int column = 0; column < AdoKou->fieldCount(); ++column) {
        if (column != food && column != quantity && column != unit)
            recipeGrid->setColumnWidthTwips(column, 0);
    }
    if (food >= 0)
        recipeGrid->setColumnWidthTwips(food, 3000);
    if (quantity >= 0)
        recipeGrid->setColumnWidthTwips(quantity, 800);
    if (unit >= 0)
        recipeGrid->setColumnWidthTwips(unit, 800);
    if (quantity >= 0)
        recipeGrid->setColumnAlignment(quantity, Qt::AlignRight);
    recipeGrid->viewport()->update();
}

// Stops at the first failure (no current row, an ID that is not a number);
// AdoKou2 then keeps the line it held.
void Fmain::BindSelectedLine()
{
    const auto line = keyOf(recipeGrid->cellText(AdoKou->fieldIndex(QStringLiteral("ID"))));
    if (!line)
        return;
    program().CurrentId = *line;
    AdoKou2->setConnectionString(program().DbConnectionString);
    AdoKou2->setRecordSource(Queries::selectedLine(program().CurrentId));
    FieldBinding::bind(TexKouID, AdoKou2, QStringLiteral("ID"));
    AdoKou2->refresh();
    m_selectedLineDish =
        keyOf(recipeGrid->cellText(AdoKou->fieldIndex(QStringLiteral("アイテムCD"))));
}

void Fmain::UpdateDishTotals()
{
    CalcDishWeight();
    CalcDishNutrients();
}

// DataGrid1 click: the clicked line goes into the line editor. The quantity
// and the unit each recompute the weight factor; the unit comes last, so
// Text3 ends as quantity × the unit's present KAK, which is the stored factor
// unless the unit table changed since (or the unit is gone from it, and the
// stored factor stays).
void Fmain::selectLine()
{
    if (recipeGrid->currentRecord() < 0)
        return; // an empty grid: nothing to take
    foodNameBox->setText(recipeGrid->cellText(AdoKou->fieldIndex(recipeFood)));
    quantityBox->setText(recipeGrid->cellText(AdoKou->fieldIndex(recipeQuantity)));
    weightFactorBox->setText(recipeGrid->cellText(AdoKou->fieldIndex(QStringLiteral("数量2"))));
    foodIdBox->setText(recipeGrid->cellText(AdoKou->fieldIndex(QStringLiteral("食品コード"))));
    unitCombo->setText(recipeGrid->cellText(AdoKou->fieldIndex(recipeUnit)));
    BindSelectedLine();
}

// Command7 "＜". Before the first dish the pointer goes back to it and the
// grid, which already shows it, is left alone.
void Fmain::previousDish()
{
    dropEmptyDishName();
    AdoMnu->movePrevious();
    if (AdoMnu->bof())
        AdoMnu->moveFirst();
    else
        LoadDishComposition();
    UpdateDishTotals();
}

// Command3 "＞". Past the last dish the pointer goes back to it.
void Fmain::nextDish()
{
    dropEmptyDishName();
    AdoMnu->moveNext();
    if (AdoMnu->eof())
        AdoMnu->moveLast();
    else
        LoadDishComposition();
    UpdateDishTotals();
}

// Command4 "＞|".
void Fmain::lastDish()
{
    dropEmptyDishName();
    AdoMnu->moveLast();
    LoadDishComposition();
    UpdateDishTotals();
}

void Fmain::openComparison()
{
    program().showComparison();
}
