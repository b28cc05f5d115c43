#include "core/foods/foodnames.h"

#include "core/store/datasource.h"
#include "core/store/queries.h"

namespace FoodNames {

QString fullName(const QString &connection, qint64 food)
{
    DataSource source;
    source.setConnectionString(connection);
    source.setRecordSource(Queries::foodNames(food, true));
    if (!source.refresh()) {
        // A store made before full names.
        source.setRecordSource(Queries::foodNames(food, false));
        if (!source.refresh())
            return QString();
    }
    if (source.eof())
        return QString();
    const QString full = source.value(0, 0).toString();
    return full.isEmpty() ? source.value(0, 1).toString() : full;
}

} // namespace FoodNames
