#pragma once

#include "core/nutrition/unknownvalues.h"
#include "core/search/dishlist.h"

#include <QHash>
#include <QString>
#include <QWidget>

class DataGrid;
class DataSource;
class Program;
class QFrame;
class QPushButton;

// The dish list: every dish that has lines, with its energy, total weight and
// salt; "OK" makes the chosen dish the main window's current dish.
class FrmSchM : public QWidget
{
    Q_OBJECT

public:
    explicit FrmSchM(Program &program, QWidget *parent = nullptr);

    Program &program() const { return m_program; }

    static QString overviewQuery();

    // Routines of the window.
    void LoadDishOverview();
    void OpenChosenDish();

    // Event handlers.
    void openDish(); // Command1 "OK"
    void cancel();   // Command2

private:
    // The controls; other code and the tests reach them by objectName.
    QFrame *Shape1;
    QFrame *Shape2;
    DataGrid *DataGrid1;
    DataSource *AdoMnu;
    QPushButton *Command1;
    QPushButton *Command2;

    Program &m_program;
    DishList m_list;
    // Per dish, the foods whose energy or salt the list's sums pass over.
    QHash<qint64, UnknownValues::ByField> m_unknown;
};
