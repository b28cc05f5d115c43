// The line editor: choosing a food, the weight factor, adding, updating and
// deleting ingredient lines. The dish session checks a line before it is
// stored: the quantity is read once, by the reader of typed numbers, and the
// weight factor stored is the one counted from it and the listed unit.
#include "app/bindings.h"
#include "app/fmain.h"
#include "app/program.h"
#include "app/prompts.h"
#include "core/dish/dishsession.h"
#include "core/store/datasource.h"
#include "core/store/numbertext.h"

#include <QLineEdit>

namespace {

const QString lineMessageTitle = QStringLiteral("栄養計算");

} // namespace

void Fmain::refuseLine(const LineRefusal &refusal)
{
    program().prompts().message(refusal.message, Prompts::Buttons::Ok, Prompts::Icon::Exclamation,
                                lineMessageTitle);
    QWidget *box = refusal.box == LineRefusal::Box::Quantity ? static_cast<QWidget *>(quantityBox)
                   : refusal.box == LineRefusal::Box::Unit   ? static_cast<QWidget *>(unitCombo)
                                                             : static_cast<QWidget *>(foodList);
    if (box->isVisible())
        box->setFocus();
}

void Fmain::tellStoreFailure(const QString &what, const QString &reason)
{
    program().prompts().message(what + QStringLiteral("を書き込めませんでした。\n") + reason,
                                Prompts::Buttons::Ok, Prompts::Icon::Critical);
}

// DataList2 click.
void Fmain::chooseCategory()
{
    LoadCategoryFoods();
}

// DataList3 click: the food, and 100 g of it as a proposal.
void Fmain::chooseFood()
{
    foodNameBox->setText(foodList->text());
    foodIdBox->setText(foodList->boundText());
    quantityBox->setText(QStringLiteral("100"));
    unitCombo->setText(QStringLiteral("ｇ"));
}

// Text2 or DataCombo1 changed: Text3 ← quantity × KAK ÷ 100. While the
// quantity is not wholly a number or the unit is not listed (the quantity half
// typed, the unit list not loaded yet) Text3 keeps what it holds; "追加" and
// "更新" then refuse the line, so a stale factor is never stored.
void Fmain::recalcWeight()
{
    if (const auto factor = m_dish->weightFactor(quantityBox->text(), unitCombo->text()))
        weightFactorBox->setText(NumberText::general(*factor));
}

// Command2 "追加".
void Fmain::addLine()
{
    const auto checked =
        m_dish->checkLine({foodIdBox->text(), quantityBox->text(), unitCombo->text()});
    if (const auto *refusal = std::get_if<LineRefusal>(&checked)) {
        refuseLine(*refusal);
    } else if (m_dish->hasDish()) {
        const LineDraft &line = std::get<LineDraft>(checked);
        weightFactorBox->setText(NumberText::general(line.weightFactor));
        QString error;
        if (m_dish->addLine(line, &error)) {
            showRecipe();
            showCurrentLine();
        } else {
            tellStoreFailure(QStringLiteral("材料の行"), error);
        }
    }
    recipeGrid->viewport()->update();
    UpdateDishTotals();
}

// Command11 "更新": rewrites the line under the grid's current row. Without a
// current row there is nothing to rewrite; a line the editor cannot hold
// whole (no food, a quantity that is not a number, an unlisted unit) is
// refused, as for "追加".
void Fmain::updateLine()
{
    const int row = recipeGrid->currentRecord();
    if (row < 0 || !m_dish->hasDish())
        return;
    const auto checked =
        m_dish->checkLine({foodIdBox->text(), quantityBox->text(), unitCombo->text()});
    if (const auto *refusal = std::get_if<LineRefusal>(&checked)) {
        refuseLine(*refusal);
        return;
    }
    const LineDraft &line = std::get<LineDraft>(checked);
    weightFactorBox->setText(NumberText::general(line.weightFactor));
    QString error;
    if (!m_dish->updateLine(row, line, &error)) {
        tellStoreFailure(QStringLiteral("材料の行"), error);
        return;
    }
    takeDishKey();
    showRecipe();
    showCurrentLine();
    UpdateDishTotals();
}

// Enter in Text2 (数量): "更新" when the editor holds the current line's food
// with another quantity or unit, "追加" otherwise.
void Fmain::quantityEntered()
{
    const int row = recipeGrid->currentRecord();
    const bool sameFood =
        row >= 0 && m_dish->selectedLine() &&
        recipeGrid->cellText(AdoKou->fieldIndex(QStringLiteral("食品コード"))) == foodIdBox->text();
    const bool changed =
        sameFood &&
        (recipeGrid->cellText(AdoKou->fieldIndex(QStringLiteral("数量"))) != quantityBox->text() ||
         recipeGrid->cellText(AdoKou->fieldIndex(QStringLiteral("単位"))) != unitCombo->text());
    if (changed)
        updateLine();
    else
        addLine();
}

// Command6 "削除" (line).
void Fmain::deleteLine()
{
    DeleteSelectedLine();
    UpdateDishTotals();
}

// Every failure is passed over and the next step runs; afterwards the line
// that took the deleted one's place is current, and the editor shows it.
void Fmain::DeleteSelectedLine()
{
    m_dish->deleteSelectedLine();
    takeDishKey();
    showRecipe();
    if (m_dish->selectedLine())
        program().CurrentId = *m_dish->selectedLine();
    showCurrentLine();
}
