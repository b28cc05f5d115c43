// The reading search as the store answers it quickly must list exactly what
// the LIKE over every reading lists, in the same order, whichever way the
// rows are found and whether or not the store has its reading index.
#include "core/search/foodsearch.h"
#include "core/search/readingsearch.h"
#include "core/store/schema.h"
#include "tests/support/testsupport.h"

#include <QFile>
#include <QtTest>
#include <sqlite3.h>

namespace {

// Readings that tie, readings in every case and width, the characters a LIKE
// pattern treats specially, a reading outside the BMP, a food without a
// reading and one whose category does not exist, readings and names whose
// parts stand apart; then many foods that share
// one syllable, enough that the ordered scan is chosen for it.
QString storeSql()
{
    return minimalReferenceSql() +
           QStringLiteral(
               "INSERT INTO bun VALUES (1,'穀類'),(6,'野菜類'),(13,'乳類'),(17,'調味料類');"
               "INSERT INTO eys(SID,SNM,SKN,BID) VALUES"
               " (1,'こめ','ｺﾒ',1),"
               " (2,'普通牛乳','ﾌﾂｳｷﾞｭｳﾆｭｳ',13),"
               " (3,'普通牛乳','ﾌﾂｳｷﾞｭｳﾆｭｳ',13),"
               " (4,'加工乳','ﾌﾂｳｷﾞｭｳﾆｭｳ',13),"
               " (5,'普通牛乳 別','ﾌﾂｳｷﾞｭｳﾆｭｳ',6),"
               " (6,'分類のない食品','ｷﾞｭｳﾆｭｳ ﾌﾞﾝﾙｲﾅｼ',99),"
               " (7,'果汁100%','ｶｼﾞｭｳ 100%',6),"
               " (8,'下線食品','A_Bc',6),"
               " (9,'似た食品','aXbC abC',6),"
               " (10,'おかし','ｵ''ｶｼ',17),"
               " (11,'えんかん','ｴﾝ\\ｶﾝ',17),"
               " (12,'引用','ｲﾝﾖｳ \"ｶｷﾞ\"',17),"
               " (13,'絵文字','ｴﾓｼﾞ 🍙🍙🍙',17),"
               " (14,'読みなし',NULL,17),"
               " (15,'空の読み','',17),"
               " (16,'大文字','ABCDEF',6),"
               " (17,'かつお・昆布だし　混合だし','ｶﾂｵ ｺﾝﾌﾞﾀﾞｼ ｺﾝｺﾞｳﾀﾞｼ',17),"
               " (18,'じゃがいも　塊茎　皮なし　生','ｼﾞｬｶﾞｲﾓ ｶｲｹｲ ｶﾜﾅｼ ﾅﾏ',6);"
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2600)"
               " INSERT INTO eys(SID,SNM,SKN,BID)"
               " SELECT 1000 + i, 'だいこん' || (i % 7), 'ﾀﾞｲｺﾝ ' || (i % 50), 1 + (i % 2) * 5"
               " FROM n;");
}

struct Row
{
    qint64 sid;
    QString name, reading, category;
    bool operator==(const Row &) const = default;
};

QList<Row> rowsOf(sqlite3 *db, const QString &sql)
{
    QList<Row> rows;
    sqlite3_stmt *stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK) {
        qWarning("%s: %s", text.constData(), sqlite3_errmsg(db));
        return {{-1, {}, {}, {}}};
    }
    auto textAt = [stmt](int c) {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, c)));
    };
    while (sqlite3_step(stmt) == SQLITE_ROW)
        rows.append({sqlite3_column_int64(stmt, 0), textAt(1), textAt(2), textAt(3)});
    sqlite3_finalize(stmt);
    return rows;
}

QString describe(const QList<Row> &rows)
{
    QStringList parts;
    for (const Row &row : rows.mid(0, 12))
        parts << QString::number(row.sid);
    return QStringLiteral("%1 rows: ").arg(rows.size()) + parts.join(QLatin1Char(','));
}

} // namespace

class TestReadingSearch : public QObject
{
    Q_OBJECT

    TestFolder *m_folder = nullptr;
    sqlite3 *m_db = nullptr;

    void openStore()
    {
        sqlite3_close(m_db);
        m_db = nullptr;
        const QByteArray name = QFile::encodeName(m_folder->filePath(QStringLiteral("zento.dll")));
        QVERIFY(sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) ==
                SQLITE_OK);
    }

    void compareWithLike(const QString &typed, const ReadingSearch::Ranks *ranks = nullptr)
    {
        const QList<Row> expected = rowsOf(m_db, FoodSearch::readingQuery(typed));
        const QList<Row> found =
            rowsOf(m_db, ReadingSearch::query(m_db, typed, [ranks] { return ranks; }));
        QVERIFY2(found == expected,
                 qPrintable(QStringLiteral("「%1」: found %2, LIKE %3")
                                .arg(typed, describe(found), describe(expected))));
    }

private slots:
    void init()
    {
        m_folder = new TestFolder;
        QVERIFY(m_folder->makeStore(storeSql()));
        openStore();
    }
    void cleanup()
    {
        sqlite3_close(m_db);
        m_db = nullptr;
        delete m_folder;
        m_folder = nullptr;
    }

    void sameRowsAsLike_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("rows");     // how many the LIKE lists
        QTest::addColumn<bool>("indexed"); // looked up in the trigram index
        QTest::newRow("one character") << QStringLiteral("ｺ") << 2602 << false;
        QTest::newRow("two characters") << QStringLiteral("ﾆｭ") << 4 << false;
        QTest::newRow("empty: every reading") << QString() << 2616 << false;
        QTest::newRow("ties of reading") << QStringLiteral("ﾌﾂｳｷﾞｭｳ") << 4 << true;
        QTest::newRow("inside a reading") << QStringLiteral("ｷﾞｭｳﾆｭｳ") << 4 << true;
        QTest::newRow("hiragana folded") << QStringLiteral("ぎゅうにゅう") << 4 << true;
        QTest::newRow("many readings") << QStringLiteral("ﾀﾞｲｺﾝ") << 2600 << false;
        QTest::newRow("many, then few") << QStringLiteral("ﾀﾞｲｺﾝ 4") << 728 << false;
        QTest::newRow("words in any order") << QStringLiteral("ﾆｭｳ ｷﾞｭｳ") << 4 << true;
        QTest::newRow("kanji and kana") << QStringLiteral("ぎゅうにゅう 牛乳") << 3 << true;
        QTest::newRow("kanji only") << QStringLiteral("牛乳") << 3 << false;
        QTest::newRow("none") << QStringLiteral("ﾎﾟﾀｰｼﾞｭ") << 0 << true;
        QTest::newRow("across the reading's blanks")
            << QStringLiteral("かつおこんぶだし") << 1 << true;
        QTest::newRow("blanks typed elsewhere")
            << QStringLiteral("こんぶ だしこんごう") << 1 << true;
        QTest::newRow("words across blanks, any order")
            << QStringLiteral("かわなしなま じゃがいもかいけい") << 1 << true;
        QTest::newRow("across the name's blanks") << QStringLiteral("塊茎皮なし") << 1 << false;
        QTest::newRow("percent sign") << QStringLiteral("00%") << 1 << true;
        QTest::newRow("underscore") << QStringLiteral("A_B") << 1 << true;
        QTest::newRow("backslash") << QStringLiteral("ﾝ\\ｶ") << 1 << true;
        QTest::newRow("quote") << QStringLiteral("ｵ'ｶ") << 1 << true;
        QTest::newRow("double quote") << QStringLiteral("\"ｶｷﾞ\"") << 1 << true;
        QTest::newRow("ASCII in any case") << QStringLiteral("abc") << 2 << true;
        QTest::newRow("full-width letters") << QStringLiteral("ＡＢＣ") << 2 << true;
        QTest::newRow("beyond the BMP") << QStringLiteral("🍙🍙🍙") << 1 << true;
        QTest::newRow("two beyond the BMP") << QStringLiteral("🍙🍙") << 1 << false;
        QTest::newRow("NUL dropped")
            << QStringLiteral("ｺ") + QChar(0) + QStringLiteral("ﾒ") << 1 << false;
    }
    void sameRowsAsLike()
    {
        QFETCH(QString, typed);
        QFETCH(int, rows);
        QFETCH(bool, indexed);
        QCOMPARE(rowsOf(m_db, FoodSearch::readingQuery(typed)).size(), rows);
        QCOMPARE(ReadingSearch::query(m_db, typed).contains(QLatin1String("eys_skn")), indexed);
        compareWithLike(typed);
    }

    // With the order of the foods at hand, the scan starts at the first of
    // many readings the index finds; the rows stay those of the LIKE. Ranks
    // read before a food came do not know it, and the index alone is used.
    void sameRowsWithRanks_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("way");
        QTest::newRow("many, two words") << QStringLiteral("ﾀﾞｲｺﾝ 1") << QStringLiteral("SKN<=");
        QTest::newRow("few") << QStringLiteral("ﾌﾂｳｷﾞｭｳ") << QStringLiteral("eys_skn");
        QTest::newRow("many, at the top") << QStringLiteral("ﾀﾞｲｺﾝ") << QStringLiteral("LIKE");
        QTest::newRow("any case") << QStringLiteral("abc") << QStringLiteral("eys_skn");
        QTest::newRow("none") << QStringLiteral("ﾎﾟﾀｰｼﾞｭ") << QStringLiteral("eys_skn");
        QTest::newRow("across a blank") << QStringLiteral("ｵｺﾝﾌﾞ") << QStringLiteral("eys_skn");
    }
    void sameRowsWithRanks()
    {
        QFETCH(QString, typed);
        QFETCH(QString, way);
        ReadingSearch::Ranks ranks;
        QVERIFY(ranks.read(m_db));
        const QString sql = ReadingSearch::query(m_db, typed, [&] { return &ranks; });
        QVERIFY2(sql.contains(way) || (way == QLatin1String("LIKE") && sql.contains("instr")),
                 qPrintable(sql));
        compareWithLike(typed, &ranks);

        QVERIFY(m_folder->exec(QStringLiteral(
            "INSERT INTO eys(SNM,SKN,BID) VALUES ('あとから','ﾔﾏﾄ ｺﾝ 1 ﾌﾂｳｷﾞｭｳ ﾀﾞｲｺﾝ abc',1)")));
        compareWithLike(typed, &ranks);
    }

    // A store made before the index existed is searched by scanning; the
    // database tool's refresh gives it the index, filled from the foods.
    void olderStoreWithoutTheIndex()
    {
        QVERIFY(m_folder->exec(QStringLiteral(
            "DROP TRIGGER eys_skn_insert; DROP TRIGGER eys_skn_delete;"
            " DROP TRIGGER eys_skn_update; DROP TABLE eys_skn;"
            " INSERT INTO eys(SID,SNM,SKN,BID) VALUES (20,'あとから','ｱﾄｶﾗ ｷﾞｭｳﾆｭｳ',13);")));
        openStore();
        QVERIFY(!ReadingSearch::hasReadingIndex(m_db));
        QVERIFY(!ReadingSearch::query(m_db, QStringLiteral("ｷﾞｭｳﾆｭｳ"))
                     .contains(QLatin1String("eys_skn")));
        compareWithLike(QStringLiteral("ｷﾞｭｳﾆｭｳ"));

        QString error;
        QVERIFY2(Schema::addReadingIndex(m_db, &error), qPrintable(error));
        QVERIFY(ReadingSearch::hasReadingIndex(m_db));
        QCOMPARE(rowsOf(m_db, ReadingSearch::query(m_db, QStringLiteral("ｷﾞｭｳﾆｭｳ"))).size(), 5);
        compareWithLike(QStringLiteral("ｷﾞｭｳﾆｭｳ"));
        // Adding it again changes nothing.
        QVERIFY2(Schema::addReadingIndex(m_db, &error), qPrintable(error));
        compareWithLike(QStringLiteral("ｷﾞｭｳﾆｭｳ"));
    }

    // Foods added, renamed, re-read and deleted are found as the LIKE finds them.
    void indexFollowsEveryChange_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("rows");
        QTest::newRow("added")
            << QStringLiteral(
                   "INSERT INTO eys(SNM,SKN,BID) VALUES ('新しい牛乳','ｱﾀﾗｼｲｷﾞｭｳﾆｭｳ',13)")
            << QStringLiteral("ｷﾞｭｳﾆｭｳ") << 5;
        QTest::newRow("reading changed")
            << QStringLiteral("UPDATE eys SET SKN='ﾄｸﾉｳﾆｭｳ' WHERE SID=2")
            << QStringLiteral("ｷﾞｭｳﾆｭｳ") << 3;
        QTest::newRow("reading found anew")
            << QStringLiteral("UPDATE eys SET SKN='ﾄｸﾉｳﾆｭｳ' WHERE SID=2") << QStringLiteral("ﾄｸﾉｳ")
            << 1;
        QTest::newRow("reading cleared") << QStringLiteral("UPDATE eys SET SKN=NULL WHERE SID=3")
                                         << QStringLiteral("ｷﾞｭｳﾆｭｳ") << 3;
        QTest::newRow("name only changed")
            << QStringLiteral("UPDATE eys SET SNM='別名' WHERE SID=4") << QStringLiteral("ｷﾞｭｳﾆｭｳ")
            << 4;
        QTest::newRow("deleted") << QStringLiteral("DELETE FROM eys WHERE SID IN (2,5)")
                                 << QStringLiteral("ｷﾞｭｳﾆｭｳ") << 2;
    }
    void indexFollowsEveryChange()
    {
        QFETCH(QString, change);
        QFETCH(QString, typed);
        QFETCH(int, rows);
        QVERIFY(m_folder->exec(change));
        QCOMPARE(rowsOf(m_db, ReadingSearch::query(m_db, typed)).size(), rows);
        compareWithLike(typed);
        // The index and its content agree.
        QVERIFY(m_folder->exec(
            QStringLiteral("INSERT INTO eys_skn(eys_skn, rank) VALUES ('integrity-check', 1)")));
    }
};

QTEST_GUILESS_MAIN(TestReadingSearch)
#include "tst_readingsearch.moc"
