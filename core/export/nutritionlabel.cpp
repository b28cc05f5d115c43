#include "core/export/nutritionlabel.h"

#include "core/store/database.h"
#include "core/store/datasource.h"
#include "core/store/numbertext.h"
#include "core/store/queries.h"
#include "core/store/schema.h"

#include <QStringList>
#include <cmath>

namespace Export {

namespace {

struct Rule
{
    LabelItem item;
    QStringView name;
    QStringView unit;
    double zeroBelow; // per 100 g of dish, in the unit of the content it is tested on
    int places;       // decimals of the figure
};

// clang-format off
constexpr std::array<Rule, labelItemCount> rules{{
    {LabelItem::Energy,       u"熱量",       u"kcal", 5,   0},
    {LabelItem::Protein,      u"たんぱく質", u"g",    0.5, 1},
    {LabelItem::Fat,          u"脂質",       u"g",    0.5, 1},
    {LabelItem::Carbohydrate, u"炭水化物",   u"g",    0.5, 1},
    {LabelItem::Salt,         u"食塩相当量", u"g",    5,   1}, // sodium, mg
}};
// clang-format on

// Grams of salt per milligram of sodium.
constexpr double saltPerSodium = 2.54 / 1000;

// The content of an item in a dish, from its sums, in the unit of its "0"
// threshold (salt is tested on sodium). Unknown: a food's value is missing.
struct Content
{
    std::optional<double> sum;
    bool unknown = false;
};

Content contentOf(const Totals &t, LabelItem item)
{
    auto field = [&](const char *name) {
        const int i = nutrientIndex(name);
        return Content{t.sums[i] ? std::optional<double>(NumberText::significant15(*t.sums[i]))
                                 : std::nullopt,
                       t.unknown[i]};
    };
    switch (item) {
    case LabelItem::Energy: {
        // The labelling method: each energy-giving part times its factor.
        const Content protein = field("TAN");
        const Content fat = field("SST");
        const Content carbohydrate = contentOf(t, LabelItem::Carbohydrate);
        Content c;
        c.unknown = protein.unknown || fat.unknown || carbohydrate.unknown;
        if (!protein.sum && !fat.sum && !carbohydrate.sum)
            return c;
        static const int alcohol = Components::indexOf(u"ALC");
        const std::optional<double> &alcoholSum = t.components[alcohol];
        c.sum = NumberText::significant15(
            energyFactors.protein * protein.sum.value_or(0) +
            energyFactors.fat * fat.sum.value_or(0) +
            energyFactors.carbohydrate * carbohydrate.sum.value_or(0) +
            energyFactors.alcohol * (alcoholSum ? NumberText::significant15(*alcoholSum) : 0.0));
        return c;
    }
    case LabelItem::Protein:
        return field("TAN");
    case LabelItem::Fat:
        return field("SST");
    case LabelItem::Carbohydrate:
        return {t.labelCarbohydrate
                    ? std::optional<double>(NumberText::significant15(*t.labelCarbohydrate))
                    : std::nullopt,
                t.labelCarbohydrateUnknown};
    case LabelItem::Salt:
        return field("NA");
    }
    return {};
}

// The amount to one significant figure, half up: 0.25 is "0.3", 0.0045 "0.005".
QString oneSignificantFigure(double amount)
{
    const double value = NumberText::significant15(amount);
    int places = -int(std::floor(std::log10(value)));
    double rounded = NumberText::roundHalfUp(value, places);
    if (rounded >= std::pow(10.0, 1 - places))
        --places; // 0.00096 came to 0.0010
    rounded = NumberText::roundHalfUp(value, places);
    return NumberText::fixed(rounded, std::max(places, 0));
}

} // namespace

QString labelFigure(LabelItem item, double amount, double perHundred)
{
    const Rule &rule = rules[int(item)];
    if (NumberText::significant15(perHundred) < rule.zeroBelow)
        return QStringLiteral("0");
    int places = rule.places;
    if (item == LabelItem::Salt && NumberText::roundHalfUp(amount, 2) < 0.1)
        places = 2;
    const double rounded = NumberText::roundHalfUp(amount, places);
    if (rounded <= 0)
        return amount > 0 ? oneSignificantFigure(amount) : QStringLiteral("0");
    return NumberText::fixed(rounded, places);
}

QString labelBasis(std::optional<double> servingGrams)
{
    if (!servingGrams || *servingGrams <= 0)
        return QStringLiteral("100g当たり");
    return QStringLiteral("1食（%1g）当たり").arg(NumberText::general(*servingGrams));
}

NutritionLabel nutritionLabel(const Dish &dish)
{
    return nutritionLabel(dish.totals, dish.labelServing);
}

NutritionLabel nutritionLabel(const Totals &totals, std::optional<double> servingGrams)
{
    if (servingGrams && *servingGrams <= 0)
        servingGrams.reset();
    NutritionLabel label;
    label.basis = labelBasis(servingGrams);

    // Grams of dish: every line counts, as in the panel's weight.
    const std::optional<double> weight =
        totals.lineWeight ? std::optional<double>(NumberText::significant15(*totals.lineWeight))
                          : std::nullopt;
    const bool weighable = weight && *weight > 0;

    QStringList incomplete;
    for (int i = 0; i < labelItemCount; ++i) {
        const Rule &rule = rules[i];
        LabelRow &row = label.rows[i];
        row.item = rule.item;
        row.name = rule.name;
        row.unit = rule.unit;
        const Content content = contentOf(totals, rule.item);
        row.unknown = content.unknown;
        if (!weighable) {
            row.figure = QStringLiteral("-");
            continue;
        }
        if (!content.sum) {
            // Every food of the dish lacks this value.
            row.figure = QStringLiteral("-");
            row.unknown = true;
        } else {
            const double perHundred = *content.sum / *weight;
            double amount = servingGrams ? perHundred * *servingGrams / 100 : perHundred;
            if (rule.item == LabelItem::Salt)
                amount *= saltPerSodium;
            row.figure = labelFigure(rule.item, amount, perHundred);
        }
        if (row.unknown)
            incomplete << rule.name.toString();
    }
    if (!weighable)
        label.note = QStringLiteral("※ 重さのない料理には表示できません。");
    else if (!incomplete.isEmpty())
        label.note = QStringLiteral("※ %1は、値が未知（-）の食品を含まない値です。")
                         .arg(incomplete.join(QStringLiteral("・")));
    return label;
}

std::optional<double> storedServing(const QString &connection, qint64 dish)
{
    DataSource source;
    source.setConnectionString(connection);
    source.setRecordSource(Queries::labelBasis(dish));
    // A store made before label bases were kept has no such table: per 100 g.
    if (!source.refresh() || source.eof())
        return std::nullopt;
    bool ok = false;
    const double grams = source.value(0, 0).toDouble(&ok);
    if (!ok || !std::isfinite(grams) || grams <= 0)
        return std::nullopt;
    return grams;
}

bool storeServing(const QString &connection, qint64 dish, std::optional<double> servingGrams,
                  QString *error)
{
    const std::shared_ptr<Database> db = Database::open(connection, error);
    if (!db)
        return false;
    return db->write(
        [&](QString *e) {
            // A store made before label bases were kept gets the table here.
            return db->run(Schema::labelTableStatement(), {}, e) &&
                   db->run(Queries::storeLabelBasis(),
                           {dish, servingGrams ? 1 : 0,
                            servingGrams ? QVariant(*servingGrams) : QVariant()},
                           e);
        },
        error);
}

} // namespace Export
