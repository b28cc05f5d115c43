#include "core/store/menustore.h"

#include "core/store/database.h"
#include "core/store/queries.h"
#include "core/store/schema.h"
#include "core/store/statement.h"

namespace Menus {

QStringView mealName(int meal)
{
    static constexpr QStringView names[mealCount] = {u"朝食", u"昼食", u"夕食", u"間食"};
    return meal >= 0 && meal < mealCount ? names[meal] : QStringView();
}

bool MenuStore::open(const QString &connectionString, QString *error)
{
    m_db = Database::open(connectionString, error);
    return m_db != nullptr;
}

bool MenuStore::days(std::vector<Day> *out, QString *error) const
{
    out->clear();
    Statement stmt;
    if (!stmt.prepare(m_db->handle(), Queries::menuDays())) {
        *error = stmt.error();
        return false;
    }
    while (stmt.next()) {
        Day &day = out->emplace_back();
        day.id = stmt.value(0).toLongLong();
        day.date = stmt.value(1).toString();
        day.name = stmt.value(2).toString();
        day.person = {stmt.value(3).toInt(), stmt.value(4).toInt() == 1, stmt.value(5).toInt(),
                      stmt.value(6).toInt()};
    }
    if (stmt.failed()) {
        *error = stmt.error();
        out->clear();
        return false;
    }
    return true;
}

bool MenuStore::entries(const std::vector<qint64> &days, std::vector<Entry> *out,
                        QString *error) const
{
    out->clear();
    // Bound parameters are limited in number: a long period is read in parts.
    constexpr size_t part = 500;
    for (size_t first = 0; first == 0 || first < days.size(); first += part) {
        const size_t count = days.empty() ? 0 : std::min(part, days.size() - first);
        Statement stmt;
        if (!stmt.prepare(m_db->handle(), Queries::menuEntries(int(count)))) {
            *error = stmt.error();
            return false;
        }
        for (size_t i = 0; i < count; ++i)
            stmt.bind(int(i) + 1, days[first + i]);
        while (stmt.next()) {
            Entry &entry = out->emplace_back();
            entry.id = stmt.value(0).toLongLong();
            entry.day = stmt.value(1).toLongLong();
            entry.meal = stmt.value(2).toInt();
            entry.dish = stmt.value(3).toLongLong();
            entry.portion = stmt.value(4).toDouble();
            entry.order = stmt.value(5).toInt();
        }
        if (stmt.failed()) {
            *error = stmt.error();
            out->clear();
            return false;
        }
        if (days.empty())
            break;
    }
    if (days.size() > part) // parts come in the days' order, each sorted
        std::stable_sort(out->begin(), out->end(), [](const Entry &a, const Entry &b) {
            return a.day != b.day     ? a.day < b.day
                   : a.meal != b.meal ? a.meal < b.meal
                                      : a.order < b.order;
        });
    return true;
}

bool MenuStore::dishesNamed(const QString &part, int limit,
                            std::vector<std::pair<qint64, QString>> *out, QString *error) const
{
    out->clear();
    Statement stmt;
    if (!stmt.prepare(m_db->handle(), Queries::menuDishesNamed())) {
        *error = stmt.error();
        return false;
    }
    stmt.bind(1, part);
    stmt.bind(2, limit);
    while (stmt.next())
        out->emplace_back(stmt.value(0).toLongLong(), stmt.value(1).toString());
    if (stmt.failed()) {
        *error = stmt.error();
        out->clear();
        return false;
    }
    return true;
}

namespace {

// Runs a query over keys in parts (bound parameters are limited in number):
// `query(count)` is the text for a part, `row` sees each row.
bool forKeys(sqlite3 *db, const std::vector<qint64> &keys, const std::function<QString(int)> &query,
             const std::function<void(const Statement &)> &row, QString *error)
{
    constexpr size_t part = 500;
    for (size_t first = 0; first < keys.size(); first += part) {
        const int count = int(std::min(part, keys.size() - first));
        Statement stmt(db, query(count));
        if (!stmt.isValid()) {
            *error = stmt.error();
            return false;
        }
        for (int i = 0; i < count; ++i)
            stmt.bind(i + 1, keys[first + size_t(i)]);
        while (stmt.next())
            row(stmt);
        if (stmt.failed()) {
            *error = stmt.error();
            return false;
        }
    }
    return true;
}

} // namespace

bool MenuStore::readDishes(const std::vector<qint64> &dishes, std::vector<DishHead> *heads,
                           std::vector<DishLine> *lines, QString *error) const
{
    heads->clear();
    lines->clear();
    const bool read = forKeys(
                          m_db->handle(), dishes, &Queries::menuDishHeads,
                          [&](const Statement &stmt) {
                              DishHead &dish = heads->emplace_back();
                              dish.id = stmt.integer(0);
                              dish.name = stmt.text(1);
                              const double servings =
                                  stmt.type(2) == Statement::Type::Null ? 1 : stmt.real(2);
                              dish.servings = servings > 0 ? servings : 1;
                          },
                          error) &&
                      forKeys(
                          m_db->handle(), dishes, &Queries::menuDishLines,
                          [&](const Statement &stmt) {
                              lines->push_back({stmt.integer(0), stmt.integer(1), stmt.real(2)});
                          },
                          error);
    if (!read) {
        heads->clear();
        lines->clear();
    }
    return read;
}

bool MenuStore::readFoods(const std::vector<qint64> &foods, bool valueFieldsOnly,
                          const std::function<void(const FoodValues &)> &food, QString *error) const
{
    FoodValues values;
    return forKeys(
        m_db->handle(), foods,
        [valueFieldsOnly](int count) { return Queries::menuFoods(count, valueFieldsOnly); },
        [&](const Statement &stmt) {
            values.food = stmt.integer(0);
            values.name = stmt.text(1);
            for (int i = 0; i < Components::count; ++i)
                values.stored[size_t(i)] = stmt.type(2 + i) == Statement::Type::Null
                                               ? std::nullopt
                                               : std::optional<double>(stmt.real(2 + i));
            food(values);
        },
        error);
}

bool MenuStore::keptFigures(const std::vector<qint64> &dishes,
                            std::vector<std::pair<qint64, QByteArray>> *out, qint64 *version,
                            QString *error) const
{
    out->clear();
    *version = scalarOf(m_db->handle(), Queries::dataVersion(), {}).toLongLong();
    if (!m_figuresReady)
        m_figuresReady = Schema::figureTableReady(m_db->handle());
    if (!*m_figuresReady)
        return true;
    const bool read = forKeys(
        m_db->handle(), dishes, &Queries::menuKeptFigures,
        [&](const Statement &stmt) {
            if (stmt.type(1) == Statement::Type::Blob)
                out->emplace_back(stmt.integer(0), stmt.bytes(1));
        },
        error);
    if (!read)
        out->clear();
    return read;
}

bool MenuStore::keepFigures(const std::vector<std::pair<qint64, QByteArray>> &figures,
                            qint64 version)
{
    if (figures.empty())
        return false;
    sqlite3 *db = m_db->handle();
    return m_db->writeDerived([&] {
        if (scalarOf(db, Queries::dataVersion(), {}).toLongLong() != version)
            return false;
        QString ignored;
        if (!Schema::makeFigureTable(db, &ignored))
            return false;
        m_figuresReady = true;
        Statement keep(db, Queries::menuKeepFigures());
        if (!keep.isValid())
            return false;
        for (const auto &[dish, sealed] : figures) {
            keep.reset();
            keep.bind(1, dish);
            keep.bind(2, sealed);
            if (!keep.exec())
                return false;
        }
        return true;
    });
}

int MenuStore::daysUsingDish(qint64 dish) const
{
    return scalarOf(m_db->handle(), Queries::menuDaysUsingDish(), {dish}).toInt();
}

MenuStore::Mark MenuStore::mark() const
{
    Mark mark;
    for (const char *table : {"kon", "kom", "mnu", "kou", "eys", "sbn"})
        mark.push_back(m_db->markOf(table));
    return mark;
}

bool MenuStore::write(const QString &sql, const QVariantList &params, QString *error)
{
    return m_db->write([&](QString *e) { return m_db->run(sql, params, e); }, error);
}

namespace {

QVariantList dayValues(const QString &date, const QString &name, const Person &person)
{
    return {date.trimmed(), name, person.age, person.male ? 1 : 0, person.pal, person.stage};
}

} // namespace

std::optional<qint64> MenuStore::createDay(const Day &day, QString *error)
{
    qint64 id = 0;
    const bool ok = m_db->write(
        [&](QString *e) {
            if (!m_db->run(Queries::menuInsertDay(), dayValues(day.date, day.name, day.person), e))
                return false;
            id = m_db->lastInsertId();
            return true;
        },
        error);
    return ok ? std::optional<qint64>(id) : std::nullopt;
}

std::optional<qint64> MenuStore::copyDay(qint64 from, const QString &date, const QString &name,
                                         QString *error)
{
    std::vector<Day> all;
    if (!days(&all, error))
        return std::nullopt;
    const auto source =
        std::find_if(all.begin(), all.end(), [&](const Day &d) { return d.id == from; });
    if (source == all.end()) {
        *error = QStringLiteral("写す献立が見つかりません。");
        return std::nullopt;
    }
    qint64 id = 0;
    const bool ok = m_db->write(
        [&](QString *e) {
            if (!m_db->run(Queries::menuInsertDay(), dayValues(date, name, source->person), e))
                return false;
            id = m_db->lastInsertId();
            return m_db->run(Queries::menuCopyEntries(), {from, id}, e);
        },
        error);
    return ok ? std::optional<qint64>(id) : std::nullopt;
}

bool MenuStore::renameDay(qint64 day, const QString &date, const QString &name, QString *error)
{
    return write(Queries::menuRenameDay(), {day, date.trimmed(), name}, error);
}

bool MenuStore::setPerson(qint64 day, const Person &person, QString *error)
{
    return write(Queries::menuSetPerson(),
                 {day, person.age, person.male ? 1 : 0, person.pal, person.stage}, error);
}

bool MenuStore::deleteDay(qint64 day, QString *error)
{
    return write(Queries::menuDeleteDay(), {day}, error);
}

std::optional<qint64> MenuStore::addEntry(qint64 day, int meal, qint64 dish, double portion,
                                          QString *error)
{
    qint64 id = 0;
    const bool ok = m_db->write(
        [&](QString *e) {
            if (!m_db->run(Queries::menuInsertEntry(), {day, meal, dish, portion}, e))
                return false;
            id = m_db->lastInsertId();
            return true;
        },
        error);
    return ok ? std::optional<qint64>(id) : std::nullopt;
}

bool MenuStore::setPortion(qint64 entry, double portion, QString *error)
{
    return write(Queries::menuSetPortion(), {entry, portion}, error);
}

bool MenuStore::moveToMeal(qint64 entry, int meal, QString *error)
{
    return write(Queries::menuMoveToMeal(), {entry, meal}, error);
}

bool MenuStore::moveWithinMeal(qint64 entry, int step, QString *error)
{
    const QVariant other = scalarOf(m_db->handle(), Queries::menuNeighbour(step < 0), {entry});
    if (other.isNull())
        return false;
    const QVariant mine = scalarOf(m_db->handle(), Queries::menuOrderOf(), {entry});
    const QVariant theirs = scalarOf(m_db->handle(), Queries::menuOrderOf(), {other});
    return m_db->write(
        [&](QString *e) {
            return m_db->run(Queries::menuSetOrder(), {entry, theirs}, e) &&
                   m_db->run(Queries::menuSetOrder(), {other, mine}, e);
        },
        error);
}

bool MenuStore::removeEntry(qint64 entry, QString *error)
{
    return write(Queries::menuDeleteEntry(), {entry}, error);
}

} // namespace Menus
