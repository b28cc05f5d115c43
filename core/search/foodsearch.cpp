#include "core/search/foodsearch.h"

#include "core/nutrition/nutrients.h"
#include "core/search/readingsearch.h"
#include "core/store/database.h"
#include "core/store/datasource.h"
#include "core/store/queries.h"

#include <QStringList>

FoodSearch::FoodSearch(const QString &connectionString)
    : m_connectionString(connectionString)
    , m_results(std::make_unique<DataSource>())
{
}

FoodSearch::~FoodSearch() = default;

QStringList FoodSearch::rankingNames()
{
    QStringList names;
    for (const Nutrients::Nutrient *nutrient : Nutrients::ranked())
        names << nutrient->rankingName.toString();
    return names;
}

QString FoodSearch::rankingFieldFor(const QString &name)
{
    const Nutrients::Nutrient *nutrient = Nutrients::byRankingName(name);
    return nutrient ? QString(nutrient->field) : QString();
}

QString FoodSearch::rankingQuery(const QString &field)
{
    return Queries::foodsByNutrient(field);
}

QString FoodSearch::readingQuery(const QString &reading)
{
    const ReadingSearch::Words words = ReadingSearch::words(reading);
    QStringList readings, names;
    for (const QString &word : words.reading)
        readings << Queries::likeLiteral(word);
    for (const QString &word : words.name)
        names << Queries::likeLiteral(word);
    return Queries::foodsByReading(readings, names);
}

bool FoodSearch::byReading(const QString &reading)
{
    // The store decides how the rows are found (its reading index, where it
    // has one); the rows and their order are those of readingQuery().
    const std::shared_ptr<Database> store = Database::open(m_connectionString, nullptr);
    if (!store)
        return run(ReadingSearch::query(nullptr, reading));
    return run(ReadingSearch::query(store->handle(), reading, [&] { return ranksOf(*store); }));
}

void FoodSearch::prepareReadingSearch()
{
    const std::shared_ptr<Database> store = Database::open(m_connectionString, nullptr);
    if (store && ReadingSearch::hasReadingIndex(store->handle()))
        ranksOf(*store);
}

const ReadingSearch::Ranks *FoodSearch::ranksOf(Database &store)
{
    // The mark is taken first: a change while the ranks are read shows as
    // a new mark next time.
    const Database::TableMark mark = store.markOf("eys");
    if (!m_ranksRead || !(mark == m_ranksMark)) {
        m_ranksMark = mark;
        m_ranksRead = m_ranks.read(store.handle());
    }
    return m_ranksRead ? &m_ranks : nullptr;
}

bool FoodSearch::byRanking(const QString &field)
{
    // Text that names no nutrient gives no field: nothing to rank by.
    if (field.isEmpty())
        return true;
    return run(rankingQuery(field));
}

bool FoodSearch::run(const QString &sql)
{
    m_results->setConnectionString(m_connectionString);
    m_results->setRecordSource(sql);
    if (!m_results->refresh()) {
        m_error = m_results->errorString();
        return false;
    }
    return true;
}

std::optional<FoodSearch::Found> FoodSearch::foodAt(int row) const
{
    DataSource &rows = *m_results;
    if (row < 0 || rows.columnCount() < 4 || row >= rows.rowCount())
        return std::nullopt;
    bool isKey = false;
    const qint64 id = rows.value(row, 0).toLongLong(&isKey);
    if (!isKey)
        return std::nullopt;
    return Found{id, rows.text(row, 1), rows.text(row, 3)};
}
