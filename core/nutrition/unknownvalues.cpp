#include "core/nutrition/unknownvalues.h"

#include "core/store/datasource.h"
#include "core/store/queries.h"

namespace UnknownValues {

namespace {

// One row per line that uses a food with an unknown value of some field:
// the dish, the food's name, then one 0/1 column per field.
QHash<qint64, ByField> collect(const QString &connection, std::optional<qint64> dish,
                               const QStringList &fields)
{
    QHash<qint64, ByField> result;
    if (fields.isEmpty())
        return result;
    DataSource source;
    source.setConnectionString(connection);
    source.setRecordSource(Queries::linesWithUnknown(fields, dish));
    if (!source.refresh())
        return result;
    const int rows = source.recordCount();
    for (int row = 0; row < rows; ++row) {
        ByField &byField = result[source.value(row, 0).toLongLong()];
        const QString name = source.value(row, 1).toString();
        for (int i = 0; i < fields.size(); ++i) {
            if (source.value(row, 2 + i).toInt() == 0)
                continue;
            QStringList &names = byField[fields[i]];
            if (!names.contains(name))
                names << name;
        }
    }
    return result;
}

} // namespace

ByField ofDish(const QString &connection, qint64 dish, const QStringList &fields)
{
    return collect(connection, dish, fields).value(dish);
}

QHash<qint64, ByField> ofAllDishes(const QString &connection, const QStringList &fields)
{
    return collect(connection, std::nullopt, fields);
}

QString note(const QStringList &foods)
{
    return QStringLiteral("未測定を含む: ") + foods.join(QStringLiteral("、"));
}

} // namespace UnknownValues
