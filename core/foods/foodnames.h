#pragma once

#include <QString>
#include <functional>

// The names of a food. A food is listed by its short name (eys.SNM); the
// official table's full name (eys.FNM) keeps the group the short name drops.
namespace FoodNames {

// The full name of a food: FNM where it has one (official foods), SNM
// otherwise (the user's foods, a store made before full names). Empty for a
// food the store does not hold.
QString fullName(const QString &connection, qint64 food);

// A name shortened until fits says it fits, keeping the words at its end that
// tell foods apart (the cut, the state: 生, ゆで …). The words in brackets
// before the last (［和牛肉］, （かんきつ類）) give way first, then the leading
// words, each left as "…"; last of all the last words lose their
// beginning. The name itself when it fits.
QString elided(const QString &name, const std::function<bool(const QString &)> &fits);

} // namespace FoodNames
