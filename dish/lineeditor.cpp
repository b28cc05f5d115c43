// The line editor: choosing a food, the weight factor, adding, updating and
// deleting ingredient lines.
#include "app/fmain.h"
#include "app/program.h"
#include "app/prompts.h"
#include "app/bindings.h"
#include "core/store/datasource.h"
#include "core/store/numberreader.h"
#include "core/store/numbertext.h"

#include <QLineEdit>

namespace {

// The five fields of a line, in the order they are written, from the line
// editor's boxes. Quantities are read by their leading number, so "１．５"
// typed with a Japanese input method is stored as 1.5, as the weight factor
// read it.
void assignLine(Fmain &w)
{
    DataSource *kou = w.AdoKou;
    kou->setValue(QStringLiteral("アイテムCD"), w.TexID->text());
    kou->setValue(QStringLiteral("食品コード"), w.foodIdBox->text());
    kou->setValue(QStringLiteral("数量"), NumberText::leading(w.quantityBox->text()));
    kou->setValue(QStringLiteral("数量2"), NumberText::leading(w.weightFactorBox->text()));
    kou->setValue(QStringLiteral("単位"), w.unitCombo->text());
}

bool foodChosen(Fmain &w)
{
    if (NumberText::leading(w.foodIdBox->text()) != 0)
        return true;
    w.program().prompts().message(QStringLiteral("上の「食品名」欄から食品を選んでください"),
                                  Prompts::Buttons::Ok, Prompts::Icon::Exclamation,
                                  QStringLiteral("栄養計算"));
    return false;
}

bool hasDish(Fmain &w)
{
    return !w.AdoMnu->bof() && !w.AdoMnu->eof();
}

} // namespace

bool Fmain::storeOrDrop(DataSource *source, const QString &what)
{
    if (source->update())
        return true;
    const QString reason = source->errorString();
    source->cancelUpdate();
    program().prompts().message(what + QStringLiteral("を書き込めませんでした。\n") + reason,
                                Prompts::Buttons::Ok, Prompts::Icon::Critical);
    return false;
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

// Text2 or DataCombo1 changed: Text3 ← quantity × KAK ÷ 100. While either
// text is not a number (the quantity half typed, a unit not in the list, the
// unit list not loaded yet) Text3 keeps what it holds.
void Fmain::recalcWeight()
{
    const auto kak = NumberReader::number(unitCombo->boundText());
    const auto quantity = NumberReader::number(quantityBox->text());
    if (!kak || !quantity)
        return;
    weightFactorBox->setText(NumberText::general(*kak * *quantity / 100));
}

// Command2 "追加".
void Fmain::addLine()
{
    if (foodChosen(*this) && hasDish(*this) && AdoKou->addNew()) {
        assignLine(*this);
        if (storeOrDrop(AdoKou, QStringLiteral("材料の行"))) {
            AdoKou->requery();
            LoadDishComposition();
        }
    }
    recipeGrid->viewport()->update();
    CalcDishWeight();
    CalcDishNutrients();
}

// Command11 "更新": rewrites the line under the grid's current row. Without a
// current row there is nothing to rewrite, and without a chosen food the line
// would lose its food (and vanish from the grid while still weighing in the
// total), so both change nothing.
void Fmain::updateLine()
{
    if (recipeGrid->currentRecord() < 0 || !hasDish(*this))
        return;
    if (!foodChosen(*this))
        return;
    assignLine(*this);
    if (!storeOrDrop(AdoKou, QStringLiteral("材料の行")))
        return;
    AdoKou->requery();
    LoadDishComposition();
    CalcDishWeight();
    CalcDishNutrients();
}

// Command6 "削除" (line).
void Fmain::deleteLine()
{
    DeleteSelectedLine();
    UpdateDishTotals();
}

// Every failure is passed over and the next step runs. Only a line of the
// current dish is deleted: a line selected in another dish was cleared when
// the dish changed, and is never taken for this one.
void Fmain::DeleteSelectedLine()
{
    if (m_selectedLineDish && *m_selectedLineDish == takeDishKey())
        AdoKou2->deleteCurrent();
    AdoKou2->refresh();
    LoadDishComposition();
    BindSelectedLine();
}
