#include "core/nutrition/nutrientsheet.h"

#include "core/dish/portion.h"
#include "core/store/numbertext.h"

#include <cmath>

namespace NutrientSheet {

QList<Row> rows(const DishComponents::Totals &totals, double servings,
                std::optional<double> finishedGrams, const Intakes::Table &table,
                const Intakes::Person &person, Basis basis)
{
    const std::optional<double> hundreds = Portion::hundreds(totals.grams, finishedGrams);
    QList<Row> list;
    list.reserve(Components::count);
    for (int i = 0; i < Components::count; ++i) {
        Row row;
        row.component = i;
        row.unknownFoods = totals.unknownFoods[i];
        row.total = totals.sums[i];
        if (row.total) {
            row.serving = Portion::perServing(*row.total, servings);
            if (hundreds)
                row.perHundredGrams = *row.total / *hundreds;
        }
        const QString nutrient = Intakes::nutrientOf(i);
        if (!nutrient.isEmpty())
            row.standard = table.of(nutrient, person);
        const std::optional<double> judged = basis == Basis::Dish      ? row.total
                                             : basis == Basis::Hundred ? row.perHundredGrams
                                                                       : row.serving;
        if (judged) {
            row.verdict = Intakes::judge(*judged, row.standard);
            if (const auto reference = row.standard.reference(); reference && *reference > 0)
                row.ratio = *judged / *reference * 100;
        }
        list.append(row);
    }
    return list;
}

QString basisText(Basis basis)
{
    switch (basis) {
    case Basis::Serving:
        return QStringLiteral("1人分を1日の基準と");
    case Basis::Dish:
        return QStringLiteral("料理全体を1日分として");
    case Basis::Hundred:
        return QStringLiteral("100gを1日の基準と");
    }
    return QString();
}

QString figure(int component, std::optional<double> value)
{
    if (!value || !std::isfinite(*value))
        return QString();
    const int decimals = Components::all[component].decimals;
    return NumberText::grouped(NumberText::roundHalfUp(*value, decimals), decimals);
}

Balance balance(const DishComponents::Totals &totals, double servings, const Intakes::Table &table,
                const Intakes::Person &person)
{
    Balance b;
    b.shares = DishComponents::balance(totals);
    const std::optional<double> energy = totals.sums[Components::indexOf(u"ENERC_KCAL")];
    b.energyDish = energy;
    if (energy)
        b.energyServing = Portion::perServing(*energy, servings);
    b.goals = Intakes::balanceGoals(table, person);
    const auto judged = [](std::optional<double> share, const Intakes::Standard &goal) {
        return share ? Intakes::judge(*share, goal) : Intakes::Verdict::None;
    };
    b.protein = judged(b.shares.protein, b.goals.protein);
    b.fat = judged(b.shares.fat, b.goals.fat);
    b.carbohydrate = judged(b.shares.carbohydrate, b.goals.carbohydrate);
    return b;
}

QString shareText(const QString &letter, std::optional<double> share, const Intakes::Standard &goal)
{
    QString text =
        letter + QLatin1Char(' ') +
        (share ? NumberText::grouped(NumberText::roundHalfUp(*share, 1), 1) + QStringLiteral(" %")
               : QStringLiteral("-"));
    if (goal.dgMin && goal.dgMax)
        text += QStringLiteral("（目標量 %1～%2）")
                    .arg(NumberText::general(*goal.dgMin), NumberText::general(*goal.dgMax));
    else
        text += QStringLiteral("（目標量なし）");
    return text;
}

QStringList shareTexts(const Balance &b)
{
    const auto text = [](const char *letter, std::optional<double> share,
                         const Intakes::Standard &goal, Intakes::Verdict verdict) {
        const QString judged = Intakes::verdictText(verdict);
        const QString text = shareText(QLatin1String(letter), share, goal);
        return judged.isEmpty() ? text : text + QLatin1Char(' ') + judged;
    };
    return {text("P", b.shares.protein, b.goals.protein, b.protein),
            text("F", b.shares.fat, b.goals.fat, b.fat),
            text("C", b.shares.carbohydrate, b.goals.carbohydrate, b.carbohydrate)};
}

QString balanceText(const Balance &b)
{
    return shareTexts(b).join(QStringLiteral("　"));
}

} // namespace NutrientSheet
