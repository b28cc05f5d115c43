#pragma once

#include <QStringView>
#include <optional>

// The one reader of numbers that people type: quantities, nutrient values,
// ages, settings. Every box that takes a number reads it here, so that what
// is stored and what is counted are the same number.
namespace NumberReader {

// The whole text must be one number. Blanks around it are allowed; full-width
// digits, signs, point and comma (a Japanese input method's forms) read as
// their ASCII forms; thousands may be grouped with "," in groups of three
// ("1,000", "１，５００"). Anything else in the text ("2個", "1/2", "1e3"),
// an empty text or a value too large for a double gives nothing.
std::optional<double> number(QStringView text);

// A quantity as people write it in a recipe: a number as number() reads it,
// a fraction ("1/2", "１／２") or a whole number and a fraction joined by "と"
// ("1と1/2" is 1.5). Numerator and denominator are plain digits; a sign may
// only lead a plain number. A zero denominator gives nothing and, when asked
// for, sets *zeroDenominator.
std::optional<double> quantity(QStringView text, bool *zeroDenominator = nullptr);

// A key (dish, line, food, category): an optional sign and decimal digits
// only, blanks around allowed, full-width digits read as digits; nothing when
// the text is not such a whole number or does not fit 64 bits.
std::optional<qint64> key(QStringView text);

} // namespace NumberReader
