#pragma once

#include <QString>
#include <optional>
#include <variant>

// How many people a dish is written for (人分) and, for a dish that loses or
// gains water in cooking, its weight once cooked (出来上がり重量). Per-100 g
// figures of a dish with a finished weight are per 100 g of the cooked dish.
namespace Portion {

inline constexpr double maxServings = 1000;

struct Refusal
{
    QString message; // names the box
};

// The 人分 box: a number above 0 and at most 1,000.
std::variant<double, Refusal> readServings(const QString &text);

// The 出来上がり重量 box: empty for none; otherwise grams, at least 1 % and at
// most 10 times the weight of the lines (lineGrams).
std::variant<std::optional<double>, Refusal> readFinishedWeight(const QString &text,
                                                                double lineGrams);

// What a per-100 g figure divides by: the finished weight when there is one,
// else the lines' weight; nothing when that is not above 0.
std::optional<double> hundreds(double lineGrams, std::optional<double> finishedGrams);

// The dish total of a value divided among the servings.
inline double perServing(double total, double servings)
{
    return servings > 0 ? total / servings : total;
}

// The text of a stored number of servings or finished weight.
QString servingsText(double servings);
QString finishedWeightText(std::optional<double> grams);

} // namespace Portion
