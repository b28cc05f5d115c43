#pragma once

#include "core/menu/menutotals.h"

#include <QByteArray>
#include <optional>

// A dish's counted figures as the store keeps them (mns): its name and
// servings, every component's sum and the foods it leaves out, the grams per
// food group, sealed with a key only this user's program holds. Figures a file brings from
// elsewhere, or that were altered, do not open: they are counted anew from the lines.
namespace Menus {

// The key kept in the user's configuration folder, made at first use; empty
// when it can be neither read nor made (then no figure is kept).
QByteArray sealKey();

QByteArray sealFigures(qint64 dish, const DishFigures &figures, const QByteArray &key);
// The figures sealed for that dish with that key; nothing for anything else
// (another dish's, another key's, a changed or cut byte, another list of
// components).
std::optional<DishFigures> openFigures(qint64 dish, const QByteArray &sealed,
                                       const QByteArray &key);

} // namespace Menus
