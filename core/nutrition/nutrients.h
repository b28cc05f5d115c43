#pragma once

#include <QLatin1StringView>
#include <QStringView>
#include <array>
#include <optional>

// The 23 nutrient values a food carries per 100 g, once for the whole
// program: the store's field, how the windows name it, its unit, whether the
// food search ranks foods by it and on which axis of the comparison chart it
// is drawn. The order is the food editor's (its boxes data 0 to 22).
namespace Nutrients {

struct Nutrient
{
    QLatin1StringView field; // eys column
    QStringView label;       // the food editor's row caption (empty: shares the row above)
    QStringView rankingName; // the food search's name; empty when not ranked
    QStringView unit;        // as the food editor shows it
    int rank;                // place in the food search's list, -1 when not ranked
    int chartAxis;           // axis of the comparison chart, -1 when not drawn
};

inline constexpr int count = 23;
inline constexpr int rankedCount = 22;
inline constexpr int chartAxisCount = 9;

using namespace Qt::StringLiterals;

// clang-format off
inline constexpr std::array<Nutrient, count> all{{
    {"ENC"_L1, u"ｴﾈﾙｷﾞｰ",        u"ｴﾈﾙｷﾞｰ",         u"Kcal", 0,  0},
    {"SUI"_L1, u"水分",          u"水分",           u"g",    1,  -1},
    {"TAN"_L1, u"ﾀﾝﾊﾟｸ質",       u"ﾀﾝﾊﾟｸ質",        u"g",    2,  1},
    {"SST"_L1, u"脂質",          u"脂質",           u"g",    3,  -1},
    {"TST"_L1, u"炭水化物",      u"炭水化物：糖質", u"g",    4,  -1},
    {"TSS"_L1, u"",              u"炭水化物：繊維", u"g",    5,  -1},
    {"KBN"_L1, u"灰分",          u"灰分",           u"g",    6,  -1},
    {"CA"_L1,  u"ｶﾙｼｳﾑ",         u"ｶﾙｼｳﾑ",          u"mg",   8,  2},
    {"P"_L1,   u"ﾘﾝ",            u"ﾘﾝ",             u"mg",   9,  -1},
    {"FE"_L1,  u"鉄",            u"鉄",             u"mg",   10, 3},
    {"NA"_L1,  u"ﾅﾄﾘｳﾑ",         u"ﾅﾄﾘｳﾑ",          u"mg",   11, -1},
    {"K"_L1,   u"ｶﾘｳﾑ",          u"ｶﾘｳﾑ",           u"mg",   12, -1},
    {"VAR"_L1, u"ﾋﾞﾀﾐﾝA：ﾚﾁﾉｰﾙ", u"ﾚﾁﾉｰﾙ",          u"μg",   13, -1},
    {"VAC"_L1, u"ﾋﾞﾀﾐﾝA：ｶﾛﾃﾝ",  u"ｶﾛﾁﾝ",           u"μg",   14, -1},
    {"VAK"_L1, u"ﾋﾞﾀﾐﾝA効力",    u"ﾋﾞﾀﾐﾝA",         u"IU",   15, 4},
    {"VE"_L1,  u"ﾋﾞﾀﾐﾝE効力",    u"ﾋﾞﾀﾐﾝE",         u"mg",   16, -1},
    {"VB1"_L1, u"ﾋﾞﾀﾐﾝB1",       u"ﾋﾞﾀﾐﾝB1",        u"mg",   17, 5},
    {"VB2"_L1, u"ﾋﾞﾀﾐﾝB2",       u"ﾋﾞﾀﾐﾝB2",        u"mg",   18, 6},
    {"NAI"_L1, u"ﾅｲｱｼﾝ",         u"ﾅｲｱｼﾝ",          u"mg",   19, 7},
    {"VC"_L1,  u"ﾋﾞﾀﾐﾝC",        u"ﾋﾞﾀﾐﾝC",         u"mg",   20, 8},
    {"FIB"_L1, u"食物繊維",      u"",               u"g",    -1, -1},
    {"COL"_L1, u"ｺﾚｽﾃﾛｰﾙ",       u"ｺﾚｽﾃﾛｰﾙ",        u"mg",   7,  -1},
    {"NAT"_L1, u"食塩相当量",    u"食塩相当量",     u"g",    21, -1},
}};
// clang-format on

// The ranked nutrients in the food search's order.
const std::array<const Nutrient *, rankedCount> &ranked();
// The charted nutrients in axis order.
const std::array<const Nutrient *, chartAxisCount> &charted();

// The nutrient of a store field (case-insensitive); nothing for another name.
const Nutrient *byField(QStringView field);
// The ranked nutrient the food search names so; nothing for another text.
const Nutrient *byRankingName(QStringView name);

} // namespace Nutrients
