// What an export gives of a dish's servings and finished weight: the CSV's
// rows per 100 g and per serving with the dish's 人分 and 出来上がり重量, and
// the 栄養成分一覧 of the print and the workbook, the window's figures for
// the person chosen.
#include "core/export/csvwriter.h"
#include "core/export/dishreport.h"
#include "core/nutrition/dishcomponents.h"
#include "tests/support/testsupport.h"
#include "tools/intakefiles.h"

#include <QtTest>

namespace {

const QString connection = QStringLiteral("Provider=Zento.SQLite.1;Data Source=zento.dll;");

// キャベツ 150 g and さつまいも 100 g (values per 100 g as the table gives
// them), cooked to 200 g, for 4; カルシウム and the table's 炭水化物 in sbn.
QString dishSql()
{
    return QStringLiteral(
        "INSERT INTO tni VALUES ('ｇ', 1);"
        "INSERT INTO eys(SID,SNM,BID,ENC,TAN,SST,TST,TSS,CA,NA,NAT) VALUES"
        " (6061,'キャベツ',6,23,1.2,0.1,3.4,1.8,42,5,0),"
        " (2045,'さつまいも',2,127,0.9,0.5,30.3,2.8,40,23,0.1);"
        "INSERT INTO sbn(SID,CHOCDF,ALC) VALUES (6061,5.2,NULL), (2045,33.1,NULL);"
        "INSERT INTO mnu(ID,アイテム名,人分,出来上がり重量) VALUES (1,'蒸し煮',4,200);"
        "INSERT INTO kou(アイテムCD,食品コード,数量,単位,数量2) VALUES"
        " (1,6061,150,'ｇ',1.5), (1,2045,100,'ｇ',1);");
}

Intakes::Table standards()
{
    IntakeFiles::Tables tables;
    QString error;
    const auto file = [](const char *name) {
        return QStringLiteral(ZENTO_REFERENCE_DATA "/") + QLatin1String(name);
    };
    if (!IntakeFiles::read(file("standards-2025-full/dri-2025-full.csv"),
                           file("standards/dri-2020.csv"),
                           file("standards-2025-full/pregnancy-lactation-2025.csv"),
                           file("standards-2025-full/school-lunch.csv"), &tables, &error))
        return {};
    QList<Intakes::Row> rows;
    for (const IntakeFiles::Row &r : std::as_const(tables.rows))
        rows.append({r.from, r.to, r.sex, r.stage, r.nutrient, r.indicator, r.value, r.edition});
    return Intakes::Table(rows);
}

} // namespace

class TestDishReport : public QObject
{
    Q_OBJECT

private slots:
    // The CSV reads back as one table: the row per 100 g is of the 200 g
    // cooked, the row 1人分 a quarter of the dish (its weight 50 g), and
    // every row ends with 人分 4 and 出来上がり重量 200.
    void csvRowsOfServingsAndFinishedWeight()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(dishSql()));
        std::vector<Export::Dish> dishes;
        QString error;
        QVERIFY2(Export::readDishes(connection, {}, 20, true, &dishes, &error), qPrintable(error));
        QVERIFY2(Export::writeCsv(QStringLiteral("dish.csv"), dishes, &error), qPrintable(error));
        QFile file(QStringLiteral("dish.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QList<QStringList> rows;
        for (const QByteArray &line : file.readAll().mid(3).split('\n')) {
            if (!line.trimmed().isEmpty())
                rows << QString::fromUtf8(line.trimmed()).split(QLatin1Char(','));
        }
        const QStringList heading = rows.takeFirst();
        const qsizetype energy = heading.indexOf(QStringLiteral("ｴﾈﾙｷﾞｰ(Kcal)"));
        const qsizetype carbohydrate = heading.indexOf(QStringLiteral("炭水化物(g)"));
        QVERIFY(energy > 0 && carbohydrate > 0);
        QMap<QString, QStringList> byKind;
        for (const QStringList &row : std::as_const(rows)) {
            QCOMPARE(row.size(), heading.size());
            QCOMPARE(row.mid(row.size() - 2), (QStringList{"4", "200"}));
            byKind[row[2]] = row;
        }
        QCOMPARE(byKind.keys(),
                 (QStringList{"100g当たり", "1人分", "合計", "明細", "栄養成分表示"}));
        QCOMPARE(byKind[QStringLiteral("100g当たり")][energy], QStringLiteral("81")); // 161.5 / 2
        QCOMPARE(byKind[QStringLiteral("1人分")][7], QStringLiteral("50"));
        QCOMPARE(byKind[QStringLiteral("1人分")][energy], QStringLiteral("40"));
        QCOMPARE(byKind[QStringLiteral("1人分")][carbohydrate], QStringLiteral("10.2"));
    }

    // The export's 栄養成分一覧 is the window's: the same dish read as the
    // window reads it gives the same rows for the same person.
    void sheetEqualsTheWindows()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(dishSql()));
        std::vector<Export::Dish> dishes;
        QString error;
        QVERIFY2(Export::readDishes(connection, {}, 15, false, &dishes, &error), qPrintable(error));
        Export::SheetChoice choice;
        choice.person = {15, 0, Intakes::Activity::Moderate, Intakes::Stage::None};
        choice.table = standards();
        QVERIFY(!choice.table.isEmpty());
        QList<DishComponents::Line> lines;
        QVERIFY(DishComponents::load(connection, 1, &lines, &error));
        const QList<NutrientSheet::Row> window =
            NutrientSheet::rows(DishComponents::total(lines), 4, 200.0, choice.table, choice.person,
                                NutrientSheet::Basis::Serving);
        const Export::NutrientSheetPage page = Export::nutrientSheet(dishes[0], choice);
        QCOMPARE(page.rows.size(), window.size());
        for (qsizetype i = 0; i < window.size(); ++i) {
            const QString name = Components::all[i].name.toString();
            QVERIFY2(page.rows[i].total == window[i].total, qPrintable(name));
            QVERIFY2(page.rows[i].serving == window[i].serving, qPrintable(name));
            QVERIFY2(page.rows[i].perHundredGrams == window[i].perHundredGrams, qPrintable(name));
            QVERIFY2(page.rows[i].verdict == window[i].verdict, qPrintable(name));
        }
        QCOMPARE(page.group, QStringLiteral("15～17歳"));
    }

    // The person as the paper names it; a stage only where it applies.
    void personText_data()
    {
        QTest::addColumn<int>("age");
        QTest::addColumn<int>("sex");
        QTest::addColumn<int>("activity");
        QTest::addColumn<int>("stage");
        QTest::addColumn<QString>("text");
        QTest::newRow("girl of 15")
            << 15 << 0 << 1 << 0 << "15歳（15～17歳）・女性・身体活動 ふつう";
        QTest::newRow("nursing") << 30 << 0 << 2 << 4
                                 << "30歳（30～49歳）・女性・身体活動 高い・授乳中";
        QTest::newRow("a man has no stage")
            << 30 << 1 << 0 << 2 << "30歳（30～49歳）・男性・身体活動 低い";
        QTest::newRow("75 and over")
            << 90 << 1 << 1 << 0 << "90歳（75歳以上）・男性・身体活動 ふつう";
    }

    void personText()
    {
        QFETCH(int, age);
        QFETCH(int, sex);
        QFETCH(int, activity);
        QFETCH(int, stage);
        QFETCH(QString, text);
        static const Intakes::Table table = standards();
        Export::SheetChoice choice;
        choice.person = {age, sex, Intakes::Activity(activity), Intakes::Stage(stage)};
        choice.table = table;
        QCOMPARE(Export::personText(choice), text);
    }
};

QTEST_GUILESS_MAIN(TestDishReport)
#include "tst_dishreport.moc"
