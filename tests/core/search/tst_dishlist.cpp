#include "core/search/dishlist.h"
#include "core/store/datasource.h"
#include "tests/support/testsupport.h"

#include <QtTest>

namespace {

// Dishes with sums that are easy to check by hand; food 999 does not exist.
QString storeSql()
{
    return QStringLiteral(
        "INSERT INTO eys(SID,SNM,SKN,BID,ENC,NAT) VALUES"
        " (1,'a','ｱ',20,100,0.4),(2,'b','ｲ',20,50,0.2),(3,'c','ｳ',20,0,0.5),"
        " (4,'d','ｴ',20,0,0.4),(5,'e','ｵ',20,400,0);"
        "INSERT INTO mnu(ID,アイテム名) VALUES (1,'カレー'),(2,'みそ汁'),(3,'サラダ'),"
        " (4,'サラダ'),(5,'大盛り'),(6,'消えた食品だけ'),(40000,'特大');"
        "INSERT INTO kou(アイテムCD,食品コード,数量,単位,数量2) VALUES"
        " (1,1,150,'ｇ',1.5),(1,2,25,'ｇ',0.25),"
        " (3,3,1,'ｇ',0.01),(4,4,1,'ｇ',0.01),"
        " (5,5,300,'ｇ',3),(5,5,8.64,'ｇ',0.0864),(5,999,200,'ｇ',2),"
        " (6,999,100,'ｇ',1),"
        " (40000,1,100,'ｇ',1);");
}

} // namespace

class TestDishListCore : public QObject
{
    Q_OBJECT

private slots:
    void rows_data()
    {
        QTest::addColumn<qint64>("dish");
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("energy");
        QTest::addColumn<double>("weight");
        QTest::addColumn<QString>("salt");
        QTest::newRow("two lines") << 1LL << "カレー" << 162.5 << 175.0 << "0.65";
        QTest::newRow("salt 0.005 rounds up") << 3LL << "サラダ" << 0.0 << 1.0 << "0.01";
        QTest::newRow("salt 0.004 rounds down") << 4LL << "サラダ" << 0.0 << 1.0 << "0";
        // The missing food's line takes no part, not even in the weight.
        QTest::newRow("a line without its food") << 5LL << "大盛り" << 1234.56 << 308.64 << "0";
        QTest::newRow("key beyond 16 bits") << 40000LL << "特大" << 100.0 << 100.0 << "0.4";
    }

    void rows()
    {
        QFETCH(qint64, dish);
        QFETCH(QString, name);
        QFETCH(double, energy);
        QFETCH(double, weight);
        QFETCH(QString, salt);
        TestFolder folder;
        QVERIFY(folder.makeStore(storeSql()));
        DishList list(QStringLiteral("Data Source=zento.dll"));
        QVERIFY2(list.load(), qPrintable(list.errorString()));
        DataSource *rows = list.rows();
        QList<qint64> keys;
        for (int row = 0; row < rows->recordCount(); ++row)
            keys << *list.keyAt(row);
        std::sort(keys.begin(), keys.end());
        // 2 has no lines, 6 only a line whose food is gone; the two サラダ
        // are two rows.
        QCOMPARE(keys, (QList<qint64>{1, 3, 4, 5, 40000}));
        QVERIFY(!list.keyAt(-1) && !list.keyAt(rows->recordCount()));

        int row = 0;
        while (list.keyAt(row) != dish)
            ++row;
        QCOMPARE(rows->text(row, 1), name);
        QVERIFY(qFuzzyCompare(1 + rows->value(row, 2).toDouble(), 1 + energy));
        QVERIFY(qFuzzyCompare(rows->value(row, 3).toDouble(), weight));
        QCOMPARE(rows->text(row, 4), salt);
    }
};

QTEST_MAIN(TestDishListCore)
#include "tst_dishlist.moc"
