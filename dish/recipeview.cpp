// The recipe grid of the current dish and its selected line.
#include "dish/recipeview.h"

#include "app/bindings.h"
#include "app/growth.h"
#include "app/program.h"
#include "app/twips.h"
#include "app/widgets.h"
#include "core/dish/dishsession.h"
#include "core/foods/foodmeasures.h"
#include "core/foods/foodnames.h"
#include "core/store/datasource.h"
#include "core/store/numbertext.h"
#include "dish/lineeditor.h"

#include <QBrush>
#include <QLabel>
#include <QLineEdit>

namespace {

const QString recipeFood = QStringLiteral("素材");
const QString recipeQuantity = QStringLiteral("数量");
const QString recipeUnit = QStringLiteral("単位");
const QString recipeGrams = QStringLiteral("重量");
const QString recipeEstimated = QStringLiteral("推定");

} // namespace

RecipeView::RecipeView(QWidget *client, Program &program, DishSession &dish)
    : QObject(client)
    , m_program(program)
    , m_dish(dish)
    , m_lines(dish.lines())
    , m_selection(dish.selection())
{
    setObjectName(QStringLiteral("RecipeView"));
    QLabel *recipe = Widgets::caption(client, QStringLiteral("Label7"), QStringLiteral("レシピ"),
                                      120, 3480, 960);
    recipe->setFont(Widgets::font(QStringLiteral("ＭＳ Ｐゴシック"), 9, true));
    m_grid = new DataGrid(client);
    m_grid->setObjectName(QStringLiteral("DataGrid1"));
    Twips::place(m_grid, 120, 3720, 5655, 2535);
    m_lineKey = Widgets::hiddenBox(client, QStringLiteral("TexKouID"), QString());

    // A food's full official name is the tooltip of its cell; a weight that
    // is an estimate is tinted, its tooltip saying how it was reached.
    m_grid->setDecoration([this](int row, int column, int role) -> QVariant {
        if (column == m_lines->fieldIndex(recipeGrams) && column >= 0 &&
            m_lines->value(row, m_lines->fieldIndex(recipeEstimated)).toInt() == 1) {
            if (role == Qt::BackgroundRole)
                return QBrush(Widgets::estimateTint);
            if (role == Qt::ToolTipRole)
                return FoodMeasures::estimateNote();
        }
        if (role != Qt::ToolTipRole || column != 0)
            return {};
        return FoodNames::fullName(
            m_program.DbConnectionString,
            m_lines->value(row, m_lines->fieldIndex(QStringLiteral("食品コード"))).toLongLong());
    });
    connect(m_grid, &DataGrid::rowClicked, this, [this] {
        if (m_grid->currentRecord() >= 0) // an empty grid: nothing to take
            emit lineClicked();
    });
    // A row reached by the keyboard is the current line as a clicked one is.
    connect(m_grid, &DataGrid::rowChosen, this, &RecipeView::lineClicked);
    m_grid->setGrowingColumn(0); // the food's name (素材)
}

void RecipeView::grow(Growth &growth)
{
    // Below the food lists, which take their share of the extra height.
    const double listShare = LineEditor::listShare;
    if (auto *caption = m_grid->parentWidget()->findChild<QWidget *>(QStringLiteral("Label7")))
        growth.add(caption, Growth::FollowBottom, listShare);
    growth.add(m_grid, Growth::Wider | Growth::Taller | Growth::FollowBottom, listShare);
}

void RecipeView::showRecipe()
{
    m_grid->setDataSource(m_lines);

    // Hidden columns first, then the three shown ones, then the alignment.
    const int food = m_lines->fieldIndex(recipeFood);
    const int quantity = m_lines->fieldIndex(recipeQuantity);
    const int unit = m_lines->fieldIndex(recipeUnit);
    const int grams = m_lines->fieldIndex(recipeGrams);
    for (int column = 0; column < m_lines->fieldCount(); ++column) {
        if (column != food && column != quantity && column != unit && column != grams)
            m_grid->setColumnWidthTwips(column, 0);
    }
    if (food >= 0)
        m_grid->setColumnWidthTwips(food, 3000);
    if (quantity >= 0)
        m_grid->setColumnWidthTwips(quantity, 800);
    if (unit >= 0)
        m_grid->setColumnWidthTwips(unit, 800);
    if (quantity >= 0)
        m_grid->setColumnAlignment(quantity, Qt::AlignRight);
    // The grams of each line, at the right of the three.
    if (grams >= 0) {
        m_grid->setColumnWidthTwips(grams, 800);
        m_grid->setColumnCaption(grams, QStringLiteral("重量(g)"));
        m_grid->setColumnAlignment(grams, Qt::AlignRight);
        m_grid->setColumnFormat(grams, [](const QVariant &value) {
            bool ok = false;
            const double g = value.toDouble(&ok);
            return ok ? NumberText::general(NumberText::roundHalfUp(g, 1)) : QString();
        });
    }
    repaint();
    showSelectedLine();
    emit recipeShown();
}

void RecipeView::repaint()
{
    m_grid->viewport()->update();
}

void RecipeView::showSelectedLine()
{
    if (m_dish.selectedLine()) {
        FieldBinding::bind(m_lineKey, m_selection, QStringLiteral("ID"));
    } else {
        // The selected line belonged to another dish.
        FieldBinding::unbind(m_lineKey);
        m_lineKey->clear();
    }
}

void RecipeView::BindSelectedLine()
{
    if (!m_dish.selectLine(m_grid->currentRecord()))
        return;
    showSelectedLine();
}

int RecipeView::currentRow() const
{
    return m_grid->currentRecord();
}

QString RecipeView::currentText(const QString &field) const
{
    return m_grid->cellText(m_lines->fieldIndex(field));
}
