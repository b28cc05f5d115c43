#pragma once

#include <QString>

// The names of a food. A food is listed by its short name (eys.SNM); the
// official table's full name (eys.FNM) keeps the group the short name drops.
namespace FoodNames {

// The full name of a food: FNM where it has one (official foods), SNM
// otherwise (the user's foods, a store made before full names). Empty for a
// food the store does not hold.
QString fullName(const QString &connection, qint64 food);

} // namespace FoodNames
