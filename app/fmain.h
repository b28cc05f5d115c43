#pragma once

#include <QMainWindow>
#include <optional>

class DataCombo;
class DishSession;
struct DishTotals;
struct LineRefusal;
class DataGrid;
class DataList;
class DataSource;
class Program;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

// The main window: one dish, its recipe, the line editor and the totals. It
// reads its boxes, calls the dish session and shows what the session returns;
// other windows reach it through the typed calls below, never its controls.
//
// Controls carry the names the rest of the program knows them by as their
// objectName; numbered controls have private members named by their role:
//   Command8 newDishButton      Command7 previousDishButton
//   Command3 nextDishButton     Command4 lastDishButton
//   Command9 deleteDishButton   Command1 foodButton
//   Command2 addLineButton      Command6 deleteLineButton
//   Command11 updateLineButton  Command10 comparisonButton
//   DataList2 categoryList      DataList3 foodList
//   DataCombo1 unitCombo        DataGrid1 recipeGrid
//   Text1 foodNameBox           Text2 quantityBox
//   Text3 weightFactorBox       Text4 foodIdBox
//   Text5 waterBox  Text6 proteinBox  Text7 fatBox
//   Text8 sugarBox  Text9 ashBox      Text10 fibreBox
class Fmain : public QMainWindow
{
    Q_OBJECT

public:
    explicit Fmain(Program &program);
    ~Fmain() override;

    Program &program() const { return m_program; }

    // ---- What other windows ask of the main window
    // Takes a food into the line editor as a click on the food list does:
    // its name and key, 100 of the unit "ｇ", its category chosen and the
    // food list showing that category with the food selected. False (and
    // nothing changed) when the store has no such food.
    bool takeFood(qint64 foodId);
    // Makes the dish with that key current and shows its recipe and totals.
    // False (and nothing changed) when there is no such dish.
    bool showDish(qint64 dishKey);
    // Reads the category and food lists again (after foods were added,
    // changed or deleted); the chosen category stays chosen.
    void reloadFoodLists();
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

    // Shared lists (data/listloaders.cpp).
    void LoadDishList();
    void LoadCategoryList();
    void LoadCategoryFoods();
    void LoadUnitList();
    // The unit list for the food in Text4: its own measures first.
    void LoadFoodUnits();

    // Recipe view and navigation (dish/dishview.cpp).
    void LoadDishComposition();
    void BindSelectedLine();
    void UpdateDishTotals();
    void selectLine();     // DataGrid1 click
    void previousDish();   // Command7
    void nextDish();       // Command3
    void lastDish();       // Command4
    void openComparison(); // Command10

    // Line editor (dish/lineeditor.cpp).
    void chooseCategory();  // DataList2 click
    void chooseFood();      // DataList3 click
    void recalcWeight();    // Text2 or DataCombo1 change
    void addLine();         // Command2
    void updateLine();      // Command11
    void deleteLine();      // Command6
    void quantityEntered(); // Enter in Text2
    void DeleteSelectedLine();

    // Dish lifecycle (dish/dishlifecycle.cpp).
    void newDish();       // Command8
    void deleteDish();    // Command9
    void storeDishName(); // TexTitle losing the focus

    // Food commands (dish/foodcommands.cpp).
    void showFood();   // Command1
    void newFood();    // Me_data_addnew
    void deleteFood(); // Me_data_del

    // Store commands (app/storecommands.cpp). With edits off, every command
    // that changes the store is disabled; looking around stays possible.
    void setEditable(bool editable);
    bool isEditable() const { return m_editable; }
    // Every list, the recipe and the totals read again from the store; the
    // current dish stays, or becomes preferredDish, or the last dish.
    void reloadFromStore(qint64 preferredDish = 0);

    // The dish logic the window shows.
    DishSession &dishSession() const { return *m_dish; }

    // The seven buttons that need a current dish, in the order they are
    // disabled and enabled.
    QList<QPushButton *> dishButtons() const;

    // Adds a command to the ﾌｧｲﾙ menu above "終了"; the commands of other
    // rooms (the export) come in through here.
    QAction *addFileCommand(const char *name, const QString &caption);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Controls and data sources, by the names the program knows them by.
    // Dish row
    QLineEdit *TexTitle;
    QLineEdit *TexID;
    QPushButton *newDishButton;
    QPushButton *previousDishButton;
    QPushButton *nextDishButton;
    QPushButton *lastDishButton;
    QPushButton *deleteDishButton;
    // Food choice and line editor
    DataList *categoryList;
    DataList *foodList;
    QPushButton *foodButton;
    QLineEdit *foodNameBox;
    QLineEdit *foodIdBox;
    QLineEdit *quantityBox;
    DataCombo *unitCombo;
    QLineEdit *weightFactorBox;
    QPushButton *addLineButton;
    QPushButton *deleteLineButton;
    QPushButton *updateLineButton;
    // Recipe
    DataGrid *recipeGrid;
    QLineEdit *TexKouID;
    // Totals panel
    QLineEdit *TexSumW100;
    QLineEdit *TexSumC;
    QLineEdit *TexNa;
    QLineEdit *waterBox;
    QLineEdit *proteinBox;
    QLineEdit *fatBox;
    QLineEdit *sugarBox;
    QLineEdit *fibreBox;
    QLineEdit *ashBox;
    QLineEdit *TexSumW;
    QLineEdit *TexSumNa;
    QLineEdit *TexSUI;
    QLineEdit *TexTAN;
    QLineEdit *TexSST;
    QLineEdit *TexTST;
    QLineEdit *TexTSS;
    QLineEdit *TexKBN;
    QPushButton *comparisonButton;
    // Data sources
    DataSource *AdoMnu;
    DataSource *AdoEys1;
    DataSource *AdoEys2;
    DataSource *AdoTni;
    DataSource *AdoKou;
    DataSource *AdoKou2;
    DataSource *AdoSumW;
    DataSource *AdoSumC;
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
    void load();
    void setBackColor(const QColor &color);

    void buildStoreMenu(QMenu *file, QMenu *data, QAction *before);

    Program &m_program;
    QWidget *m_client;
    QMenu *m_fileMenu = nullptr;
    bool m_editable = true;

    // Dish editing (dish/, nutrition/dishtotals.cpp).
    // The current dish's key into CurrentId; 0 when there is no dish.
    qint64 takeDishKey();
    // The grid laid out on the lines the session holds; TexKouID follows the
    // selected line.
    void showRecipe();
    void showSelectedLine();
    void showCurrentLine();
    // The name and key boxes on the dish list; the dish buttons follow it.
    void bindDishBoxes();
    void showTotals(const DishTotals &totals);
    // Tells the user why a line was not stored and puts the focus on the box.
    void refuseLine(const LineRefusal &refusal);
    void tellStoreFailure(const QString &what, const QString &reason);

    DishSession *m_dish;
};
