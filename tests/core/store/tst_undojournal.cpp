// Undo and redo on the store itself: each kind of change the user can undo,
// back to where the store was opened and forward again.
#include "core/store/database.h"
#include "core/store/statement.h"
#include "core/store/undojournal.h"
#include "tests/support/testsupport.h"

#include <QtTest>
#include <sqlite3.h>

namespace {

const QString connection =
    QStringLiteral("Provider=Zento.SQLite.1;Data Source=zento.dll;Persist Security Info=False");

// Two dishes of two lines each, over three foods.
const QString fixture = QStringLiteral(
    "INSERT INTO bun VALUES (20, '登録食品');"
    "INSERT INTO eys(SID, SNM, SKN, BID, ENC, NAT) VALUES (1, '米', 'ｺﾒ', 20, 356, 0),"
    " (2, '鶏肉', 'ﾄﾘﾆｸ', 20, 200, 0.1), (3, '塩', 'ｼｵ', 20, 0, 99.5);"
    "INSERT INTO mnu(ID, アイテム名) VALUES (1, '親子丼'), (2, '塩むすび');"
    "INSERT INTO kou(ID, アイテムCD, 食品コード, 数量, 単位, 数量2) VALUES"
    " (1, 1, 1, 150, 'ｇ', 1.5), (2, 1, 2, 80, 'ｇ', 0.8), (3, 2, 1, 100, 'ｇ', 1),"
    " (4, 2, 3, 0.1, 'ｇ', 0.001);"
    "INSERT INTO etn(SID, TNM, KAK, USR) VALUES (2, '切れ', 40, 1), (1, '合', 150, 0),"
    " (2, '枚', 250, 0);"
    "INSERT INTO hyj(ID, KND, GRM) VALUES (1, 1, 250);");

// Every row of the recorded tables, values with their types (the measures
// with their rowid, which orders a food's own units).
QString snapshot(sqlite3 *db)
{
    QString text;
    for (const char *sql :
         {"SELECT * FROM mnu ORDER BY ID", "SELECT * FROM kou ORDER BY ID",
          "SELECT * FROM eys ORDER BY SID", "SELECT rowid, * FROM etn ORDER BY rowid",
          "SELECT * FROM hyj ORDER BY ID"}) {
        Statement stmt(db, QString::fromLatin1(sql));
        while (stmt.next()) {
            for (int c = 0; c < sqlite3_column_count(stmt.handle()); ++c) {
                const QVariant v = stmt.value(c);
                text += QStringLiteral("%1:%2|").arg(v.typeName() ? v.typeName() : "null",
                                                     v.toString());
            }
            text += QLatin1Char('\n');
        }
        text += QStringLiteral("--\n");
    }
    return text;
}

bool writeSql(Database &store, const QString &sql)
{
    QString error;
    const bool ok = store.write(
        [&](QString *e) {
            for (const QString &statement : sql.split(QLatin1Char(';'), Qt::SkipEmptyParts))
                if (!store.run(statement, {}, e))
                    return false;
            return true;
        },
        &error);
    if (!ok)
        qWarning("%s", qPrintable(error));
    return ok;
}

} // namespace

class TestUndoJournal : public QObject
{
    Q_OBJECT

    TestFolder *m_folder = nullptr;
    std::shared_ptr<Database> m_store;
    UndoJournal *m_journal = nullptr;

private slots:
    void init()
    {
        m_folder = new TestFolder;
        QVERIFY(m_folder->makeStore(fixture));
        m_store = Database::open(connection, nullptr);
        QVERIFY(m_store);
        // As the program sets it: the first write installs it.
        auto journal = std::make_unique<UndoJournal>(*m_store);
        m_journal = journal.get();
        m_store->setUndoJournal(std::move(journal));
    }

    void cleanup()
    {
        m_store.reset();
        delete m_folder;
        m_folder = nullptr;
    }

    // Each command is one or more writes (separated by "|") made as one step.
    void stepIsUndoneAndRedone_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QList<qint64>>("dishes"); // the dishes the undo touches
        QTest::newRow("delete a dish with its lines")
            << "DELETE FROM mnu WHERE ID = 1" << QList<qint64>{1};
        QTest::newRow("delete a line") << "DELETE FROM kou WHERE ID = 4" << QList<qint64>{2};
        QTest::newRow("delete a food with its measures")
            << "DELETE FROM eys WHERE SID = 2" << QList<qint64>{};
        QTest::newRow("change a measure")
            << "UPDATE etn SET KAK = 45 WHERE SID = 2 AND TNM = '切れ'" << QList<qint64>{};
        QTest::newRow("add a measure")
            << "INSERT INTO etn(SID, TNM, KAK) VALUES (3, '小さじ', 6)" << QList<qint64>{};
        QTest::newRow("change a line") << "UPDATE kou SET 食品コード = 3, 数量 = 2.5, 単位 = "
                                          "'小さじ', 数量2 = 0.15 WHERE ID = 2"
                                       << QList<qint64>{1};
        QTest::newRow("rename a dish")
            << "UPDATE mnu SET アイテム名 = '他人丼' WHERE ID = 1" << QList<qint64>{1};
        QTest::newRow("add a dish")
            << "INSERT INTO mnu(アイテム名) VALUES ('新しい料理')" << QList<qint64>{3};
        QTest::newRow("a value that needs every digit")
            << "UPDATE kou SET 数量2 = 0.1 + 0.2 WHERE ID = 3" << QList<qint64>{2};
        QTest::newRow("a name with quotes and a null")
            << "UPDATE mnu SET アイテム名 = 'it''s \"x\"' WHERE ID = 2;"
               "UPDATE kou SET 単位 = NULL WHERE ID = 3"
            << QList<qint64>{2};
        QTest::newRow("two writes of one command")
            << "INSERT INTO kou(アイテムCD, 食品コード, 数量, 単位, 数量2) VALUES (2, 2, 10, 'ｇ', "
               "0.1)"
               "|DELETE FROM kou WHERE ID = 3"
            << QList<qint64>{2};
    }

    void stepIsUndoneAndRedone()
    {
        QFETCH(QString, command);
        QFETCH(QList<qint64>, dishes);
        sqlite3 *db = m_store->handle();
        const QString before = snapshot(db);

        m_journal->beginStep();
        for (const QString &write : command.split(QLatin1Char('|')))
            QVERIFY(writeSql(*m_store, write));
        m_journal->endStep();
        const QString after = snapshot(db);
        QVERIFY(after != before);
        QCOMPARE(m_journal->undoCount(), 1);

        QString error;
        QVERIFY2(m_journal->undo(&error), qPrintable(error));
        QCOMPARE(snapshot(db), before);
        QCOMPARE(m_journal->touchedDishes(), dishes);
        QVERIFY(!m_journal->canUndo());
        QVERIFY(m_journal->canRedo());

        QVERIFY2(m_journal->redo(&error), qPrintable(error));
        QCOMPARE(snapshot(db), after);
        QVERIFY(m_journal->canUndo());
        QVERIFY(!m_journal->canRedo());

        QVERIFY2(m_journal->undo(&error), qPrintable(error));
        QCOMPARE(snapshot(db), before);
    }

    void everyStepBackToTheStartAndForward()
    {
        sqlite3 *db = m_store->handle();
        const QStringList commands = {
            "UPDATE mnu SET アイテム名 = '他人丼' WHERE ID = 1",
            "DELETE FROM kou WHERE ID = 2",
            "INSERT INTO kou(アイテムCD, 食品コード, 数量, 単位, 数量2) VALUES (1, 3, 1, 'ｇ', "
            "0.01)",
            "UPDATE kou SET 数量 = 200, 数量2 = 2 WHERE ID = 1",
            "DELETE FROM eys WHERE SID = 3",
            "DELETE FROM mnu WHERE ID = 1",
        };
        QStringList states{snapshot(db)};
        for (const QString &command : commands) {
            QVERIFY(writeSql(*m_store, command));
            states << snapshot(db);
        }
        QCOMPARE(m_journal->undoCount(), commands.size());
        QString error;
        for (int i = int(commands.size()) - 1; i >= 0; --i) {
            QVERIFY2(m_journal->undo(&error), qPrintable(error));
            QCOMPARE(snapshot(db), states[i]);
        }
        QVERIFY(!m_journal->undo(&error));
        QCOMPARE(snapshot(db), states[0]);
        for (int i = 1; i <= int(commands.size()); ++i) {
            QVERIFY2(m_journal->redo(&error), qPrintable(error));
            QCOMPARE(snapshot(db), states[i]);
        }
        QVERIFY(!m_journal->redo(&error));
        // The deleted dish came back and went again under its own key, and a
        // new dish still gets a key of its own.
        QVERIFY(writeSql(*m_store, QStringLiteral("INSERT INTO mnu(アイテム名) VALUES ('次')")));
        QCOMPARE(scalarOf(db, QStringLiteral("SELECT max(ID) FROM mnu")).toLongLong(), 3);
    }

    void newChangeEndsWhatCouldBeRedone()
    {
        QString error;
        QVERIFY(writeSql(*m_store, QStringLiteral("DELETE FROM kou WHERE ID = 1")));
        QVERIFY(m_journal->undo(&error));
        QVERIFY(m_journal->canRedo());
        QVERIFY(writeSql(*m_store, QStringLiteral("DELETE FROM kou WHERE ID = 2")));
        QVERIFY(!m_journal->canRedo());
        QCOMPARE(m_journal->undoCount(), 1);
        QVERIFY(!m_journal->redo(&error));
        QCOMPARE(m_folder->scalar(QStringLiteral("SELECT count(*) FROM kou WHERE ID = 1")).toInt(),
                 1);
    }

    void failedWriteLeavesNoStep()
    {
        QString error;
        QVERIFY(!m_store->write(
            [&](QString *e) {
                return m_store->run(QStringLiteral("DELETE FROM kou WHERE ID = 1"), {}, e) &&
                       m_store->run(QStringLiteral("INSERT INTO nowhere VALUES (1)"), {}, e);
            },
            &error));
        QVERIFY(!m_journal->canUndo());
        QCOMPARE(m_folder->count(QStringLiteral("kou")), 4);
    }

    void journalNeverReachesTheFile()
    {
        QVERIFY(writeSql(*m_store, QStringLiteral("DELETE FROM mnu WHERE ID = 2")));
        QCOMPARE(m_folder
                     ->scalar(QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE name "
                                             "LIKE 'undo%'"))
                     .toInt(),
                 0);
    }
};

QTEST_GUILESS_MAIN(TestUndoJournal)
#include "tst_undojournal.moc"
