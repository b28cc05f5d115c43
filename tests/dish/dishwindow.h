#pragma once

// A started program on a store made for the test, driven through the main
// window's controls as a user drives it.

#include "app/bindings.h"
#include "app/fmain.h"
#include "app/program.h"
#include "core/dish/dishsession.h"
#include "core/store/datasource.h"
#include "tests/core/dish/kitchen.h"
#include "tests/support/controls.h"
#include "tests/support/testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

struct DishWindow
{
    TestFolder folder;
    StartedProgram started;

    explicit DishWindow(const QString &sql = kitchenSql())
    {
        if (!folder.makeStore(sql))
            qFatal("the test store could not be made");
        started.start();
    }

    Fmain &w() const { return *started.program->fmain(); }
    ScriptedPrompts &prompts() { return started.prompts; }
    qint64 count(const char *table) { return folder.count(QString::fromLatin1(table)); }
    QVariant scalar(const QString &sql) { return folder.scalar(sql); }

    // The seven buttons that need a current dish.
    static QList<QPushButton *> dishButtons(const Fmain &w)
    {
        QList<QPushButton *> buttons;
        for (const char *name :
             {"Command2", "Command6", "Command11", "Command7", "Command3", "Command4", "Command9"})
            buttons << ctl<QPushButton>(w, name);
        return buttons;
    }

    QString dish() const { return ctl<QLineEdit>(w(), "TexTitle")->text(); }

    // Presses "＜" (then "＞") until the dish of that name is current.
    bool goToDish(const QString &name)
    {
        for (QPushButton *button :
             {ctl<QPushButton>(w(), "Command7"), ctl<QPushButton>(w(), "Command3")}) {
            for (int i = 0; i < 50 && dish() != name; ++i)
                button->click();
        }
        return dish() == name;
    }

    // Recipe grid content, as shown.
    int recipeRows() const { return ctl<DataGrid>(w(), "DataGrid1")->model()->rowCount(); }
    QString recipeCell(int row, const QString &column) const
    {
        const int c = ctl<DataSource>(w(), "AdoKou")->fieldIndex(column);
        return ctl<DataGrid>(w(), "DataGrid1")->model()->index(row, c).data().toString();
    }
    QStringList recipeFoods() const
    {
        QStringList foods;
        for (int row = 0; row < recipeRows(); ++row)
            foods << recipeCell(row, QStringLiteral("素材"));
        return foods;
    }
    int recipeRowOf(const QString &food) const { return recipeFoods().indexOf(food); }

    // Clicks the category, then the food, in the two lists.
    bool chooseFood(const QString &category, const QString &food)
    {
        if (!clickListRow(ctl<DataList>(w(), "DataList2"), category))
            return false;
        return clickListRow(ctl<DataList>(w(), "DataList3"), food);
    }
    static bool clickListRow(DataList *list, const QString &text)
    {
        QAbstractItemModel *model = list->model();
        for (int row = 0; model && row < model->rowCount(); ++row) {
            if (model->index(row, list->modelColumn()).data().toString() == text) {
                list->clickRow(row);
                return true;
            }
        }
        return false;
    }

    // Replaces a box's text as typing does: the old text is selected and
    // erased, then each character arrives on its own (as an input method
    // commits it).
    static void type(QLineEdit *box, const QString &text)
    {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        for (QChar c : text)
            box->insert(QString(c));
    }
    // Picks a unit from the combo's list.
    bool chooseUnit(const QString &unit)
    {
        const int row = ctl<DataCombo>(w(), "DataCombo1")->findText(unit);
        if (row < 0)
            return false;
        ctl<DataCombo>(w(), "DataCombo1")->setCurrentIndex(row);
        return true;
    }
    // The name box loses the focus.
    void leaveNameBox()
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(ctl<QLineEdit>(w(), "TexTitle"), &out);
    }
};
