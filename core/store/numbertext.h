#pragma once

#include <QString>
#include <optional>

// Number texts as the program writes and reads them in its boxes.
namespace NumberText {

// General decimal form: "." as decimal point, no grouping, no trailing zeros,
// at most 15 significant digits (150, 12.3, 0.75). Never an exponent: a very
// large or very small value is written out in full. A value that is not
// finite has no text (empty).
QString general(double value);

// Full-width digits, point, comma, signs and blanks (as a Japanese input
// method gives them) folded to their ASCII forms; other characters unchanged.
QString foldWidth(const QString &text);

// The leading-number reading: blanks ignored, "." as decimal point, stops at
// the first character that cannot continue the number; 0 for empty or
// non-numeric text. Full-width digits read as digits. Only for texts the
// program reads leniently by rule (chart captions, the settings file); typed
// numbers are read by NumberReader.
double leading(const QString &text);

// The value as its 15 significant decimal digits read back, the form every
// number text shows.
double significant15(double value);
// The largest integer not above the value taken at 15 significant digits, so
// that a product such as 0.285 * 100 (28.499999999999996) counts as 28.5.
double floor15(double value);

// Rounds half up to the given number of decimals: multiply by 10^n, add 0.5,
// take the largest integer not above (floor15), divide by 10^n.
double roundHalfUp(double value, int decimals);

// A display pattern of fixed decimals with or without thousands grouping
// ("#,##0" is grouped(v, 0), "0.0000" is fixed(v, 4)); halves are rounded away
// from zero on the value's 15-digit decimal form, as a display pattern does.
QString grouped(double value, int decimals);
QString fixed(double value, int decimals);

} // namespace NumberText
