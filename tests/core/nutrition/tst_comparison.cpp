#include "core/nutrition/comparison.h"
#include "core/nutrition/radarchart.h"
#include "core/store/datasource.h"
#include "tests/support/testsupport.h"

#include <QtTest>

namespace {

const QString store = QStringLiteral("Data Source=zento.dll");

// Standards that differ by age and sex: CAL is age * 100 + sex. A row with a
// null age comes first, a second row for 20 / male last (never shown).
QString standardsSql()
{
    QString sql = QStringLiteral("INSERT INTO kij(AGE,SEX,CAL) VALUES (NULL, 1, 5555);");
    for (int age = 1; age <= 80; ++age)
        for (int sex : {1, 0})
            sql += QStringLiteral("INSERT INTO kij(AGE,SEX,TAL,CAL,VB1) VALUES (%1,%2,%3,%4,%5);")
                       .arg(age)
                       .arg(sex)
                       .arg(100 + age)
                       .arg(age * 100 + sex)
                       .arg(age * 0.04);
    return sql + QStringLiteral("INSERT INTO kij(AGE,SEX,CAL) VALUES (20, 1, 9999);");
}

QString lineSql(int dish, int food, double hundreds)
{
    return QStringLiteral("INSERT INTO kou(アイテムCD,食品コード,数量,単位,数量2)"
                          " VALUES (%1,%2,%3,'ｇ',%4);")
        .arg(dish)
        .arg(food)
        .arg(hundreds * 100)
        .arg(hundreds);
}

// Dish 7: 200 g of food 1, 100 g of food 2, 100 g of food 3 (deleted since).
QString dishSql()
{
    return QStringLiteral("INSERT INTO bun VALUES (20, '登録食品');"
                          "INSERT INTO mnu(ID, アイテム名) VALUES (7,'煮物');"
                          "INSERT INTO mnu(ID, アイテム名) VALUES (8,'空');"
                          "INSERT INTO eys(SID,SNM,BID,ENC) VALUES (1,'a',20,123.456);"
                          "INSERT INTO eys(SID,SNM,BID,TAN,CA,VB1,VB2,VAK,NAI,VC) VALUES "
                          "(2,'b',20,0.125,12,0.004999,0.004999,1000,3.333,0.005);"
                          "INSERT INTO eys(SID,SNM,BID,ENC,TAN,FE) VALUES (3,'c',20,1,1,1000);") +
           lineSql(7, 1, 2) + lineSql(7, 2, 1) + lineSql(7, 3, 1) + lineSql(9, 1, 5) +
           QStringLiteral("DELETE FROM eys WHERE SID=3;");
}

QString text(std::optional<double> value)
{
    return value ? QString::number(*value, 'g', 15) : QStringLiteral("-");
}

} // namespace

class TestComparisonCore : public QObject
{
    Q_OBJECT

private slots:
    void sums_data()
    {
        QTest::addColumn<qint64>("dish");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("holder");
        QTest::addColumn<QString>("shown"); // "-": no value
        QTest::newRow("energy, deleted food adds nothing") << 7LL << 2 << "246.912"
                                                           << "246.91";
        QTest::newRow("0.125 rounds up") << 7LL << 3 << "0.125"
                                         << "0.13";
        QTest::newRow("whole stays whole") << 7LL << 4 << "12"
                                           << "12";
        QTest::newRow("only a deleted food: null") << 7LL << 5 << ""
                                                   << "-";
        QTest::newRow("vitamin A") << 7LL << 6 << "1000"
                                   << "1000";
        QTest::newRow("B1 rounded once") << 7LL << 7 << "0.004999"
                                         << "0";
        QTest::newRow("B2 four decimals first") << 7LL << 8 << "0.0050"
                                                << "0.01";
        QTest::newRow("niacin") << 7LL << 9 << "3.333"
                                << "3.33";
        QTest::newRow("half a hundredth") << 7LL << 10 << "0.005"
                                          << "0.01";
        QTest::newRow("dish without lines") << 8LL << 2 << ""
                                            << "-";
        QTest::newRow("no such dish") << 99LL << 8 << ""
                                      << "-";
    }

    void sums()
    {
        QFETCH(qint64, dish);
        QFETCH(int, row);
        QFETCH(QString, holder);
        QFETCH(QString, shown);
        TestFolder folder;
        QVERIFY(folder.makeStore(dishSql()));
        Comparison::Session session(store);
        QVERIFY(session.loadSums(dish));
        QCOMPARE(Comparison::holderText(row, session.sums()[row]), holder);
        QCOMPARE(text(session.calculated()[row]), shown);
        // The height and weight rows never have a sum.
        QVERIFY(!session.calculated()[0] && !session.calculated()[1]);
    }

    // A standard converted on import shows at the calculated column's places.
    void standardTexts()
    {
        QCOMPARE(Comparison::standardText(8500.0 / 3), QStringLiteral("2833.33"));
        QCOMPARE(Comparison::standardText(957.9999999999998), QStringLiteral("958"));
        QCOMPARE(Comparison::standardText(1.1), QStringLiteral("1.1"));
        QCOMPARE(Comparison::standardText(std::nullopt), QString());
    }

    void standardLookup_data()
    {
        QTest::addColumn<QString>("age");
        QTest::addColumn<int>("sex");
        QTest::addColumn<QString>("energy"); // "-": no row
        QTest::newRow("20, male: the first of two rows") << "20" << 1 << "2001";
        QTest::newRow("20, female") << "20" << 0 << "2000";
        QTest::newRow("80, male") << "80" << 1 << "8001";
        QTest::newRow("empty while retyping") << "" << 1 << "-";
        QTest::newRow("not a number") << "abc" << 1 << "-";
        QTest::newRow("partly a number") << "3歳" << 1 << "-";
        QTest::newRow("beyond the table") << "81" << 1 << "-";
        QTest::newRow("zero") << "0" << 0 << "-";
        QTest::newRow("half to even, down") << "20.5" << 1 << "2001";
        QTest::newRow("half to even, up") << "21.5" << 1 << "2201";
        QTest::newRow("full-width digits") << "３５" << 1 << "3501";
        QTest::newRow("blanks around") << " 7 " << 0 << "700";
        QTest::newRow("huge") << "1e300" << 1 << "-";
        QTest::newRow("grouped digits") << "1,000" << 1 << "-";
    }

    void standardLookup()
    {
        QFETCH(QString, age);
        QFETCH(int, sex);
        QFETCH(QString, energy);
        TestFolder folder;
        QVERIFY(folder.makeStore(standardsSql()));
        Comparison::Session session(store);
        QVERIFY(session.loadStandards());
        const bool found = session.findStandard(Comparison::ageOf(age), sex);
        QCOMPARE(found, energy != QStringLiteral("-"));
        const Comparison::Values standard = session.standard();
        QCOMPARE(text(standard[2]), energy);
        if (found) {
            QCOMPARE(text(standard[0]), QString::number(100 + Comparison::ageOf(age)));
        } else {
            // The pointer rests after the last row, never beyond; the whole
            // column is empty.
            DataSource *rows = session.standardsSource();
            QVERIFY(rows->eof());
            QCOMPARE(rows->position(), rows->recordCount());
            for (const std::optional<double> &value : standard)
                QVERIFY(!value);
        }
        // A valid age afterwards finds its row again.
        QVERIFY(session.findStandard(30, 1));
        QCOMPARE(text(session.standard()[2]), QStringLiteral("3001"));
    }

    void rowsFollowTheChartAxes()
    {
        // The table's nutrient rows and the chart's axes are the same nine,
        // in the same order: each axis plots the row it names.
        for (const RadarChart::Axis &axis : RadarChart::ChartAxis)
            QCOMPARE(Comparison::caption(axis.element), axis.caption.toString());
        QVERIFY(Comparison::sumsQuery(7).contains(QStringLiteral("(eys.VAK)) as SVAK")));
    }
};

QTEST_MAIN(TestComparisonCore)
#include "tst_comparison.moc"
