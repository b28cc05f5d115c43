#pragma once

#include "core/menu/menutotals.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

// Days of menus with everything shown about them: each entry's dish name and
// portion totals, each meal's and day's totals, and the period's average.
// The window, the printed 献立表 and the files read this one model.
namespace Menus {

struct PlanEntry
{
    Entry entry;
    QString dishName; // empty for a dish no longer there
    bool missing = false;
    Totals totals;
};

struct PlanDay
{
    Day day;
    std::array<std::vector<PlanEntry>, mealCount> meals;
    DayTotals totals;
};

struct Plan
{
    std::vector<PlanDay> days;
    PeriodTotals period;
    // The intakes' standards the days and the period are judged by.
    Intakes::Table standards;
    // Whom the period is judged for: the person of its first day.
    Intakes::Person person() const;
    Judgement dayJudgement(const PlanDay &day) const;
    Judgement periodJudgement() const;
};

// The plan of the days given, in the order given.
Plan buildPlan(const std::vector<Day> &days, const std::vector<Entry> &entries,
               const DishBook &dishes, const Intakes::Table &standards = {});

// Reads the days a text names and their plan (the standards too): a day's name or date
// (yyyy-MM-dd), or a range of dates "FROM..TO" (both included). False with
// *error when the store fails or no day matches.
bool readPlan(const QString &connectionString, const QString &daysText, Plan *plan, QString *error);
// The days of `all` the text names, as readPlan reads it; empty when none.
std::vector<Day> namedDays(const std::vector<Day> &all, const QString &daysText);

// A day's caption: its date (M/d(曜)) and name, or the name alone.
QString dayCaption(const Day &day);

// A day's date as typed: "2026-12-07" or "2026/12/7", full-width digits
// too, is kept as yyyy-MM-dd, and nothing typed as no date; nothing for
// text that is no such date.
std::optional<QString> readDate(const QString &text);

// The five figures of a day's row in the lists and the sheet.
struct Figure
{
    const char *field;
    QStringView caption;
    QStringView unit;
    int decimals;
};
inline constexpr std::array<Figure, 5> mainFigures{{{"ENC", u"ｴﾈﾙｷﾞｰ", u"kcal", 0},
                                                    {"TAN", u"ﾀﾝﾊﾟｸ質", u"g", 1},
                                                    {"SST", u"脂質", u"g", 1},
                                                    {"CHOCDF", u"炭水化物", u"g", 1},
                                                    {"NAT", u"食塩相当量", u"g", 1}}};

} // namespace Menus
