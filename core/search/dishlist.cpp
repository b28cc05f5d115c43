#include "core/search/dishlist.h"

#include "core/store/datasource.h"

DishList::DishList(const QString &connectionString)
    : m_connectionString(connectionString)
    , m_rows(std::make_unique<DataSource>())
{
}

DishList::~DishList() = default;

QString DishList::overviewQuery()
{
    return QStringLiteral("SELECT mnu.ID,mnu.アイテム名,") +
           QStringLiteral("Sum(eys.ENC*kou.数量2) AS SENC,") +
           QStringLiteral("Sum(kou.数量2*100) AS SSU,") +
           QStringLiteral("int(Sum(eys.NAT*kou.数量2)*100+0.5)/100 AS SNAT ") +
           QStringLiteral("FROM mnu,kou,eys ") +
           QStringLiteral("WHERE((mnu.ID = kou.アイテムCD) AND (kou.食品コード = eys.SID)) ") +
           QStringLiteral("GROUP BY mnu.ID,mnu.アイテム名");
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
