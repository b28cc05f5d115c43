#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

// Every component of the official food table's main table, once for the whole
// program, in the table's order: its code (the table's own tag, 成分識別子,
// without the trailing "-"), where the store keeps it, its Japanese name and
// unit as the windows, exports and the label show them, and the decimals a
// figure is shown with. A component that one of the food's 23 value fields
// already holds is kept there (eys) and nowhere else, so that the food editor,
// the totals and this table always agree; every other component is a column of
// the component table sbn, named by its code. sbn.MRK keeps how the table wrote
// each value (one character per component, in this order).
namespace Components {

struct Component
{
    QLatin1StringView code;  // sbn column, when field is empty
    QLatin1StringView field; // the eys field that holds it; empty: sbn
    QStringView name;
    QStringView unit;
    int decimals;

    bool inFoodRow() const { return !field.isEmpty(); }
};

inline constexpr int count = 54;

using namespace Qt::StringLiterals;

// clang-format off
inline constexpr std::array<Component, count> all{{
    {"REFUSE"_L1, ""_L1,     u"廃棄率",                         u"%", 0},
    {"ENERC"_L1, "ENJ"_L1,      u"エネルギー",                     u"kJ", 0},
    {"ENERC_KCAL"_L1, "ENC"_L1, u"エネルギー",                     u"kcal", 0},
    {"WATER"_L1, "SUI"_L1,      u"水分",                           u"g", 1},
    {"PROTCAA"_L1, ""_L1,    u"アミノ酸組成によるたんぱく質",   u"g", 1},
    {"PROT"_L1, "TAN"_L1,       u"たんぱく質",                     u"g", 1},
    {"FATNLEA"_L1, ""_L1,    u"脂肪酸のトリアシルグリセロール当量", u"g", 1},
    {"CHOLE"_L1, "COL"_L1,      u"コレステロール",                 u"mg", 0},
    {"FAT"_L1, "SST"_L1,        u"脂質",                           u"g", 1},
    {"CHOAVLM"_L1, ""_L1,    u"利用可能炭水化物（単糖当量）",   u"g", 1},
    {"CHOAVL"_L1, ""_L1,     u"利用可能炭水化物（質量計）",     u"g", 1},
    {"CHOAVLDF"_L1, ""_L1,   u"差引き法による利用可能炭水化物", u"g", 1},
    {"FIB"_L1, "FIB"_L1,        u"食物繊維総量",                   u"g", 1},
    {"POLYL"_L1, ""_L1,      u"糖アルコール",                   u"g", 1},
    {"CHOCDF"_L1, ""_L1,     u"炭水化物",                       u"g", 1},
    {"OA"_L1, ""_L1,         u"有機酸",                         u"g", 1},
    {"ASH"_L1, "KBN"_L1,        u"灰分",                           u"g", 1},
    {"NA"_L1, "NA"_L1,         u"ナトリウム",                     u"mg", 0},
    {"K"_L1, "K"_L1,          u"カリウム",                       u"mg", 0},
    {"CA"_L1, "CA"_L1,         u"カルシウム",                     u"mg", 0},
    {"MG"_L1, ""_L1,         u"マグネシウム",                   u"mg", 0},
    {"P"_L1, "P"_L1,          u"リン",                           u"mg", 0},
    {"FE"_L1, "FE"_L1,         u"鉄",                             u"mg", 1},
    {"ZN"_L1, ""_L1,         u"亜鉛",                           u"mg", 1},
    {"CU"_L1, ""_L1,         u"銅",                             u"mg", 2},
    {"MN"_L1, ""_L1,         u"マンガン",                       u"mg", 2},
    {"ID"_L1, ""_L1,         u"ヨウ素",                         u"μg", 0},
    {"SE"_L1, ""_L1,         u"セレン",                         u"μg", 0},
    {"CR"_L1, ""_L1,         u"クロム",                         u"μg", 0},
    {"MO"_L1, ""_L1,         u"モリブデン",                     u"μg", 0},
    {"RETOL"_L1, "VAR"_L1,      u"レチノール",                     u"μg", 0},
    {"CARTA"_L1, ""_L1,      u"α-カロテン",                    u"μg", 0},
    {"CARTB"_L1, ""_L1,      u"β-カロテン",                    u"μg", 0},
    {"CRYPXB"_L1, ""_L1,     u"β-クリプトキサンチン",          u"μg", 0},
    {"CARTBEQ"_L1, "VAC"_L1,    u"β-カロテン当量",                u"μg", 0},
    {"VITA_RAE"_L1, "VAK"_L1,   u"ビタミンA（レチノール活性当量）", u"μgRAE", 0},
    {"VITD"_L1, ""_L1,       u"ビタミンD",                      u"μg", 1},
    {"TOCPHA"_L1, "VE"_L1,     u"ビタミンE（α-トコフェロール）", u"mg", 1},
    {"TOCPHB"_L1, ""_L1,     u"β-トコフェロール",              u"mg", 1},
    {"TOCPHG"_L1, ""_L1,     u"γ-トコフェロール",              u"mg", 1},
    {"TOCPHD"_L1, ""_L1,     u"δ-トコフェロール",              u"mg", 1},
    {"VITK"_L1, ""_L1,       u"ビタミンK",                      u"μg", 0},
    {"THIA"_L1, "VB1"_L1,       u"ビタミンB1",                     u"mg", 2},
    {"RIBF"_L1, "VB2"_L1,       u"ビタミンB2",                     u"mg", 2},
    {"NIA"_L1, ""_L1,        u"ナイアシン",                     u"mg", 1},
    {"NE"_L1, "NAI"_L1,         u"ナイアシン当量",                 u"mgNE", 1},
    {"VITB6A"_L1, ""_L1,     u"ビタミンB6",                     u"mg", 2},
    {"VITB12"_L1, ""_L1,     u"ビタミンB12",                    u"μg", 1},
    {"FOL"_L1, ""_L1,        u"葉酸",                           u"μg", 0},
    {"PANTAC"_L1, ""_L1,     u"パントテン酸",                   u"mg", 2},
    {"BIOT"_L1, ""_L1,       u"ビオチン",                       u"μg", 1},
    {"VITC"_L1, "VC"_L1,       u"ビタミンC",                      u"mg", 0},
    {"ALC"_L1, ""_L1,        u"アルコール",                     u"g", 1},
    {"NACL_EQ"_L1, "NAT"_L1,    u"食塩相当量",                     u"g", 1},
}};
// clang-format on

// The place of a component in all, by its code (case-insensitive); -1 for
// another name.
int indexOf(QStringView code);

// The waste ratio is a property of the food as bought, not an amount in it:
// it is never summed over a dish.
inline constexpr int refuse = 0;
inline bool isAmount(int index)
{
    return index != refuse;
}

// Vitamin A is kept in eys.VAK in international units: µg RAE × 10 ÷ 3.
inline constexpr int retinolActivity = 35;
double fromField(int index, double fieldValue);
double toField(int index, double value);

// How the table wrote a value; one character per component in sbn.MRK.
enum class Marker : char {
    Plain = ' ',          // a number as published
    Estimated = '(',      // a number in parentheses: estimated, "(0)" included
    Trace = 'T',          // "Tr": present in traces, counted as 0
    EstimatedTrace = 't', // "(Tr)"
    Unknown = '-',        // "-": not determined; no value
    SeeRemarks = '*',     // "*": a value the remarks explain; no value
    Prescribed = '+',     // "†": measured by the prescribed method
};

// One stored value: a number, or none (unknown), and how it was written.
struct Value
{
    std::optional<double> number;
    Marker marker = Marker::Unknown;

    bool known() const { return number.has_value(); }
};

// The marker of a component in an sbn.MRK text; Unknown past its end.
Marker markerAt(const QString &markers, int index);
// The MRK text of a full set of markers.
QString markerText(const std::array<Marker, count> &markers);

// A value as the table writes it: "-", "Tr", "(Tr)", "(1.2)", "12.3†" or
// "12.3"; the number with the component's decimals.
QString text(const Value &value, int index);

// Reads a value typed into the food editor: empty or "-" is unknown, "Tr" and
// "(Tr)" are 0, a number in parentheses is estimated; a negative number or any
// other text is nothing (the caller refuses it).
std::optional<Value> parse(const QString &text);

} // namespace Components
