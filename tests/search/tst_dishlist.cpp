#include "app/bindings.h"
#include "app/fmain.h"
#include "app/program.h"
#include "app/twips.h"
#include "core/dish/dishsession.h"
#include "core/store/datasource.h"
#include "search/frmschm.h"
#include "tests/support/controls.h"
#include "tests/support/testsupport.h"

#include <QFrame>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

namespace {

// Dishes with sums that are easy to check by hand; food 999 does not exist.
QString storeSql()
{
    return minimalReferenceSql() +
           QStringLiteral(
               "INSERT INTO eys(SID,SNM,SKN,BID,ENC,NAT) VALUES"
               " (1,'a','ｱ',20,100,0.4),(2,'b','ｲ',20,50,0.2),(3,'c','ｳ',20,0,0.5),"
               " (4,'d','ｴ',20,0,0.4),(5,'e','ｵ',20,400,0);"
               "INSERT INTO mnu(ID,アイテム名) VALUES (1,'カレー'),(2,'みそ汁'),(3,'サラダ'),"
               " (4,'サラダ'),(5,'大盛り'),(6,'消えた食品だけ'),(40000,'特大');"
               "UPDATE mnu SET 人分=4 WHERE ID=1; UPDATE mnu SET 人分=2.5 WHERE ID=5;"
               "INSERT INTO kou(アイテムCD,食品コード,数量,単位,数量2) VALUES"
               " (1,1,150,'ｇ',1.5),(1,2,25,'ｇ',0.25),"
               " (3,3,1,'ｇ',0.01),(4,4,1,'ｇ',0.01),"
               " (5,5,300,'ｇ',3),(5,5,8.64,'ｇ',0.0864),(5,999,200,'ｇ',2),"
               " (6,999,100,'ｇ',1),"
               " (40000,1,100,'ｇ',1);");
}

struct Session
{
    TestFolder folder;
    StartedProgram started;
    QPointer<FrmSchM> window;

    explicit Session(const QString &sql = storeSql())
    {
        if (!folder.makeStore(sql))
            qFatal("store");
        started.start();
        open();
    }
    void open()
    {
        started.program->showDishList();
        window = started.program->dishList();
    }
    Fmain *main() const { return started.program->fmain(); }
    bool closed()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return window.isNull();
    }
    // The grid's row texts, as shown, by dish key.
    QMap<qint64, QStringList> shownRows() const
    {
        QMap<qint64, QStringList> rows;
        QAbstractItemModel *model = ctl<DataGrid>(*window, "DataGrid1")->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            QStringList texts;
            for (int c = 0; c < 6; ++c)
                texts << model->index(row, c).data().toString();
            rows.insert(texts.first().toLongLong(), texts);
        }
        return rows;
    }
    int rowOf(qint64 key) const
    {
        DataSource *dishes = ctl<DataSource>(*window, "AdoMnu");
        for (int row = 0; row < dishes->recordCount(); ++row)
            if (dishes->value(row, 0).toLongLong() == key)
                return row;
        return -1;
    }
};

} // namespace

class TestDishList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestApplication(); }

    void listsEveryDishWithLinesAndItsSums()
    {
        Session s;
        QCOMPARE(s.window->objectName(), QStringLiteral("frmSchM"));
        QCOMPARE(s.window->windowTitle(), QStringLiteral("ﾒﾆｭｰ一覧"));
        const QMap<qint64, QStringList> rows = s.shownRows();
        // 2 has no lines, 6 only a line whose food is gone; the two サラダ
        // are two rows.
        QCOMPARE(rows.keys(), (QList<qint64>{1, 3, 4, 5, 40000}));
        // The sums are the whole dish's; 人分 at the right.
        QCOMPARE(rows[1], (QStringList{"1", "カレー", "162.5", "175.0", "0.65", "4"}));
        QCOMPARE(rows[3].mid(1), (QStringList{"サラダ", "0.0", "1.0", "0.01", "1"})); // 0.005
        QCOMPARE(rows[4].mid(1), (QStringList{"サラダ", "0.0", "1.0", "0", "1"}));    // 0.004
        // The missing food's line takes no part, not even in the weight.
        QCOMPARE(rows[5].mid(1), (QStringList{"大盛り", "1,234.6", "308.6", "0", "2.5"}));
        QCOMPARE(rows[40000][1], QStringLiteral("特大"));
    }

    void gridLayout()
    {
        Session s;
        auto at = [](QWidget *w, int l, int t, int wd, int h) {
            return w->geometry() == QRect(Twips::toPixels(l), Twips::toPixels(t),
                                          Twips::toPixels(wd), Twips::toPixels(h));
        };
        QCOMPARE(s.window->size(), QSize(Twips::toPixels(6420), Twips::toPixels(5595)));
        QVERIFY(at(ctl<DataGrid>(*s.window, "DataGrid1"), 0, 1080, 6375, 3975));
        QVERIFY(at(ctl<QPushButton>(*s.window, "Command1"), 4320, 5160, 975, 375));
        QVERIFY(at(ctl<QPushButton>(*s.window, "Command2"), 5400, 5160, 975, 375));
        QVERIFY(at(ctl<QFrame>(*s.window, "Shape1"), 0, 120, 3255, 855));
        QVERIFY(at(ctl<QFrame>(*s.window, "Shape2"), 3360, 120, 3015, 855));
        QCOMPARE(ctl<QPushButton>(*s.window, "Command1")->text(), QStringLiteral("OK"));
        QCOMPARE(ctl<QPushButton>(*s.window, "Command2")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        DataGrid *grid = ctl<DataGrid>(*s.window, "DataGrid1");
        QVERIFY(grid->isColumnHidden(0));
        QCOMPARE(grid->columnCaption(1), QStringLiteral("ﾒﾆｭｰ名"));
        QCOMPARE(grid->columnCaption(2), QStringLiteral("ｴﾈﾙｷﾞｰ"));
        QCOMPARE(grid->columnCaption(3), QStringLiteral("合計重量"));
        QCOMPARE(grid->columnCaption(4), QStringLiteral("食塩量"));
        QCOMPARE(grid->columnCaption(5), QStringLiteral("人分"));
        QVERIFY(grid->columnAlignment(5) & Qt::AlignRight);
        QVERIFY(!(grid->columnAlignment(1) & Qt::AlignRight));
        for (int c = 2; c <= 4; ++c) {
            QVERIFY(grid->columnAlignment(c) & Qt::AlignRight);
            QCOMPARE(grid->columnWidth(c), grid->columnWidth(1));
        }
    }

    void okOpensTheChosenDish()
    {
        Session s;
        Fmain *main = s.main();
        QCOMPARE(ctl<QLineEdit>(*main, "TexID")->text(),
                 QStringLiteral("40000")); // start-up: the last dish
        ctl<DataGrid>(*s.window, "DataGrid1")->clickRow(s.rowOf(1));
        ctl<QPushButton>(*s.window, "Command1")->click();
        QCOMPARE(ctl<QLineEdit>(*main, "TexID")->text(), QStringLiteral("1"));
        QCOMPARE(ctl<QLineEdit>(*main, "TexTitle")->text(), QStringLiteral("カレー"));
        QCOMPARE(ctl<DataSource>(*main, "AdoMnu")->value(QStringLiteral("ID")).toLongLong(), 1);
        QCOMPARE(ctl<DataSource>(*main, "AdoKou")->recordCount(), 2); // its recipe was loaded
        QVERIFY(s.closed());

        // Keys beyond the 16-bit range open as well.
        s.open();
        ctl<DataGrid>(*s.window, "DataGrid1")->clickRow(s.rowOf(40000));
        ctl<QPushButton>(*s.window, "Command1")->click();
        QCOMPARE(ctl<QLineEdit>(*main, "TexID")->text(), QStringLiteral("40000"));
        QCOMPARE(ctl<QLineEdit>(*main, "TexTitle")->text(), QStringLiteral("特大"));
        QCOMPARE(ctl<DataSource>(*main, "AdoKou")->recordCount(), 1);

        // Without a move, the first row is opened.
        s.open();
        const qint64 first =
            ctl<DataSource>(*s.window, "AdoMnu")->value(QStringLiteral("ID")).toLongLong();
        ctl<QPushButton>(*s.window, "Command1")->click();
        QCOMPARE(ctl<QLineEdit>(*main, "TexID")->text(), QString::number(first));
        QVERIFY(s.started.prompts.asked.isEmpty());
    }

    void cancelChangesNothing()
    {
        Session s;
        Fmain *main = s.main();
        ctl<DataGrid>(*s.window, "DataGrid1")->clickRow(s.rowOf(3));
        ctl<QPushButton>(*s.window, "Command2")->click();
        QCOMPARE(ctl<QLineEdit>(*main, "TexID")->text(), QStringLiteral("40000"));
        QCOMPARE(ctl<DataSource>(*main, "AdoMnu")->value(QStringLiteral("ID")).toLongLong(), 40000);
        QVERIFY(s.closed());
    }

    void dishDeletedMeanwhileLeavesTheCurrentDish()
    {
        Session s;
        Fmain *main = s.main();
        QVERIFY(s.folder.exec(QStringLiteral("DELETE FROM mnu WHERE ID=3")));
        main->findChild<DishSession *>()->loadDishes();
        QVERIFY(ctl<DataSource>(*main, "AdoMnu")->moveTo(1)); // みそ汁
        ctl<DataGrid>(*s.window, "DataGrid1")
            ->clickRow(s.rowOf(3)); // still listed: the list is not refreshed
        ctl<QPushButton>(*s.window, "Command1")->click();
        QCOMPARE(ctl<QLineEdit>(*main, "TexID")->text(), QStringLiteral("2"));
        QCOMPARE(ctl<DataSource>(*main, "AdoMnu")->position(), 1);
        QCOMPARE(s.started.prompts.asked.size(), 1);
        QVERIFY(s.closed());
    }

    void okOnAnEmptyListChangesNothing()
    {
        Session s(minimalReferenceSql() +
                  QStringLiteral("INSERT INTO mnu(アイテム名) VALUES ('a'),('b');"));
        QCOMPARE(ctl<DataSource>(*s.window, "AdoMnu")->rowCount(), 0);
        const QString current = ctl<QLineEdit>(*s.main(), "TexID")->text();
        ctl<QPushButton>(*s.window, "Command1")->click();
        QCOMPARE(ctl<QLineEdit>(*s.main(), "TexID")->text(), current);
        QVERIFY(s.started.prompts.asked.isEmpty());
        QVERIFY(s.closed());
    }
};

QTEST_MAIN(TestDishList)
#include "tst_dishlist.moc"
