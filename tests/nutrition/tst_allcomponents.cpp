// 栄養成分一覧: what only the window shows — opened from the menu and from
// the comparison window, naming and following the main window's dish, and
// refusing an age outside 0-100 without emptying the rows.
#include "app/fmain.h"
#include "app/program.h"
#include "nutrition/frmall.h"
#include "nutrition/frmkij.h"
#include "tests/support/controls.h"
#include "tests/support/testsupport.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

namespace {

const int calcium = 19; // the component's row in the table's order

QString storeSql()
{
    return minimalReferenceSql() +
           QStringLiteral(
               "INSERT INTO kjz VALUES (15, 17, 0, 0, 'calcium_mg', 'rda', 650, 2025);"
               "INSERT INTO kjz VALUES (75, NULL, 0, 0, 'calcium_mg', 'rda', 600, 2025);"
               "INSERT INTO eys(SID, SNM, BID, CA, ENC) VALUES (1, '牛乳', 20, 110, 61);"
               "INSERT INTO eys(SID, SNM, BID, CA, ENC) VALUES (2, '水', 20, NULL, 0);"
               "INSERT INTO mnu(ID, アイテム名, 人分) VALUES (1, 'ミルク煮', 4);"
               "INSERT INTO mnu(ID, アイテム名) VALUES (2, '水');"
               "INSERT INTO kou(アイテムCD, 食品コード, 数量, 単位, 数量2)"
               " VALUES (1, 1, 800, 'ｇ', 8), (1, 2, 200, 'ｇ', 2), (2, 2, 100, 'ｇ', 1);");
}

QString cell(FrmAll *all, int row, int column)
{
    return ctl<QTableWidget>(*all, "AllGrid")->item(row, column)->text();
}

} // namespace

class TestAllComponents : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestApplication(); }

    void showsTheDishForThePersonAndFollowsTheMainWindow()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(storeSql()));
        StartedProgram p;
        p.start();
        Fmain *main = p.program->fmain();
        QVERIFY(main->showDish(1));
        main->findChild<QAction *>(QStringLiteral("Me_view_all"))->trigger();
        FrmAll *all = p.program->allComponents();
        QVERIFY(all);
        QCOMPARE(all->objectName(), QStringLiteral("FrmAll"));
        QVERIFY(
            ctl<QLabel>(*all, "AllDish")->text().startsWith(QStringLiteral("ミルク煮（4人分）")));

        ctl<QComboBox>(*all, "AllSex")->setCurrentIndex(0);
        QComboBox *age = ctl<QComboBox>(*all, "AllAge");
        age->setEditText(QStringLiteral("15"));
        emit age->lineEdit()->editingFinished();
        // 880 mg in the dish, 220 mg a serving against 650 mg a day.
        QCOMPARE(cell(all, calcium, 2), QStringLiteral("880"));
        QCOMPARE(cell(all, calcium, 3), QStringLiteral("220"));
        QCOMPARE(cell(all, calcium, 4), QStringLiteral("88")); // 880 mg in 1,000 g
        QCOMPARE(cell(all, calcium, 5), QStringLiteral("推奨量 650"));
        QCOMPARE(cell(all, calcium, 6), QStringLiteral("34"));
        QCOMPARE(cell(all, calcium, 7), QStringLiteral("不足の可能性あり"));
        // The water's unknown calcium is marked on the totals.
        QVERIFY(ctl<QTableWidget>(*all, "AllGrid")
                    ->item(calcium, 2)
                    ->toolTip()
                    .contains(QStringLiteral("水")));
        ctl<QComboBox>(*all, "AllBasis")->setCurrentIndex(1);
        QCOMPARE(cell(all, calcium, 7), QStringLiteral("充足"));

        // An age of 101 is refused with a message; the rows stay.
        p.prompts.clear();
        age->setEditText(QStringLiteral("101"));
        emit age->lineEdit()->editingFinished();
        QCOMPARE(p.prompts.asked.size(), 1);
        QVERIFY(p.prompts.asked.first().prompt.contains(QStringLiteral("「年齢」欄")));
        QCOMPARE(age->currentText(), QStringLiteral("15"));
        QCOMPARE(cell(all, calcium, 5), QStringLiteral("推奨量 650"));
        // 100 falls in the oldest group.
        age->setEditText(QStringLiteral("100"));
        emit age->lineEdit()->editingFinished();
        QCOMPARE(ctl<QLabel>(*all, "AllGroup")->text(), QStringLiteral("75歳以上"));
        QCOMPARE(cell(all, calcium, 5), QStringLiteral("推奨量 600"));

        // Another dish in the main window is the window's dish too.
        QVERIFY(main->showDish(2));
        QVERIFY(ctl<QLabel>(*all, "AllDish")->text().startsWith(QStringLiteral("水（1人分）")));
        QCOMPARE(cell(all, calcium, 2), QString());
    }

    // The main window's boxes store the dish's servings and finished weight;
    // a refused value names its box and leaves the stored one.
    void servingsAndFinishedWeightFromTheMainWindow()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(storeSql()));
        StartedProgram p;
        p.start();
        Fmain *main = p.program->fmain();
        QVERIFY(main->showDish(1));
        p.program->showAll();
        FrmAll *all = p.program->allComponents();
        QLineEdit *servings = ctl<QLineEdit>(*main, "Servings");
        QLineEdit *finished = ctl<QLineEdit>(*main, "FinishedWeight");
        QCOMPARE(servings->text(), QStringLiteral("4"));
        QCOMPARE(finished->text(), QString());

        p.prompts.clear();
        servings->setText(QStringLiteral("0"));
        emit servings->editingFinished();
        QCOMPARE(p.prompts.asked.size(), 1);
        QVERIFY(p.prompts.asked.first().prompt.contains(QStringLiteral("「人分」欄")));
        QCOMPARE(servings->text(), QStringLiteral("4"));
        QCOMPARE(folder.scalar(QStringLiteral("SELECT 人分 FROM mnu WHERE ID = 1")).toDouble(),
                 4.0);

        // 5 g is below 1 % of the 1,000 g of the lines.
        p.prompts.clear();
        finished->setText(QStringLiteral("5"));
        emit finished->editingFinished();
        QCOMPARE(p.prompts.asked.size(), 1);
        QVERIFY(p.prompts.asked.first().prompt.contains(QStringLiteral("「出来上がり重量」欄")));
        QVERIFY(
            folder.scalar(QStringLiteral("SELECT 出来上がり重量 FROM mnu WHERE ID = 1")).isNull());

        p.prompts.clear();
        servings->setText(QStringLiteral("2"));
        finished->setText(QStringLiteral("500"));
        emit finished->editingFinished();
        QCOMPARE(p.prompts.asked.size(), 0);
        QCOMPARE(folder.scalar(QStringLiteral("SELECT 人分 FROM mnu WHERE ID = 1")).toDouble(),
                 2.0);
        QCOMPARE(
            folder.scalar(QStringLiteral("SELECT 出来上がり重量 FROM mnu WHERE ID = 1")).toDouble(),
            500.0);
        // 880 mg of calcium in 500 g of the finished dish; 440 mg a serving.
        QCOMPARE(cell(all, calcium, 3), QStringLiteral("440"));
        QCOMPARE(cell(all, calcium, 4), QStringLiteral("176"));
        QVERIFY(
            ctl<QLabel>(*all, "AllDish")->text().startsWith(QStringLiteral("ミルク煮（2人分）")));
    }

    void opensFromTheComparisonWindow()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(storeSql()));
        StartedProgram p;
        p.start();
        p.program->showComparison();
        QVERIFY(p.program->comparison());
        ctl<QPushButton>(*p.program->comparison(), "Command2")->click();
        QVERIFY(p.program->allComponents());
    }
};

QTEST_MAIN(TestAllComponents)
#include "tst_allcomponents.moc"
