#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Food values the table marks as not determined are stored as null, and a sum
// over a dish's lines passes over them: the total is computed from the foods
// that have the value. This finds, per value field, the foods whose value a
// dish total leaves out, so a window can say so beside the total.
namespace UnknownValues {

// Field name (an eys value field) -> the names of the foods whose value is
// unknown, in the order of the dish's lines, each once. Fields without such a
// food are absent.
using ByField = QHash<QString, QStringList>;

// The lines of one dish.
ByField ofDish(const QString &connection, qint64 dish, const QStringList &fields);

// The lines of every dish, by dish key; dishes without such a food are absent.
QHash<qint64, ByField> ofAllDishes(const QString &connection, const QStringList &fields);

// The tooltip of a total that leaves values out: 「未測定を含む: 食品、食品」.
QString note(const QStringList &foods);

} // namespace UnknownValues
