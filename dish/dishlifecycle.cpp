// Creating, renaming and deleting dishes.
#include "app/fmain.h"
#include "app/program.h"
#include "app/prompts.h"
#include "app/bindings.h"
#include "core/store/datasource.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

const QString dishName = QStringLiteral("アイテム名");

bool blank(const QString &text)
{
    return text.trimmed().isEmpty();
}

} // namespace

// The name box writes every keystroke into the current dish's record; a
// record left with an empty name would store it when the pointer moves.
void Fmain::dropEmptyDishName()
{
    if (AdoMnu->hasPendingChange() && !AdoMnu->isNewRecord() && blank(AdoMnu->text(dishName)))
        AdoMnu->cancelUpdate();
}

// Command8 "新規追加". The new dish becomes current, with an empty recipe and
// empty totals.
void Fmain::newDish()
{
    dropEmptyDishName();
    Prompts &prompts = program().prompts();
    const std::optional<QString> name = prompts.input(
        QStringLiteral("追加する料理名を入力してください"), QStringLiteral("料理の新規追加"));
    if (!name || blank(*name))
        return;

    if (!AdoMnu->addNew()) {
        prompts.message(QStringLiteral("料理を追加できませんでした。\n") + AdoMnu->errorString(),
                        Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return;
    }
    TexTitle->setText(*name);
    if (!storeOrDrop(AdoMnu, QStringLiteral("料理")))
        return;
    AdoMnu->requery();
    LoadDishList();
    AdoMnu->moveLast(); // dishes come in store order: the new one is last
    LoadDishComposition();
    if (!addLineButton->isEnabled()) {
        for (QPushButton *button : dishButtons())
            button->setEnabled(true);
    }
    UpdateDishTotals();
}

// Command9 "削除" (dish). The store deletes the dish's lines with it, in the
// same transaction.
void Fmain::deleteDish()
{
    dropEmptyDishName();
    if (!AdoMnu->bof() && !AdoMnu->eof()) {
        Prompts &prompts = program().prompts();
        const QString name = TexTitle->text();
        if (prompts.message(name + QStringLiteral("を削除します"), Prompts::Buttons::OkCancel,
                            Prompts::Icon::None,
                            QStringLiteral("料理の削除")) == Prompts::Answer::Ok) {
            if (AdoMnu->deleteCurrent()) {
                AdoMnu->moveFirst();
                prompts.message(name + QStringLiteral("を削除しました"), Prompts::Buttons::Ok,
                                Prompts::Icon::None, QStringLiteral("データ削除"));
                LoadDishList();
                LoadDishComposition();
                UpdateDishTotals();
            } else {
                prompts.message(name + QStringLiteral("を削除できませんでした。\n") +
                                    AdoMnu->errorString(),
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
    if (AdoMnu->bof() || AdoMnu->eof())
        return; // no dish to hold a name
    if (program().hasEnded()) {
        dropEmptyDishName();
        return;
    }
    const QString name = TexTitle->text();
    if (blank(name)) {
        program().prompts().message(QStringLiteral("料理名を入力してください"));
        dropEmptyDishName();
        return;
    }
    if (!AdoMnu->hasPendingChange() && AdoMnu->text(dishName) == name)
        return; // the box was left as it was

    const QVariant dish = AdoMnu->value(QStringLiteral("ID"));
    const int row = AdoMnu->position();
    AdoMnu->setValue(dishName, name);
    if (!storeOrDrop(AdoMnu, QStringLiteral("料理名")))
        return;
    LoadDishList();

    // Back to the renamed dish: renaming keeps the store order, so it is at
    // the row it had; look further only if it is not.
    bool found = AdoMnu->moveTo(row) && AdoMnu->value(QStringLiteral("ID")) == dish;
    for (int r = 0; !found && r < AdoMnu->recordCount(); ++r)
        found =
            AdoMnu->value(r, AdoMnu->fieldIndex(QStringLiteral("ID"))) == dish && AdoMnu->moveTo(r);
    if (!found) {
        // The dish is gone (deleted elsewhere): show the dish now current.
        LoadDishComposition();
        UpdateDishTotals();
    }
}
