#include "core/nutrition/nutrients.h"
#include "core/search/foodsearch.h"
#include "core/store/datasource.h"
#include "tests/core/search/foodsearchstore.h"
#include "tests/support/testsupport.h"

#include <QSet>
#include <QtTest>

namespace {

const QString connection = QStringLiteral("Data Source=zento.dll");

QList<qint64> listed(const FoodSearch &search)
{
    QList<qint64> ids;
    DataSource *rows = search.results();
    const int count = rows->recordCount();
    for (int row = 0; row < count; ++row)
        ids << rows->value(row, 0).toLongLong();
    return ids;
}

} // namespace

class TestFoodSearchCore : public QObject
{
    Q_OBJECT

private slots:
    void byReading_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<qint64>>("foods");
        QTest::newRow("percent") << QStringLiteral("%") << QList<qint64>{5};
        QTest::newRow("full-width percent") << QStringLiteral("％") << QList<qint64>{5};
        QTest::newRow("underscore") << QStringLiteral("_") << QList<qint64>{6};
        QTest::newRow("underscore between") << QStringLiteral("A_B") << QList<qint64>{6};
        QTest::newRow("quote") << QStringLiteral("ｵ'") << QList<qint64>{8};
        QTest::newRow("backslash") << QStringLiteral("\\") << QList<qint64>{9};
        QTest::newRow("backslash before letter") << QStringLiteral("ﾝ\\ｶ") << QList<qint64>{9};
        QTest::newRow("injection") << QStringLiteral("'; DROP TABLE eys; --") << QList<qint64>{};
        QTest::newRow("escape clause") << QStringLiteral("%' ESCAPE '") << QList<qint64>{};
        QTest::newRow("NUL") << QStringLiteral("ｺ") + QChar(0) + QStringLiteral("ﾒ")
                             << QList<qint64>{1};
        // Descending reading; food 4 has no category and is never listed.
        QTest::newRow("hiragana") << QStringLiteral("ぎゅうにゅう") << QList<qint64>{14, 2, 3};
        QTest::newRow("katakana") << QStringLiteral("ギュウニュウ") << QList<qint64>{14, 2, 3};
        QTest::newRow("half-width") << QStringLiteral("ｷﾞｭｳﾆｭｳ") << QList<qint64>{14, 2, 3};
        QTest::newRow("anywhere in the reading")
            << QStringLiteral("ﾆ") << QList<qint64>{14, 2, 11, 3};
        QTest::newRow("empty: every food with a category")
            << QString() << QList<qint64>{12, 14, 2, 11, 3, 10, 1, 5, 8, 9, 13, 6, 7};
    }

    void byReading()
    {
        QFETCH(QString, typed);
        QFETCH(QList<qint64>, foods);
        TestFolder folder;
        QVERIFY(folder.makeStore(foodSearchStoreSql()));
        FoodSearch search(connection);
        QVERIFY2(search.byReading(typed), qPrintable(search.errorString()));
        QCOMPARE(listed(search), foods);
        QCOMPARE(folder.count(QStringLiteral("eys")), 14);
    }

    void rankingNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("field"); // empty: no ranking
        QTest::newRow("salt") << "食塩相当量"
                              << "NAT";
        QTest::newRow("vitamin A potency") << "ﾋﾞﾀﾐﾝA"
                                           << "VAK";
        QTest::newRow("retinol") << "ﾚﾁﾉｰﾙ"
                                 << "VAR";
        QTest::newRow("carotene") << "ｶﾛﾁﾝ"
                                  << "VAC";
        QTest::newRow("carbohydrate fibre") << "炭水化物：繊維"
                                            << "TSS";
        QTest::newRow("part of a name") << "ﾋﾞﾀﾐﾝ"
                                        << "";
        QTest::newRow("full-width katakana") << "ビタミンA"
                                             << "";
        QTest::newRow("trailing blank") << "食塩相当量 "
                                        << "";
        QTest::newRow("dietary fibre is not offered") << "食物繊維"
                                                      << "";
        QTest::newRow("empty") << ""
                               << "";
    }

    void rankingNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, field);
        QCOMPARE(FoodSearch::rankingFieldFor(name), field);
        const QStringList names = FoodSearch::rankingNames();
        QCOMPARE(names.size(), 22);
        QCOMPARE(names.contains(name), !field.isEmpty());
    }

    void byRanking_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QList<qint64>>("first");
        QTest::newRow("vitamin A potency") << "VAK" << QList<qint64>{13, 11, 12};
        QTest::newRow("retinol") << "VAR" << QList<qint64>{12, 13};
        QTest::newRow("salt") << "NAT" << QList<qint64>{10};
        QTest::newRow("energy") << "ENC" << QList<qint64>{1, 13, 12};
    }

    void byRanking()
    {
        QFETCH(QString, field);
        QFETCH(QList<qint64>, first);
        TestFolder folder;
        QVERIFY(folder.makeStore(foodSearchStoreSql()));
        FoodSearch search(connection);
        QVERIFY(search.byRanking(field));
        const QList<qint64> foods = listed(search);
        QCOMPARE(foods.mid(0, first.size()), first);
        QCOMPARE(foods.size(), 13);
        QVERIFY(!foods.contains(4));
        DataSource *rows = search.results();
        for (int row = 1; row < foods.size(); ++row)
            QVERIFY(rows->value(row - 1, 2).toDouble() >= rows->value(row, 2).toDouble());

        // The food of a row: key, name and category, as "OK" hands it over.
        const std::optional<FoodSearch::Found> top = search.foodAt(0);
        QVERIFY(top);
        QCOMPARE(top->id, first.first());
        QCOMPARE(top->name, rows->text(0, 1));
        QCOMPARE(top->category, rows->text(0, 3));
        QVERIFY(!search.foodAt(-1) && !search.foodAt(foods.size()));
    }

    void noFieldRunsNothing()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(foodSearchStoreSql()));
        FoodSearch search(connection);
        QVERIFY(search.byReading(QStringLiteral("ｺﾒ")));
        QVERIFY(search.byRanking(QString()));
        QCOMPARE(listed(search), QList<qint64>{1});
        QVERIFY(search.foodAt(0));
    }
};

QTEST_MAIN(TestFoodSearchCore)
#include "tst_foodsearch.moc"
