#include "core/search/dishlist.h"

#include "core/store/datasource.h"
#include "core/store/queries.h"

DishList::DishList(const QString &connectionString)
    : m_connectionString(connectionString)
    , m_rows(std::make_unique<DataSource>())
{
}

DishList::~DishList() = default;

QString DishList::overviewQuery()
{
    return Queries::dishOverview();
}

bool DishList::load()
{
    m_rows->setConnectionString(m_connectionString);
    m_rows->setRecordSource(overviewQuery());
    if (!m_rows->refresh()) {
        m_error = m_rows->errorString();
        return false;
    }
    return true;
}

std::optional<qint64> DishList::keyAt(int row) const
{
    if (row < 0 || row >= m_rows->rowCount())
        return std::nullopt;
    bool isKey = false;
    const qint64 key = m_rows->value(row, 0).toLongLong(&isKey);
    return isKey ? std::optional<qint64>(key) : std::nullopt;
}
