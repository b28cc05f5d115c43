// A store made by an earlier version, brought up to date as the program does
// at its start: its dishes gain servings and a finished weight, its official
// foods the components of the installed store, and it gains the standards.
#include "core/store/schema.h"
#include "core/store/statement.h"
#include "core/store/storecheck.h"

#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>

namespace {

// The tables as the first versions made them.
const char *earlierSchema = R"SQL(
CREATE TABLE bun (分類№ INTEGER PRIMARY KEY, 分類名 TEXT);
CREATE TABLE eys (
  SID INTEGER PRIMARY KEY AUTOINCREMENT,
  SNM TEXT, SKN TEXT, BID INTEGER,
  ENC REAL, ENJ REAL, SUI REAL, TAN REAL, SST REAL, TST REAL, TSS REAL, KBN REAL,
  CA REAL, P REAL, FE REAL, NA REAL, K REAL,
  VAR REAL, VAC REAL, VAK REAL, VE REAL, VB1 REAL, VB2 REAL, NAI REAL, VC REAL,
  FIB REAL, COL REAL, NAT REAL);
CREATE TABLE mnu (ID INTEGER PRIMARY KEY AUTOINCREMENT, アイテム名 TEXT);
CREATE TABLE kou (ID INTEGER PRIMARY KEY AUTOINCREMENT, アイテムCD INTEGER, 食品コード INTEGER,
  予備1 TEXT, 数量 REAL, 予備2 TEXT, 単位 TEXT, 数量2 REAL);
CREATE TABLE tni (TNM TEXT, KAK REAL);
CREATE TABLE kij (AGE INTEGER, SEX INTEGER, TAL REAL, WEI REAL, CAL REAL, TAN REAL, CA REAL,
  FE REAL, VA REAL, VB1 REAL, VB2 REAL, NAI REAL, VC REAL);
INSERT INTO eys(SID, SNM, SKN, CA) VALUES (1001, 'こめ', 'こめ', 5), (100001, '自家製', 'じかせい', 9);
INSERT INTO mnu(ID, アイテム名) VALUES (1, 'ごはん');
INSERT INTO kou(アイテムCD, 食品コード, 数量, 単位, 数量2) VALUES (1, 1001, 150, 'ｇ', 1.5);
)SQL";

sqlite3 *open(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    return db;
}

QVariant scalar(sqlite3 *db, const QString &sql)
{
    Statement s(db, sql);
    return s.next() ? s.value(0) : QVariant();
}

} // namespace

class TestUpgrade : public QObject
{
    Q_OBJECT

private slots:
    void earlierStoreGainsServingsComponentsAndStandards()
    {
        QTemporaryDir dir;
        // The store installed with the program: components of 1001 and 100001
        // (which no user's food of that number should ever take) and standards.
        const QString installed = dir.filePath(QStringLiteral("ready.dll"));
        sqlite3 *ready = open(installed);
        QString error;
        QVERIFY2(Schema::create(ready, &error), qPrintable(error));
        QCOMPARE(
            sqlite3_exec(ready,
                         "INSERT INTO sbn(SID, MG, MRK) VALUES (1001, 23, ''), (100001, 99, '');"
                         "INSERT INTO kjz VALUES (15, 17, 0, 0, 'calcium_mg', 'rda', 650, 2025);"
                         "INSERT INTO kjg VALUES ('x', 'y', 6, 7, 'calcium_mg', 290);",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
        sqlite3_close(ready);

        sqlite3 *db = open(dir.filePath(QStringLiteral("old.dll")));
        QCOMPARE(sqlite3_exec(db, earlierSchema, nullptr, nullptr, nullptr), SQLITE_OK);
        QVERIFY(!StoreCheck::missingParts(db).isEmpty());
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        QVERIFY2(Schema::bringUpToDate(db, &error, installed), qPrintable(error));
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);

        QCOMPARE(StoreCheck::missingParts(db), QStringList());
        QCOMPARE(scalar(db, QStringLiteral("SELECT 人分 FROM mnu WHERE ID = 1")).toDouble(), 1.0);
        QVERIFY(scalar(db, QStringLiteral("SELECT 出来上がり重量 FROM mnu WHERE ID = 1")).isNull());
        QCOMPARE(scalar(db, QStringLiteral("SELECT MG FROM sbn WHERE SID = 1001")).toDouble(),
                 23.0);
        QVERIFY(scalar(db, QStringLiteral("SELECT MG FROM sbn WHERE SID = 100001")).isNull());
        QCOMPARE(scalar(db, QStringLiteral("SELECT VAL FROM kjz")).toDouble(), 650.0);
        QCOMPARE(scalar(db, QStringLiteral("SELECT count(*) FROM kjg")).toInt(), 1);
        QCOMPARE(scalar(db, QStringLiteral("SELECT アイテム名 FROM mnu")).toString(),
                 QStringLiteral("ごはん"));

        // A second start changes nothing.
        QVERIFY2(Schema::bringUpToDate(db, &error, installed), qPrintable(error));
        QCOMPARE(scalar(db, QStringLiteral("SELECT count(*) FROM kjz")).toInt(), 1);
        QCOMPARE(scalar(db, QStringLiteral("SELECT count(*) FROM sbn")).toInt(), 1);
        sqlite3_close(db);
    }
};

QTEST_GUILESS_MAIN(TestUpgrade)
#include "tst_upgrade.moc"
