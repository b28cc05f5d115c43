#include "core/menu/menuplan.h"

#include <QDate>
#include <QLocale>

namespace Menus {

Plan buildPlan(const std::vector<Day> &days, const std::vector<Entry> &entries,
               const DishBook &dishes, const Intakes::Table &standards)
{
    Plan plan;
    plan.standards = standards;
    QHash<qint64, int> indexOf;
    plan.days.reserve(days.size());
    for (const Day &day : days) {
        indexOf.insert(day.id, int(plan.days.size()));
        plan.days.push_back({day, {}, {}});
        plan.days.back().day.person = judgedPerson(day.person, standards);
    }
    for (const Entry &entry : entries) {
        const auto at = indexOf.constFind(entry.day);
        if (at == indexOf.constEnd() || entry.meal < 0 || entry.meal >= mealCount)
            continue;
        const DishFigures *dish = dishes.find(entry.dish);
        PlanEntry shown;
        shown.entry = entry;
        shown.missing = dish == nullptr;
        if (dish)
            shown.dishName = dish->name;
        shown.totals = portionTotals(dish, entry.portion);
        plan.days[*at].totals.meals[entry.meal].add(shown.totals);
        plan.days[*at].meals[entry.meal].push_back(std::move(shown));
    }
    std::vector<const DayTotals *> counted;
    for (PlanDay &day : plan.days) {
        for (const Totals &meal : day.totals.meals)
            day.totals.day.add(meal);
        counted.push_back(&day.totals);
    }
    plan.period = periodTotals(counted);
    return plan;
}

Intakes::Person Plan::person() const
{
    return intakePerson(days.empty() ? Person() : days.front().day.person);
}

Judgement Plan::dayJudgement(const PlanDay &day) const
{
    return judge(day.totals.day, standards, intakePerson(day.day.person));
}

Judgement Plan::periodJudgement() const
{
    return judge(period.average, standards, person());
}

std::vector<Day> namedDays(const std::vector<Day> &all, const QString &daysText)
{
    const QString text = daysText.trimmed();
    std::vector<Day> chosen;
    const int dots = text.indexOf(QStringLiteral(".."));
    if (dots > 0) {
        const QDate from = QDate::fromString(text.left(dots).trimmed(), Qt::ISODate);
        const QDate to = QDate::fromString(text.mid(dots + 2).trimmed(), Qt::ISODate);
        if (!from.isValid() || !to.isValid())
            return chosen;
        for (const Day &day : all) {
            const QDate date = QDate::fromString(day.date, Qt::ISODate);
            if (date.isValid() && date >= from && date <= to)
                chosen.push_back(day);
        }
        return chosen;
    }
    for (const Day &day : all)
        if (day.date == text || day.name == text)
            chosen.push_back(day);
    return chosen;
}

bool readPlan(const QString &connectionString, const QString &daysText, Plan *plan, QString *error)
{
    MenuStore store;
    std::vector<Day> all;
    if (!store.open(connectionString, error) || !store.days(&all, error))
        return false;
    const std::vector<Day> chosen = namedDays(all, daysText);
    if (chosen.empty()) {
        *error = QStringLiteral("献立「%1」は見つかりません。").arg(daysText);
        return false;
    }
    std::vector<qint64> keys;
    for (const Day &day : chosen)
        keys.push_back(day.id);
    std::vector<Entry> entries;
    if (!store.entries(keys, &entries, error))
        return false;
    std::vector<qint64> used;
    used.reserve(entries.size());
    for (const Entry &entry : entries)
        used.push_back(entry.dish);
    DishBook dishes;
    if (!dishes.need(connectionString, used, error))
        return false;
    QList<Intakes::Row> rows;
    if (!DishComponents::loadIntakes(connectionString, &rows, error))
        return false;
    *plan = buildPlan(chosen, entries, dishes, Intakes::Table(rows));
    return true;
}

QString dayCaption(const Day &day)
{
    const QDate date = QDate::fromString(day.date, Qt::ISODate);
    QString caption;
    if (date.isValid())
        caption =
            QStringLiteral("%1/%2(%3)")
                .arg(date.month())
                .arg(date.day())
                .arg(QLocale(QLocale::Japanese).dayName(date.dayOfWeek(), QLocale::NarrowFormat));
    if (!day.name.isEmpty())
        caption += (caption.isEmpty() ? QString() : QStringLiteral(" ")) + day.name;
    return caption.isEmpty() ? QStringLiteral("（名前なし）") : caption;
}

std::optional<QString> readDate(const QString &text)
{
    const QString typed = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (typed.isEmpty())
        return QString();
    for (const QString &format : {QStringLiteral("yyyy-M-d"), QStringLiteral("yyyy/M/d")}) {
        const QDate date = QDate::fromString(typed, format);
        if (date.isValid())
            return date.toString(Qt::ISODate);
    }
    return std::nullopt;
}

} // namespace Menus
