#pragma once

#include "core/foods/foodmeasures.h"
#include "core/nutrition/components.h"

#include <QSet>
#include <QWidget>
#include <array>
#include <optional>

class DataCombo;
class DataSource;
class Program;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class RecordNavigator;

// The food editor: one food's name, reading, category and its 23 values per
// 100 g, every box bound to the row under the pointer of Adodc1, and the
// food's other components of the food table in a grid beside them.
//
// The window lives for the whole run: its buttons and its close box only hide
// it. It has two states, shown by its buttons: view mode (Command1 "OK",
// Command2 hidden) and add mode (Command1 "ｷｬﾝｾﾙ", Command2 "登録" shown);
// the main window enters add mode, Command1 leaves it.
//
// A row is stored only after it has been checked: a name must be given and
// every value box must hold a number of zero or more, or nothing (no value).
// A row that fails the check is not stored and the user is told which box is
// wrong; the editor stays open on it.
class Seibn : public QWidget
{
    Q_OBJECT

public:
    explicit Seibn(Program &program, QWidget *parent = nullptr);
    ~Seibn() override;

    Program &program() const { return m_program; }

    // Points the data sources at all foods and all categories and binds every
    // box (start-up).
    void BindFoodEditor();
    // Narrows Adodc1 to one food (key 0: no food, no row). Returns false
    // when the rows could not be replaced: the row being edited cannot be
    // stored (the user has been told why).
    bool LoadFoodRecord(qint64 food);
    // Opens Adodc1 over one food (key 0: none), as it stands, and adds a new
    // row after it: every value "0", category 20. Returns false when no row
    // could be started.
    bool BeginNewFood(qint64 food);
    // After LoadFoodRecord(food): the food's stored name, or nothing when
    // there is no such food (any more).
    std::optional<QString> loadedFoodName(qint64 food) const;
    // Deletes the food LoadFoodRecord narrowed the rows to; false, with the
    // store's reason in *error, when it refuses.
    bool deleteLoadedFood(QString *error);

    // The main window's "新規登録": Command1 becomes "ｷｬﾝｾﾙ", Command2 is shown.
    void enterAddMode();
    bool isAddMode() const;

    // Command1, "OK" or "ｷｬﾝｾﾙ": leaves the editor. "OK" stores the changes
    // made to a shown food first; "ｷｬﾝｾﾙ" discards what was not stored. The
    // editor ends in view mode. Returns false when "OK" found a change it
    // cannot store: the editor then stays open.
    bool leave();
    // Command2 "登録": stores the row being edited, hides the editor and
    // reloads the main window's category and food lists.
    bool registerFood();

    // With edits off the boxes are read-only and nothing can be registered.
    void setEditable(bool editable);

    // The Japanese name of value field i, as its label shows it (the two
    // carbohydrate rows are told apart).
    static QString valueCaption(int index);

private:
    // The controls; other code and the tests reach them by objectName.
    DataSource *Adodc1;
    DataSource *Adodc2;

    QLineEdit *Text1;
    QLineEdit *Text2;
    DataCombo *DataCombo1;
    std::array<QLineEdit *, 23> data{};
    QPushButton *Command1;
    QPushButton *Command2;
    RecordNavigator *navigator;
    // Below the values: the food's full official name, and its own household
    // measures (unit and grams of one unit), stored with the food.
    QLineEdit *TextFull;
    QTableWidget *GridMeasure;
    QPushButton *Command3; // "行を追加"
    QPushButton *Command4; // "行を削除"
    // Beside them: every other component of the food table (成分, 値, 単位),
    // as the table writes it: "-" unknown, "Tr", "(1.2)" estimated.
    QTableWidget *GridComponents;
    // Under it, for a food of the official table whose values the user
    // changed: a note saying so and "公式値に戻す", which puts the installed
    // table's values back.
    QLabel *LabelOfficial;
    QPushButton *Command5;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    void showAvailability();
    // The checks a row must pass before it is stored; the first failure is
    // told to the user (unless quiet) and its box gets the focus.
    bool rowIsStorable(bool quiet = false);
    // Stores the pending change of the row under the pointer after checking
    // it. False when it was refused.
    bool storePending();
    // Before a food of the official table is changed (its row or its
    // components): asks the user, once per food; a "no" drops the change.
    bool confirmOfficialChange();
    // Command5 "公式値に戻す".
    void restoreOfficial();
    // The note and Command5 for the food under the pointer.
    void showOfficialState();
    // Before the rows are replaced: a new row the user never touched is
    // dropped, any other change is stored.
    bool settleBeforeReload();
    bool isUntouchedNewRow() const;
    void hideToViewMode();
    // After foods were stored: the main window's lists, and, when a stored
    // food may be used in recipes, the recipe and its totals.
    void publishChanges(bool reloadLists);

    // The full name and the measures of the food under the pointer.
    void showFoodExtras();
    void addMeasureRow();
    void deleteMeasureRow();
    // Stores the grid's measures (or those already checked) for the food
    // under the pointer; false with a message when they cannot be stored.
    bool storeMeasures(const std::optional<QList<FoodMeasures::Measure>> &checked = std::nullopt);
    // The measures as the grid holds them (blank rows skipped); nothing, with
    // the reason, when a row is not a unit name with a positive weight.
    std::optional<QList<FoodMeasures::Measure>> measuresInGrid(QString *error) const;
    // The components as the grid holds them: a cell left as shown keeps its
    // value, another is read as the table writes values. Nothing, with the
    // reason and the row, when a cell is neither.
    std::optional<QList<Components::Value>> componentsInGrid(QString *error, int *row) const;
    // Stores the grid's components (or those already checked) for the food
    // under the pointer; false with a message when they cannot be stored.
    bool storeComponents(const std::optional<QList<Components::Value>> &checked = std::nullopt);

    Program &m_program;
    bool m_measuresChanged = false;
    QList<Components::Value> m_components; // as shown
    bool m_componentsChanged = false;
    QSet<qint64> m_confirmedOfficial; // official foods the user agreed to change
    bool m_showingMeasures = false;
    bool m_editable = true;
    bool m_newFoodStored = false;
    bool m_foodChanged = false;
};
