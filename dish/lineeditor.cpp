// The line editor: choosing a food, the weight factor, adding, updating and
// deleting ingredient lines. The dish session checks a line before it is
// stored: the quantity is read once, by the reader of typed numbers, and the
// weight factor stored is the one counted from it and the listed unit.
#include "dish/lineeditor.h"

#include "app/bindings.h"
#include "app/growth.h"
#include "app/program.h"
#include "app/prompts.h"
#include "app/twips.h"
#include "app/widgets.h"
#include "core/dish/dishsession.h"
#include "core/foods/foodnames.h"
#include "core/store/datasource.h"
#include "core/store/numberreader.h"
#include "core/store/numbertext.h"
#include "core/store/queries.h"
#include "dish/recipeview.h"

#include <QBrush>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString lineMessageTitle = QStringLiteral("栄養計算");

} // namespace

LineEditor::LineEditor(QWidget *client, Program &program, DishSession &dish)
    : QObject(client)
    , m_program(program)
    , m_dish(dish)
    , m_categories(new DataSource(this))
    , m_foods(new DataSource(this))
    , m_units(dish.units())
{
    using namespace Widgets;
    QWidget *w = client;
    setObjectName(QStringLiteral("LineEditor"));
    m_categories->setObjectName(QStringLiteral("AdoEys1"));
    m_foods->setObjectName(QStringLiteral("AdoEys2"));

    // Food choice
    caption(w, QStringLiteral("Label2"), QStringLiteral("食品区分"), 120, 720, 1200);
    categoryList = new DataList(w);
    categoryList->setObjectName(QStringLiteral("DataList2"));
    Twips::place(categoryList, 120, 960, 2535, 1500);
    caption(w, QStringLiteral("Label3"), QStringLiteral("食品名"), 2880, 720, 1200);
    foodList = new DataList(w);
    foodList->setObjectName(QStringLiteral("DataList3"));
    Twips::place(foodList, 2760, 960, 2535, 1500);
    foodButton =
        button(w, QStringLiteral("Command1"), QStringLiteral("食材"), 5040, 2760, 735, 540);

    // Line editor
    caption(w, QStringLiteral("Label4"), QStringLiteral("食品名"), 120, 2640, 1200);
    caption(w, QStringLiteral("Label5"), QStringLiteral("数量"), 2760, 2640, 960);
    caption(w, QStringLiteral("Label6"), QStringLiteral("単位"), 3840, 2640, 1080);
    foodNameBox =
        textBox(w, QStringLiteral("Text1"), QStringLiteral("食品名"), 120, 2880, 2535, 270);
    foodIdBox = hiddenBox(w, QStringLiteral("Text4"), QStringLiteral("0"));
    quantityBox = textBox(w, QStringLiteral("Text2"), QStringLiteral("数量"), 2760, 2880, 975, 270);
    unitCombo = new DataCombo(w);
    unitCombo->setObjectName(QStringLiteral("DataCombo1"));
    Twips::place(unitCombo, 3840, 2880, 1095, 300);
    weightFactorBox = hiddenBox(w, QStringLiteral("Text3"), QStringLiteral("グラム数"));
    addLineButton =
        button(w, QStringLiteral("Command2"), QStringLiteral("追加"), 1200, 3240, 975, 375);
    deleteLineButton =
        button(w, QStringLiteral("Command6"), QStringLiteral("削除"), 2280, 3240, 975, 375);
    updateLineButton =
        button(w, QStringLiteral("Command11"), QStringLiteral("更新"), 3360, 3240, 975, 375);

    // A food's full official name is the tooltip of its entry; an official
    // food whose values were changed is tinted and says so.
    foodList->setDecoration([this](int row, int, int role) -> QVariant {
        const qint64 food =
            m_foods->value(row, m_foods->fieldIndex(QStringLiteral("SID"))).toLongLong();
        const bool changed = m_program.differsFromOfficial(food).value_or(false);
        if (role == Qt::BackgroundRole)
            return changed ? QVariant(QBrush(Widgets::changedOfficialTint)) : QVariant();
        const QString name = FoodNames::fullName(m_program.DbConnectionString, food);
        return changed ? name + QStringLiteral("\n") + Widgets::changedOfficialNote : name;
    });

    connect(categoryList, &DataList::itemClicked, this, &LineEditor::chooseCategory);
    connect(foodList, &DataList::itemClicked, this, &LineEditor::chooseFood);
    connect(foodButton, &QPushButton::clicked, this, &LineEditor::foodAsked);
    connect(quantityBox, &QLineEdit::textChanged, this, &LineEditor::recalcWeight);
    connect(unitCombo, &DataCombo::changed, this, &LineEditor::recalcWeight);
    connect(addLineButton, &QPushButton::clicked, this, &LineEditor::addLine);
    connect(deleteLineButton, &QPushButton::clicked, this, &LineEditor::deleteLine);
    connect(updateLineButton, &QPushButton::clicked, this, &LineEditor::updateLine);
    connect(quantityBox, &QLineEdit::returnPressed, this, &LineEditor::quantityEntered);
}

void LineEditor::attach(RecipeView &recipe)
{
    m_recipe = &recipe;
    connect(&recipe, &RecipeView::lineClicked, this, &LineEditor::takeRecipeLine);
    connect(&recipe, &RecipeView::recipeShown, this, &LineEditor::followCurrentLine);
}

void LineEditor::grow(Growth &growth)
{
    // The two lists take half the extra height, the recipe below the other
    // half; the line editor between them moves down by the lists' share.
    growth.add(categoryList, Growth::Taller, listShare);
    growth.add(foodList, Growth::Wider | Growth::Taller, listShare);
    growth.add(foodButton, Growth::FollowRight | Growth::FollowBottom, listShare);
    QWidget *client = foodList->parentWidget();
    for (const char *name : {"Label4", "Label5", "Label6"})
        if (auto *caption = client->findChild<QWidget *>(QLatin1String(name)))
            growth.add(caption, Growth::FollowBottom, listShare);
    for (QWidget *control :
         {static_cast<QWidget *>(foodNameBox), static_cast<QWidget *>(quantityBox),
          static_cast<QWidget *>(unitCombo), static_cast<QWidget *>(addLineButton),
          static_cast<QWidget *>(deleteLineButton), static_cast<QWidget *>(updateLineButton)})
        growth.add(control, Growth::FollowBottom, listShare);
}

void LineEditor::LoadCategoryList()
{
    m_categories->setConnectionString(m_program.DbConnectionString);
    m_categories->setRecordSource(Queries::categories());
    m_categories->refresh();
    categoryList->setRowSource(m_categories, QStringLiteral("分類名"), QStringLiteral("分類№"));
}

void LineEditor::LoadCategoryFoods()
{
    // With no category selected the category is 0, which has no foods.
    const qint64 category = NumberReader::key(categoryList->boundText()).value_or(0);
    m_foods->setConnectionString(m_program.DbConnectionString);
    m_foods->setRecordSource(Queries::categoryFoods(category));
    m_foods->refresh();
    foodList->setRowSource(m_foods, QStringLiteral("SNM"), QStringLiteral("SID"));
}

void LineEditor::LoadUnitList()
{
    m_dish.loadUnits();
    unitCombo->setRowSource(m_units, QStringLiteral("TNM"), QStringLiteral("KAK"));
    unitCombo->setText(QStringLiteral("ｇ"));
}

// The chosen food changed: its own measures come first in the unit list, and
// the unit shown counts at the food's own weight. The unit text stays; the
// weight factor is recomputed, since the same unit may now weigh otherwise.
// A store without measures keeps the unit table alone.
void LineEditor::LoadFoodUnits()
{
    if (m_units->recordSource().isEmpty())
        return; // before LoadUnitList: nothing to reorder yet
    const QString unit = unitCombo->text();
    m_dish.loadUnits(m_food.value_or(0));
    unitCombo->setRowSource(m_units, QStringLiteral("TNM"), QStringLiteral("KAK"));
    unitCombo->setText(unit);
    recalcWeight();
}

void LineEditor::reloadFoodLists()
{
    // Re-running the category query resets the list's selection.
    const QString category = categoryList->boundText();
    LoadCategoryList();
    if (!category.isEmpty() && categoryList->boundText() != category)
        categoryList->setBoundText(category);
    LoadCategoryFoods();
}

bool LineEditor::takeFood(qint64 foodId)
{
    m_fromLine = false;
    DataSource food;
    food.setConnectionString(m_program.DbConnectionString);
    food.setRecordSource(Queries::foodChoice(foodId));
    if (!food.refresh() || food.eof())
        return false;
    const QString id = food.text(QStringLiteral("SID"));
    const QString name = food.text(QStringLiteral("SNM"));
    foodNameBox->setText(name);
    setFood(NumberReader::key(id));
    quantityBox->setText(QStringLiteral("100"));
    unitCombo->setText(QStringLiteral("ｇ"));
    // A category that is not in the list selects nothing; the food list then
    // shows no category's foods.
    categoryList->setBoundText(food.text(QStringLiteral("BID")));
    LoadCategoryFoods();
    foodList->setBoundText(id);
    return true;
}

std::optional<qint64> LineEditor::selectedFood() const
{
    const std::optional<qint64> food = NumberReader::key(foodList->boundText());
    return food && *food != 0 ? food : std::nullopt;
}

std::optional<qint64> LineEditor::chosenFood() const
{
    if (const std::optional<qint64> listed = selectedFood())
        return listed;
    return m_food && *m_food != 0 ? m_food : std::nullopt;
}

// Text4 shows the key; a new key brings the food's own units.
void LineEditor::setFood(std::optional<qint64> food)
{
    if (food == m_food)
        return;
    m_food = food;
    foodIdBox->setText(food ? QString::number(*food) : QString());
    LoadFoodUnits();
}

void LineEditor::showWeightFactor(double factor)
{
    weightFactorBox->setText(NumberText::general(factor));
}

LineInput LineEditor::lineInput() const
{
    return {m_food ? QString::number(*m_food) : QString(), quantityBox->text(), unitCombo->text()};
}

void LineEditor::forgetFood()
{
    foodList->setBoundText(QString());
    foodList->setText(QString());
    reloadFoodLists();
    m_foods->refresh();
    setFood(0);
    foodNameBox->clear();
}

void LineEditor::enableLineButtons(bool enabled)
{
    addLineButton->setEnabled(enabled);
    followCurrentLine();
}

void LineEditor::followCurrentLine()
{
    const bool line = addLineButton->isEnabled() && m_dish.selectedLine().has_value();
    deleteLineButton->setEnabled(line);
    updateLineButton->setEnabled(line);
}

void LineEditor::showCurrentLine()
{
    if (m_dish.selectedLine() && m_recipe->currentRow() >= 0)
        takeRecipeLine();
}

// Enter in Text2 (数量): "更新" when the editor holds the current line, taken
// from the grid, with another quantity or unit; "追加" otherwise (a food chosen
// from the lists begins a new line).
void LineEditor::quantityEntered()
{
    const bool sameFood = m_fromLine && m_recipe->currentRow() >= 0 && m_dish.selectedLine() &&
                          m_recipe->currentText(QStringLiteral("食品コード")) == foodIdBox->text();
    const bool changed =
        sameFood && (m_recipe->currentText(QStringLiteral("数量")) != quantityBox->text() ||
                     m_recipe->currentText(QStringLiteral("単位")) != unitCombo->text());
    if (changed)
        updateLine();
    else
        addLine();
}

bool LineEditor::lineButtonsEnabled() const
{
    return addLineButton->isEnabled();
}

void LineEditor::refuseLine(const LineRefusal &refusal)
{
    m_program.prompts().message(refusal.message, Prompts::Buttons::Ok, Prompts::Icon::Exclamation,
                                lineMessageTitle);
    QWidget *box = refusal.box == LineRefusal::Box::Quantity ? static_cast<QWidget *>(quantityBox)
                   : refusal.box == LineRefusal::Box::Unit   ? static_cast<QWidget *>(unitCombo)
                                                             : static_cast<QWidget *>(foodList);
    if (box->isVisible())
        box->setFocus();
}

// DataList2 click.
void LineEditor::chooseCategory()
{
    LoadCategoryFoods();
}

// DataList3 click: the food, and 100 g of it as a proposal.
void LineEditor::chooseFood()
{
    m_fromLine = false; // a new line begins
    foodNameBox->setText(foodList->text());
    setFood(NumberReader::key(foodList->boundText()));
    quantityBox->setText(QStringLiteral("100"));
    unitCombo->setText(QStringLiteral("ｇ"));
}

// Text2 or DataCombo1 changed: Text3 ← quantity × KAK ÷ 100. While the
// quantity is not wholly a number or the unit is not listed (the quantity half
// typed, the unit list not loaded yet) Text3 keeps what it holds; "追加" and
// "更新" then refuse the line, so a stale factor is never stored.
void LineEditor::recalcWeight()
{
    if (const auto factor = m_dish.weightFactor(quantityBox->text(), unitCombo->text()))
        showWeightFactor(*factor);
}

// DataGrid1 click: the clicked line goes into the line editor. The quantity
// and the unit each recompute the weight factor; the unit comes last, so
// Text3 ends as quantity × the unit's present KAK, which is the stored factor
// unless the unit table changed since (or the unit is gone from it, and the
// stored factor stays).
void LineEditor::takeRecipeLine()
{
    foodNameBox->setText(m_recipe->currentText(QStringLiteral("素材")));
    quantityBox->setText(m_recipe->currentText(QStringLiteral("数量")));
    if (const auto factor = NumberReader::number(m_recipe->currentText(QStringLiteral("数量2"))))
        showWeightFactor(*factor);
    setFood(NumberReader::key(m_recipe->currentText(QStringLiteral("食品コード"))));
    unitCombo->setText(m_recipe->currentText(QStringLiteral("単位")));
    m_recipe->BindSelectedLine();
    m_fromLine = true;
}

// Command2 "追加".
void LineEditor::addLine()
{
    const auto checked = m_dish.checkLine(lineInput());
    if (const auto *refusal = std::get_if<LineRefusal>(&checked)) {
        refuseLine(*refusal);
    } else if (m_dish.hasDish()) {
        const LineDraft &line = std::get<LineDraft>(checked);
        showWeightFactor(line.weightFactor);
        QString error;
        if (m_dish.addLine(line, &error)) {
            m_recipe->showRecipe();
            showCurrentLine(); // the added line
        } else {
            m_program.prompts().tellWriteFailure(QStringLiteral("材料の行"), error);
        }
    }
    m_recipe->repaint();
    emit linesChanged();
}

// Command11 "更新": rewrites the line under the grid's current row. Without a
// current row there is nothing to rewrite; a line the editor cannot hold
// whole (no food, a quantity that is not a number, an unlisted unit) is
// refused, as for "追加".
void LineEditor::updateLine()
{
    const int row = m_recipe->currentRow();
    if (row < 0 || !m_dish.hasDish())
        return;
    const auto checked = m_dish.checkLine(lineInput());
    if (const auto *refusal = std::get_if<LineRefusal>(&checked)) {
        refuseLine(*refusal);
        return;
    }
    const LineDraft &line = std::get<LineDraft>(checked);
    showWeightFactor(line.weightFactor);
    QString error;
    if (!m_dish.updateLine(row, line, &error)) {
        m_program.prompts().tellWriteFailure(QStringLiteral("材料の行"), error);
        return;
    }
    m_recipe->showRecipe();
    showCurrentLine(); // the rewritten line, still current
    emit linesChanged();
}

// Command6 "削除" (line).
void LineEditor::deleteLine()
{
    DeleteSelectedLine();
    emit linesChanged();
}

// Every failure is passed over and the next step runs; afterwards the line
// that took the deleted one's place is current, and the editor shows it.
void LineEditor::DeleteSelectedLine()
{
    m_dish.deleteSelectedLine();
    m_recipe->showRecipe();
    showCurrentLine();
}
