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

// A key (dish, line, food, category): an optional sign and decimal digits
// only, blanks around allowed, full-width digits read as digits; nothing when
// the text is not such a whole number or does not fit 64 bits.
std::optional<qint64> key(QStringView text);

} // namespace NumberReader
