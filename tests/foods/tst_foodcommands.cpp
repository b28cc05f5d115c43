// The main window's food commands: "食材", "新規登録" and "削除".
#include "app/bindings.h"
#include "app/fmain.h"
#include "app/program.h"
#include "core/store/datasource.h"
#include "foods/seibn.h"
#include "tests/foods/foodsession.h"
#include "tests/support/controls.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestFoodCommands : public QObject, FoodSession
{
    Q_OBJECT

    // Chooses a food in the food list as the user does: category, then food.
    void chooseFromList(const QString &category, const QString &food)
    {
        ctl<DataList>(*fmain, "DataList2")->setBoundText(category);
        ctl<DataList>(*fmain, "DataList2")
            ->clickRow(ctl<DataList>(*fmain, "DataList2")->selectedRow());
        ctl<DataList>(*fmain, "DataList3")->setBoundText(food);
        ctl<DataList>(*fmain, "DataList3")
            ->clickRow(ctl<DataList>(*fmain, "DataList3")->selectedRow());
    }

private slots:
    void initTestCase() { setUpTestApplication(); }

    void init()
    {
        startOn(
            minimalReferenceSql() +
            QStringLiteral(
                "INSERT INTO bun VALUES (1,'穀類'),(13,'乳類');"
                "INSERT INTO eys(SID,SNM,BID,ENC,NAT) VALUES (1001,'米',1,356,0),"
                " (13001,'牛乳',13,67,0.1),(13002,'ヨーグルト',13,62,0.1),(40000,'豆腐',1,72,0);"
                "INSERT INTO mnu(アイテム名) VALUES ('ごはん'),('ミルク粥');"
                "INSERT INTO kou(アイテムCD,食品コード,数量,単位,数量2) VALUES"
                " (1,1001,150,'ｇ',1.5),(2,13001,200,'ｇ',2),(2,1001,50,'ｇ',0.5);"));
    }

    void cleanup() { stop(); }

    void showAndNewFood()
    {
        chooseFromList(QStringLiteral("13"), QStringLiteral("13002"));
        ctl<QPushButton>(*fmain, "Command1")->click();
        QVERIFY(editor->isVisible());
        QCOMPARE(ctl<QLineEdit>(*editor, "Text1")->text(), QStringLiteral("ヨーグルト"));
        QCOMPARE(ctl<DataSource>(*editor, "Adodc1")->recordSource(),
                 QStringLiteral("SELECT eys.* FROM eys WHERE(eys.SID=13002)"));

        ctl<QAction>(*fmain, "Me_data_addnew")->trigger();
        QCOMPARE(ctl<QPushButton>(*editor, "Command1")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        QVERIFY(ctl<DataSource>(*editor, "Adodc1")->isNewRecord());
        // The query is over the food last narrowed to; the new row follows it.
        QCOMPARE(ctl<DataSource>(*editor, "Adodc1")->position(), 1);
    }

    void deleteFoodUsedInDishes()
    {
        chooseFromList(QStringLiteral("13"), QStringLiteral("13001"));
        ctl<QAction>(*fmain, "Me_data_del")->trigger();

        QCOMPARE(run->prompts.asked.size(), 2);
        const AskedPrompt confirm = run->prompts.asked[0];
        // The question says that the dishes using the milk lose its lines.
        QVERIFY2(confirm.prompt.startsWith(QStringLiteral("牛乳を削除します\nこの食品は料理 ")),
                 qPrintable(confirm.prompt));
        QCOMPARE(confirm.title, QStringLiteral("食品の削除"));
        QCOMPARE(confirm.buttons, Prompts::Buttons::OkCancel);
        QCOMPARE(confirm.icon, Prompts::Icon::None);
        const AskedPrompt report = run->prompts.asked[1];
        QCOMPARE(report.prompt, QStringLiteral("牛乳を削除しました"));
        QCOMPARE(report.title, QStringLiteral("食品の削除"));
        QCOMPARE(report.buttons, Prompts::Buttons::Ok);
        QCOMPARE(report.icon, Prompts::Icon::None);
        QVERIFY(editor->isHidden());

        QVERIFY(folder->scalar(QStringLiteral("SELECT SID FROM eys WHERE SID=13001")).isNull());
        QCOMPARE(folder->count(QStringLiteral("kou")), 3); // its lines stay
        // The food list no longer holds it; the category stays chosen.
        QCOMPARE(ctl<DataList>(*fmain, "DataList2")->boundText(), QStringLiteral("13"));
        QCOMPARE(ctl<DataSource>(*fmain, "AdoEys2")->recordCount(), 1);
        QVERIFY(ctl<DataList>(*fmain, "DataList3")->boundText().isEmpty());
        // The line editor names no food; the first dish is current.
        QCOMPARE(ctl<QLineEdit>(*fmain, "Text4")->text(), QStringLiteral("0"));
        QVERIFY(ctl<QLineEdit>(*fmain, "Text1")->text().isEmpty());
        QCOMPARE(ctl<QLineEdit>(*fmain, "TexID")->text(), QStringLiteral("1"));
        QCOMPARE(ctl<QLineEdit>(*fmain, "TexSumC")->text(), QStringLiteral("534")); // 1.5 x 356

        // In ミルク粥 the milk line is gone from the grid and the sums; the
        // weight still counts it.
        ctl<DataSource>(*fmain, "AdoMnu")->moveLast();
        fmain->refreshDish();
        QCOMPARE(ctl<DataSource>(*fmain, "AdoKou")->recordCount(), 1);
        QCOMPARE(ctl<QLineEdit>(*fmain, "TexSumW100")->text(), QStringLiteral("250"));
        QCOMPARE(ctl<QLineEdit>(*fmain, "TexSumC")->text(), QStringLiteral("178"));
    }

    void deletesTheFoodTheListShows()
    {
        // The food list shows ヨーグルト while Text4 holds 豆腐 (as after a
        // click on a recipe line): the food the list shows is named and
        // deleted.
        QVERIFY(fmain->takeFood(40000));
        ctl<DataList>(*fmain, "DataList2")->setBoundText(QStringLiteral("13"));
        ctl<DataList>(*fmain, "DataList2")
            ->clickRow(ctl<DataList>(*fmain, "DataList2")->selectedRow());
        ctl<DataList>(*fmain, "DataList3")->setBoundText(QStringLiteral("13002"));
        ctl<QAction>(*fmain, "Me_data_del")->trigger();
        QCOMPARE(run->prompts.asked.first().prompt, QStringLiteral("ヨーグルトを削除します"));
        QVERIFY(folder->scalar(QStringLiteral("SELECT SID FROM eys WHERE SID=13002")).isNull());
        QCOMPARE(folder->count(QStringLiteral("eys")), 3);
    }

    void cancelAndNoFoodChangeNothing()
    {
        // Nothing selected in the list: the user is told, nothing deleted,
        // even with a food in the line editor.
        ctl<QLineEdit>(*fmain, "Text4")->setText(QStringLiteral("40000"));
        ctl<QAction>(*fmain, "Me_data_del")->trigger();
        QCOMPARE(run->prompts.asked.size(), 1);
        QCOMPARE(run->prompts.asked.first().title, QStringLiteral("食品の削除"));
        QVERIFY(run->prompts.asked.first().prompt.contains(QStringLiteral("選んでください")));
        QCOMPARE(folder->count(QStringLiteral("eys")), 4);

        chooseFromList(QStringLiteral("1"), QStringLiteral("1001"));
        ctl<DataSource>(*fmain, "AdoMnu")->moveLast();
        run->prompts.answers << Prompts::Answer::Cancel;
        ctl<QAction>(*fmain, "Me_data_del")->trigger();
        QCOMPARE(run->prompts.asked.size(), 2);
        QCOMPARE(folder->count(QStringLiteral("eys")), 4);
        QCOMPARE(ctl<QLineEdit>(*fmain, "Text4")->text(), QStringLiteral("1001"));
        QCOMPARE(ctl<QLineEdit>(*fmain, "Text1")->text(), QStringLiteral("米"));
        QCOMPARE(ctl<QLineEdit>(*fmain, "TexID")->text(), QStringLiteral("2"));

        // A food that no longer exists is neither named nor "deleted".
        folder->exec(QStringLiteral("DELETE FROM eys WHERE SID=1001"));
        ctl<QAction>(*fmain, "Me_data_del")->trigger();
        QCOMPARE(run->prompts.asked.size(), 2);
    }
};

QTEST_MAIN(TestFoodCommands)
#include "tst_foodcommands.moc"
