#include "app/bindings.h"
#include "core/store/datasource.h"
#include "tests/support/testsupport.h"

#include <QLineEdit>
#include <QtTest>

class TestBindings : public QObject
{
    Q_OBJECT

    const QString connection =
        QStringLiteral("Provider=Zento.SQLite.1;Data Source=zento.dll;Persist Security Info=False");

    DataSource *source(QObject *parent, const QString &sql)
    {
        auto *ds = new DataSource(parent);
        ds->setConnectionString(connection);
        ds->setRecordSource(sql);
        return ds;
    }

    const QString rows =
        QStringLiteral("INSERT INTO bun VALUES (1,'穀類'),(6,'野菜類'),(20,'登録食品');"
                       "INSERT INTO tni VALUES ('ｇ',1),('大さじ',15),('ｶｯﾌﾟ',200);"
                       "INSERT INTO mnu(アイテム名) VALUES ('一'),('二'),('三');"
                       "INSERT INTO eys(SID,SNM,BID) VALUES (6001,'だいこん',6);");

private slots:
    void initTestCase() { setUpTestApplication(); }

    void boundBoxFollowsTheRecordAndWritesBack()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(rows));
        QWidget window;
        auto *ds = source(&window, QStringLiteral("SELECT mnu.* FROM mnu"));
        auto *box = new QLineEdit(&window);
        FieldBinding::bind(box, ds, QStringLiteral("アイテム名")); // opens the source
        QCOMPARE(box->text(), QStringLiteral("一"));
        QVERIFY(ds->moveLast());
        QCOMPARE(box->text(), QStringLiteral("三"));
        QCOMPARE(box->cursorPosition(), 0); // a long value shows its beginning
        auto stored = [&] {
            return folder.scalar(QStringLiteral("SELECT アイテム名 FROM mnu WHERE ID=3"))
                .toString();
        };
        box->setText(QStringLiteral("三色丼"));
        QVERIFY(ds->hasPendingChange());
        QVERIFY(ds->moveFirst()); // leaving the record forgets what was typed
        QCOMPARE(stored(), QStringLiteral("三"));
        QVERIFY(ds->moveLast());
        QCOMPARE(box->text(), QStringLiteral("三"));
        box->setText(QStringLiteral("三色丼"));
        QVERIFY(ds->submitPending());
        QCOMPARE(stored(), QStringLiteral("三色丼"));
        // Past the end there is no record: typing stores nothing.
        QVERIFY(ds->moveLast() && ds->moveNext());
        QCOMPARE(box->text(), QString());
        box->setText(QStringLiteral("迷子"));
        QVERIFY(!ds->hasPendingChange());
        // Binding again replaces the earlier binding.
        FieldBinding::bind(box, ds, QStringLiteral("ID"));
        QVERIFY(ds->moveFirst());
        QCOMPARE(box->text(), QStringLiteral("1"));
    }

    void comboCarriesTheBoundColumnOfItsText()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(rows));
        QWidget window;
        auto *units = source(&window, QStringLiteral("SELECT tni.* FROM tni"));
        auto *combo = new DataCombo(&window);
        int changes = 0;
        connect(combo, &DataCombo::changed, [&] { ++changes; });
        combo->setRowSource(units, QStringLiteral("TNM"), QStringLiteral("KAK"));
        combo->setText(QStringLiteral("大さじ"));
        QCOMPARE(combo->boundText(), QStringLiteral("15"));
        QCOMPARE(changes, 1);
        combo->setText(QStringLiteral("杯")); // typed, not in the list
        QCOMPARE(combo->text(), QStringLiteral("杯"));
        QCOMPARE(combo->boundText(), QString());
        combo->setBoundText(QStringLiteral("200"));
        QCOMPARE(combo->text(), QStringLiteral("ｶｯﾌﾟ"));
        QCOMPARE(changes, 3);
    }

    void comboBoundToAFieldSelectsAndWritesIt()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(rows));
        QWidget window;
        auto *foods = source(&window, QStringLiteral("SELECT eys.* FROM eys"));
        auto *categories = source(&window, QStringLiteral("SELECT bun.* FROM bun"));
        auto *combo = new DataCombo(&window);
        combo->bindField(foods, QStringLiteral("BID"));
        combo->setRowSource(categories, QStringLiteral("分類名"), QStringLiteral("分類№"));
        QCOMPARE(combo->text(), QStringLiteral("野菜類"));
        QVERIFY(!foods->hasPendingChange()); // showing is not editing
        combo->setBoundText(QStringLiteral("20"));
        QVERIFY(foods->submitPending());
        QCOMPARE(folder.scalar(QStringLiteral("SELECT BID FROM eys")).toLongLong(), 20);
    }

    void listSelectsByShownTextOrBoundValue()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(rows));
        QWidget window;
        auto *categories = source(&window, QStringLiteral("SELECT bun.* FROM bun"));
        auto *list = new DataList(&window);
        list->setRowSource(categories, QStringLiteral("分類名"), QStringLiteral("分類№"));
        QCOMPARE(list->boundText(), QString());
        list->setText(QStringLiteral("野菜類"));
        QCOMPARE(list->boundText(), QStringLiteral("6"));
        list->setBoundText(QStringLiteral("20"));
        QCOMPARE(list->text(), QStringLiteral("登録食品"));
        list->setText(QString());
        QCOMPARE(list->selectedRow(), -1);
        QSignalSpy clicks(list, &DataList::itemClicked);
        list->clickRow(0);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(list->text(), QStringLiteral("穀類"));
        // The list's selection does not move its row source.
        QCOMPARE(categories->position(), 0);
    }

    void gridRowIsTheRecordPointer()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(rows));
        QWidget window;
        auto *dishes = source(&window, QStringLiteral("SELECT mnu.* FROM mnu"));
        auto *grid = new DataGrid(&window);
        grid->setDataSource(dishes);
        grid->setColumnWidthTwips(0, 0);
        grid->setColumnCaption(1, QStringLiteral("ﾒﾆｭｰ名"));
        grid->setColumnAlignment(1, Qt::AlignRight);
        QVERIFY(grid->isColumnHidden(0));
        QCOMPARE(grid->columnCaption(1), QStringLiteral("ﾒﾆｭｰ名"));
        QCOMPARE(grid->cellText(1), QStringLiteral("一"));
        grid->clickRow(2);
        QCOMPARE(dishes->position(), 2);
        QCOMPARE(grid->cellText(1), QStringLiteral("三"));
        QVERIFY(dishes->movePrevious());
        QCOMPARE(grid->currentIndex().row(), 1);
        // Binding again rebuilds the columns from the result.
        grid->setDataSource(dishes);
        QVERIFY(!grid->isColumnHidden(0));
        QCOMPARE(grid->columnCaption(1), QStringLiteral("アイテム名"));
        // A change not submitted is forgotten when the grid moves on, and
        // the grid never writes it.
        auto *foods = source(&window, QStringLiteral("SELECT eys.SID, eys.ENC FROM eys "
                                                     "UNION ALL SELECT 1, 2"));
        grid->setDataSource(foods);
        QVERIFY(foods->setValue(QStringLiteral("ENC"), QStringLiteral("多い")));
        grid->clickRow(1);
        QCOMPARE(foods->position(), 1);
        QVERIFY(!foods->hasPendingChange());
        QCOMPARE(foods->text(0, 1), QString());
    }
};

QTEST_MAIN(TestBindings)
#include "tst_bindings.moc"
