#include "core/nutrition/intakes.h"

#include "core/nutrition/components.h"
#include "core/store/numberreader.h"
#include "core/store/numbertext.h"

#include <cmath>

namespace Intakes {

namespace {

QString key(const QString &nutrient, const QString &indicator)
{
    return nutrient + QLatin1Char('|') + indicator;
}

bool covers(const Row &row, int age)
{
    return row.from && age >= *row.from && (!row.to || age <= *row.to);
}

QString figure(double value, int decimals)
{
    return NumberText::grouped(value, decimals);
}

} // namespace

QString stageText(Stage stage)
{
    switch (stage) {
    case Stage::None:
        return QStringLiteral("なし");
    case Stage::PregnancyEarly:
        return QStringLiteral("妊娠初期");
    case Stage::PregnancyMid:
        return QStringLiteral("妊娠中期");
    case Stage::PregnancyLate:
        return QStringLiteral("妊娠後期");
    case Stage::Lactation:
        return QStringLiteral("授乳中");
    }
    return QString();
}

QString activityText(Activity activity)
{
    switch (activity) {
    case Activity::Low:
        return QStringLiteral("低い");
    case Activity::Moderate:
        return QStringLiteral("ふつう");
    case Activity::High:
        return QStringLiteral("高い");
    }
    return QString();
}

std::optional<double> Standard::reference() const
{
    if (rda)
        return rda;
    if (ai)
        return ai;
    if (eer)
        return eer;
    if (dgMin)
        return dgMin;
    return dgMax;
}

std::variant<int, QString> readAge(const QString &text)
{
    const std::optional<double> age = NumberReader::number(text);
    if (!age || *age != std::floor(*age) || *age < youngestAge || *age > oldestAge)
        return QStringLiteral("「年齢」欄には %1 から %2 までの整数を入力してください"
                              "（入力された値:「%3」）。")
            .arg(youngestAge)
            .arg(oldestAge)
            .arg(text);
    return int(*age);
}

Table::Table(const QList<Row> &rows)
    : m_rows(rows)
{
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].stage == 0)
            m_byKey[key(m_rows[i].nutrient, m_rows[i].indicator)].append(i);
}

QString Table::groupName(int age) const
{
    for (const Row &r : m_rows) {
        if (r.stage != 0 || !covers(r, age))
            continue;
        if (!r.to)
            return QStringLiteral("%1歳以上").arg(*r.from);
        return QStringLiteral("%1～%2歳").arg(*r.from).arg(*r.to);
    }
    return QString();
}

std::optional<Table::Cell> Table::group(const QString &nutrient, const QString &indicator,
                                        const Person &person) const
{
    for (int i : m_byKey.value(key(nutrient, indicator))) {
        const Row &r = m_rows[i];
        if (r.sex == person.sex && covers(r, person.age))
            return Cell{r.value, r.edition};
    }
    return std::nullopt;
}

std::optional<double> Table::stageValue(const QString &nutrient, const QString &indicator,
                                        Stage stage) const
{
    for (const Row &r : m_rows)
        if (r.stage == int(stage) && r.nutrient == nutrient && r.indicator == indicator)
            return r.value;
    return std::nullopt;
}

bool Table::stageAllowed(const Person &person, Stage stage) const
{
    if (stage == Stage::None)
        return true;
    return person.sex == 0 &&
           group(QStringLiteral("iron_mg"), QStringLiteral("rda_menstruating"), person);
}

bool Table::fromPreviousEdition(const QString &nutrient, const QString &indicator,
                                const Person &person) const
{
    const auto cell = group(nutrient, indicator, person);
    return cell && cell->edition != 2025;
}

std::optional<double> Table::value(const QString &nutrient, const Person &person) const
{
    const auto cell = group(nutrient, QStringLiteral("value"), person);
    return cell ? std::optional<double>(cell->value) : std::nullopt;
}

Standard Table::of(const QString &nutrient, const Person &person) const
{
    Standard s;
    const Stage stage = stageAllowed(person, person.stage) ? person.stage : Stage::None;
    const auto own = [&](const char *indicator) -> std::optional<double> {
        const auto cell = group(nutrient, QLatin1String(indicator), person);
        if (!cell)
            return std::nullopt;
        if (cell->edition != 2025)
            s.previousEdition = true;
        return cell->value;
    };
    if (nutrient == QLatin1String("energy_kcal")) {
        const char *indicator = person.activity == Activity::Low    ? "eer_low"
                                : person.activity == Activity::High ? "eer_high"
                                                                    : "eer";
        s.eer = own(indicator);
    } else {
        s.ear = own("ear");
        s.rda = own("rda");
        // A woman of the ages with menstruation, neither pregnant nor
        // nursing: the value with menstruation, as the comparison uses.
        if (stage == Stage::None && person.sex == 0 && nutrient == QLatin1String("iron_mg"))
            if (const auto menstruating = own("rda_menstruating"))
                s.rda = menstruating;
        s.ai = own("ai");
        s.dgMin = own("dg_min");
        s.dgMax = own("dg_max");
        s.ul = own("ul");
    }
    s.dgMaxBelow = nutrient == QLatin1String("salt_g");
    if (stage == Stage::None)
        return s;

    // A pregnant or nursing woman: her own value plus the stage's addition, or
    // the stage's own value; what the stage table does not give is no
    // standard, never the value of a woman who is neither.
    const auto added = [&](std::optional<double> base, const char *indicator) {
        const auto addition =
            stageValue(nutrient, QLatin1String(indicator) + QStringLiteral("_addition"), stage);
        return base && addition ? std::optional<double>(*base + *addition) : std::nullopt;
    };
    const auto replaced = [&](const char *indicator) {
        return stageValue(nutrient, QLatin1String(indicator), stage);
    };
    Standard p;
    p.previousEdition = s.previousEdition;
    p.dgMaxBelow = s.dgMaxBelow;
    if (nutrient == QLatin1String("energy_kcal")) {
        p.eer = added(s.eer, "eer");
        return p;
    }
    p.ear = replaced("ear");
    if (!p.ear)
        p.ear = added(s.ear, "ear");
    p.rda = added(s.rda, "rda");
    p.ai = replaced("ai");
    p.dgMin = replaced("dg_min");
    p.dgMax = replaced("dg_max");
    // The intakes set the goals of salt and potassium of pregnant and nursing
    // women at those of other women of their age (in words, without a
    // figure of their own).
    if (!p.dgMin && !p.dgMax &&
        (nutrient == QLatin1String("salt_g") || nutrient == QLatin1String("potassium_mg"))) {
        p.dgMin = s.dgMin;
        p.dgMax = s.dgMax;
    }
    // With only an addition to the EAR given, the RDA stays unknown: the
    // EAR alone judges.
    return p;
}

std::pair<QString, QString> comparisonIntake(QLatin1StringView column)
{
    static const QHash<QString, std::pair<QString, QString>> intakes = {
        {QStringLiteral("TAL"), {QStringLiteral("height_cm"), QStringLiteral("value")}},
        {QStringLiteral("WEI"), {QStringLiteral("weight_kg"), QStringLiteral("value")}},
        {QStringLiteral("CAL"), {QStringLiteral("energy_kcal"), QStringLiteral("eer")}},
        {QStringLiteral("TAN"), {QStringLiteral("protein_g"), QStringLiteral("rda")}},
        {QStringLiteral("CA"), {QStringLiteral("calcium_mg"), QStringLiteral("rda")}},
        {QStringLiteral("FE"), {QStringLiteral("iron_mg"), QStringLiteral("rda")}},
        {QStringLiteral("VA"), {QStringLiteral("vitamin_a_ugrae"), QStringLiteral("rda")}},
        {QStringLiteral("VB1"), {QStringLiteral("vitamin_b1_mg"), QStringLiteral("rda")}},
        {QStringLiteral("VB2"), {QStringLiteral("vitamin_b2_mg"), QStringLiteral("rda")}},
        {QStringLiteral("NAI"), {QStringLiteral("niacin_mgne"), QStringLiteral("rda")}},
        {QStringLiteral("VC"), {QStringLiteral("vitamin_c_mg"), QStringLiteral("rda")}},
    };
    return intakes.value(QString(column));
}

QString previousEditionNote()
{
    return QStringLiteral("2020年版の値です（2025年版のこの年齢区分の値が見つからないため）。");
}

QString nutrientOf(int component)
{
    // Niacin is judged in niacin equivalents, vitamin E as α-tocopherol, vitamin
    // A in retinol activity equivalents, as the intakes count them. The ULs of
    // niacin and folate concern supplements and fortified foods only, and are
    // kept under names of their own that no component takes.
    static const QHash<QString, QString> nutrients = {
        {QStringLiteral("ENERC_KCAL"), QStringLiteral("energy_kcal")},
        {QStringLiteral("PROT"), QStringLiteral("protein_g")},
        {QStringLiteral("FIB"), QStringLiteral("fiber_g")},
        {QStringLiteral("K"), QStringLiteral("potassium_mg")},
        {QStringLiteral("CA"), QStringLiteral("calcium_mg")},
        {QStringLiteral("MG"), QStringLiteral("magnesium_mg")},
        {QStringLiteral("P"), QStringLiteral("phosphorus_mg")},
        {QStringLiteral("FE"), QStringLiteral("iron_mg")},
        {QStringLiteral("ZN"), QStringLiteral("zinc_mg")},
        {QStringLiteral("CU"), QStringLiteral("copper_mg")},
        {QStringLiteral("MN"), QStringLiteral("manganese_mg")},
        {QStringLiteral("ID"), QStringLiteral("iodine_ug")},
        {QStringLiteral("SE"), QStringLiteral("selenium_ug")},
        {QStringLiteral("CR"), QStringLiteral("chromium_ug")},
        {QStringLiteral("MO"), QStringLiteral("molybdenum_ug")},
        {QStringLiteral("VITA_RAE"), QStringLiteral("vitamin_a_ugrae")},
        {QStringLiteral("VITD"), QStringLiteral("vitamin_d_ug")},
        {QStringLiteral("TOCPHA"), QStringLiteral("vitamin_e_mg")},
        {QStringLiteral("VITK"), QStringLiteral("vitamin_k_ug")},
        {QStringLiteral("THIA"), QStringLiteral("vitamin_b1_mg")},
        {QStringLiteral("RIBF"), QStringLiteral("vitamin_b2_mg")},
        {QStringLiteral("NE"), QStringLiteral("niacin_mgne")},
        {QStringLiteral("VITB6A"), QStringLiteral("vitamin_b6_mg")},
        {QStringLiteral("VITB12"), QStringLiteral("vitamin_b12_ug")},
        {QStringLiteral("FOL"), QStringLiteral("folate_ug")},
        {QStringLiteral("PANTAC"), QStringLiteral("pantothenic_acid_mg")},
        {QStringLiteral("BIOT"), QStringLiteral("biotin_ug")},
        {QStringLiteral("VITC"), QStringLiteral("vitamin_c_mg")},
        {QStringLiteral("NACL_EQ"), QStringLiteral("salt_g")},
    };
    if (component < 0 || component >= Components::count)
        return QString();
    return nutrients.value(QString(Components::all[component].code));
}

// ---- Judgement

QString verdictText(Verdict verdict)
{
    switch (verdict) {
    case Verdict::None:
        return QString();
    case Verdict::Deficient:
        return QStringLiteral("不足の可能性が高い");
    case Verdict::PossiblyDeficient:
        return QStringLiteral("不足の可能性あり");
    case Verdict::Adequate:
        return QStringLiteral("充足");
    case Verdict::CannotJudge:
        return QStringLiteral("判定できない");
    case Verdict::BelowGoal:
        return QStringLiteral("目標量を下回る");
    case Verdict::WithinGoal:
        return QStringLiteral("目標量の範囲内");
    case Verdict::AboveGoal:
        return QStringLiteral("目標量を超える");
    case Verdict::Excess:
        return QStringLiteral("過剰のおそれ");
    }
    return QString();
}

Verdict judge(double intake, const Standard &s)
{
    if (!std::isfinite(intake))
        return Verdict::None;
    if (s.ul && intake > *s.ul)
        return Verdict::Excess;
    Verdict verdict = Verdict::None;
    if (s.ear && intake < *s.ear)
        verdict = Verdict::Deficient;
    else if (s.rda)
        verdict = intake < *s.rda ? Verdict::PossiblyDeficient : Verdict::Adequate;
    else if (s.ear)
        verdict = Verdict::Adequate; // at or above the EAR where no RDA is known
    else if (s.ai)
        verdict = intake >= *s.ai ? Verdict::Adequate : Verdict::CannotJudge;
    if (verdict == Verdict::Deficient || verdict == Verdict::PossiblyDeficient)
        return verdict;
    if (s.dgMin && intake < *s.dgMin)
        return Verdict::BelowGoal;
    if (s.dgMax && (s.dgMaxBelow ? intake >= *s.dgMax : intake > *s.dgMax))
        return Verdict::AboveGoal;
    if (verdict == Verdict::None && (s.dgMin || s.dgMax))
        return Verdict::WithinGoal;
    return verdict;
}

QString standardText(const Standard &s, int decimals)
{
    QStringList parts;
    if (s.eer)
        parts << QStringLiteral("推定エネルギー必要量 ") + figure(*s.eer, 0);
    if (s.rda)
        parts << QStringLiteral("推奨量 ") + figure(*s.rda, decimals);
    else if (s.ear)
        parts << QStringLiteral("推定平均必要量 ") + figure(*s.ear, decimals);
    if (s.ai)
        parts << QStringLiteral("目安量 ") + figure(*s.ai, decimals);
    if (s.dgMin && s.dgMax)
        parts << QStringLiteral("目標量 %1～%2")
                     .arg(figure(*s.dgMin, decimals), figure(*s.dgMax, decimals));
    else if (s.dgMin)
        parts << QStringLiteral("目標量 %1以上").arg(figure(*s.dgMin, decimals));
    else if (s.dgMax)
        parts << QStringLiteral("目標量 %1%2")
                     .arg(figure(*s.dgMax, decimals),
                          s.dgMaxBelow ? QStringLiteral("未満") : QStringLiteral("以下"));
    if (s.ul)
        parts << QStringLiteral("上限 ") + figure(*s.ul, decimals);
    if (parts.isEmpty())
        return QStringLiteral("基準なし");
    QString text = parts.join(QStringLiteral("、"));
    if (s.previousEdition)
        text += QStringLiteral(" (2020年版)");
    return text;
}

// ---- Balance

Balance balance(std::optional<double> energy, std::optional<double> protein,
                std::optional<double> fat)
{
    Balance b;
    if (!energy || !(*energy > 0) || !std::isfinite(*energy))
        return b;
    if (protein)
        b.protein = *protein * 4 / *energy * 100;
    if (fat)
        b.fat = *fat * 9 / *energy * 100;
    if (b.protein && b.fat)
        b.carbohydrate = 100 - *b.protein - *b.fat;
    return b;
}

BalanceGoals balanceGoals(const Table &table, const Person &person)
{
    return {table.of(QStringLiteral("protein_pct"), person),
            table.of(QStringLiteral("fat_pct"), person),
            table.of(QStringLiteral("carbohydrate_pct"), person)};
}

} // namespace Intakes
