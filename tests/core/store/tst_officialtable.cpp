// An official food changed by the user is told from the installed table and
// can be put back to it.
#include "core/store/database.h"
#include "core/store/officialtable.h"
#include "tests/support/testsupport.h"

#include <QFile>
#include <QtTest>

namespace {

const QString connection =
    QStringLiteral("Provider=Zento.SQLite.1;Data Source=zento.dll;Persist Security Info=False");

} // namespace

class TestOfficialTable : public QObject
{
    Q_OBJECT

private slots:
    void changedFoodsAndTheirRestore_data()
    {
        QTest::addColumn<QString>("change"); // made to the user's store
        QTest::addColumn<qint64>("food");
        QTest::addColumn<int>("differs"); // -1: not in the installed table
        QTest::newRow("as installed") << "" << qint64(1001) << 0;
        QTest::newRow("one extra 0")
            << "UPDATE eys SET ENC=3430 WHERE SID=1001" << qint64(1001) << 1;
        QTest::newRow("a value made unknown")
            << "UPDATE eys SET VC=NULL WHERE SID=1001" << qint64(1001) << 1;
        QTest::newRow("a component") << "UPDATE sbn SET MG=1 WHERE SID=1001" << qint64(1001) << 1;
        QTest::newRow("a component's marker")
            << "UPDATE sbn SET MRK='T' WHERE SID=1001" << qint64(1001) << 1;
        QTest::newRow("the name is no value")
            << "UPDATE eys SET SNM='別名' WHERE SID=1001" << qint64(1001) << 0;
        QTest::newRow("another food changed")
            << "UPDATE eys SET ENC=1 WHERE SID=1002" << qint64(1001) << 0;
        QTest::newRow("the user's own food") << "" << qint64(100000) << -1;
    }
    void changedFoodsAndTheirRestore()
    {
        QFETCH(QString, change);
        QFETCH(qint64, food);
        QFETCH(int, differs);
        TestFolder folder;
        QVERIFY(folder.makeStore(
            minimalReferenceSql() +
            QStringLiteral(
                "INSERT INTO eys(SID,SNM,BID,ENC,VC) VALUES (1001,'アマランサス',1,343,0),"
                " (1002,'あわ',1,346,NULL);"
                "INSERT INTO sbn(SID,MG,MRK) VALUES (1001,270,' ');")));
        const QString installed = folder.filePath(QStringLiteral("official.dll"));
        QVERIFY(QFile::copy(folder.filePath(QStringLiteral("zento.dll")), installed));
        QVERIFY(folder.exec(
            QStringLiteral("INSERT INTO eys(SID,SNM,BID,ENC) VALUES (100000,'私の食品',1,10);")));
        if (!change.isEmpty())
            QVERIFY(folder.exec(change));

        const OfficialTable table(installed);
        QVERIFY(table.isAvailable());
        const std::shared_ptr<Database> store = Database::open(connection, nullptr);
        QVERIFY(store);
        const std::optional<bool> found = table.differs(store->handle(), food);
        QCOMPARE(found ? int(*found) : -1, differs);

        QString error;
        QCOMPARE(table.restore(*store, food, &error), differs >= 0);
        if (differs >= 0) {
            QCOMPARE(table.differs(store->handle(), food), std::optional<bool>(false));
            QCOMPARE(folder.scalar(QStringLiteral("SELECT ENC FROM eys WHERE SID=1001")).toInt(),
                     343);
        }
    }
};

QTEST_MAIN(TestOfficialTable)
#include "tst_officialtable.moc"
