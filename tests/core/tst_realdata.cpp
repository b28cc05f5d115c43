// The logic behind real data in the kitchen, on a store of its own and without
// a window: a food's own household measures, the chart's scales from the
// stored standards, and the foods whose unknown values a dish total leaves out.
#include "core/foods/foodmeasures.h"
#include "core/nutrition/chartscale.h"
#include "core/nutrition/unknownvalues.h"
#include "core/store/database.h"
#include "tests/support/testsupport.h"

#include <QtTest>

namespace {

const QString connection = QStringLiteral("Provider=Zento.SQLite.1;Data Source=zento.dll;");

using FoodMeasures::Measure;

QString measuresText(const QList<Measure> &list)
{
    QStringList parts;
    for (const Measure &m : list)
        parts << QStringLiteral("%1=%2").arg(m.unit).arg(m.grams);
    return parts.join(QLatin1Char(' '));
}

QString kitchenSql()
{
    return QStringLiteral(
        "INSERT INTO bun VALUES (20, '登録食品');"
        "INSERT INTO tni VALUES ('ｇ', 1), ('小さじ', 5), ('大さじ', 15), ('ｶｯﾌﾟ', 200),"
        " ('合', 150);"
        "INSERT INTO eys(SID,SNM,BID,ENC,NAT,FIB,VC) VALUES"
        " (3003,'上白糖',3,391,0,0,0), (17012,'食塩',17,0,99.5,0,0),"
        " (9001,'あおのり',9,249,8.1,NULL,NULL), (12004,'鶏卵',12,142,0.4,0,0),"
        " (6001,'何か',6,NULL,NULL,NULL,NULL), (1083,'精白米',1,342,0,0,0),"
        " (16001,'清酒',16,107,0,0,0), (17030,'めんつゆ',17,98,3.3,0,0);"
        "INSERT INTO etn(SID,TNM,KAK,USR) VALUES (3003,'小さじ',3,0), (3003,'大さじ',9,0),"
        " (17012,'小さじ',6,0), (12004,'個',50,1), (1083,'合',150,0), (16001,'合',180,0),"
        " (17030,'大さじ',17.4,2);"
        "INSERT INTO mnu(ID,アイテム名) VALUES (1,'のり塩'), (2,'卵'), (3,'二つ');"
        "INSERT INTO kou(アイテムCD,食品コード,数量,単位,数量2) VALUES"
        " (1,17012,1,'小さじ',0.06), (1,9001,2,'ｇ',0.02), (1,9001,1,'ｇ',0.01),"
        " (2,12004,1,'個',0.5),"
        " (3,6001,10,'ｇ',0.1), (3,9001,1,'ｇ',0.01), (3,999,1,'ｇ',0.01);");
}

} // namespace

class TestRealData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestApplication(); }

    void gramsPerUnit_data()
    {
        QTest::addColumn<qint64>("food");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<double>("grams"); // -1: no weight at all
        QTest::newRow("sugar's own spoon") << qint64(3003) << "大さじ" << 9.0;
        QTest::newRow("salt's own spoon") << qint64(17012) << "小さじ" << 6.0;
        QTest::newRow("salt lacks a big spoon: none") << qint64(17012) << "大さじ" << -1.0;
        QTest::newRow("sugar in grams") << qint64(3003) << "ｇ" << 1.0;
        QTest::newRow("an egg") << qint64(12004) << "個" << 50.0;
        QTest::newRow("no egg of sugar") << qint64(3003) << "個" << -1.0;
        QTest::newRow("no cup of a food without measures") << qint64(9001) << "ｶｯﾌﾟ" << -1.0;
        QTest::newRow("a food without measures in grams") << qint64(9001) << "ｇ" << 1.0;
        QTest::newRow("合 of rice") << qint64(1083) << "合" << 150.0;
        QTest::newRow("合 of sake") << qint64(16001) << "合" << 180.0;
        QTest::newRow("no 合 of salt") << qint64(17012) << "合" << -1.0;
        QTest::newRow("a liquid's spoon by its density") << qint64(17030) << "大さじ" << 17.4;
        QTest::newRow("no 合 of a liquid") << qint64(17030) << "合" << -1.0;
    }
    void gramsPerUnit()
    {
        QFETCH(qint64, food);
        QFETCH(QString, unit);
        QFETCH(double, grams);
        TestFolder folder;
        QVERIFY(folder.makeStore(kitchenSql()));
        std::optional<double> general;
        for (const Measure &m : FoodMeasures::generalUnits(connection))
            if (m.unit == unit)
                general = m.grams;
        const std::optional<double> found =
            FoodMeasures::gramsPerUnit(FoodMeasures::ownMeasures(connection, food), unit, general);
        QCOMPARE(found.value_or(-1), grams);
        // Only the weight reached by density is marked as an estimate.
        for (const Measure &m : FoodMeasures::ownMeasures(connection, food))
            QCOMPARE(m.estimated, food == 17030);
    }

    void unitChoicesOfferTheFoodsOwnFirst()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(kitchenSql()));
        const QList<Measure> general = FoodMeasures::generalUnits(connection);
        QCOMPARE(measuresText(FoodMeasures::unitChoices(FoodMeasures::ownMeasures(connection, 3003),
                                                        general)),
                 QStringLiteral("小さじ=3 大さじ=9 ｇ=1"));
        QCOMPARE(measuresText(FoodMeasures::unitChoices(
                     FoodMeasures::ownMeasures(connection, 12004), general)),
                 QStringLiteral("個=50 ｇ=1"));
        // The line editor's list query gives the same rows.
        for (qint64 food : {3003, 12004, 9001})
            QCOMPARE(measuresText(FoodMeasures::unitList(connection, food)),
                     measuresText(FoodMeasures::unitChoices(
                         FoodMeasures::ownMeasures(connection, food), general)));
        QCOMPARE(measuresText(FoodMeasures::unitList(connection, 0)), measuresText(general));
    }

    void typedMeasures_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("grams");
        QTest::addColumn<double>("read"); // -1: refused
        QTest::newRow("a slice") << "枚"
                                 << "12.5" << 12.5;
        QTest::newRow("full-width digits") << " 個 "
                                           << "５０" << 50.0;
        QTest::newRow("no unit") << ""
                                 << "5" << -1.0;
        QTest::newRow("no weight") << "個"
                                   << "" << -1.0;
        QTest::newRow("zero") << "個"
                              << "0" << -1.0;
        QTest::newRow("negative") << "個"
                                  << "-3" << -1.0;
        QTest::newRow("letters") << "個"
                                 << "5g" << -1.0;
        // Units of weight weigh what they say for every food.
        QTest::newRow("gram") << "ｇ"
                              << "5" << -1.0;
        QTest::newRow("half-width kilogram") << "KG"
                                             << "1000" << -1.0;
    }
    void typedMeasures()
    {
        QFETCH(QString, unit);
        QFETCH(QString, grams);
        QFETCH(double, read);
        QString error;
        const std::optional<Measure> m = FoodMeasures::parse(unit, grams, &error);
        QCOMPARE(m ? m->grams : -1.0, read);
        QCOMPARE(error.isEmpty(), bool(m));
        if (m)
            QCOMPARE(m->unit, unit.trimmed());
    }

    // Saving keeps an untouched imported measure imported, makes a changed or
    // new one the user's, and refuses a list it cannot store whole.
    void savingMeasures()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(kitchenSql()));
        QString error;
        QVERIFY2(FoodMeasures::save(connection, 3003,
                                    {{QStringLiteral("小さじ"), 3},
                                     {QStringLiteral("大さじ"), 10},
                                     {QStringLiteral("袋"), 1000}},
                                    &error),
                 qPrintable(error));
        QCOMPARE(folder
                     .scalar(QStringLiteral("SELECT group_concat(x, ' ') FROM (SELECT"
                                            " TNM||KAK||'/'||USR AS x FROM etn WHERE SID=3003"
                                            " ORDER BY rowid)"))
                     .toString(),
                 QStringLiteral("小さじ3.0/0 大さじ10.0/1 袋1000.0/1"));

        QVERIFY(!FoodMeasures::save(
            connection, 3003, {{QStringLiteral("袋"), 1}, {QStringLiteral("袋"), 2}}, &error));
        QVERIFY2(error.contains(QStringLiteral("二度")), qPrintable(error));
        QVERIFY(!FoodMeasures::save(connection, 3003, {{QStringLiteral("袋"), 0}}, &error));
        QCOMPARE(folder.scalar(QStringLiteral("SELECT count(*) FROM etn WHERE SID=3003")).toInt(),
                 3);

        // A user's food with no measures before, and a store made before
        // measures existed.
        QVERIFY(folder.exec(QStringLiteral("DROP TABLE etn")));
        QCOMPARE(FoodMeasures::ownMeasures(connection, 3003).size(), 0);
        QVERIFY2(FoodMeasures::save(connection, 100000, {{QStringLiteral("枚"), 20}}, &error),
                 qPrintable(error));
        QCOMPARE(measuresText(FoodMeasures::ownMeasures(connection, 100000)),
                 QStringLiteral("枚=20"));
    }

    void chartScales_data()
    {
        QTest::addColumn<QString>("row");       // the man of 20's kij row ("" none)
        QTest::addColumn<QString>("energyEtc"); // the nine scales
        const QString fixed = QStringLiteral("3510 117 1170 15.6 2600 1.43 1.95 23.4 65");
        QTest::newRow("from the standards")
            << "2600,65,800,7,2833.3333333333335,1.1,1.6,15,100"
            << "3380 84.5 1040 9.1 3683.33333333333 1.43 2.08 19.5 130";
        QTest::newRow("missing values fall back") << "2600,NULL,800,0,-5,1.1,1.6,15,NULL"
                                                  << "3380 117 1040 15.6 2600 1.43 2.08 19.5 65";
        QTest::newRow("no such row") << "" << fixed;
    }
    void chartScales()
    {
        QFETCH(QString, row);
        QFETCH(QString, energyEtc);
        TestFolder folder;
        QString sql = QStringLiteral("INSERT INTO kij(AGE,SEX,CAL) VALUES (20,0,1),(19,1,1);");
        if (!row.isEmpty())
            sql += QStringLiteral("INSERT INTO kij(AGE,SEX,CAL,TAN,CA,FE,VA,VB1,VB2,NAI,VC)"
                                  " VALUES (20,1,%1), (20,1,1,1,1,1,1,1,1,1,1);")
                       .arg(row);
        QVERIFY(folder.makeStore(sql));
        const ChartScale::Scales fallback{3510, 117, 1170, 15.6, 2600, 1.43, 1.95, 23.4, 65};
        const ChartScale::Scales scales =
            ChartScale::fromStandards(ChartScale::referenceStandards(connection), fallback);
        QStringList texts;
        for (double s : scales)
            texts << QString::number(s, 'g', 15);
        QCOMPARE(texts.join(QLatin1Char(' ')), energyEtc);
    }

    void unknownValues_data()
    {
        QTest::addColumn<qint64>("dish");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("foods");
        QTest::newRow("fibre of laver, once") << qint64(1) << "FIB" << QStringList{"あおのり"};
        QTest::newRow("salt is known") << qint64(1) << "NAT" << QStringList{};
        QTest::newRow("every value of an egg known") << qint64(2) << "VC" << QStringList{};
        QTest::newRow("two foods, in line order")
            << qint64(3) << "VC" << QStringList{"何か", "あおのり"};
        QTest::newRow("a deleted food is no unknown value")
            << qint64(3) << "ENC" << QStringList{"何か"};
    }
    void unknownValues()
    {
        QFETCH(qint64, dish);
        QFETCH(QString, field);
        QFETCH(QStringList, foods);
        TestFolder folder;
        QVERIFY(folder.makeStore(kitchenSql()));
        const QStringList fields{QStringLiteral("ENC"), QStringLiteral("NAT"),
                                 QStringLiteral("FIB"), QStringLiteral("VC")};
        QCOMPARE(UnknownValues::ofDish(connection, dish, fields).value(field), foods);
        // The dish list asks for every dish at once and gets the same.
        QCOMPARE(UnknownValues::ofAllDishes(connection, fields).value(dish).value(field), foods);
    }

    void note()
    {
        QCOMPARE(UnknownValues::note({QStringLiteral("あおのり"), QStringLiteral("何か")}),
                 QStringLiteral("未測定を含む: あおのり、何か"));
    }
};

QTEST_MAIN(TestRealData)
#include "tst_realdata.moc"
