// Stores that bring code of their own or damaged pages, through the start-up
// check and through a restore: each is refused with a message naming what is
// wrong, and the store in use is left as it was.
#include "core/store/backup.h"
#include "core/store/database.h"
#include "core/store/statement.h"
#include "core/store/storecheck.h"
#include "tests/support/testsupport.h"

#include <QtTest>
#include <sqlite3.h>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool run(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    const bool ok = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == 0;
    sqlite3_close(db);
    return ok;
}

} // namespace

class TestHostileStores : public QObject
{
    Q_OBJECT

private slots:
    void refusedAtStartAndOnRestore_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("harm");
        QTest::addColumn<QString>("named");
        QTest::newRow("trigger") << "CREATE TRIGGER wipe AFTER INSERT ON kou BEGIN DELETE FROM "
                                    "mnu WHERE ID <> new.アイテムCD; END"
                                 << QString() << QStringLiteral("トリガー「wipe」");
        QTest::newRow("our trigger, another body")
            << "DROP TRIGGER mnu_delete_lines; CREATE TRIGGER mnu_delete_lines AFTER DELETE ON "
               "mnu BEGIN UPDATE eys SET ENC = ENC * 10; END"
            << QString() << QStringLiteral("トリガー「mnu_delete_lines」");
        QTest::newRow("view") << "CREATE VIEW names AS SELECT アイテム名 FROM mnu" << QString()
                              << QStringLiteral("ビュー「names」");
        QTest::newRow("generated column")
            << "ALTER TABLE mnu ADD COLUMN big BLOB GENERATED ALWAYS AS (zeroblob(300000000))"
            << QString() << QStringLiteral("表「mnu」の項目「big」");
        QTest::newRow("key not an integer key")
            << "DROP TABLE mnu; CREATE TABLE mnu (ID TEXT PRIMARY KEY, アイテム名 TEXT)"
            << QString() << QStringLiteral("表「mnu」の項目「ID」");
        QTest::newRow("index on an expression")
            << "CREATE INDEX slow ON eys(abs(ENC) + length(SNM))" << QString()
            << QStringLiteral("索引「slow」");
        QTest::newRow("virtual table") << "CREATE VIRTUAL TABLE notes USING fts5(a)" << QString()
                                       << QStringLiteral("仮想表「notes」");
        QTest::newRow("flipped page") << QString() << "flip" << QStringLiteral("壊れています");
        QTest::newRow("log of another database")
            << QString() << "log" << QStringLiteral("ログ「hostile.dll-wal」");
    }

    void refusedAtStartAndOnRestore()
    {
        QFETCH(QString, sql);
        QFETCH(QString, harm);
        QFETCH(QString, named);
        TestFolder folder;
        const QString lines = dishesWithLines(300);
        QVERIFY(folder.makeStore(lines));
        const QString hostile = folder.filePath(QStringLiteral("hostile.dll"));
        QVERIFY(QFile::copy(folder.filePath(QStringLiteral("zento.dll")), hostile));
        if (!sql.isEmpty())
            QVERIFY(run(hostile, sql));
        if (harm == QLatin1String("flip"))
            QVERIFY(flipIndexPage(hostile));
        if (harm == QLatin1String("log"))
            QVERIFY(putForeignLog(hostile));

        // Restore: refused, the store in use untouched.
        QString error;
        {
            auto store = Database::open(
                QStringLiteral("Provider=Zento.SQLite.1;Data Source=zento.dll;"), nullptr);
            QVERIFY(store);
            const QByteArray kept = bytesOf(folder.filePath(QStringLiteral("zento.dll")));
            QVERIFY(!Backup::restore(*store, hostile, &error));
            QVERIFY2(error.contains(named), qPrintable(error));
            QCOMPARE(bytesOf(folder.filePath(QStringLiteral("zento.dll"))), kept);
            // Nothing of the refused content stays beside the store.
            QVERIFY(QDir(folder.path())
                        .entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden)
                        .isEmpty());
            QCOMPARE(scalarOf(store->handle(), QStringLiteral("SELECT count(*) FROM mnu")).toInt(),
                     300);
        }
        Database::closeUnused();

        // Start-up: refused before a byte is written, or found by the check
        // that runs once the window is up, or the log set aside unread.
        const QByteArray before = bytesOf(hostile);
        auto opened = Database::open(
            QStringLiteral("Provider=Zento.SQLite.1;Data Source=hostile.dll;"), &error);
        if (opened && !opened->notice().isEmpty()) {
            error = opened->notice();
            QCOMPARE(scalarOf(opened->handle(), QStringLiteral("SELECT count(*) FROM mnu")).toInt(),
                     300);
        } else if (opened) {
            // Damage: no day's copy is made of it, and the newest whole copy
            // is offered, not a newer damaged one.
            QDir().mkdir(folder.filePath(QStringLiteral("backups")));
            const QString good = folder.filePath(QStringLiteral("backups/zento-20251231.dll"));
            const QString bad = folder.filePath(QStringLiteral("backups/newer.dll"));
            QVERIFY(QFile::copy(folder.filePath(QStringLiteral("zento.dll")), good));
            QVERIFY(QFile::copy(hostile, bad));
            QFile(bad).setFileTime(QDateTime::currentDateTime().addSecs(60),
                                   QFileDevice::FileModificationTime);
            const Backup::CheckReport report =
                Backup::checkThenCopy(opened->handle(), hostile, QDate(2026, 1, 1), true);
            error = report.damage;
            QVERIFY(report.written.isEmpty());
            QCOMPARE(report.goodCopy, good);
        } else {
            QCOMPARE(bytesOf(hostile), before);
            QVERIFY(!QFile::exists(hostile + QStringLiteral("-wal")));
        }
        opened.reset();
        Database::closeUnused();
        QVERIFY2(error.contains(named), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestHostileStores)
#include "tst_hostilestores.moc"
