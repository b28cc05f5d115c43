#pragma once

#include "core/search/foodsearch.h"
#include "core/store/repeatedfailure.h"

#include <QString>
#include <QWidget>

class DataGrid;
class DataSource;
class Program;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The food search window: foods found by a part of their reading, or all
// foods ranked by one nutrient, in one grid; "OK" hands the chosen food to
// the main window's line editor.
class FrmSchF : public QWidget
{
    Q_OBJECT

public:
    explicit FrmSchF(Program &program, QWidget *parent = nullptr);

    Program &program() const { return m_program; }

    // Routines of the window.
    void FillNutrientChoices();
    void SetRankingField();
    void RankFoodsByNutrient();
    void SearchFoodsByReading();
    // Runs the search that is shown once more, after the store changed under
    // the window (an undo, a restore); nothing when none has run.
    void reloadResults();

    // Event handlers.
    void nutrientChosen(); // Combo1 click
    void nutrientTyped();  // Combo1 text change
    void readingChanged(); // Text1 change
    void takeFood();       // Command1 "OK"
    void cancel();         // Command2

private:
    // The controls; other code and the tests reach them by objectName.
    QFrame *Shape1;
    QFrame *Shape2;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QLineEdit *Text1;
    QComboBox *Combo1;
    DataSource *AdoEys;
    DataGrid *DataGrid1;
    QPushButton *Command1;
    QPushButton *Command2;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Lays the grid out over a search's rows, or tells why the search failed.
    bool showResult(bool ran);

    Program &m_program;
    FoodSearch m_search;
    RepeatedFailure m_searchFailure;
};
