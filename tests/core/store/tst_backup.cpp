// Copies of the store and restoring one, on the store itself.
#include "core/app/leftovers.h"
#include "core/store/backup.h"
#include "core/store/database.h"
#include "core/store/statement.h"
#include "core/store/storecheck.h"
#include "core/store/storelock.h"
#include "core/store/undojournal.h"
#include "tests/support/testsupport.h"

#include <QtTest>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

const QString connection =
    QStringLiteral("Provider=Zento.SQLite.1;Data Source=zento.dll;Persist Security Info=False");

bool addDish(Database &store, const QString &name)
{
    return store.write(
        [&](QString *e) {
            return store.run(QStringLiteral("INSERT INTO mnu(アイテム名) VALUES (?1)"), {name}, e);
        },
        nullptr);
}

QStringList dishesIn(sqlite3 *db)
{
    QStringList names;
    Statement stmt(db, QStringLiteral("SELECT アイテム名 FROM mnu ORDER BY ID"));
    while (stmt.next())
        names << stmt.value(0).toString();
    return names;
}

QStringList dishesInFile(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const QStringList names = dishesIn(db);
    sqlite3_close(db);
    return names;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void defaultNameCarriesDateAndTime()
    {
        QCOMPARE(Backup::defaultName(QDateTime(QDate(2026, 3, 4), QTime(9, 5))),
                 QStringLiteral("zento-20260304-0905.dll"));
    }

    void copyWhileRecordSetsAreOpenIsOneState()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore());
        auto store = Database::open(connection, nullptr);
        QVERIFY(addDish(*store, QStringLiteral("カレー")));
        // A query still being read does not keep the copy from being whole.
        Statement reading(store->handle(), QStringLiteral("SELECT * FROM mnu"));
        QVERIFY(reading.next());
        const QString target = folder.filePath(QStringLiteral("copy.dll"));
        QString error;
        QVERIFY2(Backup::copy(store->handle(), target, &error), qPrintable(error));
        QCOMPARE(dishesInFile(target), QStringList{QStringLiteral("カレー")});
        QVERIFY(!QFile::exists(target + QStringLiteral(".part")));
        QVERIFY(StoreCheck::checkFile(target, &error));
    }

    void failedCopyLeavesTheTargetAsItWas()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore());
        auto store = Database::open(connection, nullptr);
        // A folder in the way of the part file: the copy cannot be made.
        const QString target = folder.filePath(QStringLiteral("old.dll"));
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier backup");
        old.close();
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("old.dll.part")));
        QString error;
        QVERIFY(!Backup::copy(store->handle(), target, &error));
        QVERIFY2(error.contains(QStringLiteral("old.dll")), qPrintable(error));
        QCOMPARE(bytesOf(target), QByteArray("earlier backup"));
        // The store's own log and lock are not copied over.
        for (const char *companion : {"zento.dll-wal", "zento.dll.lock"}) {
            QVERIFY(
                !Backup::copy(store->handle(), folder.filePath(QLatin1String(companion)), &error));
            QVERIFY2(error.contains(QStringLiteral("データベースが使うファイル")),
                     qPrintable(error));
        }
        // A folder that does not exist is named as the cause.
        QVERIFY(!Backup::copy(store->handle(), folder.filePath(QStringLiteral("none/new.dll")),
                              &error));
        QVERIFY2(error.contains(QStringLiteral("フォルダーがありません")), qPrintable(error));
    }

    void restoreKeepsTheStoreAndReplacesIt()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore());
        auto store = Database::open(connection, nullptr);
        auto journal = std::make_unique<UndoJournal>(*store);
        QVERIFY(journal->install(nullptr));
        store->setUndoJournal(std::move(journal));
        QVERIFY(addDish(*store, QStringLiteral("朝")));
        const QString saved = folder.filePath(QStringLiteral("saved.dll"));
        QVERIFY(Backup::copy(store->handle(), saved, nullptr));
        QVERIFY(addDish(*store, QStringLiteral("昼")));

        QString error;
        QVERIFY2(Backup::restore(*store, saved, &error), qPrintable(error));
        QCOMPARE(dishesIn(store->handle()), QStringList{QStringLiteral("朝")});
        QCOMPARE(dishesInFile(folder.filePath(QStringLiteral("zento.dll.bak"))),
                 (QStringList{QStringLiteral("朝"), QStringLiteral("昼")}));
        QVERIFY(!store->undoJournal()->canUndo());
        // The store goes on recording after the restore.
        QVERIFY(addDish(*store, QStringLiteral("夜")));
        QVERIFY(store->undoJournal()->undo(&error));
        QCOMPARE(dishesIn(store->handle()), QStringList{QStringLiteral("朝")});
    }

    void restoreSwapsTheFileAndKeepsTheLogSmall()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore());
        const QString storePath = folder.filePath(QStringLiteral("zento.dll"));
        StoreLock lock(storePath);
        QCOMPARE(lock.acquire(), StoreLock::Outcome::Held);
        auto store = Database::open(connection, nullptr);
        QVERIFY(store->hasWriteAheadLog());
        QVERIFY(addDish(*store, QStringLiteral("今")));
        // A copy of some megabytes: written through the store's log, it
        // would grow the log past its limit.
        const QString saved = folder.filePath(QStringLiteral("saved.dll"));
        QVERIFY(Backup::copy(store->handle(), saved, nullptr));
        sqlite3 *db = nullptr;
        sqlite3_open(QFile::encodeName(saved).constData(), &db);
        QCOMPARE(sqlite3_exec(db,
                              "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                              "WHERE i < 3000) INSERT INTO mnu(アイテム名) "
                              "SELECT printf('%04d', i) || hex(zeroblob(500)) FROM n",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(db);
        QVERIFY(QFileInfo(saved).size() > 3'000'000);
        struct stat before;
        QCOMPARE(::stat(QFile::encodeName(storePath).constData(), &before), 0);

        QString error;
        QVERIFY2(Backup::restore(*store, saved, &error), qPrintable(error));
        QVERIFY(QFileInfo(storePath + QStringLiteral("-wal")).size() < 1'048'576);
        QCOMPARE(scalarOf(store->handle(), QStringLiteral("SELECT count(*) FROM mnu")).toInt(),
                 3001);
        // The store is a new file, and the file the program checks before
        // each write is that one: writes go on, into it.
        struct stat after;
        QCOMPARE(::stat(QFile::encodeName(storePath).constData(), &after), 0);
        QVERIFY(after.st_ino != before.st_ino);
        QVERIFY(store->isStillTheFile());
        QVERIFY(store->hasWriteAheadLog());
        QVERIFY(addDish(*store, QStringLiteral("後")));
        QCOMPARE(dishesInFile(storePath).size(), 3002);
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral(".zento.dll.restoring.part"))));
        // The lock stays held: a second program is still kept off.
        StoreLock second(storePath);
        QCOMPARE(second.acquire(), StoreLock::Outcome::Elsewhere);
        // The hidden copy of a restore that was killed goes at the next start.
        const QString killed = folder.filePath(QStringLiteral(".zento.dll.restoring.part"));
        QFile left(killed);
        QVERIFY(left.open(QIODevice::WriteOnly));
        left.setFileTime(QDateTime::currentDateTime().addSecs(-2 * Leftovers::quietSeconds),
                         QFileDevice::FileModificationTime);
        left.close();
        QCOMPARE(Leftovers::removeBesideStore(storePath), 1);
        QVERIFY(!QFile::exists(killed));
    }

    void restoreRefusesWhatIsNotAWholeStore_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("said");
        QTest::newRow("empty file") << QByteArray() << QString() << QStringLiteral("空");
        QTest::newRow("not a database") << QByteArray("hello") << QString()
                                        << QStringLiteral("データベースファイルではありません");
        QTest::newRow("missing table")
            << QByteArray() << QStringLiteral("DROP TABLE kou") << QStringLiteral("表「kou」");
        QTest::newRow("missing file")
            << QByteArray("-") << QString() << QStringLiteral("見つかりません");
        // A database of another program is named by what it lacks.
        QTest::newRow("foreign database")
            << QByteArray("foreign") << QString() << QStringLiteral("表「mnu」");
        QTest::newRow("truncated copy")
            << QByteArray("truncated") << QString() << QStringLiteral("壊れています");
        // A pipe is refused without waiting for a writer.
        QTest::newRow("pipe") << QByteArray("|") << QString() << QStringLiteral("パイプ");
    }

    void restoreRefusesWhatIsNotAWholeStore()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, damage);
        QFETCH(QString, said);
        TestFolder folder;
        QVERIFY(folder.makeStore());
        auto store = Database::open(connection, nullptr);
        QVERIFY(addDish(*store, QStringLiteral("残る料理")));
        const QString source = folder.filePath(QStringLiteral("source.dll"));
        if (!damage.isEmpty()) {
            QVERIFY(Backup::copy(store->handle(), source, nullptr));
            sqlite3 *db = nullptr;
            sqlite3_open(QFile::encodeName(source).constData(), &db);
            QCOMPARE(sqlite3_exec(db, damage.toUtf8().constData(), nullptr, nullptr, nullptr),
                     SQLITE_OK);
            sqlite3_close(db);
        } else if (content == "foreign") {
            sqlite3 *db = nullptr;
            sqlite3_open(QFile::encodeName(source).constData(), &db);
            QCOMPARE(sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES (1)", nullptr,
                                  nullptr, nullptr),
                     SQLITE_OK);
            sqlite3_close(db);
        } else if (content == "truncated") {
            QVERIFY(Backup::copy(store->handle(), source, nullptr));
            QVERIFY(QFile::resize(source, QFileInfo(source).size() / 2));
        } else if (content == "|") {
            QCOMPARE(::mkfifo(QFile::encodeName(source).constData(), 0600), 0);
        } else if (content != "-") {
            QFile file(source);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        const QByteArray before = bytesOf(folder.filePath(QStringLiteral("zento.dll")));
        QString error;
        QVERIFY(!Backup::restore(*store, source, &error));
        QVERIFY2(error.contains(said), qPrintable(error));
        QCOMPARE(dishesIn(store->handle()), QStringList{QStringLiteral("残る料理")});
        QCOMPARE(bytesOf(folder.filePath(QStringLiteral("zento.dll"))), before);
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("zento.dll.bak"))));
    }

    // A copy made by an earlier version lacks what later ones add: restored,
    // it is brought up to date as at start-up, its dishes kept.
    void restoreBringsAnEarlierVersionUpToDate()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore());
        auto store = Database::open(connection, nullptr);
        QVERIFY(addDish(*store, QStringLiteral("前の版の料理")));
        const QString source = folder.filePath(QStringLiteral("earlier.dll"));
        QVERIFY(Backup::copy(store->handle(), source, nullptr));
        QVERIFY(addDish(*store, QStringLiteral("今の料理")));
        sqlite3 *db = nullptr;
        sqlite3_open(QFile::encodeName(source).constData(), &db);
        QCOMPARE(sqlite3_exec(db,
                              "ALTER TABLE mnu DROP COLUMN 人分; DROP TABLE hyj; DROP TABLE kom;"
                              " DROP TABLE kon",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(db);
        QString error;
        QVERIFY2(Backup::restore(*store, source, &error), qPrintable(error));
        QCOMPARE(dishesIn(store->handle()), QStringList{QStringLiteral("前の版の料理")});
        QVERIFY(StoreCheck::missingParts(store->handle()).isEmpty());
    }

    void toolCopiesAndRestoresFilesThatAreNotOpen()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(QStringLiteral("INSERT INTO mnu(アイテム名) VALUES ('一');")));
        const QString store = folder.filePath(QStringLiteral("zento.dll"));
        const QString copy = folder.filePath(QStringLiteral("copy.dll"));
        QString error;
        QVERIFY2(Backup::copyFile(store, copy, &error), qPrintable(error));
        QVERIFY(folder.exec(QStringLiteral("INSERT INTO mnu(アイテム名) VALUES ('二')")));
        QVERIFY2(Backup::restoreFile(store, copy, &error), qPrintable(error));
        QCOMPARE(dishesInFile(store), QStringList{QStringLiteral("一")});
        QCOMPARE(dishesInFile(store + QStringLiteral(".bak")),
                 (QStringList{QStringLiteral("一"), QStringLiteral("二")}));
        QVERIFY(!Backup::copyFile(folder.filePath(QStringLiteral("none.dll")), copy, &error));
    }

    void dailyCopyOncePerDayKeepingSeven()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore());
        auto store = Database::open(connection, nullptr);
        const QString storePath = folder.filePath(QStringLiteral("zento.dll"));
        QDir backups(folder.filePath(QStringLiteral("backups")));
        QString error;
        const QDate first(2026, 1, 1);
        for (int day = 0; day < 10; ++day) {
            const QString made =
                Backup::daily(store->handle(), storePath, first.addDays(day), &error);
            QVERIFY2(!made.isEmpty(), qPrintable(error));
            // A second start on the same day makes no copy.
            QVERIFY(
                Backup::daily(store->handle(), storePath, first.addDays(day), &error).isEmpty());
            QVERIFY(error.isEmpty());
        }
        QFile mine(backups.filePath(QStringLiteral("zento-mine.dll")));
        QVERIFY(mine.open(QIODevice::WriteOnly));
        mine.close();
        QVERIFY(!Backup::daily(store->handle(), storePath, first.addDays(10), &error).isEmpty());
        QStringList expected;
        for (int day = 4; day <= 10; ++day)
            expected << QStringLiteral("zento-%1.dll")
                            .arg(first.addDays(day).toString(QStringLiteral("yyyyMMdd")));
        expected << QStringLiteral("zento-mine.dll");
        QCOMPARE(backups.entryList(QDir::Files, QDir::Name), expected);
    }

    // The copy written beside the window holds the store as it was when it
    // started, whatever is written meanwhile; the log is folded back only
    // once it is released.
    void dailyCopyBesideWritesHoldsItsStart()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore());
        auto store = Database::open(connection, nullptr);
        QVERIFY(store && store->hasWriteAheadLog());
        QVERIFY(addDish(*store, QStringLiteral("前")));
        QVERIFY(store->foldLog());
        const QString storePath = folder.filePath(QStringLiteral("zento.dll"));
        const QString log = storePath + QStringLiteral("-wal");
        store->holdLog(true);
        Backup::StartCheck daily;
        QString written, error;
        QVERIFY(daily.start(
            storePath, QDate(2026, 1, 1), true,
            [&](const Backup::CheckReport &report) {
                written = report.written;
                error = report.error + report.damage;
            },
            &error));
        for (int i = 0; i < 20; ++i)
            QVERIFY(addDish(*store, QStringLiteral("後%1").arg(i)));
        daily.wait();
        QVERIFY2(!written.isEmpty(), qPrintable(error));
        QCOMPARE(dishesInFile(written), QStringList{QStringLiteral("前")});
        QTest::qWait(Database::checkpointDelayMs + 300);
        QVERIFY(QFileInfo(log).size() > 0);
        store->holdLog(false);
        QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(log).size(), 0, Database::checkpointDelayMs + 3000);
        QCOMPARE(dishesInFile(storePath).size(), 21);
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
