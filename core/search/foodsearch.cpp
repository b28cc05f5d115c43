#include "core/search/foodsearch.h"

#include "core/nutrition/nutrients.h"
#include "core/search/kana.h"
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
    // The text becomes the inside of a quoted LIKE pattern: the escape
    // character and the two wildcards are escaped so that they match
    // themselves, a quote is doubled, and a NUL (which would end the query
    // text) is dropped.
    const QString folded = Kana::toHalfWidth(reading);
    QString literal;
    literal.reserve(folded.size() + 8);
    for (QChar c : folded) {
        switch (c.unicode()) {
        case u'\\':
        case u'%':
        case u'_':
            literal += QLatin1Char('\\');
            literal += c;
            break;
        case u'\'':
            literal += QLatin1String("''");
            break;
        case 0:
            break;
        default:
            literal += c;
        }
    }
    return Queries::foodsByReading(literal);
}

bool FoodSearch::byReading(const QString &reading)
{
    return run(readingQuery(reading));
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
