#include "core/store/database.h"
#include "core/store/datasource.h"
#include "core/store/statement.h"
#include "tests/support/testsupport.h"

#include <QtTest>
#include <functional>
#include <sqlite3.h>

class TestDataSource : public QObject
{
    Q_OBJECT

    const QString connection =
        QStringLiteral("Provider=Zento.SQLite.1;Data Source=zento.dll;Persist Security Info=False");

    std::unique_ptr<DataSource> open(const QString &sql)
    {
        auto ds = std::make_unique<DataSource>();
        ds->setConnectionString(connection);
        ds->setRecordSource(sql);
        return ds;
    }

private slots:
    void missingStoreIsNeverCreated()
    {
        TestFolder folder;
        auto ds = open(QStringLiteral("SELECT mnu.* FROM mnu"));
        QVERIFY(!ds->refresh());
        QVERIFY(ds->errorString().contains(QStringLiteral("zento.dll")));
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("zento.dll"))));
        QVERIFY(ds->bof() && ds->eof());
    }

    void fileThatIsNotADatabaseIsReported()
    {
        TestFolder folder;
        QFile file(folder.filePath(QStringLiteral("zento.dll")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
        file.close();
        QString error;
        QVERIFY(!Database::open(connection, &error));
        QVERIFY(error.contains(QStringLiteral("zento.dll")));
    }

    void pointerMovesAndEnds()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(
            QStringLiteral("INSERT INTO mnu(アイテム名) VALUES ('a'),('b'),('c');")));
        auto ds = open(QStringLiteral("SELECT mnu.* FROM mnu"));
        QVERIFY(ds->refresh());
        QCOMPARE(ds->text(QStringLiteral("アイテム名")), QStringLiteral("a"));
        QVERIFY(!ds->bof());
        QVERIFY(ds->movePrevious());
        QVERIFY(ds->bof());
        QVERIFY(ds->moveLast());
        QCOMPARE(ds->text(QStringLiteral("id")), QStringLiteral("3")); // names ignore case
        QVERIFY(ds->moveNext());
        QVERIFY(ds->eof());
        QVERIFY(!ds->moveNext());
        QCOMPARE(ds->recordCount(), 3);

        auto empty = open(QStringLiteral("SELECT mnu.* FROM mnu WHERE ID > 10"));
        QVERIFY(empty->refresh());
        QVERIFY(empty->bof() && empty->eof());
        QVERIFY(!empty->moveLast());
    }

    void onlySubmitWrites()
    {
        TestFolder folder;
        QVERIFY(
            folder.makeStore(QStringLiteral("INSERT INTO mnu(アイテム名) VALUES ('a'),('b');")));
        auto ds = open(QStringLiteral("SELECT mnu.* FROM mnu"));
        auto storedName = [&] {
            return folder.scalar(QStringLiteral("SELECT アイテム名 FROM mnu WHERE ID=1"))
                .toString();
        };
        // Leaving the record, refreshing, starting a new record: the
        // change is forgotten, never written.
        const std::vector<std::function<bool()>> leaves = {
            [&] { return ds->moveNext(); }, [&] { return ds->refresh(); },
            [&] { return ds->addNew() && ds->moveFirst(); }};
        for (const auto &leave : leaves) {
            QVERIFY(ds->refresh());
            QVERIFY(ds->setValue(QStringLiteral("アイテム名"), QStringLiteral("煮物")));
            QVERIFY(leave());
            QCOMPARE(storedName(), QStringLiteral("a"));
            QVERIFY(ds->moveFirst());
            QCOMPARE(ds->text(QStringLiteral("アイテム名")), QStringLiteral("a"));
        }
        QVERIFY(ds->setValue(QStringLiteral("アイテム名"), QStringLiteral("煮物")));
        QVERIFY(ds->submitPending());
        QCOMPARE(storedName(), QStringLiteral("煮物"));
        QVERIFY(!ds->hasPendingChange());
        QCOMPARE(folder.count(QStringLiteral("mnu")), 2);
    }

    void joinedQueryWritesTheAssignedTable()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(QStringLiteral(
            "INSERT INTO eys(SID,SNM,BID) VALUES (1001,'米',1),(1002,'麦',1);"
            "INSERT INTO mnu(アイテム名) VALUES ('ごはん');"
            "INSERT INTO kou(アイテムCD,食品コード,数量,単位,数量2) VALUES (1,1001,100,'ｇ',1);")));
        auto ds = open(QStringLiteral("SELECT eys.SNM as 素材,kou.* FROM kou,eys "
                                      "WHERE((kou.食品コード=eys.SID) AND (kou.アイテムCD=1))"));
        QVERIFY(ds->refresh());
        QCOMPARE(ds->text(QStringLiteral("素材")), QStringLiteral("米"));
        QVERIFY(ds->setValue(QStringLiteral("食品コード"), QStringLiteral("1002")));
        QVERIFY(ds->setValue(QStringLiteral("数量"), 250.0));
        QVERIFY(ds->setValue(QStringLiteral("数量2"), QStringLiteral("2.5")));
        QVERIFY(ds->submitPending());
        QCOMPARE(folder.scalar(QStringLiteral("SELECT 食品コード FROM kou")).toLongLong(), 1002);
        QCOMPARE(folder.scalar(QStringLiteral("SELECT 数量2 FROM kou")).toDouble(), 2.5);
        QCOMPARE(folder.scalar(QStringLiteral("SELECT SNM FROM eys WHERE SID=1001")).toString(),
                 QStringLiteral("米"));

        // A new record of the join is a new kou row; its key comes back.
        QVERIFY(ds->addNew());
        QVERIFY(ds->setValue(QStringLiteral("アイテムCD"), QStringLiteral("1")));
        QVERIFY(ds->setValue(QStringLiteral("食品コード"), QStringLiteral("1001")));
        QVERIFY(ds->submitPending());
        QCOMPARE(folder.count(QStringLiteral("kou")), 2);
        QVERIFY(ds->moveLast());
        QCOMPARE(ds->text(QStringLiteral("ID")), QStringLiteral("2"));
    }

    void badNumberIsRefusedAndNothingIsWritten()
    {
        TestFolder folder;
        QVERIFY(
            folder.makeStore(QStringLiteral("INSERT INTO eys(SID,SNM,ENC) VALUES (1,'米',100);")));
        auto ds = open(QStringLiteral("SELECT eys.* FROM eys"));
        QVERIFY(ds->refresh());
        QVERIFY(ds->setValue(QStringLiteral("ENC"), QStringLiteral("abc")));
        QVERIFY(!ds->submitPending());
        QVERIFY(ds->errorString().contains(QStringLiteral("ENC")));
        QCOMPARE(folder.scalar(QStringLiteral("SELECT ENC FROM eys")).toDouble(), 100.0);
        // A refused change stays pending, to be mended or forgotten.
        QVERIFY(ds->hasPendingChange());
        // Full-width digits are digits; an empty box stores no value.
        QVERIFY(ds->setValue(QStringLiteral("ENC"), QStringLiteral("１２．５")));
        QVERIFY(ds->setValue(QStringLiteral("SUI"), QString()));
        QVERIFY(ds->submitPending());
        QCOMPARE(folder.scalar(QStringLiteral("SELECT ENC FROM eys")).toDouble(), 12.5);
        QVERIFY(folder.scalar(QStringLiteral("SELECT SUI FROM eys")).isNull());
    }

    void writesReachTheFileOnceTheUserPauses()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(QStringLiteral("INSERT INTO mnu(アイテム名) VALUES ('a');")));
        auto ds = open(QStringLiteral("SELECT mnu.* FROM mnu"));
        QVERIFY(ds->refresh());
        QVERIFY(ds->setValue(QStringLiteral("アイテム名"), QStringLiteral("煮物")));
        QVERIFY(ds->submitPending());
        QTest::qWait(Database::checkpointDelayMs + 500);
        // A copy of the file alone, as a backup would take it, holds the change.
        QVERIFY(QFile::copy(folder.filePath(QStringLiteral("zento.dll")),
                            folder.filePath(QStringLiteral("copy.dll"))));
        sqlite3 *db = nullptr;
        QCOMPARE(
            sqlite3_open(QFile::encodeName(folder.filePath(QStringLiteral("copy.dll"))).constData(),
                         &db),
            SQLITE_OK);
        sqlite3_stmt *stmt = nullptr;
        QCOMPARE(sqlite3_prepare_v2(db, "SELECT アイテム名 FROM mnu", -1, &stmt, nullptr),
                 SQLITE_OK);
        QCOMPARE(sqlite3_step(stmt), SQLITE_ROW);
        QCOMPARE(columnValue(stmt, 0).toString(), QStringLiteral("煮物"));
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    }

    void keysAreNeverReused()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore());
        auto ds = open(QStringLiteral("SELECT mnu.* FROM mnu"));
        QVERIFY(ds->refresh());
        for (const char *name : {"a", "b"}) {
            QVERIFY(ds->addNew());
            QVERIFY(ds->setValue(QStringLiteral("アイテム名"), QString::fromLatin1(name)));
            QVERIFY(ds->submitPending());
        }
        QVERIFY(ds->moveLast());
        QVERIFY(ds->deleteCurrent());
        QVERIFY(ds->addNew());
        QVERIFY(ds->setValue(QStringLiteral("アイテム名"), QStringLiteral("c")));
        QVERIFY(ds->submitPending());
        QCOMPARE(ds->text(QStringLiteral("ID")), QStringLiteral("3"));

        // Foods the user adds are keyed above every official food number.
        auto foods = open(QStringLiteral("SELECT eys.* FROM eys WHERE(eys.SID=0)"));
        QVERIFY(foods->refresh());
        QVERIFY(foods->addNew());
        QVERIFY(foods->setValue(QStringLiteral("SNM"), QStringLiteral("自家製")));
        QVERIFY(foods->submitPending());
        QCOMPARE(foods->value(QStringLiteral("SID")).toLongLong(), 100000);
    }

    void deletingADishDeletesItsLines()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(QStringLiteral(
            "INSERT INTO mnu(アイテム名) VALUES ('a'),('b');"
            "INSERT INTO kou(アイテムCD,食品コード,数量2) VALUES (1,1,1),(1,2,1),(2,1,1);")));
        auto ds = open(QStringLiteral("SELECT mnu.* FROM mnu"));
        QVERIFY(ds->refresh());
        QVERIFY(ds->deleteCurrent());
        QCOMPARE(folder.count(QStringLiteral("mnu")), 1);
        QCOMPARE(folder.count(QStringLiteral("kou")), 1);
    }

    void rowsReadLazilyKeepTheirSnapshot()
    {
        TestFolder folder;
        QString sql;
        for (int i = 0; i < 1000; ++i)
            sql += QStringLiteral("INSERT INTO mnu(アイテム名) VALUES ('d%1');").arg(i);
        QVERIFY(folder.makeStore(sql));
        auto reader = open(QStringLiteral("SELECT mnu.* FROM mnu"));
        QVERIFY(reader->refresh());
        QVERIFY(reader->rowCount() < 1000); // not all read yet
        auto writer = open(QStringLiteral("SELECT mnu.* FROM mnu WHERE ID=999"));
        QVERIFY(writer->refresh());
        QVERIFY(writer->deleteCurrent());
        // The reader still has the rows its query found.
        QCOMPARE(reader->recordCount(), 1000);
        QVERIFY(reader->moveLast());
        QCOMPARE(reader->text(QStringLiteral("アイテム名")), QStringLiteral("d999"));
    }

    void queryLanguage()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(QStringLiteral("INSERT INTO mnu(アイテム名) VALUES ('a');")));
        auto ds = open(
            QStringLiteral("SELECT int(0.125*100+0.5)/100 AS a, int(-1.5) AS b, int(NULL) AS c,"
                           " int(0.285*100+0.5)/100 AS d FROM mnu"));
        QVERIFY2(ds->refresh(), qPrintable(ds->errorString()));
        QCOMPARE(ds->value(QStringLiteral("a")).toDouble(), 0.13);
        QCOMPARE(ds->value(QStringLiteral("d")).toDouble(), 0.29);
        QCOMPARE(ds->value(QStringLiteral("b")).toDouble(), -2.0);
        QVERIFY(ds->value(QStringLiteral("c")).isNull());
        auto bad = open(QStringLiteral("SELECT nonsense FROM mnu"));
        QVERIFY(!bad->refresh());
        QVERIFY(!bad->errorString().isEmpty());
    }
};

QTEST_MAIN(TestDataSource)
#include "tst_datasource.moc"
