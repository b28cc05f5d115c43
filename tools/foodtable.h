#pragma once

#include "core/nutrition/components.h"

#include <QList>
#include <QMap>
#include <QString>
#include <array>
#include <optional>

// The official food composition table (日本食品標準成分表, MEXT) as published in
// Excel: one row per food, each value column named by its tag in the tag row
// (成分識別子), each cell shown as a number or a marker. This file is also the
// one place that says which column fills which field of the store.
namespace FoodTable {

// A value as the store keeps it: a number, or none (not determined), and how
// the table wrote it.
struct Value
{
    using Marker = Components::Marker;
    bool known = false;
    double number = 0;
    int decimals = 0; // decimals as published, to keep sums of two values clean
    Marker marker = Marker::Unknown;

    static Value none(Marker marker = Marker::Unknown) { return {false, 0, 0, marker}; }
    static Value of(double number, int decimals, Marker marker = Marker::Plain)
    {
        return {true, number, decimals, marker};
    }
};

// Reads one displayed value cell. A number in parentheses (estimated) is that
// number; "Tr" and "(Tr)" (trace) are 0; "(0)" (estimated none) is 0; "-" (not
// determined) and "*" (see the remarks) are no value; "†" (measured by the
// prescribed method) is dropped from its number. The marker says which it was.
// Anything else is nullopt.
std::optional<Value> parseCell(const QString &text);

// Every column tag the table has, as written in its tag row (trimmed).
constexpr int tagCount = 54;
extern const char *const tags[tagCount];
int tagIndex(const QString &tag); // -1 for an unknown tag

// How a field of the store is made from the table.
enum class Rule {
    Copy,                  // the column's value
    CarbohydrateLessFibre, // CHOCDF- minus FIB-, never below 0; CHOCDF- when fibre is unknown
    RetinolActivityToIu,   // µg retinol activity equivalents × 10 ÷ 3 (international units)
};

struct FieldMapping
{
    const char *field; // eys field
    const char *tag;   // table column
    Rule rule;
};

// The food values of the store (eys), in the store's field order, and where
// each comes from. The key SID is the food number, SNM the food name and BID
// the food group.
constexpr int fieldCount = 24;
extern const FieldMapping fieldMappings[fieldCount];

struct Food
{
    int number = 0; // 食品番号: 01001 is 1001
    QString name;   // 食品名 as published
    int group = 0;  // 食品群, 1-18
    std::array<Value, tagCount> values;
    QString remarks; // 備考, as published
};

// Grams per 100 mL, where the food's remarks give them
// (「(100 g：… mL、100 mL：… g)」).
std::optional<double> density(const Food &food);

// The store's value of one field of a food.
Value fieldValue(const Food &food, const FieldMapping &mapping);

// The value of a component (Components::all) of a food, as the table gives it.
Value componentValue(const Food &food, int component);

struct Table
{
    QList<Food> foods;         // in the order of the sheet
    QMap<int, QString> groups; // group number -> name, from the per-group sheet names
};

// The name a food is listed by: its published name without the leading
// bracketed group ("＜畜肉類＞　うし　［和牛肉］…" is "うし　［和牛肉］…"), which the
// category list already shows. A name without such a part is unchanged.
QString listedName(const QString &publishedName);

// The listed name of every food, in the order given. Where two foods would be
// listed alike, or a name would be empty, the published name is kept, so the
// names stay as distinct as the published ones.
QStringList listedNames(const QList<Food> &foods);

// The sheet that holds every food.
inline const QString mainSheet = QStringLiteral("表全体");

// Reads the workbook. Stops at the first fault (a missing sheet, a header it
// does not know, a cell that is neither a number nor a marker, a malformed or
// repeated food number) with a message naming sheet, row and column.
bool read(const QString &xlsxPath, Table *table, QString *error);

} // namespace FoodTable
