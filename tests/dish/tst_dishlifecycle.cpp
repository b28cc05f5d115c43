// Creating, renaming and deleting dishes from the dish row of the main window.
#include "tests/dish/dishwindow.h"
#include "tests/support/controls.h"

class TestDishLifecycle : public QObject
{
    Q_OBJECT

    static QString storedName(DishWindow &s, qint64 id)
    {
        return s.scalar(QStringLiteral("SELECT アイテム名 FROM mnu WHERE ID=%1").arg(id))
            .toString();
    }
    static QStringList enabledDishButtons(Fmain &w)
    {
        QStringList names;
        for (QPushButton *button : DishWindow::dishButtons(w))
            if (button->isEnabled())
                names << button->objectName();
        return names;
    }

private slots:
    void initTestCase() { setUpTestApplication(); }

    void firstDishInAnEmptyStoreEnablesTheSevenButtons()
    {
        DishWindow s(minimalReferenceSql() +
                     QStringLiteral("INSERT INTO eys(SID,SNM,BID,ENC) VALUES (1,'米',20,350);"));
        Fmain &w = s.w();
        QVERIFY(enabledDishButtons(w).isEmpty());
        QVERIFY(ctl<QPushButton>(w, "Command8")->isEnabled());

        s.prompts().inputs << QStringLiteral("煮物");
        ctl<QPushButton>(w, "Command8")->click();
        QCOMPARE(s.prompts().asked.size(), 1);
        QCOMPARE(s.prompts().asked.first().kind, AskedPrompt::Input);
        QCOMPARE(s.prompts().asked.first().prompt,
                 QStringLiteral("追加する料理名を入力してください"));
        QCOMPARE(s.prompts().asked.first().title, QStringLiteral("料理の新規追加"));
        QCOMPARE(s.count("mnu"), 1);
        QCOMPARE(s.dish(), QStringLiteral("煮物"));
        QCOMPARE(ctl<QLineEdit>(w, "TexID")->text(),
                 s.scalar(QStringLiteral("SELECT ID FROM mnu")).toString());
        // Without a line there is nothing for 削除 and 更新 to act on.
        QCOMPARE(enabledDishButtons(w),
                 (QStringList{"Command2", "Command7", "Command3", "Command4", "Command9"}));
        QCOMPARE(s.recipeRows(), 0);
        QVERIFY(ctl<QLineEdit>(w, "TexSumW100")->text().isEmpty());

        // The new dish takes lines at once.
        QVERIFY(s.chooseFood(QStringLiteral("登録食品"), QStringLiteral("米")));
        ctl<QPushButton>(w, "Command2")->click();
        QCOMPARE(s.count("kou"), 1);
        QCOMPARE(ctl<QLineEdit>(w, "TexSumW100")->text(), QStringLiteral("100"));
        QCOMPARE(ctl<QLineEdit>(w, "TexSumC")->text(), QStringLiteral("350"));
    }

    void emptyOrCancelledNameCreatesNothing()
    {
        DishWindow s;
        Fmain &w = s.w();
        s.prompts().inputs << std::nullopt << QString() << QStringLiteral("　 ");
        for (int i = 0; i < 3; ++i)
            ctl<QPushButton>(w, "Command8")->click();
        QCOMPARE(s.prompts().asked.size(), 3); // the input box only, no message
        QCOMPARE(s.count("mnu"), 3);
        QCOMPARE(s.dish(), QStringLiteral("空の料理"));
    }

    // A new dish, even one named like another, is its own dish; it becomes
    // current with an empty grid and totals of its own.
    void newDishIsCurrentWithItsOwnTotals()
    {
        DishWindow s;
        Fmain &w = s.w();
        QVERIFY(s.goToDish(QStringLiteral("ミルク粥")));
        QCOMPARE(ctl<QLineEdit>(w, "TexSumW100")->text(), QStringLiteral("265"));
        s.prompts().inputs << QStringLiteral("ミルク粥");
        ctl<QPushButton>(w, "Command8")->click();
        QCOMPARE(s.count("mnu"), 4);
        QCOMPARE(s.scalar(QStringLiteral("SELECT count(*) FROM mnu WHERE アイテム名='ミルク粥'"))
                     .toInt(),
                 2);
        QCOMPARE(ctl<QLineEdit>(w, "TexID")->text(), QStringLiteral("4"));
        QCOMPARE(s.dish(), QStringLiteral("ミルク粥"));
        QCOMPARE(s.recipeRows(), 0);
        for (QLineEdit *box :
             {ctl<QLineEdit>(w, "TexSumW100"), ctl<QLineEdit>(w, "TexSumC"),
              ctl<QLineEdit>(w, "TexNa"), ctl<QLineEdit>(w, "Text5"), ctl<QLineEdit>(w, "Text9")})
            QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
        // It is the last dish: "＞" stays on it.
        ctl<QPushButton>(w, "Command3")->click();
        QCOMPARE(ctl<QLineEdit>(w, "TexID")->text(), QStringLiteral("4"));
    }

    void deletionAsksFirst()
    {
        DishWindow s;
        Fmain &w = s.w();
        QVERIFY(s.goToDish(QStringLiteral("ミルク粥")));
        s.prompts().answers << Prompts::Answer::Cancel;
        ctl<QPushButton>(w, "Command9")->click();
        QCOMPARE(s.prompts().asked.size(), 1);
        const AskedPrompt ask = s.prompts().asked.first();
        QCOMPARE(ask.prompt, QStringLiteral("ミルク粥を削除します"));
        QCOMPARE(ask.title, QStringLiteral("料理の削除"));
        QCOMPARE(ask.buttons, Prompts::Buttons::OkCancel);
        QCOMPARE(ask.icon, Prompts::Icon::None);
        QCOMPARE(s.count("mnu"), 3);
        QCOMPARE(s.count("kou"), 5);
        QCOMPARE(s.dish(), QStringLiteral("ミルク粥"));
        QCOMPARE(s.recipeRows(), 3);

        // OK: the dish and its three lines go in one transaction; the first
        // dish becomes current with its own grid and totals.
        s.prompts().clear();
        ctl<QPushButton>(w, "Command9")->click();
        QCOMPARE(s.prompts().asked.size(), 2);
        const AskedPrompt done = s.prompts().asked.at(1);
        QCOMPARE(done.prompt, QStringLiteral("ミルク粥を削除しました"));
        QCOMPARE(done.title, QStringLiteral("データ削除"));
        QCOMPARE(done.buttons, Prompts::Buttons::Ok);
        QCOMPARE(done.icon, Prompts::Icon::None);
        QCOMPARE(s.count("mnu"), 2);
        QCOMPARE(s.count("kou"), 2);
        QCOMPARE(s.scalar(QStringLiteral("SELECT count(*) FROM kou WHERE アイテムCD=2")).toInt(),
                 0);
        QCOMPARE(s.dish(), QStringLiteral("ごはん"));
        QCOMPARE(s.recipeFoods(), QStringList{"米"});
        QCOMPARE(ctl<QLineEdit>(w, "TexSumW100")->text(), QStringLiteral("250"));
        QCOMPARE(ctl<QLineEdit>(w, "TexSumC")->text(), QStringLiteral("525"));
    }

    void deletingTheLastDishDisablesTheButtons()
    {
        DishWindow s(minimalReferenceSql() +
                     QStringLiteral("INSERT INTO eys(SID,SNM,BID,ENC) VALUES (1,'米',20,350);"
                                    "INSERT INTO mnu(ID,アイテム名) VALUES (7,'煮物');"
                                    "INSERT INTO kou(アイテムCD,食品コード,数量,単位,数量2)"
                                    " VALUES (7,1,100,'ｇ',1);"));
        Fmain &w = s.w();
        QCOMPARE(ctl<QLineEdit>(w, "TexSumC")->text(), QStringLiteral("350"));
        ctl<QPushButton>(w, "Command9")->click();
        QCOMPARE(s.prompts().asked.size(), 2);
        QCOMPARE(s.prompts().asked.at(0).prompt, QStringLiteral("煮物を削除します"));
        QCOMPARE(s.prompts().asked.at(1).prompt, QStringLiteral("煮物を削除しました"));
        QCOMPARE(s.count("mnu"), 0);
        QCOMPARE(s.count("kou"), 0);
        QVERIFY(enabledDishButtons(w).isEmpty());
        QVERIFY(ctl<QLineEdit>(w, "TexTitle")->text().isEmpty());
        QCOMPARE(s.recipeRows(), 0);
        for (QLineEdit *box : {ctl<QLineEdit>(w, "TexSumW100"), ctl<QLineEdit>(w, "TexSumC"),
                               ctl<QLineEdit>(w, "TexNa"), ctl<QLineEdit>(w, "Text5")})
            QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
    }

    // A rename keeps the renamed dish current, with its grid and totals.
    void renameKeepsTheDish()
    {
        DishWindow s;
        Fmain &w = s.w();
        QVERIFY(s.goToDish(QStringLiteral("ミルク粥")));
        DishWindow::type(ctl<QLineEdit>(w, "TexTitle"), QStringLiteral("ミルク雑炊"));
        s.leaveNameBox();
        QCOMPARE(storedName(s, 2), QStringLiteral("ミルク雑炊"));
        QCOMPARE(s.dish(), QStringLiteral("ミルク雑炊"));
        QCOMPARE(ctl<QLineEdit>(w, "TexID")->text(), QStringLiteral("2"));
        QCOMPARE(s.recipeRows(), 3);
        QCOMPARE(ctl<QLineEdit>(w, "TexSumW100")->text(), QStringLiteral("265"));
        QCOMPARE(s.count("mnu"), 3);
        QVERIFY(s.prompts().asked.isEmpty());

        // The neighbours are where they were.
        ctl<QPushButton>(w, "Command7")->click();
        QCOMPARE(s.dish(), QStringLiteral("ごはん"));
        ctl<QPushButton>(w, "Command3")->click();
        ctl<QPushButton>(w, "Command3")->click();
        QCOMPARE(s.dish(), QStringLiteral("空の料理"));
    }

    // An empty name is never stored: leaving the box says so and brings the
    // stored name back; moving away from the dish drops it.
    void emptyNameIsNeverStored()
    {
        DishWindow s;
        Fmain &w = s.w();
        QVERIFY(s.goToDish(QStringLiteral("ミルク粥")));
        DishWindow::type(ctl<QLineEdit>(w, "TexTitle"), QString());
        s.leaveNameBox();
        QCOMPARE(s.prompts().asked.size(), 1);
        const AskedPrompt asked = s.prompts().asked.first();
        QCOMPARE(asked.prompt, QStringLiteral("料理名を入力してください"));
        QVERIFY(asked.title.isEmpty() || asked.title == QStringLiteral("ゼント"));
        QCOMPARE(asked.buttons, Prompts::Buttons::Ok);
        QCOMPARE(asked.icon, Prompts::Icon::None);
        QCOMPARE(storedName(s, 2), QStringLiteral("ミルク粥"));
        QCOMPARE(s.dish(), QStringLiteral("ミルク粥"));

        // The record-pointer way out, by each button that moves it.
        for (QPushButton *button :
             {ctl<QPushButton>(w, "Command7"), ctl<QPushButton>(w, "Command3"),
              ctl<QPushButton>(w, "Command4")}) {
            QVERIFY(s.goToDish(QStringLiteral("ミルク粥")));
            DishWindow::type(ctl<QLineEdit>(w, "TexTitle"), QStringLiteral("　"));
            button->click();
            QCOMPARE(storedName(s, 2), QStringLiteral("ミルク粥"));
        }
        QVERIFY(s.goToDish(QStringLiteral("ミルク粥")));
        DishWindow::type(ctl<QLineEdit>(w, "TexTitle"), QString());
        s.prompts().inputs << QStringLiteral("新しい料理");
        ctl<QPushButton>(w, "Command8")->click();
        QCOMPARE(storedName(s, 2), QStringLiteral("ミルク粥"));
        QCOMPARE(s.dish(), QStringLiteral("新しい料理"));

        QVERIFY(s.goToDish(QStringLiteral("ミルク粥")));
        DishWindow::type(ctl<QLineEdit>(w, "TexTitle"), QString());
        w.findChild<DishSession *>()->loadDishes(); // as the food deletion reloads the dishes
        QCOMPARE(storedName(s, 2), QStringLiteral("ミルク粥"));

        // The box emptied, the dish deleted: the confirmation names the dish.
        QVERIFY(s.goToDish(QStringLiteral("ミルク粥")));
        DishWindow::type(ctl<QLineEdit>(w, "TexTitle"), QString());
        s.prompts().clear();
        s.prompts().answers << Prompts::Answer::Cancel;
        ctl<QPushButton>(w, "Command9")->click();
        QCOMPARE(s.prompts().asked.first().prompt, QStringLiteral("ミルク粥を削除します"));
        QCOMPARE(storedName(s, 2), QStringLiteral("ミルク粥"));
        QCOMPARE(
            s.scalar(QStringLiteral("SELECT count(*) FROM mnu WHERE trim(アイテム名, ' 　')=''"))
                .toInt(),
            0);
    }
};

QTEST_MAIN(TestDishLifecycle)
#include "tst_dishlifecycle.moc"
