#include "core/search/kana.h"

#include <QHash>

namespace {

constexpr char16_t firstHiragana = 0x3041; // ぁ
constexpr char16_t lastHiragana = 0x3096;  // ゖ
constexpr char16_t hiraganaToKatakana = 0x60;

// Full-width katakana, punctuation and sound marks to their half-width forms.
// Built from the compatibility decomposition of the half-width block, so that
// the table and the stored readings agree by construction.
const QHash<char16_t, char16_t> &halfWidthOf()
{
    static const QHash<char16_t, char16_t> table = [] {
        QHash<char16_t, char16_t> map;
        for (char16_t half = 0xFF61; half <= 0xFF9F; ++half) {
            const QString wide = QString(QChar(half)).normalized(QString::NormalizationForm_KC);
            if (wide.size() == 1)
                map.insert(wide.at(0).unicode(), half);
        }
        // The spacing sound marks, and letters that have no half-width form of
        // their own: the nearest half-width letter stands for them.
        map.insert(0x309B, 0xFF9E); // ゛
        map.insert(0x309C, 0xFF9F); // ゜
        map.insert(0x30EE, 0xFF9C); // ヮ -> ﾜ
        map.insert(0x30F0, 0xFF72); // ヰ -> ｲ
        map.insert(0x30F1, 0xFF74); // ヱ -> ｴ
        map.insert(0x30F5, 0xFF76); // ヵ -> ｶ
        map.insert(0x30F6, 0xFF79); // ヶ -> ｹ
        return map;
    }();
    return table;
}

void appendHalfWidth(QString &out, char16_t c)
{
    if (c >= firstHiragana && c <= lastHiragana)
        c = char16_t(c + hiraganaToKatakana);
    else if (c == 0x309D || c == 0x309E) // ゝ ゞ
        c = char16_t(c + hiraganaToKatakana);

    if (c >= 0xFF01 && c <= 0xFF5E) { // full-width ASCII
        out += QChar(char16_t(c - 0xFEE0));
        return;
    }
    if (c == 0x3000) {
        out += QLatin1Char(' ');
        return;
    }
    const auto &table = halfWidthOf();
    const auto found = table.constFind(c);
    if (found != table.constEnd()) {
        out += QChar(*found);
        return;
    }
    if (c >= 0x30A0 && c <= 0x30FF) {
        // A voiced or semi-voiced katakana: its canonical decomposition is the
        // base letter and the combining mark, both of which have half-width forms.
        const QString parts = QString(QChar(c)).normalized(QString::NormalizationForm_D);
        if (parts.size() > 1) {
            bool all = true;
            for (QChar part : parts)
                all = all && table.contains(part.unicode());
            if (all) {
                for (QChar part : parts)
                    out += QChar(table.value(part.unicode()));
                return;
            }
        }
    }
    out += QChar(c);
}

} // namespace

namespace Kana {

QString toHalfWidth(const QString &text)
{
    QString out;
    out.reserve(text.size() * 2);
    for (QChar c : text)
        appendHalfWidth(out, c.unicode());
    return out;
}

} // namespace Kana
