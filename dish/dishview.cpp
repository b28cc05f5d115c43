// Recipe view of the current dish and navigation between dishes.
#include "app/bindings.h"
#include "app/fmain.h"
#include "app/program.h"
#include "core/dish/dishsession.h"
#include "core/store/datasource.h"

#include <QLineEdit>

namespace {

const QString recipeFood = QStringLiteral("素材");
const QString recipeQuantity = QStringLiteral("数量");
const QString recipeUnit = QStringLiteral("単位");

} // namespace

qint64 Fmain::takeDishKey()
{
    program().CurrentId = m_dish->currentDish();
    return program().CurrentId;
}

// Runs every step even when one fails; a failed query leaves an empty grid.
void Fmain::LoadDishComposition()
{
    takeDishKey();
    m_dish->loadLines();
    showRecipe();
}

void Fmain::showRecipe()
{
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
    showSelectedLine();
}

void Fmain::showSelectedLine()
{
    const bool hasLine = m_dish->selectedLine().has_value();
    if (hasLine) {
        FieldBinding::bind(TexKouID, AdoKou2, QStringLiteral("ID"));
    } else {
        // The selected line belonged to another dish.
        FieldBinding::unbind(TexKouID);
        TexKouID->clear();
    }
    // "更新" and "削除" act on the current line: without one they are off.
    updateLineButton->setEnabled(m_editable && m_dish->hasDish() && hasLine);
    deleteLineButton->setEnabled(m_editable && m_dish->hasDish() && hasLine);
}

// After "追加", "更新" and "削除": the line editor shows the current line.
void Fmain::showCurrentLine()
{
    if (m_dish->selectedLine())
        selectLine();
}

// Stops at the first failure (no current row, an ID that is not a number);
// AdoKou2 then keeps the line it held.
void Fmain::BindSelectedLine()
{
    if (!m_dish->selectLine(recipeGrid->currentRecord()))
        return;
    program().CurrentId = *m_dish->selectedLine();
    showSelectedLine();
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
    if (m_dish->previous())
        LoadDishComposition();
    UpdateDishTotals();
}

// Command3 "＞". Past the last dish the pointer goes back to it.
void Fmain::nextDish()
{
    if (m_dish->next())
        LoadDishComposition();
    UpdateDishTotals();
}

// Command4 "＞|".
void Fmain::lastDish()
{
    m_dish->last();
    LoadDishComposition();
    UpdateDishTotals();
}

void Fmain::openComparison()
{
    program().showComparison();
}
