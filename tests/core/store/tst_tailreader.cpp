#include "core/store/database.h"
#include "core/store/datasource.h"
#include "core/store/queries.h"
#include "tests/support/testsupport.h"

#include <QtTest>

// The rows a record set reads ahead of its reading in order: the last rows,
// a row far ahead, and a record added after rows not yet read.
class TestTailReader : public QObject
{
    Q_OBJECT

    const QString connection =
        QStringLiteral("Provider=Zento.SQLite.1;Data Source=zento.dll;Persist Security Info=False");

    std::unique_ptr<DataSource> open(const QString &sql, const QString &tail = QString())
    {
        auto ds = std::make_unique<DataSource>();
        ds->setConnectionString(connection);
        ds->setRecordSource(sql);
        ds->setTailSource(tail);
        return ds;
    }

    static QString dishes(int rows)
    {
        return QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE "
                              "i < %1) INSERT INTO mnu(アイテム名) SELECT 'd' || i FROM n;")
            .arg(rows);
    }

private slots:
    // Standing on the last or a far row reads those rows alone (a plain scan
    // backwards, any other query by offset); moves, changes and the reading in
    // order that follows give what reading every row would.
    void rowsFarAheadAreReadAlone_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("tail");
        QTest::newRow("plain scan, its tail declared")
            << Queries::dishList() << Queries::dishListTail();
        QTest::newRow("search") << QStringLiteral("SELECT mnu.* FROM mnu WHERE ID > 0")
                                << QString();
    }

    void rowsFarAheadAreReadAlone()
    {
        QFETCH(QString, source);
        QFETCH(QString, tail);
        TestFolder folder;
        QVERIFY(folder.makeStore(dishes(3000)));
        auto ds = open(source, tail);
        QVERIFY(ds->refresh());
        auto name = [&] { return ds->text(QStringLiteral("アイテム名")); };

        // Another connection deletes a row: the record set keeps its snapshot.
        auto other = open(QStringLiteral("SELECT mnu.* FROM mnu WHERE ID=2999"));
        QVERIFY(other->refresh() && other->deleteCurrent());
        QVERIFY(ds->moveLast());
        QCOMPARE(name(), QStringLiteral("d3000"));
        QVERIFY(ds->rowCount() < 3000); // the rows before it were not read
        QVERIFY(!ds->eof());
        for (int i = 2999; i >= 2900; --i) { // back across the rows read ahead
            QVERIFY(ds->movePrevious());
            QCOMPARE(name(), QStringLiteral("d%1").arg(i));
        }
        QVERIFY(ds->moveTo(1499));
        QCOMPARE(name(), QStringLiteral("d1500"));

        // A change to a row read ahead is stored and survives the reading in
        // order, which would find the row as it was.
        QVERIFY(ds->setValue(QStringLiteral("アイテム名"), QStringLiteral("changed")));
        QVERIFY(ds->submitPending());
        QCOMPARE(
            folder.scalar(QStringLiteral("SELECT count(*) FROM mnu WHERE アイテム名='changed'"))
                .toInt(),
            1);
        QVERIFY(ds->moveLast());
        QCOMPARE(ds->recordCount(), 3000);
        QCOMPARE(ds->text(1499, 1), QStringLiteral("changed"));
        QCOMPARE(ds->position(), 2999);
        QVERIFY(ds->moveNext() && ds->eof());

        // Deleting a row read ahead.
        QVERIFY(ds->refresh() && ds->moveTo(2000));
        QVERIFY(ds->deleteCurrent());
        QCOMPARE(name(), QStringLiteral("d2002"));
        QCOMPARE(ds->recordCount(), 2998);
    }

    // The last rows of a record source whose tail is declared stand where
    // they are asked for before they are counted; a table too small for that
    // is read in order.
    void lastRowsArePlacedWhenAsked_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("smaller than two batches") << 70;
        QTest::newRow("a few batches") << 700;
        QTest::newRow("many") << 3000;
    }
    void lastRowsArePlacedWhenAsked()
    {
        QFETCH(int, rows);
        TestFolder folder;
        QVERIFY(folder.makeStore(dishes(rows)));
        auto ds = open(Queries::dishList(), Queries::dishListTail());
        QVERIFY(ds->refresh());
        auto name = [&] { return ds->text(QStringLiteral("アイテム名")); };
        QVERIFY(ds->moveLast() && ds->movePrevious());
        QCOMPARE(name(), QStringLiteral("d%1").arg(rows - 1));
        QCOMPARE(ds->position(), rows - 2);
        QVERIFY(ds->moveLast() && ds->addNew());
        QVERIFY(ds->setValue(QStringLiteral("アイテム名"), QStringLiteral("new")) &&
                ds->submitPending());
        QVERIFY(ds->moveLast());
        QCOMPARE(name(), QStringLiteral("new"));
        QCOMPARE(ds->position(), rows);
        QCOMPARE(ds->recordCount(), rows + 1);
        QVERIFY(ds->moveLast() && ds->moveNext() && ds->eof());
        QVERIFY(ds->refresh() && ds->moveLast() && ds->deleteCurrent());
        QCOMPARE(folder.count(QStringLiteral("mnu")), rows);
        QCOMPARE(ds->recordCount(), rows);
        QVERIFY(ds->moveLast());
        QCOMPARE(name(), QStringLiteral("d%1").arg(rows));
    }

    // A record added while rows are unread stands after the last row without
    // reading them; stored, it is the last row; forgotten, the pointer goes
    // back to the row it left.
    void newRecordStandsLastUnread_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("tail");
        QTest::addColumn<int>("from"); // -1: the last row
        QTest::addColumn<QString>("leave");
        const QString list = Queries::dishList(), tail = Queries::dishListTail();
        const QString search = QStringLiteral("SELECT mnu.* FROM mnu WHERE ID > 0");
        QTest::newRow("tail, first row, stored") << list << tail << 0 << "submit";
        QTest::newRow("tail, last row, stored") << list << tail << -1 << "submit";
        QTest::newRow("tail, last row, cancelled") << list << tail << -1 << "cancel";
        QTest::newRow("tail, first row, back") << list << tail << 0 << "previous";
        QTest::newRow("search, far row, stored") << search << QString() << 2000 << "submit";
        QTest::newRow("search, far row, cancelled") << search << QString() << 2000 << "cancel";
        QTest::newRow("search, first row, cancelled") << search << QString() << 0 << "cancel";
        QTest::newRow("search, first row, back") << search << QString() << 0 << "previous";
    }

    void newRecordStandsLastUnread()
    {
        QFETCH(QString, source);
        QFETCH(QString, tail);
        QFETCH(int, from);
        QFETCH(QString, leave);
        const int rows = 3000;
        const bool store = leave == QLatin1String("submit");
        TestFolder folder;
        QVERIFY(folder.makeStore(dishes(rows)));
        // As the program keeps it: a write leaves the readers' rows unread.
        QString error;
        const auto db = Database::open(connection, &error);
        QVERIFY2(db && db->useWriteAheadLog(), qPrintable(error));
        auto ds = open(source, tail);
        QVERIFY(ds->refresh());
        QVERIFY(from < 0 ? ds->moveLast() : ds->moveTo(from));
        auto name = [&] { return ds->text(QStringLiteral("アイテム名")); };
        int former = ds->position();
        QString formerName = name();

        QVERIFY(ds->addNew());
        QCOMPARE(ds->position(), rows);
        QVERIFY(ds->setValue(QStringLiteral("アイテム名"), QStringLiteral("new")));
        if (store) {
            QVERIFY(ds->submitPending());
            QVERIFY(ds->moveFirst() && ds->moveLast());
            former = rows;
            formerName = QStringLiteral("new");
        } else if (leave == QLatin1String("cancel")) {
            ds->cancelUpdate();
        } else {
            QVERIFY(ds->movePrevious());
            former = rows - 1;
            formerName = QStringLiteral("d%1").arg(rows);
        }
        QCOMPARE(ds->position(), former);
        QCOMPARE(name(), formerName);
        QVERIFY(ds->rowCount() < rows); // the rows before were not read
        QCOMPARE(folder.count(QStringLiteral("mnu")), rows + int(store));
        // Reading in order puts the stored record after the last row.
        QCOMPARE(ds->recordCount(), rows + int(store));
        QCOMPARE(ds->text(rows - 1, 1), QStringLiteral("d%1").arg(rows));
        QCOMPARE(ds->text(rows, 1), store ? QStringLiteral("new") : QString());
    }

    // Deleting a row read in order leaves the rows held ahead in their
    // places: the reading in order that reaches them neither repeats nor
    // skips a row.
    void deletingBeforeRowsHeldAhead()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(dishes(3000)));
        auto ds = open(Queries::dishList(), Queries::dishListTail());
        QVERIFY(ds->refresh() && ds->moveLast() && ds->movePrevious());
        QVERIFY(ds->moveFirst() && ds->deleteCurrent());
        QCOMPARE(ds->recordCount(), 2999);
        for (int row : {0, 2935, 2936, 2998})
            QCOMPARE(ds->text(row, 1), QStringLiteral("d%1").arg(row + 2));
        QVERIFY(ds->moveLast());
        QCOMPARE(ds->position(), 2998);
    }
};

QTEST_MAIN(TestTailReader)
#include "tst_tailreader.moc"
