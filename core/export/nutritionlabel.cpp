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
        return {t.labelSodium ? std::optional<double>(NumberText::significant15(*t.labelSodium))
                              : std::nullopt,
                t.labelSodiumUnknown};
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

std::optional<double> number(const QVariant &value)
{
    bool ok = false;
    const double v = value.toDouble(&ok);
    return !value.isNull() && ok ? std::optional<double>(v) : std::nullopt;
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

std::optional<double> dishGrams(const Totals &totals, std::optional<double> finishedGrams)
{
    if (finishedGrams)
        return *finishedGrams > 0 && std::isfinite(*finishedGrams)
                   ? std::optional<double>(NumberText::significant15(*finishedGrams))
                   : std::nullopt;
    // Grams of dish: every line counts, as in the panel's weight.
    if (!totals.lineWeight)
        return std::nullopt;
    const double grams = NumberText::significant15(*totals.lineWeight * 100);
    return grams > 0 ? std::optional<double>(grams) : std::nullopt;
}

std::optional<double> basisGrams(const LabelBasis &basis, std::optional<double> dishWeight,
                                 double servings)
{
    switch (basis.kind) {
    case LabelBasis::Kind::Hundred:
        return 100.0;
    case LabelBasis::Kind::Meal:
        return basis.grams && *basis.grams > 0 ? basis.grams : std::optional<double>(100.0);
    case LabelBasis::Kind::Person:
        if (!dishWeight)
            return std::nullopt;
        return NumberText::significant15(*dishWeight / (servings > 0 ? servings : 1));
    }
    return std::nullopt;
}

QString labelBasis(const LabelBasis &basis, std::optional<double> grams)
{
    // The weight of one person's share, to the gram's tenth at most.
    const auto weight = [&] {
        return grams ? NumberText::general(NumberText::roundHalfUp(*grams, 1))
                     : QStringLiteral("-");
    };
    switch (basis.kind) {
    case LabelBasis::Kind::Hundred:
        break;
    case LabelBasis::Kind::Meal:
        if (basis.grams && *basis.grams > 0)
            return QStringLiteral("1食（%1g）当たり").arg(NumberText::general(*basis.grams));
        break;
    case LabelBasis::Kind::Person:
        return QStringLiteral("1人分（%1g）当たり").arg(weight());
    }
    return QStringLiteral("100g当たり");
}

QString labelBasis(std::optional<double> servingGrams)
{
    if (!servingGrams || *servingGrams <= 0)
        return labelBasis(LabelBasis{}, 100.0);
    return labelBasis(LabelBasis::meal(*servingGrams), servingGrams);
}

NutritionLabel nutritionLabel(const Dish &dish)
{
    return nutritionLabel(dish.totals, dish.labelBasis, dish.servings, dish.finishedGrams);
}

NutritionLabel nutritionLabel(const Totals &totals, std::optional<double> servingGrams)
{
    return nutritionLabel(
        totals, servingGrams && *servingGrams > 0 ? LabelBasis::meal(*servingGrams) : LabelBasis{},
        1, std::nullopt);
}

NutritionLabel nutritionLabel(const Totals &totals, const LabelBasis &basis, double servings,
                              std::optional<double> finishedGrams)
{
    NutritionLabel label;
    // Per 100 g of a dish with a finished weight is per 100 g of the cooked
    // dish; the contents are those of every line with a food.
    const std::optional<double> weight = dishGrams(totals, finishedGrams);
    const std::optional<double> grams = basisGrams(basis, weight, servings);
    label.basis = labelBasis(basis, grams);
    const bool weighable = weight && grams;

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
            const double perHundred = *content.sum / *weight * 100;
            double amount = perHundred * *grams / 100;
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
    // The weight of a line whose food was deleted counts, its nutrients
    // cannot: every figure is short of them.
    if (weighable && totals.linesWithoutFood > 0)
        label.note += (label.note.isEmpty() ? QString() : QStringLiteral("\n")) +
                      QStringLiteral("※ 削除された食品の材料（%1行）は、重さには数えていますが、"
                                     "栄養成分には含まれていません。")
                          .arg(totals.linesWithoutFood);
    return label;
}

LabelBasis storedBasis(const QString &connection, qint64 dish)
{
    DataSource source;
    source.setConnectionString(connection);
    source.setRecordSource(Queries::labelBasis(dish));
    // A store made before label bases were kept has no such table: per 100 g.
    if (!source.refresh() || source.eof())
        return {};
    return labelBasisOf(number(source.value(0, 0)), number(source.value(0, 1)));
}

bool storeBasis(const QString &connection, qint64 dish, const LabelBasis &basis, QString *error)
{
    const std::shared_ptr<Database> db = Database::open(connection, error);
    if (!db)
        return false;
    const bool meal = basis.kind == LabelBasis::Kind::Meal && basis.grams && *basis.grams > 0;
    const int kind = meal || basis.kind != LabelBasis::Kind::Meal ? int(basis.kind) : 0;
    return db->write(
        [&](QString *e) {
            // A store made before label bases were kept gets the table here.
            return db->run(Schema::labelTableStatement(), {}, e) &&
                   db->run(Queries::storeLabelBasis(),
                           {dish, kind, meal ? QVariant(*basis.grams) : QVariant()}, e);
        },
        error);
}

} // namespace Export
