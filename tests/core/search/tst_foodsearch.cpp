#include "core/nutrition/nutrients.h"
#include "core/search/foodsearch.h"
#include "core/store/backup.h"
#include "core/store/database.h"
#include "core/store/datasource.h"
#include "core/store/schemacheck.h"
#include "tests/core/search/foodsearchstore.h"
#include "tests/support/testsupport.h"

#include <QFile>
#include <QSet>
#include <QtTest>
#include <sqlite3.h>

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
        QTest::newRow("blanks only: every food with a category")
            << QStringLiteral(" \u3000 ")
            << QList<qint64>{12, 14, 2, 11, 3, 10, 1, 5, 8, 9, 13, 6, 7};
        // Words in any order, each one required; kanji words search the names.
        QTest::newRow("words in another order")
            << QStringLiteral("100 かじゅう") << QList<qint64>{5};
        QTest::newRow("every word required") << QStringLiteral("かじゅう こめ") << QList<qint64>{};
        QTest::newRow("ideographic space")
            << QStringLiteral("ﾆ\u3000ふつう") << QList<qint64>{14, 2};
        QTest::newRow("kanji in the names") << QStringLiteral("牛乳") << QList<qint64>{14, 2, 3};
        QTest::newRow("kanji and kana")
            << QStringLiteral("ぎゅうにゅう 低脂肪") << QList<qint64>{3};
        QTest::newRow("kanji not in any name") << QStringLiteral("醤油") << QList<qint64>{};
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

    // The search keeps where each food stands in its order, to find the first
    // of many matches; a food changed here, by another program or by a
    // restore is where the next search looks for it.
    void searchFollowsEveryChange_data()
    {
        QTest::addColumn<QString>("through");
        QTest::newRow("this program") << QStringLiteral("this program");
        QTest::newRow("another program") << QStringLiteral("another program");
        QTest::newRow("a restore") << QStringLiteral("a restore");
    }
    void searchFollowsEveryChange()
    {
        QFETCH(QString, through);
        TestFolder folder;
        // Many readings before a few hundred that hold the text; the change
        // moves one of those to the top.
        QVERIFY(folder.makeStore(
            minimalReferenceSql() +
            QStringLiteral("INSERT INTO bun VALUES (1,'穀類');"
                           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n"
                           " WHERE i < 1500) INSERT INTO eys(SID,SNM,SKN,BID)"
                           " SELECT i, 'わかめ', 'ﾜｶﾒ ' || i, 1 FROM n"
                           " UNION ALL SELECT 2000 + i, 'ぎゅうにゅう', 'ｷﾞｭｳﾆｭｳ ' || i, 1"
                           " FROM n WHERE i <= 300;")));
        const QString change = QStringLiteral("UPDATE eys SET SKN='ﾜｶﾒ ｷﾞｭｳﾆｭｳ' WHERE SID=2005");
        const QString saved = folder.filePath(QStringLiteral("saved.dll"));
        if (through == QLatin1String("a restore")) {
            QVERIFY(QFile::copy(folder.filePath(QStringLiteral("zento.dll")), saved));
            sqlite3 *db = nullptr;
            QVERIFY(sqlite3_open(QFile::encodeName(saved).constData(), &db) == SQLITE_OK);
            QVERIFY(SchemaCheck::trustIfOwn(db));
            QVERIFY(sqlite3_exec(db, change.toUtf8().constData(), nullptr, nullptr, nullptr) ==
                    SQLITE_OK);
            sqlite3_close(db);
        }
        FoodSearch search(connection);
        QVERIFY(search.byReading(QStringLiteral("ｷﾞｭｳﾆｭｳ")));
        QCOMPARE(listed(search).first(), 2099); // ｷﾞｭｳﾆｭｳ 99

        QString error;
        const std::shared_ptr<Database> store = Database::open(connection, &error);
        QVERIFY(store);
        if (through == QLatin1String("this program"))
            QVERIFY(
                store->write([&](QString *why) { return store->run(change, {}, why); }, &error));
        else if (through == QLatin1String("another program"))
            QVERIFY(folder.exec(change));
        else
            QVERIFY2(Backup::restore(*store, saved, &error), qPrintable(error));
        QVERIFY(search.byReading(QStringLiteral("ｷﾞｭｳﾆｭｳ")));
        const QList<qint64> found = listed(search);
        QCOMPARE(found.first(), 2005);
        QCOMPARE(found.size(), 300);
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
