// The recipe grid of the current dish, moving between dishes and taking a
// line into the line editor.
#include "app/twips.h"
#include "app/widgets.h"
#include "tests/dish/dishwindow.h"
#include "tests/support/controls.h"

#include <QBrush>
#include <QSignalSpy>

class TestRecipeView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestApplication(); }

    void gridShowsThreeColumnsOfTheCurrentDishOnly()
    {
        DishWindow s;
        Fmain &w = s.w();
        QCOMPARE(s.dish(), QStringLiteral("空の料理")); // the last dish in store order
        QCOMPARE(s.recipeRows(), 0);

        QVERIFY(s.goToDish(QStringLiteral("ミルク粥")));
        QCOMPARE(s.recipeFoods(), (QStringList{"米", "牛乳", "しょうゆ"}));
        QCOMPARE(s.recipeCell(2, QStringLiteral("数量")), QStringLiteral("1"));
        QCOMPARE(s.recipeCell(2, QStringLiteral("単位")), QStringLiteral("大さじ"));

        DataSource *kou = ctl<DataSource>(w, "AdoKou");
        const QStringList shown{"素材", "数量", "単位", "重量"};
        QCOMPARE(kou->fieldName(0), QStringLiteral("素材"));
        // 素材, the eight fields of kou, the line's grams and whether they are
        // an estimate.
        QCOMPARE(kou->fieldCount(), 11);
        for (int c = 0; c < kou->fieldCount(); ++c) {
            const QString name = kou->fieldName(c);
            QCOMPARE(ctl<DataGrid>(w, "DataGrid1")->isColumnHidden(c), !shown.contains(name));
            QCOMPARE(
                ctl<DataGrid>(w, "DataGrid1")->model()->headerData(c, Qt::Horizontal).toString(),
                name == QStringLiteral("重量") ? QStringLiteral("重量(g)") : name);
        }
        // The grams column lies at the right of the three, without moving them.
        const int grams = kou->fieldIndex(QStringLiteral("重量"));
        QVERIFY(grams > kou->fieldIndex(QStringLiteral("単位")));
        QCOMPARE(ctl<DataGrid>(w, "DataGrid1")->columnWidth(grams), Twips::toPixels(800));
        QCOMPARE(s.recipeCell(2, QStringLiteral("重量")), QStringLiteral("15"));
        const auto cell = [&](int role) {
            return ctl<DataGrid>(w, "DataGrid1")->model()->index(2, grams).data(role);
        };
        QVERIFY(!cell(Qt::ToolTipRole).toString().contains(QStringLiteral("推定値")));
        // A spoon weighed by the liquid's density: tinted, and said so.
        QVERIFY(s.folder.exec(QStringLiteral("UPDATE etn SET USR=2 WHERE SID=3")));
        QVERIFY(s.goToDish(QStringLiteral("ごはん")));
        QVERIFY(s.goToDish(QStringLiteral("ミルク粥")));
        QCOMPARE(cell(Qt::BackgroundRole).value<QBrush>().color(), Widgets::estimateTint);
        QVERIFY(cell(Qt::ToolTipRole).toString().startsWith(QStringLiteral("推定値")));
        QCOMPARE(
            ctl<DataGrid>(w, "DataGrid1")->columnWidth(kou->fieldIndex(QStringLiteral("素材"))),
            Twips::toPixels(3000));
        QCOMPARE(
            ctl<DataGrid>(w, "DataGrid1")->columnWidth(kou->fieldIndex(QStringLiteral("数量"))),
            Twips::toPixels(800));
        QCOMPARE(
            ctl<DataGrid>(w, "DataGrid1")->columnWidth(kou->fieldIndex(QStringLiteral("単位"))),
            Twips::toPixels(800));
        QVERIFY(ctl<DataGrid>(w, "DataGrid1")
                    ->columnAlignment(kou->fieldIndex(QStringLiteral("数量"))) &
                Qt::AlignRight);
        QVERIFY(!(ctl<DataGrid>(w, "DataGrid1")
                      ->columnAlignment(kou->fieldIndex(QStringLiteral("素材"))) &
                  Qt::AlignRight));

        // A line whose food was deleted from the food table is not shown.
        QVERIFY(s.goToDish(QStringLiteral("ごはん")));
        QCOMPARE(s.recipeFoods(), QStringList{"米"});
        QCOMPARE(s.scalar(QStringLiteral("SELECT count(*) FROM kou WHERE アイテムCD=1")).toInt(),
                 2);
    }

    void gridIsReadOnly()
    {
        DishWindow s;
        QVERIFY(s.goToDish(QStringLiteral("ごはん")));
        Fmain &w = s.w();
        QCOMPARE(ctl<DataGrid>(w, "DataGrid1")->editTriggers(), QAbstractItemView::NoEditTriggers);
        const QModelIndex cell =
            ctl<DataGrid>(w, "DataGrid1")
                ->model()
                ->index(0, ctl<DataSource>(w, "AdoKou")->fieldIndex(QStringLiteral("数量")));
        QVERIFY(!(cell.flags() & Qt::ItemIsEditable));
        QVERIFY(!ctl<DataGrid>(w, "DataGrid1")->model()->setData(cell, 999));
        ctl<DataGrid>(w, "DataGrid1")->edit(cell);
        QCOMPARE(s.scalar(QStringLiteral("SELECT 数量 FROM kou WHERE ID=1")).toDouble(), 150.0);
    }

    void navigationStopsAtBothEnds()
    {
        DishWindow s;
        Fmain &w = s.w();
        QSignalSpy recipeLoads(ctl<DataSource>(w, "AdoKou"), &DataSource::refreshed);
        QSignalSpy totals(ctl<DataSource>(w, "AdoSumW"), &DataSource::refreshed);

        // "＞" on the last dish: same dish, grid left alone, totals recomputed.
        ctl<QPushButton>(w, "Command3")->click();
        QCOMPARE(s.dish(), QStringLiteral("空の料理"));
        QCOMPARE(recipeLoads.count(), 0);
        QCOMPARE(totals.count(), 1);

        ctl<QPushButton>(w, "Command7")->click();
        QCOMPARE(s.dish(), QStringLiteral("ミルク粥"));
        QCOMPARE(s.recipeRows(), 3);
        QCOMPARE(ctl<QLineEdit>(w, "TexSumW100")->text(), QStringLiteral("265"));
        ctl<QPushButton>(w, "Command7")->click();
        QCOMPARE(s.dish(), QStringLiteral("ごはん"));
        QCOMPARE(ctl<QLineEdit>(w, "TexSumW100")->text(),
                 QStringLiteral("250")); // the lost food's line weighs in

        // "＜" on the first dish: same dish, grid left alone, totals recomputed.
        recipeLoads.clear();
        totals.clear();
        ctl<QLineEdit>(w, "TexSumW100")->setText(QStringLiteral("stale"));
        ctl<QPushButton>(w, "Command7")->click();
        QCOMPARE(s.dish(), QStringLiteral("ごはん"));
        QCOMPARE(ctl<QLineEdit>(w, "TexID")->text(), QStringLiteral("1"));
        QCOMPARE(recipeLoads.count(), 0);
        QCOMPARE(totals.count(), 1);
        QCOMPARE(ctl<QLineEdit>(w, "TexSumW100")->text(), QStringLiteral("250"));
        QCOMPARE(s.recipeFoods(), QStringList{"米"});

        ctl<QPushButton>(w, "Command3")->click();
        QCOMPARE(s.dish(), QStringLiteral("ミルク粥"));
        QCOMPARE(s.recipeRows(), 3);

        // "＞|" reloads, also when it is already on the last dish.
        ctl<QPushButton>(w, "Command4")->click();
        QCOMPARE(s.dish(), QStringLiteral("空の料理"));
        QCOMPARE(s.recipeRows(), 0);
        QVERIFY(ctl<QLineEdit>(w, "TexSumW100")->text().isEmpty());
        recipeLoads.clear();
        ctl<QPushButton>(w, "Command4")->click();
        QCOMPARE(s.dish(), QStringLiteral("空の料理"));
        QCOMPARE(recipeLoads.count(), 1);
        QVERIFY(s.prompts().asked.isEmpty());
        QCOMPARE(s.count("mnu"), 3);
        QCOMPARE(s.count("kou"), 5);
    }

    void clickedLineFillsTheLineEditor()
    {
        DishWindow s;
        Fmain &w = s.w();
        QVERIFY(s.goToDish(QStringLiteral("ミルク粥")));
        ctl<DataGrid>(w, "DataGrid1")->clickRow(s.recipeRowOf(QStringLiteral("しょうゆ")));
        QCOMPARE(ctl<QLineEdit>(w, "Text1")->text(), QStringLiteral("しょうゆ"));
        QCOMPARE(ctl<QLineEdit>(w, "Text2")->text(), QStringLiteral("1"));
        QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QStringLiteral("0.15"));
        QCOMPARE(ctl<QLineEdit>(w, "Text4")->text(), QStringLiteral("3"));
        QCOMPARE(ctl<DataCombo>(w, "DataCombo1")->text(), QStringLiteral("大さじ"));
        QCOMPARE(ctl<QLineEdit>(w, "TexKouID")->text(), QStringLiteral("5"));

        // Another line of the same dish replaces it.
        ctl<DataGrid>(w, "DataGrid1")->clickRow(s.recipeRowOf(QStringLiteral("牛乳")));
        QCOMPARE(ctl<QLineEdit>(w, "Text1")->text(), QStringLiteral("牛乳"));
        QCOMPARE(ctl<QLineEdit>(w, "Text2")->text(), QStringLiteral("200"));
        QCOMPARE(ctl<QLineEdit>(w, "Text3")->text(), QStringLiteral("2"));
        QCOMPARE(ctl<DataCombo>(w, "DataCombo1")->text(), QStringLiteral("ｇ"));
        QCOMPARE(ctl<QLineEdit>(w, "TexKouID")->text(), QStringLiteral("4"));
        QVERIFY(s.prompts().asked.isEmpty());
        QCOMPARE(s.count("kou"), 5);
    }

    void clickOnAnEmptyGridDoesNothing()
    {
        DishWindow s;
        Fmain &w = s.w();
        QCOMPARE(s.recipeRows(), 0);
        ctl<DataGrid>(w, "DataGrid1")->clickRow(0);
        emit ctl<DataGrid>(w, "DataGrid1")->rowClicked(); // as if the click reached an empty grid
        QCOMPARE(ctl<QLineEdit>(w, "Text1")->text(), QStringLiteral("食品名"));
        QVERIFY(ctl<QLineEdit>(w, "TexKouID")->text().isEmpty());
        QCOMPARE(s.count("kou"), 5);
    }

    // The selected line belongs to the dish it was chosen in: after a change
    // of dish the new dish's first line is current, and "削除" deletes that
    // one, never the line of the other dish.
    void changingTheDishClearsTheSelectedLine()
    {
        DishWindow s;
        Fmain &w = s.w();
        QVERIFY(s.goToDish(QStringLiteral("ミルク粥")));
        ctl<DataGrid>(w, "DataGrid1")->clickRow(s.recipeRowOf(QStringLiteral("牛乳")));
        QCOMPARE(ctl<QLineEdit>(w, "TexKouID")->text(), QStringLiteral("4"));

        ctl<QPushButton>(w, "Command7")->click();
        QCOMPARE(s.dish(), QStringLiteral("ごはん"));
        QCOMPARE(ctl<QLineEdit>(w, "TexKouID")->text(), QStringLiteral("1"));

        ctl<QPushButton>(w, "Command6")->click();
        QCOMPARE(s.count("kou"), 4);
        QCOMPARE(s.scalar(QStringLiteral("SELECT count(*) FROM kou WHERE ID=1")).toInt(), 0);
        QCOMPARE(s.scalar(QStringLiteral("SELECT count(*) FROM kou WHERE アイテムCD=2")).toInt(),
                 3);
        QCOMPARE(s.count("mnu"), 3);
        QCOMPARE(s.count("eys"), 3);
    }

    // Keys beyond the 16-bit range: a dish 40000 with a line 70000.
    void keysBeyond32767()
    {
        DishWindow s(kitchenSql() +
                     QStringLiteral("INSERT INTO mnu(ID,アイテム名) VALUES (40000,'大鍋');"
                                    "INSERT INTO kou(ID,アイテムCD,食品コード,数量,単位,数量2)"
                                    " VALUES (70000,40000,2,300,'ｇ',3);"));
        Fmain &w = s.w();
        QCOMPARE(s.dish(), QStringLiteral("大鍋"));
        QCOMPARE(ctl<QLineEdit>(w, "TexID")->text(), QStringLiteral("40000"));
        QCOMPARE(s.recipeFoods(), QStringList{"牛乳"});
        QCOMPARE(ctl<QLineEdit>(w, "TexSumW100")->text(), QStringLiteral("300"));
        QCOMPARE(ctl<QLineEdit>(w, "TexSumC")->text(), QStringLiteral("201"));

        ctl<DataGrid>(w, "DataGrid1")->clickRow(0);
        QCOMPARE(ctl<QLineEdit>(w, "TexKouID")->text(), QStringLiteral("70000"));

        QVERIFY(s.chooseFood(QStringLiteral("穀類"), QStringLiteral("米")));
        ctl<QPushButton>(w, "Command2")->click();
        QCOMPARE(
            s.scalar(QStringLiteral("SELECT count(*) FROM kou WHERE アイテムCD=40000")).toInt(), 2);
        QCOMPARE(s.recipeFoods(), (QStringList{"牛乳", "米"}));
        QCOMPARE(ctl<QLineEdit>(w, "TexSumW100")->text(), QStringLiteral("400"));

        // The added line is current: 削除 deletes it, then 70000.
        ctl<QPushButton>(w, "Command6")->click();
        QCOMPARE(s.recipeFoods(), QStringList{"牛乳"});
        QCOMPARE(ctl<QLineEdit>(w, "TexKouID")->text(), QStringLiteral("70000"));
        QVERIFY(s.chooseFood(QStringLiteral("穀類"), QStringLiteral("米")));
        ctl<QPushButton>(w, "Command2")->click();
        ctl<DataGrid>(w, "DataGrid1")->clickRow(0);
        ctl<QPushButton>(w, "Command6")->click(); // the clicked line 70000
        QCOMPARE(s.scalar(QStringLiteral("SELECT count(*) FROM kou WHERE ID=70000")).toInt(), 0);
        QCOMPARE(s.recipeFoods(), QStringList{"米"});
        QCOMPARE(ctl<QLineEdit>(w, "TexSumW100")->text(), QStringLiteral("100"));
        QCOMPARE(s.count("kou"), 6);
        QVERIFY(s.prompts().asked.isEmpty());
    }
};

QTEST_MAIN(TestRecipeView)
#include "tst_recipeview.moc"
