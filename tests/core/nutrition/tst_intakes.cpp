// The intake standards of a person, looked up in the data folder's full
// tables, and the judgement of an intake against them.
#include "core/nutrition/intakes.h"
#include "core/nutrition/nutrientsheet.h"
#include "tools/intakefiles.h"

#include <QTest>

using namespace Intakes;

Q_DECLARE_METATYPE(Intakes::Verdict)
Q_DECLARE_METATYPE(Intakes::Standard)
Q_DECLARE_METATYPE(std::optional<double>)

namespace {

QString standardsFile(const char *name)
{
    return QStringLiteral(ZENTO_REFERENCE_DATA "/") + QLatin1String(name);
}

std::optional<double> none()
{
    return std::nullopt;
}

} // namespace

class TestIntakes : public QObject
{
    Q_OBJECT

    Table m_table;

private slots:
    void initTestCase()
    {
        IntakeFiles::Tables tables;
        QString error;
        QVERIFY2(IntakeFiles::read(
                     standardsFile("standards-2025-full/dri-2025-full.csv"),
                     standardsFile("standards/dri-2020.csv"),
                     standardsFile("standards-2025-full/pregnancy-lactation-2025.csv"),
                     standardsFile("standards-2025-full/school-lunch.csv"), &tables, &error),
                 qPrintable(error));
        QList<Row> rows;
        for (const IntakeFiles::Row &r : std::as_const(tables.rows))
            rows.append(
                {r.from, r.to, r.sex, r.stage, r.nutrient, r.indicator, r.value, r.edition});
        m_table = Table(rows);
        QVERIFY(!tables.school.isEmpty());
    }

    // Each indicator at its edge and a little either side of it.
    void judgement_data()
    {
        QTest::addColumn<double>("intake");
        QTest::addColumn<Standard>("standard");
        QTest::addColumn<Verdict>("verdict");
        Standard earRda;
        earRda.ear = 550;
        earRda.rda = 650;
        QTest::newRow("below the EAR") << 549.9 << earRda << Verdict::Deficient;
        QTest::newRow("at the EAR") << 550.0 << earRda << Verdict::PossiblyDeficient;
        QTest::newRow("below the RDA") << 649.9 << earRda << Verdict::PossiblyDeficient;
        QTest::newRow("at the RDA") << 650.0 << earRda << Verdict::Adequate;
        Standard rdaOnly;
        rdaOnly.rda = 11;
        QTest::newRow("RDA alone, below") << 10.99 << rdaOnly << Verdict::PossiblyDeficient;
        QTest::newRow("RDA alone, at") << 11.0 << rdaOnly << Verdict::Adequate;
        Standard ai;
        ai.ai = 9;
        QTest::newRow("below the AI") << 8.99 << ai << Verdict::CannotJudge;
        QTest::newRow("at the AI") << 9.0 << ai << Verdict::Adequate;
        Standard ul = earRda;
        ul.ul = 2500;
        QTest::newRow("at the UL") << 2500.0 << ul << Verdict::Adequate;
        QTest::newRow("above the UL") << 2500.1 << ul << Verdict::Excess;
        Standard salt;
        salt.dgMax = 6.5;
        salt.dgMaxBelow = true;
        QTest::newRow("salt below its goal") << 6.49 << salt << Verdict::WithinGoal;
        QTest::newRow("salt at 未満 goal") << 6.5 << salt << Verdict::AboveGoal;
        Standard saturated;
        saturated.dgMax = 7;
        QTest::newRow("at a 以下 goal") << 7.0 << saturated << Verdict::WithinGoal;
        QTest::newRow("above a 以下 goal") << 7.01 << saturated << Verdict::AboveGoal;
        Standard fibre;
        fibre.dgMin = 18;
        QTest::newRow("below a 以上 goal") << 17.9 << fibre << Verdict::BelowGoal;
        QTest::newRow("at a 以上 goal") << 18.0 << fibre << Verdict::WithinGoal;
        Standard potassium;
        potassium.ai = 2000;
        potassium.dgMin = 2600;
        QTest::newRow("K above AI, below goal") << 2100.0 << potassium << Verdict::BelowGoal;
        QTest::newRow("K below AI and goal") << 1900.0 << potassium << Verdict::BelowGoal;
        QTest::newRow("K at goal") << 2600.0 << potassium << Verdict::Adequate;
        Standard range;
        range.dgMin = 20;
        range.dgMax = 30;
        QTest::newRow("range, below") << 19.99 << range << Verdict::BelowGoal;
        QTest::newRow("range, lower edge") << 20.0 << range << Verdict::WithinGoal;
        QTest::newRow("range, upper edge") << 30.0 << range << Verdict::WithinGoal;
        QTest::newRow("range, above") << 30.01 << range << Verdict::AboveGoal;
        Standard deficientWithGoal = earRda;
        deficientWithGoal.dgMin = 700;
        QTest::newRow("deficiency says more than a goal")
            << 500.0 << deficientWithGoal << Verdict::Deficient;
        QTest::newRow("no standard") << 100.0 << Standard{} << Verdict::None;
        QTest::newRow("not a number") << qQNaN() << earRda << Verdict::None;
    }
    void judgement()
    {
        QFETCH(double, intake);
        QFETCH(Standard, standard);
        QFETCH(Verdict, verdict);
        QCOMPARE(judge(intake, standard), verdict);
    }

    // What the full tables give a person, in the 基準 column's words.
    void lookup_data()
    {
        QTest::addColumn<QString>("nutrient");
        QTest::addColumn<int>("age");
        QTest::addColumn<int>("sex");
        QTest::addColumn<int>("activity");
        QTest::addColumn<int>("stage");
        QTest::addColumn<QString>("text");
        const int low = int(Activity::Low), mid = int(Activity::Moderate),
                  high = int(Activity::High);
        QTest::newRow("girl of 15, calcium") << "calcium_mg" << 15 << 0 << mid << 0 << "推奨量 650";
        QTest::newRow("girl of 15, iron with menstruation")
            << "iron_mg" << 15 << 0 << mid << 0 << "推奨量 11.0";
        QTest::newRow("boy of 15, iron") << "iron_mg" << 15 << 1 << mid << 0 << "推奨量 9.0";
        QTest::newRow("girl of 15, salt") << "salt_g" << 15 << 0 << mid << 0 << "目標量 6.5未満";
        QTest::newRow("girl of 15, energy")
            << "energy_kcal" << 15 << 0 << mid << 0 << "推定エネルギー必要量 2,300";
        QTest::newRow("girl of 15, energy at 低い not found")
            << "energy_kcal" << 15 << 0 << low << 0 << "基準なし";
        QTest::newRow("girl of 13, energy at 高い")
            << "energy_kcal" << 13 << 0 << high << 0 << "推定エネルギー必要量 2,700";
        QTest::newRow("boy of 7, B1 from 2020")
            << "vitamin_b1_mg" << 7 << 1 << mid << 0 << "推奨量 0.8 (2020年版)";
        QTest::newRow("woman of 40, calcium and its UL")
            << "calcium_mg" << 40 << 0 << mid << 0 << "推奨量 650、上限 2,500";
        QTest::newRow("75 and 100 share a group")
            << "calcium_mg" << 100 << 1 << mid << 0 << "推奨量 750、上限 2,500";
        QTest::newRow("iron of a woman in mid pregnancy: 月経なし 6.0 + 8.5")
            << "iron_mg" << 30 << 0 << mid << 2 << "推奨量 14.5";
        QTest::newRow("energy when nursing: + 350")
            << "energy_kcal" << 30 << 0 << mid << 4 << "推定エネルギー必要量 2,400";
        QTest::newRow("salt goal when pregnant is her own")
            << "salt_g" << 30 << 0 << mid << 1 << "目標量 6.5未満";
        QTest::newRow("calcium when pregnant: no figure found")
            << "calcium_mg" << 30 << 0 << mid << 1 << "基準なし";
        QTest::newRow("a stage is not applied to a man")
            << "iron_mg" << 30 << 1 << mid << 2 << "推奨量 7.5";
        QTest::newRow("a stage is not applied to a girl of 8")
            << "iron_mg" << 8 << 0 << mid << 2 << "推奨量 8.0";
        QTest::newRow("no iron UL in 2025") << "iron_mg" << 40 << 1 << mid << 0 << "推奨量 7.5";
        QTest::newRow("under one year") << "calcium_mg" << 0 << 0 << mid << 0 << "基準なし";
    }
    void lookup()
    {
        QFETCH(QString, nutrient);
        QFETCH(int, age);
        QFETCH(int, sex);
        QFETCH(int, activity);
        QFETCH(int, stage);
        QFETCH(QString, text);
        const Person person{age, sex, Activity(activity), Stage(stage)};
        const Standard s = m_table.of(nutrient, person);
        const int decimals = nutrient == QLatin1String("iron_mg")         ? 1
                             : nutrient == QLatin1String("salt_g")        ? 1
                             : nutrient == QLatin1String("vitamin_b1_mg") ? 1
                                                                          : 0;
        QCOMPARE(standardText(s, decimals), text);
    }

    void groups_data()
    {
        QTest::addColumn<int>("age");
        QTest::addColumn<QString>("group");
        QTest::newRow("0") << 0 << QString();
        QTest::newRow("1") << 1 << "1～2歳";
        QTest::newRow("17") << 17 << "15～17歳";
        QTest::newRow("18") << 18 << "18～29歳";
        QTest::newRow("74") << 74 << "65～74歳";
        QTest::newRow("75") << 75 << "75歳以上";
        QTest::newRow("100") << 100 << "75歳以上";
    }
    void groups()
    {
        QFETCH(int, age);
        QFETCH(QString, group);
        QCOMPARE(m_table.groupName(age), group);
    }

    void ages_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("age"); // -1: refused
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("100") << "100" << 100;
        QTest::newRow("full width") << "１５" << 15;
        QTest::newRow("101") << "101" << -1;
        QTest::newRow("negative") << "-1" << -1;
        QTest::newRow("fraction") << "15.5" << -1;
        QTest::newRow("words") << "十五" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void ages()
    {
        QFETCH(QString, text);
        QFETCH(int, age);
        const auto read = readAge(text);
        if (age < 0) {
            QVERIFY(std::holds_alternative<QString>(read));
            QVERIFY(std::get<QString>(read).contains(QStringLiteral("「年齢」欄")));
        } else {
            QCOMPARE(std::get<int>(read), age);
        }
    }

    // The balance of the energy producing nutrients.
    void balance_data()
    {
        QTest::addColumn<std::optional<double>>("energy");
        QTest::addColumn<std::optional<double>>("protein");
        QTest::addColumn<std::optional<double>>("fat");
        QTest::addColumn<std::optional<double>>("p");
        QTest::addColumn<std::optional<double>>("f");
        QTest::addColumn<std::optional<double>>("c");
        QTest::newRow("400 kcal, 20 g, 10 g")
            << std::optional(400.0) << std::optional(20.0) << std::optional(10.0)
            << std::optional(20.0) << std::optional(22.5) << std::optional(57.5);
        QTest::newRow("unknown fat: no carbohydrate share")
            << std::optional(400.0) << std::optional(20.0) << none() << std::optional(20.0)
            << none() << none();
        QTest::newRow("no energy") << std::optional(0.0) << std::optional(20.0)
                                   << std::optional(10.0) << none() << none() << none();
    }
    void balance()
    {
        QFETCH(std::optional<double>, energy);
        QFETCH(std::optional<double>, protein);
        QFETCH(std::optional<double>, fat);
        QFETCH(std::optional<double>, p);
        QFETCH(std::optional<double>, f);
        QFETCH(std::optional<double>, c);
        const Balance b = Intakes::balance(energy, protein, fat);
        QCOMPARE(b.protein, p);
        QCOMPARE(b.fat, f);
        QCOMPARE(b.carbohydrate, c);
    }

    // A serving is judged against a day, or the whole dish as a day.
    void sheetBasis()
    {
        DishComponents::Totals totals;
        const int ca = Components::indexOf(u"CA");
        totals.grams = 1000;
        totals.sums[ca] = 800;
        const Person girl{15, 0, Activity::Moderate, Stage::None};
        const auto serving =
            NutrientSheet::rows(totals, 4, 500.0, m_table, girl, NutrientSheet::Basis::Serving);
        QCOMPARE(serving[ca].serving, std::optional(200.0));
        QCOMPARE(serving[ca].perHundredGrams, std::optional(160.0)); // of the finished 500 g
        QCOMPARE(serving[ca].verdict, Verdict::PossiblyDeficient);
        QCOMPARE(qRound(*serving[ca].ratio), 31);
        const auto dish =
            NutrientSheet::rows(totals, 4, std::nullopt, m_table, girl, NutrientSheet::Basis::Dish);
        QCOMPARE(dish[ca].perHundredGrams, std::optional(80.0));
        QCOMPARE(dish[ca].verdict, Verdict::Adequate);
        QVERIFY(!dish[Components::refuse].total);
        const auto hundred =
            NutrientSheet::rows(totals, 4, 500.0, m_table, girl, NutrientSheet::Basis::Hundred);
        QCOMPARE(qRound(*hundred[ca].ratio), 25); // 160 mg of the finished dish
        QCOMPARE(hundred[ca].verdict, Verdict::PossiblyDeficient);
    }
};

QTEST_GUILESS_MAIN(TestIntakes)
#include "tst_intakes.moc"
