// The store's safety at the core level: what start-up checks before it trusts
// a file, what is refused without a byte written, a file whole at rest, and
// the journal mode the file keeps.
#include "core/store/database.h"
#include "core/store/datasource.h"
#include "core/store/schema.h"
#include "core/store/schemacheck.h"
#include "core/store/schemareference.h"
#include "core/store/statement.h"
#include "core/store/storecheck.h"
#include "core/store/storelock.h"
#include "tests/support/testsupport.h"

#include <QProcess>
#include <QtTest>
#include <sqlite3.h>

namespace {

const QString connection =
    QStringLiteral("Provider=Zento.SQLite.1;Data Source=zento.dll;Persist Security Info=False");

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file or folder made unchangeable even for the superuser; undone when
// the guard goes.
struct Immutable
{
    QString path;
    bool ok = false;
    explicit Immutable(const QString &p)
        : path(p)
    {
        ok = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) == 0;
    }
    ~Immutable()
    {
        if (ok)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
    }
};

// Makes the change sql in the store at path through a log that stays
// unfolded, as a program killed before it folded it back leaves it.
bool leaveInLog(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    SchemaCheck::trustIfOwn(db);
    const bool ok = sqlite3_exec(db, ("PRAGMA journal_mode=WAL; " + sql).toUtf8().constData(),
                                 nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    QFile::remove(path + QStringLiteral("-shm"));
    return ok && QFileInfo(path + QStringLiteral("-wal")).size() > 0;
}

} // namespace

class TestStoreSafety : public QObject
{
    Q_OBJECT

private slots:
    void usedPartsAreWhatTheSchemaMakes()
    {
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(":memory:", &db), SQLITE_OK);
        QVERIFY(Schema::create(db, nullptr));
        std::vector<StoreCheck::TableColumns> made;
        Statement tables;
        QVERIFY(tables.prepare(db, QStringLiteral("SELECT name FROM sqlite_schema WHERE type = "
                                                  "'table' AND name NOT LIKE 'sqlite%' "
                                                  "ORDER BY rowid")));
        while (tables.next())
            made.push_back({tables.value(0).toString(), {}});
        tables.finalize();
        for (StoreCheck::TableColumns &table : made) {
            Statement columns;
            QVERIFY(columns.prepare(db, QStringLiteral("SELECT name FROM pragma_table_info(?1)")));
            columns.bind(1, table.table);
            while (columns.next())
                if (!StoreCheck::isUnused(columns.value(0).toString()))
                    table.columns << columns.value(0).toString();
        }
        sqlite3_close(db);
        QStringList expected, listed;
        for (const auto &table : made)
            expected << table.table + QLatin1Char(':') + table.columns.join(QLatin1Char(','));
        for (const auto &table : StoreCheck::usedParts())
            listed << table.table + QLatin1Char(':') + table.columns.join(QLatin1Char(','));
        QCOMPARE(listed, expected);
    }

    // The schema compiled in is the one the statements make now, read back
    // from SQLite: names, statements (Japanese names included), virtual and
    // shadow tables, and every column's type, key and default.
    void builtInSchemaIsWhatTheStatementsMake()
    {
        const SchemaReference::Reference made = SchemaReference::make();
        const SchemaReference::Reference &builtIn = SchemaReference::builtIn();
        QVERIFY(!made.objects.empty());
        auto text = [](const SchemaReference::Reference &r) {
            QStringList lines;
            for (const SchemaReference::Object &o : r.objects)
                lines << QStringList{o.type,
                                     o.name,
                                     o.table,
                                     o.sql,
                                     QString::number(o.isVirtual),
                                     QString::number(o.isShadow)}
                             .join(QLatin1Char('|'));
            return lines;
        };
        QCOMPARE(text(builtIn), text(made));
        QCOMPARE(builtIn.columns, made.columns);
    }

    void missingParts_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QStringList>("named");
        QTest::newRow("whole") << QString() << QStringList();
        QTest::newRow("lines table")
            << "DROP TABLE kou" << QStringList{QStringLiteral("表「kou」")};
        QTest::newRow("units table")
            << "DROP TABLE tni" << QStringList{QStringLiteral("表「tni」")};
        QTest::newRow("salt column") << "DROP INDEX eys_rank_NAT; ALTER TABLE eys DROP COLUMN NAT"
                                     << QStringList{QStringLiteral("表「eys」の項目「NAT」")};
        QTest::newRow("weight factor column")
            << "ALTER TABLE kou DROP COLUMN 数量2"
            << QStringList{QStringLiteral("表「kou」の項目「数量2」")};
        QTest::newRow("two at once") << "DROP TABLE kij; ALTER TABLE mnu DROP COLUMN アイテム名"
                                     << QStringList{QStringLiteral("表「mnu」の項目「アイテム名」"),
                                                    QStringLiteral("表「kij」")};
        // Columns the program never reads may be missing.
        QTest::newRow("spare and kJ columns") << "ALTER TABLE kou DROP COLUMN 予備1;"
                                                 "ALTER TABLE eys DROP COLUMN ENJ"
                                              << QStringList();
    }

    void missingParts()
    {
        QFETCH(QString, damage);
        QFETCH(QStringList, named);
        TestFolder folder;
        QVERIFY(folder.makeStore());
        if (!damage.isEmpty())
            QVERIFY(folder.exec(damage));
        auto store = Database::open(connection, nullptr);
        QVERIFY(store);
        QCOMPARE(StoreCheck::missingParts(store->handle()), named);
        QString error;
        QCOMPARE(StoreCheck::checkFile(folder.filePath(QStringLiteral("zento.dll")), &error),
                 named.isEmpty());
        for (const QString &part : named)
            QVERIFY2(error.contains(part), qPrintable(error));
    }

    void refusedFilesAreNeverWritten_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("said");
        QTest::newRow("zero bytes") << QByteArray() << QStringLiteral("空");
        QTest::newRow("text") << QByteArray("[SPEED]=0\r\n").repeated(50)
                              << QStringLiteral("データベースファイルではありません");
        QTest::newRow("short header") << QByteArray("SQLite format 3\0", 16)
                                      << QStringLiteral("データベースファイルではありません");
        QTest::newRow("zeros") << QByteArray(8192, '\0')
                               << QStringLiteral("データベースファイルではありません");
    }

    void refusedFilesAreNeverWritten()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, said);
        TestFolder folder;
        const QString path = folder.filePath(QStringLiteral("zento.dll"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();

        QString error;
        QVERIFY(!Database::open(connection, &error));
        QVERIFY2(error.contains(said), qPrintable(error));
        QVERIFY(!StoreCheck::checkFile(path, &error));
        QCOMPARE(bytesOf(path), content);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 1); // no journal left
    }

    void fileAloneHoldsEveryChangeOnceTheUserPauses()
    {
        TestFolder folder;
        QString rows;
        for (int i = 0; i < 200; ++i)
            rows += QStringLiteral("INSERT INTO mnu(アイテム名) VALUES ('古い%1');").arg(i);
        QVERIFY(folder.makeStore(rows));
        auto store = Database::open(connection, nullptr);
        QVERIFY(store);
        // A list still being read while the edits go on, as the dish list
        // or the food search leave theirs.
        DataSource list;
        list.setConnectionString(connection);
        list.setRecordSource(QStringLiteral("SELECT mnu.* FROM mnu"));
        QVERIFY(list.refresh());
        QVERIFY(list.canFetchMore(QModelIndex()));
        for (int i = 0; i < 20; ++i)
            QVERIFY(store->write(
                [&](QString *e) {
                    return store->run(QStringLiteral("INSERT INTO mnu(アイテム名) VALUES (?1)"),
                                      {QStringLiteral("料理%1").arg(i)}, e);
                },
                nullptr));
        QTest::qWait(Database::checkpointDelayMs + 500);
        // The file copied on its own, while the store is still open.
        QVERIFY(QFile::copy(folder.filePath(QStringLiteral("zento.dll")),
                            folder.filePath(QStringLiteral("copy.dll"))));
        sqlite3 *copy = nullptr;
        QCOMPARE(sqlite3_open_v2(QFile::encodeName(folder.filePath(QStringLiteral("copy.dll"))),
                                 &copy, SQLITE_OPEN_READONLY, nullptr),
                 SQLITE_OK);
        QCOMPARE(scalarOf(copy, QStringLiteral("SELECT count(*) FROM mnu")).toInt(), 220);
        sqlite3_close(copy);
        QCOMPARE(QFileInfo(folder.filePath(QStringLiteral("zento.dll-wal"))).size(), 0);
        // The list keeps the rows its query found.
        QCOMPARE(list.recordCount(), 200);
    }

    void journalModeIsGivenBack_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("write-ahead log") << "wal";
        QTest::newRow("rollback journal") << "delete";
    }

    void journalModeIsGivenBack()
    {
        QFETCH(QString, mode);
        TestFolder folder;
        QVERIFY(folder.makeStore());
        QVERIFY(folder.exec(QStringLiteral("PRAGMA journal_mode=") + mode));
        {
            auto store = Database::open(connection, nullptr);
            QVERIFY(store);
            QCOMPARE(store->startJournalMode(), mode);
            QVERIFY(store->write(
                [&](QString *e) {
                    return store->run(QStringLiteral("INSERT INTO mnu(アイテム名) VALUES ('x')"),
                                      {}, e);
                },
                nullptr));
        }
        Database::closeUnused();
        QCOMPARE(folder.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), mode);
        QCOMPARE(folder.count(QStringLiteral("mnu")), 1);
    }

    void unchangeableFileOrFolderOpensReadOnly_data()
    {
        QTest::addColumn<bool>("folderToo");
        QTest::addColumn<bool>("wal");
        QTest::newRow("file") << false << false;
        QTest::newRow("folder") << true << false;
        QTest::newRow("folder, store kept with a log") << true << true;
        QTest::newRow("folder, a change still in the log") << true << true;
    }

    void unchangeableFileOrFolderOpensReadOnly()
    {
        QFETCH(bool, folderToo);
        QFETCH(bool, wal);
        TestFolder folder;
        QVERIFY(folder.makeStore(QStringLiteral("INSERT INTO mnu(アイテム名) VALUES ('カレー');")));
        if (wal)
            QVERIFY(folder.exec(QStringLiteral("PRAGMA journal_mode=WAL")));
        const QString path = folder.filePath(QStringLiteral("zento.dll"));
        // An acknowledged change left in the log by a program that ended
        // without folding it back, and no shared-memory file.
        const bool logged = QByteArray(QTest::currentDataTag()).contains("still in the log");
        if (logged)
            QVERIFY(
                leaveInLog(path, QStringLiteral("INSERT INTO mnu(アイテム名) VALUES ('ハヤシ')")));
        const QByteArray before = bytesOf(path);
        Immutable guard(folderToo ? folder.path() : path);
        if (!guard.ok)
            QSKIP("this file system cannot make a file unchangeable");
        QVERIFY(!StoreCheck::isWritable(path));
        auto store = Database::open(connection, nullptr);
        QVERIFY(store);
        QVERIFY(store->isReadOnly());
        QCOMPARE(scalarOf(store->handle(),
                          QStringLiteral("SELECT アイテム名 FROM mnu ORDER BY ID DESC LIMIT 1"))
                     .toString(),
                 logged ? QStringLiteral("ハヤシ") : QStringLiteral("カレー"));
        QString error;
        QVERIFY(!store->write([](QString *) { return true; }, &error));
        QVERIFY2(error.contains(QStringLiteral("読み取り専用")), qPrintable(error));
        store.reset();
        Database::closeUnused();
        QCOMPARE(bytesOf(path), before);
    }

    // One program per store: the lock of a running program keeps a second
    // one off, however old it is; the lock a dead program left is taken.
    void oneProgramPerStore_data()
    {
        QTest::addColumn<QString>("holder");
        QTest::addColumn<bool>("taken");
        QTest::newRow("nobody") << "" << true;
        QTest::newRow("a running program") << "running" << false;
        QTest::newRow("a running program, a day ago") << "old" << false;
        QTest::newRow("a program that died") << "dead" << true;
    }
    void oneProgramPerStore()
    {
        QFETCH(QString, holder);
        QFETCH(bool, taken);
        TestFolder folder;
        QVERIFY(folder.makeStore());
        const QString path = folder.filePath(QStringLiteral("zento.dll"));
        const QString lockFile = path + QStringLiteral(".lock");
        StoreLock first(path);
        if (holder == QLatin1String("running") || holder == QLatin1String("old"))
            QCOMPARE(first.acquire(), StoreLock::Outcome::Held);
        if (holder == QLatin1String("old")) {
            QFile file(lockFile);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                     QFileDevice::FileModificationTime));
        }
        if (holder == QLatin1String("dead")) {
            // The lock as that program left it: written as this program
            // writes it, but for a process that ran and ended.
            QByteArray content;
            {
                StoreLock left(path);
                QCOMPARE(left.acquire(), StoreLock::Outcome::Held);
                QFile file(lockFile);
                QVERIFY(file.open(QIODevice::ReadOnly));
                content = file.readAll();
            }
            QProcess ended;
            ended.start(QStringLiteral("true"));
            QVERIFY(ended.waitForStarted());
            const qint64 pid = ended.processId();
            QVERIFY(ended.waitForFinished());
            QFile file(lockFile);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray::number(pid) + content.mid(content.indexOf('\n')));
        }
        StoreLock second(path);
        const StoreLock::Outcome outcome = second.acquire();
        QCOMPARE(outcome == StoreLock::Outcome::Held, taken);
        if (!taken)
            QCOMPARE(second.holder(), QCoreApplication::applicationPid());
    }

    void refusedEditsNameTheirReason()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore());
        auto store = Database::open(connection, nullptr);
        store->refuseEdits(QStringLiteral("表「kou」がありません"));
        QString error;
        bool ran = false;
        QVERIFY(!store->write([&](QString *) { return ran = true; }, &error));
        QVERIFY(!ran);
        QCOMPARE(error, QStringLiteral("表「kou」がありません"));
        store->refuseEdits(QString());
        QVERIFY(store->write([&](QString *) { return ran = true; }, &error));
    }

    // The store renamed over or removed while open: no change goes into the
    // file the user no longer has, and edits stay off.
    void storeReplacedUnderTheProgramRefusesWrites_data()
    {
        QTest::addColumn<bool>("removed");
        QTest::newRow("renamed over") << false;
        QTest::newRow("removed") << true;
    }

    void storeReplacedUnderTheProgramRefusesWrites()
    {
        QFETCH(bool, removed);
        TestFolder folder;
        QVERIFY(folder.makeStore());
        const QString path = folder.filePath(QStringLiteral("zento.dll"));
        QVERIFY(QFile::copy(path, folder.filePath(QStringLiteral("other.dll"))));
        auto store = Database::open(connection, nullptr);
        QVERIFY(store && store->isStillTheFile());
        const auto add = [&](QString *error) {
            return store->write(
                [&](QString *e) {
                    return store->run(QStringLiteral("INSERT INTO mnu(アイテム名) VALUES ('x')"),
                                      {}, e);
                },
                error);
        };
        QVERIFY(add(nullptr));
        if (removed)
            QVERIFY(QFile::remove(path));
        else
            QVERIFY(std::rename(QFile::encodeName(folder.filePath("other.dll")).constData(),
                                QFile::encodeName(path).constData()) == 0);
        QString error;
        QVERIFY(!add(&error));
        QVERIFY2(error.contains(QStringLiteral("置き換えられたか、消されました")),
                 qPrintable(error));
        QVERIFY(!add(&error));
    }
};

QTEST_GUILESS_MAIN(TestStoreSafety)
#include "tst_storesafety.moc"
