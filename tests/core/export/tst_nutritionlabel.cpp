// The nutrition label of real dishes, read from a store as every export reads
// it: energy by the labelling method, the table's own 炭水化物, salt from
// sodium, and the edges of the "0" and significant-figure rules.
#include "core/export/dishreport.h"
#include "core/export/nutritionlabel.h"
#include "tests/support/testsupport.h"

#include <QtTest>

namespace {

const QString connection = QStringLiteral("Provider=Zento.SQLite.1;Data Source=zento.dll;");

// Foods as the official table gives them per 100 g (eys: the value fields,
// sugar being 炭水化物 less fibre and never below 0; sbn: the table's own
// 炭水化物 and alcohol), and one food of the user's own without sbn.
QString foodsSql()
{
    return QStringLiteral("INSERT INTO tni VALUES ('ｇ', 1);"
                          "INSERT INTO eys(SID,SNM,BID,ENC,TAN,SST,TST,TSS,NA,NAT) VALUES"
                          " (6061,'キャベツ',6,23,1.2,0.1,3.4,1.8,5,0),"
                          " (6086,'こまつな',6,13,1.5,0.2,0.5,1.9,15,0),"
                          " (4040,'油揚げ',4,377,23.4,34.4,0,1.3,4,0),"
                          " (4084,'油揚げ 油抜き',4,266,18.2,23.4,0,0.9,2,0),"
                          " (2045,'さつまいも',2,127,0.9,0.5,30.3,2.8,23,0.1),"
                          " (16001,'清酒',16,107,0.4,0,4.9,0,2,0),"
                          " (16025,'本みりん',16,241,0.3,0,43.2,NULL,3,0),"
                          " (17012,'食塩',17,0,0,0,0,0,39000,99.5),"
                          " (14006,'調合油',14,886,0,100,0,0,0,0),"
                          " (100001,'自家製たれ',20,200,2,1,40,2,1000,2.5),"
                          " (100002,'糖質のない食品',20,10,2,0,NULL,NULL,0,0),"
                          " (100003,'塩だけのたれ',20,100,2,1,20,0,0,5.0),"
                          " (100004,'塩だけのだし',20,2,0.3,0,0.2,0,NULL,2.5);"
                          "INSERT INTO sbn(SID,CHOCDF,ALC) VALUES (6061,5.2,NULL), (6086,2.4,NULL),"
                          " (4040,0.4,NULL), (4084,0,NULL), (2045,33.1,NULL), (16001,4.9,12.3),"
                          " (16025,43.2,9.5), (17012,0,NULL), (14006,0,NULL);");
}

// A dish of lines (food, grams), keyed from 1 in the order given.
QString dishSql(int key, const QList<QPair<qint64, double>> &lines)
{
    QString sql = QStringLiteral("INSERT INTO mnu(ID,アイテム名) VALUES (%1,'料理%1');").arg(key);
    for (const auto &[food, grams] : lines)
        sql += QStringLiteral("INSERT INTO kou(アイテムCD,食品コード,数量,単位,数量2)"
                              " VALUES (%1,%2,%3,'ｇ',%4);")
                   .arg(key)
                   .arg(food)
                   .arg(grams)
                   .arg(grams / 100);
    return sql;
}

QString labelText(const Export::NutritionLabel &label)
{
    QStringList parts{label.basis};
    for (const Export::LabelRow &row : label.rows)
        parts << row.figure;
    return parts.join(QLatin1Char(' '));
}

bool near(const std::optional<double> &value, double expected)
{
    return value && qAbs(*value - expected) < 1e-9;
}

} // namespace

class TestNutritionLabel : public QObject
{
    Q_OBJECT

private slots:
    // One row per edge: the label of a dish (its lines, and a serving weight
    // or 0 for per 100 g) as 基準 熱量 たんぱく質 脂質 炭水化物 食塩相当量.
    void labelOfRealDishes_data()
    {
        using Lines = QList<QPair<qint64, double>>;
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<double>("serving");
        QTest::addColumn<QString>("label");
        // Energy 4 x 1.2 + 9 x 0.1 + 4 x 5.2 = 26.5, not the table's 23 kcal;
        // sodium 5 mg is at the threshold: 0.0127 g.
        QTest::newRow("キャベツ") << Lines{{6061, 100}} << 0.0 << "100g当たり 27 1.2 0 5.2 0.01";
        QTest::newRow("こまつな") << Lines{{6086, 100}} << 0.0 << "100g当たり 17 1.5 0 2.4 0.04";
        // Fibre above carbohydrate: the table's 0.4 g reads "0", not the
        // fibre's 1.3 g; sodium 4 mg is below 5: salt "0".
        QTest::newRow("油揚げ") << Lines{{4040, 100}} << 0.0 << "100g当たり 405 23.4 34.4 0 0";
        QTest::newRow("油揚げ 油抜き, 炭水化物 Tr")
            << Lines{{4084, 100}} << 0.0 << "100g当たり 283 18.2 23.4 0 0";
        QTest::newRow("さつまいも")
            << Lines{{2045, 100}} << 0.0 << "100g当たり 141 0.9 0.5 33.1 0.06";
        // Alcohol counts 7 kcal/g: 1.6 + 19.6 + 86.1 = 107.3.
        QTest::newRow("清酒, alcohol") << Lines{{16001, 100}} << 0.0 << "100g当たり 107 0 0 4.9 0";
        QTest::newRow("本みりん, no fibre value")
            << Lines{{16025, 100}} << 0.0 << "100g当たり 241 0 0 43.2 0";
        // Sodium 4.9 mg per 100 g reads "0"; 5.0 mg gives 0.01 g.
        QTest::newRow("sodium 4.9 mg")
            << Lines{{6061, 98}, {14006, 2}} << 0.0 << "100g当たり 44 1.2 2.1 5.1 0";
        QTest::newRow("sodium 5.0 mg")
            << Lines{{6061, 100}} << 0.0 << "100g当たり 27 1.2 0 5.2 0.01";
        // A small serving of a dish above every threshold: one significant
        // figure, never "0" (こまつな 17 kcal, 1.5 g per 100 g in 2 g).
        QTest::newRow("2 g serving")
            << Lines{{6086, 100}} << 2.0 << "1食（2g）当たり 0.3 0.03 0 0.05 0.0008";
        // A serving of a dish whose content per 100 g is below a threshold
        // stays "0" (fat 0.1 g per 100 g).
        QTest::newRow("250 g serving")
            << Lines{{6061, 150}, {2045, 100}} << 250.0 << "1食（250g）当たり 180 2.7 0 40.9 0.08";
        // Salt by sodium, not the rounded salt of each food.
        QTest::newRow("1 g of salt in 99 g of oil")
            << Lines{{14006, 99}, {17012, 1}} << 0.0 << "100g当たり 891 0 99.0 0 1.0";
        // A user's food without the table's 炭水化物: its sugar plus fibre.
        QTest::newRow("user's food")
            << Lines{{100001, 100}} << 0.0 << "100g当たり 185 2.0 1.0 42.0 2.5";
        // A user's food typed from a package's label gives its salt and no
        // sodium (the box left at 0, or empty): the salt is that salt.
        QTest::newRow("user's food with salt, sodium 0")
            << Lines{{100003, 100}} << 0.0 << "100g当たり 97 2.0 1.0 20.0 5.0";
        QTest::newRow("user's food with salt, no sodium")
            << Lines{{100004, 50}, {6061, 50}} << 0.0 << "100g当たり 14 0.8 0 2.7 1.3";
    }

    void labelOfRealDishes()
    {
        using Lines = QList<QPair<qint64, double>>;
        QFETCH(Lines, lines);
        QFETCH(double, serving);
        QFETCH(QString, label);
        TestFolder folder;
        QVERIFY(folder.makeStore(foodsSql() + dishSql(1, lines)));
        std::vector<Export::Dish> dishes;
        QString error;
        QVERIFY2(Export::readDishes(connection, {}, 20, true, &dishes, &error), qPrintable(error));
        QCOMPARE(dishes.size(), size_t(1));
        const Export::NutritionLabel made = Export::nutritionLabel(
            dishes[0].totals, serving > 0 ? std::optional<double>(serving) : std::nullopt);
        QCOMPARE(labelText(made), label);
        QVERIFY2(made.note.isEmpty(), qPrintable(made.note));
    }

    // One row per basis: a dish of キャベツ 150 g and さつまいも 100 g (or oil
    // and cabbage), its 人分, finished weight (0: none) and the basis stored
    // with it (hyj.KND, GRM). Per 100 g of a dish with a finished weight is
    // per 100 g of the cooked dish, the "0" rule tested on it too; 1人分 is
    // the finished weight, else the lines' weight, divided by 人分.
    void labelBasisAndFinishedWeight_data()
    {
        using Lines = QList<QPair<qint64, double>>;
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<double>("servings");
        QTest::addColumn<double>("finished");
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("grams");
        QTest::addColumn<QString>("label");
        const Lines dish{{6061, 150}, {2045, 100}};
        QTest::newRow("100 g, raw weight")
            << dish << 1.0 << 0.0 << 0 << 0.0 << "100g当たり 72 1.1 0 16.4 0.03";
        QTest::newRow("1人分 of 2")
            << dish << 2.0 << 0.0 << 2 << 0.0 << "1人分（125g）当たり 90 1.4 0 20.5 0.04";
        QTest::newRow("1人分 of 3, a third of a gram")
            << dish << 3.0 << 0.0 << 2 << 0.0 << "1人分（83.3g）当たり 60 0.9 0 13.6 0.03";
        QTest::newRow("100 g of 200 g cooked")
            << dish << 4.0 << 200.0 << 0 << 0.0 << "100g当たり 90 1.4 0 20.5 0.04";
        QTest::newRow("1人分 of 200 g cooked for 4")
            << dish << 4.0 << 200.0 << 2 << 0.0 << "1人分（50g）当たり 45 0.7 0 10.2 0.02";
        QTest::newRow("1食 100 g of 200 g cooked")
            << dish << 4.0 << 200.0 << 1 << 100.0 << "1食（100g）当たり 90 1.4 0 20.5 0.04";
        // Water taken up in cooking brings fat below 0.5 g per 100 g: "0".
        QTest::newRow("oil and cabbage, raw") << Lines{{14006, 1}, {6061, 99}} << 1.0 << 0.0 << 0
                                              << 0.0 << "100g当たり 35 1.2 1.1 5.1 0";
        QTest::newRow("oil and cabbage, 300 g cooked")
            << Lines{{14006, 1}, {6061, 99}} << 1.0 << 300.0 << 0 << 0.0
            << "100g当たり 12 0 0 1.7 0";
        QTest::newRow("a kind the store does not know")
            << dish << 2.0 << 0.0 << 7 << 50.0 << "100g当たり 72 1.1 0 16.4 0.03";
        QTest::newRow("1食 without a weight")
            << dish << 2.0 << 0.0 << 1 << 0.0 << "100g当たり 72 1.1 0 16.4 0.03";
    }

    void labelBasisAndFinishedWeight()
    {
        using Lines = QList<QPair<qint64, double>>;
        QFETCH(Lines, lines);
        QFETCH(double, servings);
        QFETCH(double, finished);
        QFETCH(int, kind);
        QFETCH(double, grams);
        QFETCH(QString, label);
        TestFolder folder;
        QVERIFY(folder.makeStore(
            foodsSql() + dishSql(1, lines) +
            QStringLiteral("UPDATE mnu SET 人分=%1,出来上がり重量=%2;"
                           "INSERT INTO hyj(ID,KND,GRM) VALUES (1,%3,%4);")
                .arg(servings)
                .arg(finished > 0 ? QString::number(finished) : QStringLiteral("NULL"))
                .arg(kind)
                .arg(grams > 0 ? QString::number(grams) : QStringLiteral("NULL"))));
        std::vector<Export::Dish> dishes;
        QString error;
        QVERIFY2(Export::readDishes(connection, {}, 20, true, &dishes, &error), qPrintable(error));
        QCOMPARE(labelText(Export::nutritionLabel(dishes[0])), label);
        // The basis read alone is the one the export reads.
        QCOMPARE(Export::storedBasis(connection, 1), dishes[0].labelBasis);
    }

    // The rows per 100 g and per serving of the exports: per 100 g of the
    // finished dish, a serving a quarter of a dish for 4, each at the
    // table's places (energy whole, protein and 炭水化物 one decimal).
    void perHundredAndServing()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(foodsSql() + dishSql(1, {{6061, 150}, {2045, 100}}) +
                                 QStringLiteral("UPDATE mnu SET 人分=4,出来上がり重量=200;")));
        std::vector<Export::Dish> dishes;
        QString error;
        QVERIFY2(Export::readDishes(connection, {}, 20, true, &dishes, &error), qPrintable(error));
        const Export::Dish &d = dishes[0];
        QCOMPARE(d.servings, 4.0);
        QCOMPARE(d.finishedGrams, std::optional<double>(200));
        const int energy = Export::nutrientIndex("ENC");
        const int protein = Export::nutrientIndex("TAN");
        const int carbohydrate = Components::indexOf(u"CHOCDF");
        QCOMPARE(Export::perHundredAtPlaces(d.totals, energy, d.finishedGrams),
                 std::optional<double>(81)); // 161.5 kcal in 200 g
        QCOMPARE(Export::perHundredAtPlaces(d.totals, energy), std::optional<double>(65));
        QCOMPARE(Export::perServingAtPlaces(d, energy), std::optional<double>(40));
        QCOMPARE(Export::perServingAtPlaces(d, protein), std::optional<double>(0.7));
        QCOMPARE(Export::componentPerHundred(d.totals, carbohydrate, d.finishedGrams),
                 std::optional<double>(20.5));
        QCOMPARE(Export::componentPerServing(d, carbohydrate), std::optional<double>(10.2));
        QCOMPARE(Export::portionText(d), QStringLiteral("4人分・出来上がり 200 g"));
    }

    // The basis chosen is stored with the dish and read back; a store made
    // before bases were kept gets their table at the first choice.
    void storedBasisRoundTrip()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(foodsSql() + dishSql(1, {{6061, 100}}) +
                                 QStringLiteral("DROP TABLE hyj;")));
        QCOMPARE(Export::storedBasis(connection, 1), Export::LabelBasis{});
        QString error;
        for (const Export::LabelBasis &basis :
             {Export::LabelBasis::person(), Export::LabelBasis::meal(220), Export::LabelBasis{}}) {
            QVERIFY2(Export::storeBasis(connection, 1, basis, &error), qPrintable(error));
            QCOMPARE(Export::storedBasis(connection, 1), basis);
        }
    }

    // A line whose food was deleted weighs but brings no nutrients: the
    // label says so.
    void lineOfADeletedFood()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(foodsSql() + dishSql(1, {{6061, 100}, {99999, 100}})));
        std::vector<Export::Dish> dishes;
        QString error;
        QVERIFY2(Export::readDishes(connection, {}, 20, true, &dishes, &error), qPrintable(error));
        QCOMPARE(dishes[0].totals.linesWithoutFood, 1);
        const Export::NutritionLabel label = Export::nutritionLabel(dishes[0]);
        QCOMPARE(labelText(label), QStringLiteral("100g当たり 13 0.6 0 2.6 0"));
        QVERIFY2(label.note.contains(QStringLiteral("削除された食品の材料（1行）")),
                 qPrintable(label.note));
    }

    // A food without any carbohydrate value leaves energy and carbohydrate
    // short, and the label says so; the components of the table are summed
    // and an unknown one stays unknown.
    void unknownsAndComponents()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(foodsSql() + dishSql(1, {{16001, 50}, {100002, 50}})));
        std::vector<Export::Dish> dishes;
        QString error;
        QVERIFY2(Export::readDishes(connection, {}, 20, true, &dishes, &error), qPrintable(error));
        const Export::Totals &t = dishes[0].totals;
        const Export::NutritionLabel label = Export::nutritionLabel(t, std::nullopt);
        QCOMPARE(label.note,
                 QStringLiteral("※ 熱量・炭水化物は、値が未知（-）の食品を含まない値です。"));
        const int alcohol = Components::indexOf(u"ALC");
        const int carbohydrate = Components::indexOf(u"CHOCDF");
        const int protein = Components::indexOf(u"PROT");
        QVERIFY(near(t.components[alcohol], 6.15));
        QVERIFY(t.componentUnknown[alcohol]); // the user's food has none
        QVERIFY(near(t.components[carbohydrate], 2.45));
        QVERIFY(near(t.components[protein], 1.2));
        QVERIFY(!t.componentUnknown[protein]);
        QVERIFY(near(dishes[0].lines[0].component(alcohol), 6.15));
        QVERIFY(!dishes[0].lines[1].component(alcohol));
    }
};

QTEST_GUILESS_MAIN(TestNutritionLabel)
#include "tst_nutritionlabel.moc"
