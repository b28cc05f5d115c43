#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The recommended daily intakes (日本人の食事摂取基準, MHLW) by age group and
// sex, read from two tables of the same layout: the current edition and the
// previous one. The store's standards (kij) hold one row per age 1 to 80 and
// sex; the age groups are expanded (the open group "75以上" covers 75 to 80).
namespace Standards {

constexpr int youngestAge = 1;
constexpr int oldestAge = 80;

// One row of kij. Vitamin A is in international units (µg RAE × 10 ÷ 3), as
// the foods' VAK, so that the comparison sets like against like.
struct Row
{
    int age = 0;
    int sex = 0; // 1 male, 0 female
    double tal = 0, wei = 0, cal = 0, tan = 0, ca = 0, fe = 0, va = 0, vb1 = 0, vb2 = 0, nai = 0,
           vc = 0;
};

struct Table
{
    QList<Row> rows; // age 1..80, for each age male then female
    // The cells taken from the previous edition, one text per cell of an age
    // group, e.g. "height_cm 6-7歳 男性".
    QStringList fromPrevious;
};

// Reads the current and previous editions. Every value comes from the current
// edition; only where the current edition has no value for the reference
// height or vitamins B1, B2 and niacin is the previous edition's value of the
// same age group taken. Nothing is computed or guessed: a value missing from
// both, a header it does not know, a text that is not a number or an age left
// uncovered stops the reading with a message naming file, row and column.
bool read(const QString &currentCsv, const QString &previousCsv, Table *table, QString *error);

} // namespace Standards
