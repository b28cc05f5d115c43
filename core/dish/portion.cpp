#include "core/dish/portion.h"

#include "core/store/numberreader.h"
#include "core/store/numbertext.h"

#include <cmath>

namespace Portion {

std::variant<double, Refusal> readServings(const QString &text)
{
    const std::optional<double> n = NumberReader::quantity(text);
    if (!n || !std::isfinite(*n))
        return Refusal{QStringLiteral("「人分」欄には数値だけを入力してください"
                                      "（入力された値:「%1」）。")
                           .arg(text)};
    if (*n <= 0 || *n > maxServings)
        return Refusal{QStringLiteral("「人分」欄には 0 より大きく 1,000 以下の数を入力して"
                                      "ください（入力された値:「%1」）。")
                           .arg(text)};
    return *n;
}

std::variant<std::optional<double>, Refusal> readFinishedWeight(const QString &text,
                                                                double lineGrams)
{
    if (text.trimmed().isEmpty())
        return std::optional<double>();
    const std::optional<double> g = NumberReader::quantity(text);
    if (!g || !std::isfinite(*g))
        return Refusal{QStringLiteral("「出来上がり重量」欄には数値（グラム）だけを入力して"
                                      "ください（入力された値:「%1」）。")
                           .arg(text)};
    if (*g < 0)
        return Refusal{QStringLiteral("「出来上がり重量」欄にはマイナスの数値を入力できません"
                                      "（入力された値:「%1」）。")
                           .arg(text)};
    if (!(lineGrams > 0) || *g < lineGrams / 100 || *g > lineGrams * 10)
        return Refusal{QStringLiteral("「出来上がり重量」欄の %1 g は材料の重さ %2 g の 1 %"
                                      "から 10 倍までにしてください。")
                           .arg(NumberText::general(*g), NumberText::general(lineGrams))};
    return std::optional<double>(*g);
}

std::optional<double> hundreds(double lineGrams, std::optional<double> finishedGrams)
{
    const double grams = finishedGrams ? *finishedGrams : lineGrams;
    if (!(grams > 0) || !std::isfinite(grams))
        return std::nullopt;
    return grams / 100;
}

QString servingsText(double servings)
{
    return NumberText::general(servings);
}

QString finishedWeightText(std::optional<double> grams)
{
    return grams ? NumberText::general(*grams) : QString();
}

} // namespace Portion
