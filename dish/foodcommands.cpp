// The main window's commands on the food table: showing the chosen food,
// entering a new one, deleting the chosen one.
#include "app/bindings.h"
#include "app/fmain.h"
#include "app/program.h"
#include "app/prompts.h"
#include "core/foods/foodrecord.h"
#include "core/store/datasource.h"
#include "dish/lineeditor.h"
#include "foods/seibn.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

void bringUp(Seibn *editor)
{
    editor->program().placeBesideMain(editor);
    editor->show();
    editor->raise();
    editor->activateWindow();
}

} // namespace

// Command1 "食材". The editor keeps its state: left in add mode, it opens in
// add mode.
void Fmain::showFood()
{
    Seibn *editor = program().seibn();
    if (!editor)
        return;
    bringUp(editor);
    editor->LoadFoodRecord(chosenFood().value_or(0));
}

// Me_data_addnew "新規登録".
void Fmain::newFood()
{
    Seibn *editor = program().seibn();
    if (!editor)
        return;
    editor->enterAddMode();
    bringUp(editor);
    editor->BeginNewFood(chosenFood().value_or(0));
}

// Me_data_del "削除". The food deleted is the one selected in the food list,
// the food the user sees, and the confirmation names it by its stored name.
// With no food selected there the command says so and deletes nothing.
void Fmain::deleteFood()
{
    Seibn *editor = program().seibn();
    if (!editor)
        return;
    Prompts &prompts = program().prompts();
    const QString title = QStringLiteral("食品の削除");
    const std::optional<qint64> chosen = selectedFood();
    if (!chosen) {
        prompts.message(QStringLiteral("削除する食品を「食品名」の一覧で選んでください"),
                        Prompts::Buttons::Ok, Prompts::Icon::None, title);
        return;
    }
    const qint64 id = *chosen;

    // 1. Narrow the editor's rows to the food; a change the editor could not
    // store (the user has been told) stops the command.
    if (!editor->LoadFoodRecord(id))
        return;
    const std::optional<QString> stored = editor->loadedFoodName(id);
    if (!stored)
        return; // no such food (any more): nothing to name, nothing to delete

    // 2-3. Confirmation; it says how many dishes lose the food's lines.
    const QString name = *stored;
    const int dishes = FoodRecord::dishesUsing(program().DbConnectionString, id);
    if (prompts.message(FoodRecord::deletionQuestion(name, dishes), Prompts::Buttons::OkCancel,
                        Prompts::Icon::None, title) != Prompts::Answer::Ok)
        return;

    // 4-6. Delete, then report. A refused deletion is told as such, never as
    // done.
    QString error;
    if (!editor->deleteLoadedFood(&error)) {
        prompts.message(name + QStringLiteral("を削除できませんでした。\n") + error,
                        Prompts::Buttons::Ok, Prompts::Icon::Critical, title);
        return;
    }
    prompts.message(name + QStringLiteral("を削除しました"), Prompts::Buttons::Ok,
                    Prompts::Icon::None, title);

    // 7-8. The first dish becomes current.
    LoadDishList();
    LoadDishComposition();

    // 9-11. The food list forgets the food, the lists are read again; the
    // line editor no longer names a food that does not exist, and the totals
    // are those of the dish now current.
    m_lineEditor->forgetFood();
    UpdateDishTotals();
}
