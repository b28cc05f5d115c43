#include "core/nutrition/unknownvalues.h"

#include "core/store/datasource.h"

namespace UnknownValues {

namespace {

// One row per line that uses a food with an unknown value of some field:
// the dish, the food's name, then one 0/1 column per field.
QHash<qint64, ByField> collect(const QString &connection, const QString &dishCondition,
                               const QStringList &fields)
{
    QHash<qint64, ByField> result;
    if (fields.isEmpty())
        return result;
    QStringList flags, anyUnknown;
    for (const QString &f : fields) {
        flags << QStringLiteral("(eys.%1 IS NULL)").arg(f);
        anyUnknown << QStringLiteral("(eys.%1 IS NULL)").arg(f);
    }
    DataSource source;
    source.setConnectionString(connection);
    source.setRecordSource(QStringLiteral("SELECT kou.アイテムCD,eys.SNM,") + flags.join(u',') +
                           QStringLiteral(" FROM kou,eys WHERE((kou.食品コード=eys.SID)") +
                           dishCondition + QStringLiteral(" AND (") +
                           anyUnknown.join(QStringLiteral(" OR ")) +
                           QStringLiteral(")) ORDER BY kou.アイテムCD,kou.ID"));
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
    return collect(connection,
                   QStringLiteral(" AND (kou.アイテムCD=") + QString::number(dish) +
                       QStringLiteral(")"),
                   fields)
        .value(dish);
}

QHash<qint64, ByField> ofAllDishes(const QString &connection, const QStringList &fields)
{
    return collect(connection, QString(), fields);
}

QString note(const QStringList &foods)
{
    return QStringLiteral("未測定を含む: ") + foods.join(QStringLiteral("、"));
}

} // namespace UnknownValues
