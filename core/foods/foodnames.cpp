#include "core/foods/foodnames.h"

#include "core/store/datasource.h"

namespace FoodNames {

QString fullName(const QString &connection, qint64 food)
{
    const QString key = QString::number(food);
    DataSource source;
    source.setConnectionString(connection);
    source.setRecordSource(QStringLiteral("SELECT eys.FNM, eys.SNM FROM eys WHERE(eys.SID=") + key +
                           QStringLiteral(")"));
    if (!source.refresh()) {
        // A store made before full names.
        source.setRecordSource(QStringLiteral("SELECT NULL, eys.SNM FROM eys WHERE(eys.SID=") +
                               key + QStringLiteral(")"));
        if (!source.refresh())
            return QString();
    }
    if (source.eof())
        return QString();
    const QString full = source.value(0, 0).toString();
    return full.isEmpty() ? source.value(0, 1).toString() : full;
}

} // namespace FoodNames
