#pragma once

#include <QMainWindow>
#include <optional>

class DishSession;
class LineEditor;
class Program;
class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class RecipeView;
class TotalsPanel;

// The main window: one dish, its recipe, the line editor and the totals.
// The window keeps the dish row (the name box and the dish buttons) and the
// menu; its three parts own the rest of the controls, all on one client
// area: LineEditor (dish/lineeditor.h), RecipeView (dish/recipeview.h) and
// TotalsPanel (nutrition/totalspanel.h). Other windows reach it through the
// typed calls below, never its controls.
//
// Controls carry the names the rest of the program knows them by as their
// objectName; the numbered buttons of the dish row have private members named
// by their role:
//   Command8 newDishButton      Command7 previousDishButton
//   Command3 nextDishButton     Command4 lastDishButton
//   Command9 deleteDishButton
class Fmain : public QMainWindow
{
    Q_OBJECT

public:
    explicit Fmain(Program &program);
    ~Fmain() override;

    Program &program() const { return m_program; }

    // Fills the lists at start-up and shows the last dish, its recipe and
    // its totals.
    void loadLists();

    // ---- What other windows ask of the main window
    // Takes a food into the line editor as a click on the food list does:
    // its name and key, 100 of the unit "ｇ", its category chosen and the
    // food list showing that category with the food selected. False (and
    // nothing changed) when the store has no such food.
    bool takeFood(qint64 foodId);
    // Makes the dish with that key current and shows its recipe and totals.
    // False (and nothing changed) when there is no such dish.
    bool showDish(qint64 dishKey);
    // The recipe and the totals of the current dish read again (a food in
    // them changed).
    void refreshDish();
    // Reads the category and food lists again (after foods were added,
    // changed or deleted); the chosen category stays chosen.
    void reloadFoodLists();
    // The unit list for the chosen food read again (its measures changed).
    void LoadFoodUnits();
    // The food selected in the food list (食品名); nothing when no entry is
    // selected.
    std::optional<qint64> selectedFood() const;
    // The food the food commands show: the one selected in the food list,
    // else the line editor's; nothing when neither names a food.
    std::optional<qint64> chosenFood() const;
    // The current dish's key; 0 when there is no dish.
    qint64 currentDish() const;
    // The current dish's name as the window shows it.
    QString currentDishName() const;

    // Background colours of the window (menu 表示 > 背景色).
    void ApplyBackColor1();
    void ApplyBackColor2();
    void ApplyBackColor3();
    QColor backColor() const;

    // Store commands (app/storecommands.cpp). With edits off, every command
    // that changes the store is disabled; looking around stays possible.
    void setEditable(bool editable);
    // Every list, the recipe and the totals read again from the store; the
    // current dish stays, or becomes preferredDish, or the last dish.
    void reloadFromStore(qint64 preferredDish = 0);

    // Adds a command to the ﾌｧｲﾙ menu above "終了"; the commands of other
    // rooms (the export) come in through here.
    QAction *addFileCommand(const char *name, const QString &caption);

signals:
    // The totals of the current dish were shown anew: another dish became
    // current, or its lines, servings or finished weight changed.
    void dishShown();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Dish row
    QLineEdit *TexTitle;
    QLineEdit *TexID;
    QPushButton *newDishButton;
    QPushButton *previousDishButton;
    QPushButton *nextDishButton;
    QPushButton *lastDishButton;
    QPushButton *deleteDishButton;
    // Menu
    QAction *Me_file_config;
    QAction *Me_file_backup;
    QAction *Me_file_restore;
    QAction *Me_file_end;
    QAction *Me_data_menusearch;
    QAction *Me_data_foodsearch;
    QAction *Me_data_addnew;
    QAction *Me_data_del;
    QAction *Me_data_undo;
    QAction *Me_data_redo;
    QAction *Me_visible_back1;
    QAction *Me_visible_back2;
    QAction *Me_visible_back3;
    QAction *Me_help_Visible;
    QAction *Me_Ver;

    void buildLayout();
    void buildMenu();
    void connectHandlers();
    void setBackColor(const QColor &color);
    void buildStoreMenu(QMenu *file, QMenu *data, QAction *before);

    // The dish row and the recipe (dish/dishlifecycle.cpp).
    void LoadDishList();
    void LoadDishComposition();
    void UpdateDishTotals();
    void previousDish();  // Command7
    void nextDish();      // Command3
    void lastDish();      // Command4
    void newDish();       // Command8
    void deleteDish();    // Command9
    void storeDishName(); // TexTitle losing the focus
    // The name and key boxes on the dish list; the dish buttons follow it.
    void bindDishBoxes();
    // The seven buttons that need a current dish are enabled or disabled.
    void enableDishButtons(bool enabled);

    // Food commands (dish/foodcommands.cpp).
    void showFood();   // Command1
    void newFood();    // Me_data_addnew
    void deleteFood(); // Me_data_del

    Program &m_program;
    QWidget *m_client;
    QMenu *m_fileMenu = nullptr;
    bool m_editable = true;
    DishSession *m_dish;
    RecipeView *m_recipe = nullptr;
    LineEditor *m_lineEditor = nullptr;
    TotalsPanel *m_totals = nullptr;
};
