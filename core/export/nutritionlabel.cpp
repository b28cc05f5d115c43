#include "core/export/nutritionlabel.h"

#include "core/store/numbertext.h"

#include <QStringList>

namespace Export {

namespace {

struct Rule
{
    LabelItem item;
    QStringView name;
    QStringView unit;
    double zeroBelow; // per 100 g of dish
};

// clang-format off
constexpr std::array<Rule, labelItemCount> rules{{
    {LabelItem::Energy,       u"熱量",       u"kcal", 5},
    {LabelItem::Protein,      u"たんぱく質", u"g",    0.5},
    {LabelItem::Fat,          u"脂質",       u"g",    0.5},
    {LabelItem::Carbohydrate, u"炭水化物",   u"g",    0.5},
    {LabelItem::Salt,         u"食塩相当量", u"g",    0.0127},
}};
// clang-format on

// The content of an item in a dish, from its sums; carbohydrate is sugar
// plus fibre. Unknown: a food's value is missing. Where a food has no fibre
// value its sugar already holds the whole carbohydrate, so only a missing
// sugar makes the carbohydrate incomplete.
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
    case LabelItem::Energy:
        return field("ENC");
    case LabelItem::Protein:
        return field("TAN");
    case LabelItem::Fat:
        return field("SST");
    case LabelItem::Carbohydrate: {
        const Content sugar = field("TST");
        const Content fibre = field("TSS");
        Content c;
        if (sugar.sum || fibre.sum)
            c.sum = sugar.sum.value_or(0) + fibre.sum.value_or(0);
        c.unknown = sugar.unknown;
        return c;
    }
    case LabelItem::Salt:
        return field("NAT");
    }
    return {};
}

} // namespace

QString labelFigure(LabelItem item, double amount, double perHundred)
{
    const Rule &rule = rules[int(item)];
    if (NumberText::significant15(perHundred) < rule.zeroBelow)
        return QStringLiteral("0");
    switch (item) {
    case LabelItem::Energy:
        return NumberText::fixed(NumberText::roundHalfUp(amount, 0), 0);
    case LabelItem::Salt: {
        const double hundredths = NumberText::roundHalfUp(amount, 2);
        if (hundredths < 0.1)
            return NumberText::fixed(hundredths, 2);
        return NumberText::fixed(NumberText::roundHalfUp(amount, 1), 1);
    }
    default:
        return NumberText::fixed(NumberText::roundHalfUp(amount, 1), 1);
    }
}

QString labelBasis(std::optional<double> servingGrams)
{
    if (!servingGrams || *servingGrams <= 0)
        return QStringLiteral("100g当たり");
    return QStringLiteral("1食（%1g）当たり").arg(NumberText::general(*servingGrams));
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
            const double amount = servingGrams ? perHundred * *servingGrams / 100 : perHundred;
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

} // namespace Export
