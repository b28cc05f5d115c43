#pragma once

#include "core/nutrition/components.h"

#include <QList>
#include <QString>
#include <optional>

// The components of one food that the component table (sbn) keeps: every
// component of the official table that none of the food's 23 value fields
// holds, each a number or unknown with the marker the table wrote it with.
namespace FoodComponents {

// The places in Components::all of the components sbn keeps, in table order.
const QList<int> &stored();

// The food's values of stored(), in that order; every one unknown for a food
// without a row (the user's own foods, a store made before the table). Nothing
// when the store cannot be read, with *error.
std::optional<QList<Components::Value>> read(const QString &connection, qint64 food,
                                             QString *error = nullptr);

// The most a food may hold of component index (a place in Components::all)
// per 100 g: 100 % of waste, 100 g of a gram component (111 g of available
// carbohydrate in monosaccharide equivalents: 100 g of starch weighs 111 g
// as glucose), and ten times the official table's largest value for the
// minerals and vitamins.
double largest(int index);
// Why values (those of stored(), in that order) cannot be stored: the first
// value over its bound, as a message naming the component; empty when none.
// A component's value is shown as typed when typed holds it.
QString boundProblem(const QList<Components::Value> &values, int *row = nullptr,
                     const QStringList &typed = {});

// Writes the food's values of stored() (in that order) in one transaction,
// keeping the markers of the components its value fields hold. False, with
// *error and nothing changed, when the store refuses it or a value is negative,
// not finite or over its bound (boundProblem).
bool write(const QString &connection, qint64 food, const QList<Components::Value> &values,
           QString *error);

} // namespace FoodComponents
