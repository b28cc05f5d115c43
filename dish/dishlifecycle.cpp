// The main window's dish row: the dish list, moving between dishes, and
// creating, renaming and deleting dishes; the recipe and the totals follow
// the current dish.
#include "app/bindings.h"
#include "app/fmain.h"
#include "app/program.h"
#include "app/prompts.h"
#include "core/dish/dishsession.h"
#include "core/store/datasource.h"
#include "dish/lineeditor.h"
#include "dish/recipeview.h"
#include "nutrition/totalspanel.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

bool blank(const QString &text)
{
    return text.trimmed().isEmpty();
}

} // namespace

void Fmain::LoadDishList()
{
    m_dish->setConnectionString(program().DbConnectionString);
    m_dish->loadDishes();
    bindDishBoxes();
}

void Fmain::bindDishBoxes()
{
    if (!m_dish->hasDish())
        enableDishButtons(false);
    FieldBinding::bind(TexTitle, m_dish->dishes(), QStringLiteral("アイテム名"));
    FieldBinding::bind(TexID, m_dish->dishes(), QStringLiteral("ID"));
}

// Runs every step even when one fails; a failed query leaves an empty grid.
void Fmain::LoadDishComposition()
{
    m_dish->loadLines();
    m_recipe->showRecipe();
}

void Fmain::UpdateDishTotals()
{
    m_totals->showTotals(m_dish->totals());
    emit dishShown();
    // An open comparison shows the dish the window shows.
    program().followCurrentDish();
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
    refreshDish();
}

// Command8 "新規追加". The new dish becomes current, with an empty recipe and
// empty totals. A dish the store refuses leaves the dish that was current.
void Fmain::newDish()
{
    Prompts &prompts = program().prompts();
    const std::optional<QString> name = prompts.input(
        QStringLiteral("追加する料理名を入力してください"), QStringLiteral("料理の新規追加"));
    if (!name || blank(*name))
        return;

    QString error;
    if (!m_dish->createDish(*name, &error)) {
        prompts.tellWriteFailure(QStringLiteral("料理"), error);
        return;
    }
    bindDishBoxes();
    LoadDishComposition();
    if (!m_lineEditor->lineButtonsEnabled())
        enableDishButtons(true);
    UpdateDishTotals();
}

// Command9 "削除" (dish). The store deletes the dish's lines with it, in the
// same transaction.
void Fmain::deleteDish()
{
    // A name typed into the dish's box is moot: the question names the
    // dish as stored.
    m_dish->revertTypedName();
    if (m_dish->hasDish()) {
        Prompts &prompts = program().prompts();
        const QString name = TexTitle->text();
        // A dish in menus leaves them with it: the question says how many.
        const int days = m_dish->daysUsingCurrentDish();
        const QString inMenus = days > 0
                                    ? QStringLiteral("\nこの料理は献立 %1 日分で使われています。"
                                                     "削除すると、その献立からも除かれます。")
                                          .arg(days)
                                    : QString();
        if (prompts.message(name + QStringLiteral("を削除します") + inMenus,
                            Prompts::Buttons::OkCancel, Prompts::Icon::None,
                            QStringLiteral("料理の削除")) == Prompts::Answer::Ok) {
            QString error;
            if (m_dish->deleteDish(&error)) {
                prompts.message(name + QStringLiteral("を削除しました"), Prompts::Buttons::Ok,
                                Prompts::Icon::None, QStringLiteral("データ削除"));
                LoadDishList();
                refreshDish();
            } else {
                prompts.message(name + QStringLiteral("を削除できませんでした。\n") + error,
                                Prompts::Buttons::Ok, Prompts::Icon::Critical);
            }
        }
    }
    newDishButton->setFocus();
}

// TexTitle losing the focus. An empty name is refused and the stored name
// comes back into the box; a new name is stored and the renamed dish stays
// current, so the name box, the grid and the totals keep showing one dish.
void Fmain::storeDishName()
{
    if (!m_dish->hasDish())
        return; // no dish to hold a name
    if (program().hasEnded()) {
        // The window is closing: the name is kept as it stands, without a
        // word (an empty one is forgotten).
        m_dish->submitTypedName();
        return;
    }
    const QString name = TexTitle->text();
    if (blank(name)) {
        program().prompts().message(QStringLiteral("料理名を入力してください"));
        m_dish->revertTypedName();
        return;
    }
    if (!m_dish->dishes()->hasPendingChange() && m_dish->currentName() == name)
        return; // the box was left as it was

    const qint64 dish = m_dish->currentDish();
    QString error;
    if (!m_dish->renameDish(name, &error)) {
        program().prompts().tellWriteFailure(QStringLiteral("料理名"), error);
        return;
    }
    bindDishBoxes();
    if (m_dish->currentDish() != dish) {
        // The dish is gone (deleted elsewhere): show the dish now current.
        refreshDish();
    }
}
