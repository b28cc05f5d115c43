#include "core/menu/menutotals.h"

#include "core/menu/figureseal.h"
#include "core/store/numberreader.h"
#include "core/store/numbertext.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <limits>

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

int componentOf(const char *name)
{
    const QLatin1StringView text(name);
    for (int i = 0; i < Components::count; ++i)
        if (Components::all[i].field == text)
            return i;
    return Components::indexOf(QString(text));
}

bool DishBook::readKeys(const QString &connectionString, const std::vector<qint64> &keys,
                        Depth depth, QString *error)
{
    MenuStore store;
    if (!store.open(connectionString, error))
        return false;
    // Figures counted before and kept with the store are taken as they are;
    // only the other dishes are counted from their lines.
    std::vector<std::pair<qint64, QByteArray>> kept;
    qint64 version = 0;
    const QByteArray key = sealKey();
    if (!key.isEmpty() && !store.keptFigures(keys, &kept, &version, error))
        return false;
    QSet<qint64> opened;
    for (const auto &[dish, sealed] : kept)
        if (std::optional<DishFigures> figures = openFigures(dish, sealed, key)) {
            figures->complete = true;
            m_absent.remove(dish);
            m_dishes.emplace(dish, std::move(*figures));
            opened.insert(dish);
        }
    std::vector<qint64> counted;
    for (qint64 dish : keys)
        if (!opened.contains(dish))
            counted.push_back(dish);
    if (counted.empty())
        return true;
    std::vector<DishHead> heads;
    std::vector<DishLine> lines;
    if (!store.readDishes(counted, &heads, &lines, error))
        return false;
    // Each food is read once, in the order of its number, and counted in
    // every line that uses it.
    std::sort(lines.begin(), lines.end(),
              [](const DishLine &a, const DishLine &b) { return a.food < b.food; });
    std::vector<qint64> foods;
    for (const DishLine &line : lines)
        if (foods.empty() || foods.back() != line.food)
            foods.push_back(line.food);
    QHash<qint64, DishFigures> count;
    DishComponents::Line line;
    auto next = lines.cbegin();
    const bool listed = depth == Depth::Listed;
    const auto add = [&](const FoodValues &food) {
        line.food = food.name;
        for (int i = 0; i < Components::count; ++i) {
            std::optional<double> number = food.stored[size_t(i)];
            if (number && !std::isfinite(*number))
                number.reset();
            if (number && Components::all[i].inFoodRow())
                number = Components::fromField(i, *number);
            line.values[i].number = number;
        }
        next = std::lower_bound(next, lines.cend(), food.food,
                                [](const DishLine &l, qint64 key) { return l.food < key; });
        for (; next != lines.cend() && next->food == food.food; ++next) {
            DishFigures &figures = count[next->dish];
            line.weightFactor = next->weightFactor;
            DishComponents::addLine(figures.amounts, line);
            figures.groupGrams[foodGroupOf(food.food)] += next->weightFactor * 100;
        }
    };
    if (!store.readFoods(foods, listed, add, error))
        return false;
    // What was counted in full is kept for the next reading.
    std::vector<std::pair<qint64, QByteArray>> keep;
    m_dishes.reserve(m_dishes.size() + qsizetype(heads.size()));
    for (const DishHead &head : heads) {
        DishFigures figures = count.take(head.id);
        figures.name = head.name;
        figures.servings = head.servings;
        figures.complete = !listed;
        if (!listed && !key.isEmpty())
            keep.emplace_back(head.id, sealFigures(head.id, figures, key));
        m_absent.remove(head.id);
        m_dishes.emplace(head.id, std::move(figures));
    }
    if (!keep.empty())
        store.keepFigures(keep, version);
    return true;
}

bool DishBook::read(const QString &connectionString, QString *error)
{
    clear();
    MenuStore store;
    std::vector<std::pair<qint64, QString>> all;
    if (!store.open(connectionString, error) ||
        !store.dishesNamed(QString(), std::numeric_limits<int>::max(), &all, error))
        return false;
    std::vector<qint64> keys;
    keys.reserve(all.size());
    for (const auto &dish : all)
        keys.push_back(dish.first);
    return readKeys(connectionString, keys, Depth::Every, error);
}

bool DishBook::need(const QString &connectionString, const std::vector<qint64> &dishes,
                    QString *error, Depth depth)
{
    std::vector<qint64> keys;
    QSet<qint64> asked;
    for (qint64 dish : dishes) {
        const auto known = m_dishes.constFind(dish);
        const bool enough = known != m_dishes.constEnd() ? known->complete || depth == Depth::Listed
                                                         : m_absent.contains(dish);
        if (!enough && !asked.contains(dish)) {
            asked.insert(dish);
            keys.push_back(dish);
        }
    }
    if (keys.empty())
        return true;
    if (!readKeys(connectionString, keys, depth, error))
        return false;
    for (qint64 dish : keys)
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

bool Totals::isPartial(int component) const
{
    return missing > 0 || (component >= 0 && component < Components::count &&
                           !amounts.unknownFoods[component].isEmpty());
}

std::optional<double> Totals::value(const char *name) const
{
    const int i = componentOf(name);
    return i < 0 ? std::nullopt : amounts.sums[i];
}

void Totals::add(const DishFigures *dish, double portion)
{
    ++entries;
    if (!dish) {
        ++missing;
        return;
    }
    const double factor = portion / (dish->servings > 0 ? dish->servings : 1);
    DishComponents::add(amounts, dish->amounts, factor);
    for (int g = 0; g <= foodGroupCount; ++g)
        groupGrams[g] += dish->groupGrams[g] * factor;
}

void Totals::add(const Totals &other, double factor)
{
    DishComponents::add(amounts, other.amounts, factor);
    for (int g = 0; g <= foodGroupCount; ++g)
        groupGrams[g] += other.groupGrams[g] * factor;
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
    if (period.plannedDays > 0)
        period.average.add(sum, 1.0 / period.plannedDays);
    return period;
}

QString figureText(const Totals &totals, const char *name, int decimals)
{
    const int i = componentOf(name);
    if (i < 0 || totals.isEmpty())
        return QString();
    const std::optional<double> &sum = totals.amounts.sums[i];
    if (!sum)
        return totals.missing > 0 ? QStringLiteral("*") : QString();
    QString text = NumberText::grouped(*sum, decimals);
    if (totals.isPartial(i))
        text += QLatin1Char('*');
    return text;
}

Intakes::Person intakePerson(const Person &person)
{
    Intakes::Person p;
    p.age = person.age;
    p.sex = person.male ? 1 : 0;
    p.activity = Intakes::Activity(qBound(1, person.pal, 3) - 1);
    p.stage = person.male ? Intakes::Stage::None : Intakes::Stage(qBound(0, person.stage, 4));
    return p;
}

Person judgedPerson(const Person &person, const Intakes::Table &standards)
{
    Person judged = person;
    const Intakes::Person p = intakePerson(person);
    judged.stage = standards.stageAllowed(p, p.stage) ? int(p.stage) : 0;
    return judged;
}

Judgement judge(const Totals &totals, const Intakes::Table &standards,
                const Intakes::Person &person)
{
    Judgement judgement;
    if (totals.isEmpty())
        return judgement;
    // The totals are a day's intake: judged whole, as 1日分 judges a dish.
    judgement.rows = NutrientSheet::rows(totals.amounts, 1, std::nullopt, standards, person,
                                         NutrientSheet::Basis::Dish);
    judgement.balance = NutrientSheet::balance(totals.amounts, 1, standards, person);
    return judgement;
}

} // namespace Menus
