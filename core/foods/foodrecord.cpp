#include "core/foods/foodrecord.h"

#include "core/nutrition/nutrients.h"
#include "core/search/kana.h"
#include "core/store/numberreader.h"

#include <cmath>

namespace FoodRecord {

QString newFoodValueText()
{
    return QStringLiteral("0");
}

QString valueField(int index)
{
    return index >= 0 && index < valueCount ? QString(Nutrients::all[index].field) : QString();
}

QString valueCaption(int index)
{
    if (index < 0 || index >= valueCount)
        return QString();
    // The two carbohydrate rows share one label; the search's names tell
    // them apart.
    const Nutrients::Nutrient &nutrient = Nutrients::all[index];
    return (index == 4 || index == 5 ? nutrient.rankingName : nutrient.label).toString();
}

std::optional<Problem> check(const QString &name, const std::array<QString, valueCount> &values)
{
    if (name.isEmpty())
        return Problem{-1, QStringLiteral("食品名を入力してください")};
    for (int i = 0; i < valueCount; ++i) {
        const QString &text = values[i];
        if (text.trimmed().isEmpty())
            continue; // no value
        const std::optional<double> number = NumberReader::number(text);
        if (number && std::isfinite(*number) && *number >= 0)
            continue;
        const QString what = number && std::isfinite(*number) ? QStringLiteral("0以上の数値")
                                                              : QStringLiteral("数値");
        return Problem{i, QStringLiteral("「%1」には%2を入力してください（入力された値:「%3」）。")
                              .arg(valueCaption(i), what, text)};
    }
    return std::nullopt;
}

std::optional<double> valueOf(const QString &text)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    return NumberReader::number(text);
}

QString readingToStore(const QString &typed)
{
    return Kana::toHalfWidth(typed);
}

} // namespace FoodRecord
