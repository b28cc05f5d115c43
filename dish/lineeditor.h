#pragma once

#include <QObject>
#include <optional>

class DataCombo;
class DataList;
class DataSource;
class DishSession;
class Growth;
class Program;
class QLineEdit;
class QPushButton;
class QWidget;
class RecipeView;
struct LineInput;
struct LineRefusal;

// The line editor of the main window: the category and food lists
// (DataList2, DataList3, the "食材" button beside them), the food, quantity
// and unit boxes (Text1, Text2, DataCombo1, with the food's key in Text4 and
// the weight factor in Text3), and "追加" "削除" "更新" for the lines of the
// current dish. Its controls lie on the main window's client area.
class LineEditor : public QObject
{
    Q_OBJECT

public:
    LineEditor(QWidget *client, Program &program, DishSession &dish);
    // The recipe the lines go into and the clicked lines come from; its
    // controls come after the editor's in the tab order.
    void attach(RecipeView &recipe);

    // The extra width of an enlarged window goes to the food list; the
    // extra height is shared by the two lists (listShare of it) and the
    // recipe below them.
    void grow(Growth &growth);
    static constexpr double listShare = 0.5;

    // The lists, read from the store.
    void LoadCategoryList();
    void LoadCategoryFoods();
    void LoadUnitList();
    // The unit list for the food in Text4: its own measures first.
    void LoadFoodUnits();
    // Reads the category and food lists again (after foods were added,
    // changed or deleted); the chosen category stays chosen.
    void reloadFoodLists();

    // Takes a food as a click on the food list does: its name and key, 100
    // of the unit "ｇ", its category chosen and the food list showing that
    // category with the food selected. False (and nothing changed) when the
    // store has no such food.
    bool takeFood(qint64 foodId);
    // The food selected in the food list (食品名); nothing when no entry is
    // selected.
    std::optional<qint64> selectedFood() const;
    // The food the food commands show: the one selected in the food list,
    // else the editor's; nothing when neither names a food.
    std::optional<qint64> chosenFood() const;
    // The chosen food was deleted: no food is chosen, the lists are read
    // again.
    void forgetFood();

    // "追加" "削除" "更新", which need a current dish.
    void enableLineButtons(bool enabled);
    bool lineButtonsEnabled() const;

signals:
    // "食材" was pressed.
    void foodAsked();
    // A line was added, rewritten or deleted (or refused): the totals are due.
    void linesChanged();

private:
    void chooseCategory();
    void chooseFood();
    void recalcWeight();
    void takeRecipeLine();
    void addLine();
    void updateLine();
    void deleteLine();
    void DeleteSelectedLine();
    // Enter in Text2 (数量).
    void quantityEntered();
    // After 追加, 更新 and 削除: the editor shows the current line.
    void showCurrentLine();
    // 更新 and 削除 act on the current line: off without one.
    void followCurrentLine();
    void refuseLine(const LineRefusal &refusal);
    void setFood(std::optional<qint64> food);
    void showWeightFactor(double factor);
    LineInput lineInput() const;

    Program &m_program;
    DishSession &m_dish;
    RecipeView *m_recipe = nullptr;
    DataSource *m_categories; // AdoEys1
    DataSource *m_foods;      // AdoEys2
    DataSource *m_units;      // AdoTni, the session's
    // The chosen food's key, shown in Text4; 0 when none is chosen.
    std::optional<qint64> m_food = 0;
    DataList *categoryList;        // DataList2
    DataList *foodList;            // DataList3
    QPushButton *foodButton;       // Command1
    QLineEdit *foodNameBox;        // Text1
    QLineEdit *foodIdBox;          // Text4
    QLineEdit *quantityBox;        // Text2
    DataCombo *unitCombo;          // DataCombo1
    QLineEdit *weightFactorBox;    // Text3
    QPushButton *addLineButton;    // Command2
    QPushButton *deleteLineButton; // Command6
    QPushButton *updateLineButton; // Command11
    bool m_fromLine = false;       // the editor holds the current line, taken from the grid
};
