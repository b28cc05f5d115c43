// What the line editor takes and which line its commands act on: the food
// and category the user reaches in the lists by keyboard as by mouse, one
// current line (the grid's ▶) through 追加, 更新 and 削除, Enter in 数量.
#include "tests/dish/dishwindow.h"
#include "tests/support/controls.h"

class TestLineChoice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestApplication(); }

    // Arrows and Enter in 食品区分 and 食品名 choose what they highlight.
    void keyboardChoosesInTheLists()
    {
        DishWindow s;
        Fmain &w = s.w();
        QVERIFY(s.chooseFood(QStringLiteral("乳類"), QStringLiteral("牛乳")));
        auto *categories = ctl<DataList>(w, "DataList2");
        auto *foods = ctl<DataList>(w, "DataList3");

        categories->setFocus();
        QTest::keyClick(categories, Qt::Key_Up);
        QCOMPARE(categories->text(), QStringLiteral("穀類"));
        QCOMPARE(foods->model()->rowCount(), 1); // the grains are listed

        foods->setFocus();
        QTest::keyClick(foods, Qt::Key_Down);
        QCOMPARE(foods->text(), QStringLiteral("米"));
        QCOMPARE(ctl<QLineEdit>(w, "Text1")->text(), QStringLiteral("米"));
        QCOMPARE(ctl<QLineEdit>(w, "Text4")->text(), QStringLiteral("1"));

        // Enter takes the highlighted food again: 100 g of it proposed anew.
        ctl<QLineEdit>(w, "Text2")->setText(QStringLiteral("5"));
        QTest::keyClick(foods, Qt::Key_Return);
        QCOMPARE(ctl<QLineEdit>(w, "Text2")->text(), QStringLiteral("100"));
    }

    // The window shows the session's current line: ▶ on it, the editor
    // holding it, 更新 and 削除 off without one; Enter in 数量 adds, or
    // updates the current line whose quantity was changed.
    void currentLineAndEnter()
    {
        DishWindow s;
        Fmain &w = s.w();
        auto *grid = ctl<DataGrid>(w, "DataGrid1");
        auto *quantity = ctl<QLineEdit>(w, "Text2");
        QCOMPARE(ctl<QPushButton>(w, "Command7")->toolTip(), QStringLiteral("前の料理"));
        QCOMPARE(ctl<QPushButton>(w, "Command3")->toolTip(), QStringLiteral("次の料理"));
        QCOMPARE(ctl<QPushButton>(w, "Command4")->toolTip(), QStringLiteral("最後の料理"));

        QVERIFY(s.goToDish(QStringLiteral("空の料理")));
        QVERIFY(!ctl<QPushButton>(w, "Command11")->isEnabled());
        QVERIFY(!ctl<QPushButton>(w, "Command6")->isEnabled());

        QVERIFY(s.goToDish(QStringLiteral("ミルク粥")));
        QCOMPARE(grid->currentRecord(), 0);
        QVERIFY(s.chooseFood(QStringLiteral("乳類"), QStringLiteral("牛乳")));
        DishWindow::type(quantity, QStringLiteral("30"));
        QTest::keyClick(quantity, Qt::Key_Return);
        QCOMPARE(s.count("kou"), 6);
        QCOMPARE(grid->currentRecord(), 3);
        QVERIFY(ctl<QPushButton>(w, "Command6")->isEnabled());

        DishWindow::type(quantity, QStringLiteral("40"));
        QTest::keyClick(quantity, Qt::Key_Return);
        QCOMPARE(s.count("kou"), 6);
        QCOMPARE(s.recipeCell(3, QStringLiteral("数量")), QStringLiteral("40"));
        QCOMPARE(s.recipeCell(0, QStringLiteral("数量")), QStringLiteral("50"));

        // 削除 right after: the added line goes, the one before is current and
        // in the editor.
        ctl<QPushButton>(w, "Command6")->click();
        QCOMPARE(s.count("kou"), 5);
        QCOMPARE(grid->currentRecord(), 2);
        QCOMPARE(ctl<QLineEdit>(w, "Text1")->text(), QStringLiteral("しょうゆ"));

        // A row reached by the keyboard is the current line.
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Up);
        QCOMPARE(ctl<QLineEdit>(w, "Text1")->text(), QStringLiteral("牛乳"));
        ctl<QPushButton>(w, "Command6")->click();
        QCOMPARE(s.recipeFoods(), (QStringList{"米", "しょうゆ"}));
    }

    // The food of the current line chosen again in 食品名 (by a click or by
    // Enter in the list) begins a new line: Enter in 数量 adds it and leaves
    // the current line as it was.
    void sameFoodChosenAgainIsANewLine_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("click") << "click";
        QTest::newRow("Enter in the list") << "enter";
        QTest::newRow("type-ahead onto the highlighted food") << "type";
    }
    void sameFoodChosenAgainIsANewLine()
    {
        QFETCH(QString, how);
        DishWindow s;
        Fmain &w = s.w();
        auto *quantity = ctl<QLineEdit>(w, "Text2");
        auto *foods = ctl<DataList>(w, "DataList3");
        QVERIFY(s.goToDish(QStringLiteral("ミルク粥")));
        QVERIFY(s.chooseFood(QStringLiteral("乳類"), QStringLiteral("牛乳")));
        DishWindow::type(quantity, QStringLiteral("30"));
        QTest::keyClick(quantity, Qt::Key_Return);
        QCOMPARE(s.count("kou"), 6);
        QCOMPARE(ctl<QLineEdit>(w, "Text1")->text(), QStringLiteral("牛乳"));

        if (how == QLatin1String("enter")) {
            foods->setFocus();
            QTest::keyClick(foods, Qt::Key_Return);
        } else if (how == QLatin1String("type")) {
            foods->setFocus();
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("牛"));
            QApplication::sendEvent(foods, &key);
        } else {
            const QModelIndex milk = foods->currentIndex();
            QCOMPARE(milk.data().toString(), QStringLiteral("牛乳"));
            QTest::mouseClick(foods->viewport(), Qt::LeftButton, {},
                              foods->visualRect(milk).center());
        }
        QCOMPARE(quantity->text(), QStringLiteral("100"));
        DishWindow::type(quantity, QStringLiteral("20"));
        QTest::keyClick(quantity, Qt::Key_Return);
        QCOMPARE(s.count("kou"), 7);
        QCOMPARE(s.recipeCell(3, QStringLiteral("数量")), QStringLiteral("30"));
        QCOMPARE(s.recipeCell(4, QStringLiteral("数量")), QStringLiteral("20"));
    }
};

QTEST_MAIN(TestLineChoice)
#include "tst_linechoice.moc"
