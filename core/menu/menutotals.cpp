#include "core/menu/menutotals.h"

#include "core/store/numberreader.h"
#include "core/store/numbertext.h"

#include <cmath>

namespace Menus {

QStringView foodGroupName(int group)
{
    static constexpr QStringView names[foodGroupCount + 1] = {u"その他（登録食品）",
                                                              u"穀類",
                                                              u"いも及びでん粉類",
                                                              u"砂糖及び甘味類",
                                                              u"豆類",
                                                              u"種実類",
                                                              u"野菜類",
                                                              u"果実類",
                                                              u"きのこ類",
                                                              u"藻類",
                                                              u"魚介類",
                                                              u"肉類",
                                                              u"卵類",
                                                              u"乳類",
                                                              u"油脂類",
                                                              u"菓子類",
                                                              u"し好飲料類",
                                                              u"調味料及び香辛料類",
                                                              u"調理済み流通食品類"};
    return group >= 0 && group <= foodGroupCount ? names[group] : QStringView();
}

int foodGroupOf(qint64 food)
{
    // Official numbers run from 01001 to 18xxx; the user's own foods come
    // above every official number.
    if (food < 1000 || food >= 100000)
        return 0;
    const int group = int(food / 1000);
    return group >= 1 && group <= foodGroupCount ? group : 0;
}

std::variant<double, QString> readPortion(const QString &text, QStringView cell)
{
    const std::optional<double> value = NumberReader::quantity(text);
    if (!value)
        return QStringLiteral("%1の分量「%2」は数ではありません。人分の数（例: 1、0.5、2）を"
                              "入れてください。")
            .arg(cell, text);
    if (!std::isfinite(*value) || *value <= 0)
        return QStringLiteral("%1の分量は 0 より大きい数にしてください（「%2」）。")
            .arg(cell, text);
    if (*value > maxPortion)
        return QStringLiteral("%1の分量「%2」は多すぎます（%3人分まで）。")
            .arg(cell, text, QString::number(maxPortion));
    return *value;
}

bool DishBook::readSelection(const QString &connectionString, const Export::Selection &which,
                             QString *error)
{
    std::vector<Export::Dish> dishes;
    if (!Export::readDishes(connectionString, which, 30, false, &dishes, error))
        return false;
    m_dishes.reserve(m_dishes.size() + qsizetype(dishes.size()));
    for (Export::Dish &dish : dishes) {
        DishFigures figures;
        figures.name = dish.name;
        figures.sums = dish.totals.sums;
        figures.unknown = dish.totals.unknown;
        figures.servings = dish.servings;
        for (const Export::Line &line : dish.lines)
            figures.groupGrams[foodGroupOf(line.foodId)] += line.grams.value_or(0);
        m_absent.remove(dish.key);
        m_dishes.insert(dish.key, std::move(figures));
    }
    return true;
}

bool DishBook::read(const QString &connectionString, QString *error)
{
    clear();
    return readSelection(connectionString, Export::Selection{}, error);
}

bool DishBook::need(const QString &connectionString, const std::vector<qint64> &dishes,
                    QString *error)
{
    Export::Selection which;
    which.all = false;
    QSet<qint64> asked;
    for (qint64 dish : dishes)
        if (!m_dishes.contains(dish) && !m_absent.contains(dish) && !asked.contains(dish)) {
            asked.insert(dish);
            which.keys.push_back(dish);
        }
    if (which.keys.empty())
        return true;
    if (!readSelection(connectionString, which, error))
        return false;
    for (qint64 dish : which.keys)
        if (!m_dishes.contains(dish))
            m_absent.insert(dish);
    return true;
}

void DishBook::clear()
{
    m_dishes.clear();
    m_absent.clear();
}

const DishFigures *DishBook::find(qint64 dish) const
{
    const auto at = m_dishes.constFind(dish);
    return at == m_dishes.constEnd() ? nullptr : &*at;
}

std::optional<double> Totals::value(const char *field) const
{
    const int i = Export::nutrientIndex(field);
    return i < 0 ? std::nullopt : sums[i];
}

namespace {

void addTo(std::optional<double> &sum, const std::optional<double> &value, double factor)
{
    if (value)
        sum = sum.value_or(0) + *value * factor;
}

} // namespace

void Totals::add(const DishFigures *dish, double portion)
{
    ++entries;
    if (!dish) {
        ++missing;
        return;
    }
    const double factor = portion / (dish->servings > 0 ? dish->servings : 1);
    for (int i = 0; i < Export::nutrientCount; ++i) {
        addTo(sums[i], dish->sums[i], factor);
        unknown[i] = unknown[i] || dish->unknown[i];
    }
    for (int g = 0; g <= foodGroupCount; ++g)
        groupGrams[g] += dish->groupGrams[g] * factor;
}

void Totals::add(const Totals &other)
{
    for (int i = 0; i < Export::nutrientCount; ++i) {
        addTo(sums[i], other.sums[i], 1);
        unknown[i] = unknown[i] || other.unknown[i];
    }
    for (int g = 0; g <= foodGroupCount; ++g)
        groupGrams[g] += other.groupGrams[g];
    entries += other.entries;
    missing += other.missing;
}

Totals portionTotals(const DishFigures *dish, double portion)
{
    Totals totals;
    totals.add(dish, portion);
    return totals;
}

namespace {

std::optional<double> share(const Totals &part, const Totals &whole)
{
    const std::optional<double> a = part.value("ENC");
    const std::optional<double> b = whole.value("ENC");
    if (!a || !b || *b <= 0)
        return std::nullopt;
    return *a / *b * 100;
}

} // namespace

std::optional<double> DayTotals::energyShare(int meal) const
{
    return meal >= 0 && meal < mealCount ? share(meals[meal], day) : std::nullopt;
}

DayTotals dayTotals(qint64 day, const std::vector<Entry> &entries, const DishBook &dishes)
{
    DayTotals totals;
    for (const Entry &entry : entries) {
        if (entry.day != day || entry.meal < 0 || entry.meal >= mealCount)
            continue;
        totals.meals[entry.meal].add(dishes.find(entry.dish), entry.portion);
    }
    for (const Totals &meal : totals.meals)
        totals.day.add(meal);
    return totals;
}

PeriodTotals periodTotals(const std::vector<qint64> &days, const std::vector<Entry> &entries,
                          const DishBook &dishes)
{
    QHash<qint64, int> indexOf;
    for (qint64 day : days)
        indexOf.insert(day, int(indexOf.size()));
    std::vector<DayTotals> totals(indexOf.size());
    for (const Entry &entry : entries) {
        const auto at = indexOf.constFind(entry.day);
        if (at != indexOf.constEnd() && entry.meal >= 0 && entry.meal < mealCount)
            totals[*at].meals[entry.meal].add(dishes.find(entry.dish), entry.portion);
    }
    std::vector<const DayTotals *> counted;
    for (DayTotals &day : totals) {
        for (const Totals &meal : day.meals)
            day.day.add(meal);
        counted.push_back(&day);
    }
    PeriodTotals period = periodTotals(counted);
    period.days = int(days.size()); // a day named twice is still counted once above
    return period;
}

PeriodTotals periodTotals(const std::vector<const DayTotals *> &days)
{
    PeriodTotals period;
    period.days = int(days.size());
    std::array<Totals, mealCount> meals;
    Totals sum;
    for (const DayTotals *day : days) {
        if (day->day.isEmpty())
            continue;
        ++period.plannedDays;
        for (int m = 0; m < mealCount; ++m)
            meals[m].add(day->meals[m]);
        sum.add(day->day);
    }
    for (int m = 0; m < mealCount; ++m)
        period.energyShare[m] = share(meals[m], sum);
    if (period.plannedDays == 0)
        return period;
    const double n = period.plannedDays;
    period.average = sum;
    for (std::optional<double> &value : period.average.sums)
        if (value)
            *value /= n;
    for (double &grams : period.average.groupGrams)
        grams /= n;
    return period;
}

QString figureText(const Totals &totals, const char *field, int decimals)
{
    const int i = Export::nutrientIndex(field);
    if (i < 0 || totals.isEmpty() || !totals.sums[i])
        return totals.missing > 0 && i >= 0 && !totals.isEmpty() ? QStringLiteral("*") : QString();
    QString text = NumberText::grouped(*totals.sums[i], decimals);
    if (totals.isPartial(i))
        text += QLatin1Char('*');
    return text;
}

} // namespace Menus
