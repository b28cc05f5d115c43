#pragma once

#include <QString>

// The reading of a food is stored in half-width katakana, the form the
// reading boxes are typed in. Text typed or pasted in another form is folded
// to that form before it is compared with stored readings.
namespace Kana {

// Hiragana and full-width katakana become half-width katakana (voiced and
// semi-voiced syllables as base letter plus ﾞ or ﾟ, separate marks included);
// full-width letters, digits, signs and the ideographic space become their
// ASCII forms. Everything else is kept as it is.
QString toHalfWidth(const QString &text);

} // namespace Kana
