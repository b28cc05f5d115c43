// A food's components beyond its 23 value fields, as the food editor reads
// and writes them: unknown stays unknown, every marker comes back.
#include "core/foods/foodcomponents.h"
#include "tests/support/testsupport.h"

#include <QtTest>

namespace {

const QString connection =
    QStringLiteral("Provider=Zento.SQLite.1;Data Source=zento.dll;Persist Security Info=False");

int place(const char *code)
{
    return int(FoodComponents::stored().indexOf(Components::indexOf(QString::fromLatin1(code))));
}

} // namespace

class TestFoodComponents : public QObject
{
    Q_OBJECT

private slots:
    void writtenValuesReadBack_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << "MG"
                               << "25"
                               << "25";
        QTest::newRow("estimated") << "ZN"
                                   << "(1.2)"
                                   << "(1.2)";
        QTest::newRow("trace") << "VITD"
                               << "Tr"
                               << "Tr";
        QTest::newRow("estimated none") << "VITK"
                                        << "(0)"
                                        << "(0)";
        QTest::newRow("unknown stays unknown") << "FOL"
                                               << "-"
                                               << "-";
        QTest::newRow("blank is unknown") << "BIOT"
                                          << ""
                                          << "-";
        QTest::newRow("the waste ratio") << "REFUSE"
                                         << "10"
                                         << "10";
    }
    void writtenValuesReadBack()
    {
        QFETCH(QString, code);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        TestFolder folder;
        QVERIFY(folder.makeStore(minimalReferenceSql() +
                                 QStringLiteral("INSERT INTO eys(SID,SNM,BID,ENC) VALUES "
                                                "(1,'米',20,356),(100000,'私の食品',20,10);")));
        // A food without a row has every component unknown, never zero.
        const std::optional<QList<Components::Value>> none = FoodComponents::read(connection, 1);
        QVERIFY(none);
        QCOMPARE(none->size(), FoodComponents::stored().size());
        for (const Components::Value &v : *none)
            QVERIFY(!v.known());

        // The food's value-field markers (energy written as Tr) stay.
        QVERIFY(folder.exec(QStringLiteral("INSERT INTO sbn(SID,MRK) VALUES (1,'  T')")));
        QList<Components::Value> values = *FoodComponents::read(connection, 1);
        const int at = place(code.toLatin1().constData());
        QVERIFY(at >= 0);
        const std::optional<Components::Value> value = Components::parse(typed);
        QVERIFY(value);
        values[at] = *value;
        QString error;
        QVERIFY2(FoodComponents::write(connection, 1, values, &error), qPrintable(error));
        const QList<Components::Value> back = *FoodComponents::read(connection, 1);
        QCOMPARE(Components::text(back.at(at), FoodComponents::stored().at(at)), shown);
        for (qsizetype i = 0; i < back.size(); ++i)
            if (i != at)
                QVERIFY(!back.at(i).known());
        QCOMPARE(
            folder.scalar(QStringLiteral("SELECT substr(MRK,3,1) FROM sbn WHERE SID=1")).toString(),
            QStringLiteral("T"));
        // Another food is untouched.
        QVERIFY(folder.scalar(QStringLiteral("SELECT SID FROM sbn WHERE SID=100000")).isNull());
    }

    void negativeValueIsRefused()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(minimalReferenceSql()));
        QList<Components::Value> values(FoodComponents::stored().size());
        values[0] = Components::Value{-1.0, Components::Marker::Plain};
        QString error;
        QVERIFY(!FoodComponents::write(connection, 1, values, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(folder.count(QStringLiteral("sbn")), 0);
    }

    void valuesOverTheirBoundAreRefused_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("named"); // empty: stored
        QTest::newRow("magnesium at ten times the table") << "MG" << 32000.0 << QString();
        QTest::newRow("magnesium above") << "MG" << 32001.0 << QStringLiteral("「マグネシウム」");
        QTest::newRow("gram component over 100 g")
            << "PROTCAA" << 100.5 << QStringLiteral("アミノ酸組成によるたんぱく質");
        QTest::newRow("sugar as monosaccharides") << "CHOAVLM" << 105.9 << QString();
        QTest::newRow("monosaccharides beyond starch")
            << "CHOAVLM" << 112.0 << QStringLiteral("111 g まで");
        QTest::newRow("waste over 100 %") << "REFUSE" << 101.0 << QStringLiteral("廃棄率");
        QTest::newRow("vitamin B6") << "VITB6A" << 38.2 << QStringLiteral("ビタミンB6");
    }

    void valuesOverTheirBoundAreRefused()
    {
        QFETCH(QString, code);
        QFETCH(double, value);
        QFETCH(QString, named);
        TestFolder folder;
        QVERIFY(folder.makeStore(minimalReferenceSql()));
        QList<Components::Value> values(FoodComponents::stored().size());
        values[place(code.toLatin1().constData())] =
            Components::Value{value, Components::Marker::Plain};
        QString error;
        QCOMPARE(FoodComponents::write(connection, 1, values, &error), named.isEmpty());
        QVERIFY2(error.contains(named), qPrintable(error));
        QCOMPARE(folder.count(QStringLiteral("sbn")), named.isEmpty() ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(TestFoodComponents)
#include "tst_foodcomponents.moc"
