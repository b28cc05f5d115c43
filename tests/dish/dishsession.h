#pragma once

// A started program on a store made for the test, driven through the main
// window's controls as a user drives it.

#include "app/fmain.h"
#include "app/program.h"
#include "app/bindings.h"
#include "core/store/datasource.h"
#include "tests/support/testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// Foods with round figures, a spoon of 15 g and a piece of 50 g, and three
// dishes: ごはん (one line, and one whose food 999 no longer exists),
// ミルク粥 (three lines) and 空の料理 (none, the last in store order).
inline QString kitchenSql()
{
    return minimalReferenceSql() +
           QStringLiteral(
               "INSERT INTO bun VALUES (1, '穀類'), (13, '乳類');"
               "INSERT INTO tni VALUES ('大さじ', 15), ('個', 50);"
               "INSERT INTO eys(SID,SNM,SKN,BID,ENC,SUI,TAN,SST,TST,TSS,KBN,NAT) VALUES"
               " (1,'米','ｺﾒ',1,350,15,6,1,77,0.5,0.4,0),"
               " (2,'牛乳','ｷﾞｭｳﾆｭｳ',13,67,87,3.3,3.8,4.8,0,0.7,0.1),"
               " (3,'しょうゆ','ｼｮｳﾕ',20,71,67,7.7,0,10,0,15,14.5);"
               "INSERT INTO mnu(ID,アイテム名) VALUES (1,'ごはん'),(2,'ミルク粥'),(3,'空の料理');"
               "INSERT INTO kou(ID,アイテムCD,食品コード,数量,単位,数量2) VALUES"
               " (1,1,1,150,'ｇ',1.5),(2,1,999,100,'ｇ',1),"
               " (3,2,1,50,'ｇ',0.5),(4,2,2,200,'ｇ',2),(5,2,3,1,'大さじ',0.15);");
}

struct DishSession
{
    TestFolder folder;
    StartedProgram started;

    explicit DishSession(const QString &sql = kitchenSql())
    {
        if (!folder.makeStore(sql))
            qFatal("the test store could not be made");
        started.start();
    }

    Fmain &w() const { return *started.program->fmain(); }
    ScriptedPrompts &prompts() { return started.prompts; }
    qint64 count(const char *table) { return folder.count(QString::fromLatin1(table)); }
    QVariant scalar(const QString &sql) { return folder.scalar(sql); }

    QString dish() const { return w().TexTitle->text(); }

    // Presses "＜" (then "＞") until the dish of that name is current.
    bool goToDish(const QString &name)
    {
        for (QPushButton *button : {w().previousDishButton, w().nextDishButton}) {
            for (int i = 0; i < 50 && dish() != name; ++i)
                button->click();
        }
        return dish() == name;
    }

    // Recipe grid content, as shown.
    int recipeRows() const { return w().recipeGrid->model()->rowCount(); }
    QString recipeCell(int row, const QString &column) const
    {
        const int c = w().AdoKou->fieldIndex(column);
        return w().recipeGrid->model()->index(row, c).data().toString();
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
        if (!clickListRow(w().categoryList, category))
            return false;
        return clickListRow(w().foodList, food);
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
        const int row = w().unitCombo->findText(unit);
        if (row < 0)
            return false;
        w().unitCombo->setCurrentIndex(row);
        return true;
    }
    // The name box loses the focus.
    void leaveNameBox()
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(w().TexTitle, &out);
    }
};
