#pragma once

#include <QString>
#include <array>
#include <optional>

// One food of the food table as the food editor shows it: name, reading,
// category and the 23 values per 100 g, and the rules a food must pass
// before it is stored.
namespace FoodRecord {

inline constexpr int valueCount = 23; // the nutrient table's order

// The category a new food starts in.
inline constexpr qint64 newFoodCategory = 20;
// The text every value box of a new food starts with.
QString newFoodValueText();

// The field and caption of value box i (the two carbohydrate rows are told
// apart by what they hold).
QString valueField(int index);
QString valueCaption(int index);

// What is wrong with a food as typed, and where: box -1 is the name, 0 to 22
// the value boxes.
struct Problem
{
    int box;
    QString message;
};

// The name must not be empty (a name of blanks is a name) nor hold a control
// character; a value box must be empty (no value) or hold one number of zero
// or more, read as people type numbers, and no larger than a food can hold
// per 100 g (gram components 100 g each and, the solids, together; energy
// 900 kcal; the others ten times the official table's largest). The first
// problem found, in box order; nothing when the food may be stored.
std::optional<Problem> check(const QString &name, const std::array<QString, valueCount> &values);

// The message for a value typed as typed that is larger than a food can hold
// per 100 g: what names the box or component, limit and unit the most it may hold.
QString tooLargeMessage(const QString &what, const QString &typed, double limit,
                        const QString &unit);

// The value a box's text stands for: nothing for an empty box. Only for texts
// that passed check().
std::optional<double> valueOf(const QString &text);

// How many dishes have a line of the food: the lines stay when the food is
// deleted, but no longer show nor count. 0 when the store cannot be read.
int dishesUsing(const QString &connection, qint64 food);

// The question asked before the food called name is deleted; it says how
// many dishes lose its lines from their figures.
QString deletionQuestion(const QString &name, int dishes);

// Readings are stored in half-width katakana, the form the food search
// matches; hiragana and full-width katakana are folded to it.
QString readingToStore(const QString &typed);

} // namespace FoodRecord
