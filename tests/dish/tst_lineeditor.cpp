// The line editor: the weight factor and the three line buttons, each
// followed by the grid and the totals.
#include "tests/dish/dishwindow.h"
#include "tests/support/controls.h"

class TestLineEditor : public QObject
{
    Q_OBJECT

    // A line of the store as "食品コード 数量 数量2 単位".
    static QString line(DishWindow &s, qint64 id)
    {
        const QString sql =
            QStringLiteral("SELECT 食品コード || ' ' || 数量 || ' ' || 数量2 || ' ' || 単位"
                           " FROM kou WHERE ID=%1")
                .arg(id);
        return s.scalar(sql).toString();
    }
    static qint64 lastLine(DishWindow &s)
    {
        return s.scalar(QStringLiteral("SELECT max(ID) FROM kou")).toLongLong();
    }

private slots:
    void initTestCase() { setUpTestApplication(); }

    // A food's own weight of a unit counts in the factor, in "追加" and in
    // "更新"; its own units come first in the unit list.
    void foodsOwnUnitWeight()
    {
        DishWindow s(kitchenSql() +
                     QStringLiteral("DELETE FROM etn; INSERT INTO etn(SID,TNM,KAK) VALUES"
                                    " (3,'小さじ',6), (3,'大さじ',18);"));
        Fmain &w = s.w();
        QVERIFY(s.chooseFood(QStringLiteral("穀類"), QStringLiteral("米")));
        QCOMPARE(ctl<DataCombo>(w, "DataCombo1")->itemText(0), QStringLiteral("ｇ"));
        // Rice has no weight of a 大さじ: the factor is not guessed from
        // water's, and "追加" says so and stores nothing.
        DishWindow::type(ctl<QLineEdit>(w, "Text2"), QStringLiteral("1"));
        QVERIFY(s.chooseUnit(QStringLiteral("大さじ")));
        QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QStringLiteral("0.01"));
        ctl<QPushButton>(w, "Command2")->click();
        QCOMPARE(s.prompts().asked.size(), 1);
        QCOMPARE(s.prompts().asked.first().prompt,
                 QStringLiteral("大さじの重さがこの食品にはありません。グラムで入力するか、"
                                "食材編集の目安量に登録してください"));
        QCOMPARE(s.count("kou"), 5);

        // The same unit of soy sauce weighs its own 18 g.
        QVERIFY(s.goToDish(QStringLiteral("ミルク粥")));
        QVERIFY(s.chooseFood(QStringLiteral("登録食品"), QStringLiteral("しょうゆ")));
        QCOMPARE(ctl<DataCombo>(w, "DataCombo1")->itemText(0), QStringLiteral("小さじ"));
        QCOMPARE(ctl<DataCombo>(w, "DataCombo1")->itemText(1), QStringLiteral("大さじ"));
        DishWindow::type(ctl<QLineEdit>(w, "Text2"), QStringLiteral("1"));
        QVERIFY(s.chooseUnit(QStringLiteral("大さじ")));
        QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QStringLiteral("0.18"));
        ctl<QPushButton>(w, "Command2")->click();
        QCOMPARE(line(s, lastLine(s)), QStringLiteral("3 1.0 0.18 大さじ"));

        // Selecting the soy sauce line stored at the general weight shows its
        // stored factor; "更新" stores it at the food's own weight.
        ctl<DataGrid>(w, "DataGrid1")->clickRow(2);
        QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QStringLiteral("0.15"));
        ctl<QPushButton>(w, "Command11")->click();
        QCOMPARE(line(s, 5), QStringLiteral("3 1.0 0.18 大さじ"));
    }

    void weightFactorFollowsQuantityAndUnit()
    {
        DishWindow s;
        Fmain &w = s.w();
        QVERIFY(s.chooseFood(QStringLiteral("穀類"), QStringLiteral("米")));
        QCOMPARE(ctl<QLineEdit>(w, "Text1")->text(), QStringLiteral("米"));
        QCOMPARE(ctl<QLineEdit>(w, "Text4")->text(), QStringLiteral("1"));
        QCOMPARE(ctl<QLineEdit>(w, "Text2")->text(), QStringLiteral("100"));
        QCOMPARE(ctl<DataCombo>(w, "DataCombo1")->text(), QStringLiteral("ｇ"));
        QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QStringLiteral("1"));

        DishWindow::type(ctl<QLineEdit>(w, "Text2"), QStringLiteral("2"));
        QVERIFY(s.chooseUnit(QStringLiteral("大さじ"))); // rice has no spoon weight
        QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QStringLiteral("0.02"));
        QVERIFY(s.chooseUnit(QStringLiteral("個")));
        QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QStringLiteral("1"));

        // Full-width digits and point, as an input method gives them.
        DishWindow::type(ctl<QLineEdit>(w, "Text2"), QStringLiteral("１．５"));
        QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QStringLiteral("0.75"));
        QVERIFY(s.chooseUnit(QStringLiteral("ｇ")));
        DishWindow::type(ctl<QLineEdit>(w, "Text2"), QStringLiteral("１００"));
        QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QStringLiteral("1"));

        // Text that is not a number, or a unit not in the list, keeps the
        // factor of the last number the box held ("12" on the way to "12g").
        DishWindow::type(ctl<QLineEdit>(w, "Text2"), QStringLiteral("12g"));
        QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QStringLiteral("0.12"));
        ctl<QLineEdit>(w, "Text2")->setText(QStringLiteral("abc"));
        QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QStringLiteral("0.12"));
        DishWindow::type(ctl<QLineEdit>(w, "Text2"), QStringLiteral("250"));
        QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QStringLiteral("2.5"));
        ctl<DataCombo>(w, "DataCombo1")->setEditText(QStringLiteral("カップ"));
        DishWindow::type(ctl<QLineEdit>(w, "Text2"), QStringLiteral("3"));
        QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QStringLiteral("2.5"));
        QVERIFY(s.prompts().asked.isEmpty());
        QCOMPARE(s.count("kou"), 5);
    }

    // A cleared quantity keeps the last factor in the hidden box, but "追加"
    // refuses the line and says which box to mend; nothing is stored and the
    // totals stay those of the dish.
    void clearedQuantityIsRefused()
    {
        DishWindow s;
        Fmain &w = s.w();
        QVERIFY(s.goToDish(QStringLiteral("ミルク粥")));
        QVERIFY(s.chooseFood(QStringLiteral("登録食品"), QStringLiteral("しょうゆ")));
        DishWindow::type(ctl<QLineEdit>(w, "Text2"), QStringLiteral("2"));
        QVERIFY(s.chooseUnit(QStringLiteral("大さじ")));
        QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QStringLiteral("0.3"));
        ctl<QLineEdit>(w, "Text2")->selectAll();
        QTest::keyClick(ctl<QLineEdit>(w, "Text2"), Qt::Key_Backspace);
        QCOMPARE(ctl<QLineEdit>(w, "Text2")->text(), QString());
        QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QStringLiteral("0.3"));

        ctl<QPushButton>(w, "Command2")->click();
        QCOMPARE(s.prompts().asked.size(), 1);
        const AskedPrompt asked = s.prompts().asked.first();
        QVERIFY2(asked.prompt.contains(QStringLiteral("「数量」")), qPrintable(asked.prompt));
        QCOMPARE(asked.title, QStringLiteral("栄養計算"));
        QCOMPARE(asked.icon, Prompts::Icon::Exclamation);
        QCOMPARE(s.count("kou"), 5);
        QCOMPARE(ctl<QLineEdit>(w, "TexSumW100")->text(), QStringLiteral("265"));

        // A unit typed in another width and case is the listed unit.
        DishWindow::type(ctl<QLineEdit>(w, "Text2"), QStringLiteral("1,000"));
        ctl<DataCombo>(w, "DataCombo1")->setEditText(QStringLiteral("Ｇ"));
        QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QStringLiteral("10"));
        ctl<QPushButton>(w, "Command2")->click();
        QCOMPARE(s.count("kou"), 6);
        QCOMPARE(line(s, lastLine(s)), QStringLiteral("3 1000.0 10.0 ｇ"));
        QCOMPARE(ctl<QLineEdit>(w, "TexSumW100")->text(), QStringLiteral("1265"));
    }

    void addUpdateAndDeleteKeepGridAndTotalsInStep()
    {
        DishWindow s;
        Fmain &w = s.w();
        QVERIFY(s.goToDish(QStringLiteral("ミルク粥")));
        QCOMPARE(ctl<QLineEdit>(w, "TexSumW100")->text(), QStringLiteral("265"));

        // 追加: 2 spoons of soy sauce.
        QVERIFY(s.chooseFood(QStringLiteral("登録食品"), QStringLiteral("しょうゆ")));
        DishWindow::type(ctl<QLineEdit>(w, "Text2"), QStringLiteral("2"));
        QVERIFY(s.chooseUnit(QStringLiteral("大さじ")));
        ctl<QPushButton>(w, "Command2")->click();
        QCOMPARE(s.count("kou"), 6);
        const qint64 added = lastLine(s);
        QCOMPARE(line(s, added), QStringLiteral("3 2.0 0.3 大さじ"));
        QCOMPARE(s.recipeFoods(), (QStringList{"米", "牛乳", "しょうゆ", "しょうゆ"}));
        QCOMPARE(s.recipeCell(3, QStringLiteral("数量")), QStringLiteral("2"));
        QCOMPARE(ctl<QLineEdit>(w, "TexSumW100")->text(), QStringLiteral("295"));
        // Salt: 0.15 × 14.5 + 2 × 0.1 + 0.3 × 14.5 = 6.725 → 6.73.
        QCOMPARE(ctl<QLineEdit>(w, "TexNa")->text(), QStringLiteral("6.73"));

        // The editor keeps its values: a second press adds a second line.
        ctl<QPushButton>(w, "Command2")->click();
        QCOMPARE(s.count("kou"), 7);
        QVERIFY(lastLine(s) != added);
        QCOMPARE(line(s, lastLine(s)), line(s, added));
        QCOMPARE(ctl<QLineEdit>(w, "TexSumW100")->text(), QStringLiteral("325"));

        // 更新: the milk line becomes 150 g, typed in full-width digits.
        ctl<DataGrid>(w, "DataGrid1")->clickRow(s.recipeRowOf(QStringLiteral("牛乳")));
        DishWindow::type(ctl<QLineEdit>(w, "Text2"), QStringLiteral("１５０"));
        QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QStringLiteral("1.5"));
        ctl<QPushButton>(w, "Command11")->click();
        QCOMPARE(s.count("kou"), 7);
        QCOMPARE(line(s, 4), QStringLiteral("2 150.0 1.5 ｇ"));
        QCOMPARE(s.recipeCell(s.recipeRowOf(QStringLiteral("牛乳")), QStringLiteral("数量")),
                 QStringLiteral("150"));
        QCOMPARE(ctl<QLineEdit>(w, "TexSumW100")->text(), QStringLiteral("275"));
        QCOMPARE(line(s, 3), QStringLiteral("1 50.0 0.5 ｇ")); // the others untouched

        // 削除: the selected line only.
        ctl<DataGrid>(w, "DataGrid1")->clickRow(s.recipeRowOf(QStringLiteral("牛乳")));
        ctl<QPushButton>(w, "Command6")->click();
        QCOMPARE(s.count("kou"), 6);
        QCOMPARE(s.scalar(QStringLiteral("SELECT count(*) FROM kou WHERE ID=4")).toInt(), 0);
        QCOMPARE(s.recipeFoods(), (QStringList{"米", "しょうゆ", "しょうゆ", "しょうゆ"}));
        QCOMPARE(ctl<QLineEdit>(w, "TexSumW100")->text(), QStringLiteral("125"));
        QCOMPARE(s.count("mnu"), 3);
        QCOMPARE(s.count("eys"), 3);
        // The line that took its place is now the current one.
        QCOMPARE(ctl<QLineEdit>(w, "TexKouID")->text(), QStringLiteral("5"));
        QVERIFY(s.prompts().asked.isEmpty());
    }

    void addWithoutAFoodAsksForOne()
    {
        DishWindow s;
        Fmain &w = s.w();
        QVERIFY(s.goToDish(QStringLiteral("ごはん")));
        QCOMPARE(ctl<QLineEdit>(w, "Text4")->text(), QStringLiteral("0")); // as the window loads
        ctl<QLineEdit>(w, "TexSumW100")->setText(QStringLiteral("stale"));
        DishWindow::type(ctl<QLineEdit>(w, "Text2"), QStringLiteral("100"));
        ctl<QPushButton>(w, "Command2")->click();

        QCOMPARE(s.prompts().asked.size(), 1);
        const AskedPrompt asked = s.prompts().asked.first();
        QCOMPARE(asked.prompt, QStringLiteral("上の「食品名」欄から食品を選んでください"));
        QCOMPARE(asked.title, QStringLiteral("栄養計算"));
        QCOMPARE(asked.buttons, Prompts::Buttons::Ok);
        QCOMPARE(asked.icon, Prompts::Icon::Exclamation);
        QCOMPARE(s.count("kou"), 5);
        QCOMPARE(s.recipeRows(), 1);
        QCOMPARE(ctl<QLineEdit>(w, "TexSumW100")->text(),
                 QStringLiteral("250")); // recomputed all the same
    }

    // "更新" without a line to rewrite changes nothing and says nothing;
    // without a chosen food it would cut the line off its food, so it asks
    // for one as "追加" does.
    void updateNeedsALineAndAFood()
    {
        DishWindow s;
        Fmain &w = s.w();
        QCOMPARE(s.dish(), QStringLiteral("空の料理"));
        QVERIFY(s.chooseFood(QStringLiteral("穀類"), QStringLiteral("米")));
        ctl<QPushButton>(w, "Command11")->click();
        QVERIFY(s.prompts().asked.isEmpty());
        QCOMPARE(s.count("kou"), 5);
        QCOMPARE(s.recipeRows(), 0);

        DishWindow fresh; // no food chosen yet
        QVERIFY(fresh.goToDish(QStringLiteral("ごはん")));
        ctl<QPushButton>(fresh.w(), "Command11")->click();
        QCOMPARE(fresh.prompts().asked.size(), 1);
        QCOMPARE(fresh.prompts().asked.first().prompt,
                 QStringLiteral("上の「食品名」欄から食品を選んでください"));
        QCOMPARE(line(fresh, 1), QStringLiteral("1 150.0 1.5 ｇ"));
        QCOMPARE(fresh.recipeFoods(), QStringList{"米"});
    }

    // Before the unit list is loaded (the window loaded, the lists not yet
    // bound) the weight recomputation and "更新" leave everything as it is.
    void windowBeforeItsListsAreLoaded()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(kitchenSql()));
        ScriptedPrompts prompts;
        Program program(prompts);
        program.DbConnectionString = Program::connectionText();
        Fmain w(program);
        ctl<QLineEdit>(w, "Text2")->setText(QStringLiteral("2"));
        ctl<DataCombo>(w, "DataCombo1")->setEditText(QStringLiteral("大さじ"));
        QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QStringLiteral("グラム数"));
        ctl<QPushButton>(w, "Command11")->click();
        ctl<QPushButton>(w, "Command6")->click();
        QVERIFY(prompts.asked.isEmpty());
        QCOMPARE(folder.count(QStringLiteral("kou")), 5);
        QCOMPARE(folder.count(QStringLiteral("mnu")), 3);
    }

    // Enlarged, the window gives the food lists half the height gained and
    // the recipe the other half; the line editor stays between them.
    void enlargedWindowSharesTheHeight()
    {
        DishWindow s;
        Fmain &w = s.w();
        QWidget *foods = ctl<DataList>(w, "DataList3");
        QWidget *quantity = ctl<QLineEdit>(w, "Text2");
        QWidget *recipe = ctl<DataGrid>(w, "DataGrid1");
        const QRect list = foods->geometry(), box = quantity->geometry(), grid = recipe->geometry();
        QWidget *client = foods->parentWidget();
        client->resize(client->width() + 100, client->height() + 200);
        QCOMPARE(foods->height(), list.height() + 100);
        QCOMPARE(foods->width(), list.width() + 100);
        QCOMPARE(quantity->y(), box.y() + 100);
        QCOMPARE(recipe->y(), grid.y() + 100);
        QCOMPARE(recipe->geometry().bottom(), grid.bottom() + 200);
        QVERIFY(foods->geometry().bottom() < quantity->y());
    }
};

QTEST_MAIN(TestLineEditor)
#include "tst_lineeditor.moc"
