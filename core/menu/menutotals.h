#pragma once

#include "core/nutrition/dishcomponents.h"
#include "core/nutrition/nutrientsheet.h"
#include "core/store/menustore.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>
#include <variant>
#include <vector>

// The totals of menus: of a dish's portion, a meal, a day and a period, over
// every component of the food table, all counted as 栄養成分一覧 counts a
// dish (DishComponents), so that a dish shows the same figures there and in
// a menu; and their judgement against a person's standards.
namespace Menus {

// The 18 food groups of the food table; a food's group is the first two
// digits of its five-digit number.
inline constexpr int foodGroupCount = 18;
QStringView foodGroupName(int group); // 1-18
// The group of a food number; 0 for a food of the user's own.
int foodGroupOf(qint64 food);

// A portion as typed in the grid: a number above 0 and at most maxPortion
// servings; otherwise the message, naming the cell.
inline constexpr double maxPortion = 100;
std::variant<double, QString> readPortion(const QString &text, QStringView cell);

// A component (Components::all) named by its value field ("ENC", "NAT") or
// by its code ("CHOCDF"); -1 for another name.
int componentOf(const char *name);

// One dish as menus count it: its totals and its grams per food group,
// for the whole dish.
struct DishFigures
{
    QString name;
    double servings = 1; // 人分: a portion of 1 is the dish ÷ servings
    DishComponents::Totals amounts;
    std::array<double, foodGroupCount + 1> groupGrams{}; // [0]: the user's own foods
    // False for figures read for the list of days: only the components of
    // the foods' value fields (energy, salt …) were read.
    bool complete = true;
};

// How much of a dish DishBook::need reads: every component, or only what
// the list of days shows (energy and salt, from the foods' value fields).
enum class Depth { Every, Listed };

// The dishes' figures, read from the store (MenuStore::readDishes) only when a
// menu needs them and kept by key: a menu reads the dishes its days use, not
// every dish of the store.
class DishBook
{
public:
    // Reads the figures of those of `dishes` not read yet, all in a few
    // queries; a key the store does not hold is noted as missing. False with *error when the store
    // fails (the figures read before stay).
    bool need(const QString &connectionString, const std::vector<qint64> &dishes, QString *error,
              Depth depth = Depth::Every);
    // Reads every dish of the store.
    bool read(const QString &connectionString, QString *error);
    // Forgets every figure (the store changed).
    void clear();
    const DishFigures *find(qint64 dish) const;
    void insert(qint64 dish, DishFigures figures) { m_dishes.insert(dish, std::move(figures)); }
    int size() const { return int(m_dishes.size()); }

private:
    bool readKeys(const QString &connectionString, const std::vector<qint64> &keys, Depth depth,
                  QString *error);
    QHash<qint64, DishFigures> m_dishes;
    QSet<qint64> m_absent; // asked for and not in the store
};

// Amounts eaten: nothing until something is counted.
struct Totals
{
    // Every component; a sum is null when no entry had the value, and names
    // the foods it leaves out.
    DishComponents::Totals amounts;
    std::array<double, foodGroupCount + 1> groupGrams{};
    int entries = 0; // entries counted, missing ones included
    int missing = 0; // entries whose dish no longer exists

    bool isEmpty() const { return entries == 0; }
    // Whether the component's figure leaves something out (an unknown value
    // or a missing dish).
    bool isPartial(int component) const;
    // The figure of a component named as componentOf() reads it.
    std::optional<double> value(const char *name) const;
    // Adds a portion of a dish; a dish not found counts as missing.
    void add(const DishFigures *dish, double portion);
    void add(const Totals &other, double factor = 1);
};

// What one portion of a dish brings: its totals × portion ÷ servings.
Totals portionTotals(const DishFigures *dish, double portion);

struct DayTotals
{
    std::array<Totals, mealCount> meals;
    Totals day;
    // The meal's share of the day's energy in percent; nothing when either
    // has no energy.
    std::optional<double> energyShare(int meal) const;
};
// The totals of one day's entries (entries of other days are ignored).
DayTotals dayTotals(qint64 day, const std::vector<Entry> &entries, const DishBook &dishes);

// A period's average per day: the days with entries are averaged; days
// without any are counted apart and not averaged in.
struct PeriodTotals
{
    Totals average;
    int days = 0;        // days in the period
    int plannedDays = 0; // days with at least one entry
    std::array<std::optional<double>, mealCount> energyShare;
};
PeriodTotals periodTotals(const std::vector<qint64> &days, const std::vector<Entry> &entries,
                          const DishBook &dishes);
// The same from the days' totals already counted.
PeriodTotals periodTotals(const std::vector<const DayTotals *> &days);

// A figure as the menus show it: rounded to the decimals, "*" after it
// when it leaves something out; empty for nothing.
QString figureText(const Totals &totals, const char *name, int decimals);

// Whom the intakes judge a day for.
Intakes::Person intakePerson(const Person &person);
// The person as the standards can judge them: a stage of pregnancy or
// lactation is kept only for a woman of an age the standards give stages
// for, so that no day claims a stage its judgement leaves out.
Person judgedPerson(const Person &person, const Intakes::Table &standards);

// A day's or a period's totals judged as a day's intake against the person's
// standards, as 栄養成分一覧 judges a dish: one row per component and the
// energy balance. Nothing for totals without entries.
struct Judgement
{
    QList<NutrientSheet::Row> rows;
    NutrientSheet::Balance balance;
    bool isEmpty() const { return rows.isEmpty(); }
};
Judgement judge(const Totals &totals, const Intakes::Table &standards,
                const Intakes::Person &person);

} // namespace Menus
