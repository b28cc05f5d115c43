#pragma once

#include "core/nutrition/nutrientsheet.h"

#include <QColor>
#include <QRectF>

class QPainter;

// The bar of the energy-producing nutrient balance: protein, fat and
// carbohydrate side by side, each as wide as its share of the energy, with
// the person's goal range of each as a mark below its part. 栄養成分一覧 shows
// it, and the printed 栄養成分一覧 paints the same bar.
namespace PfcBar {

// Paints the bar within `area`: the bar in its upper two thirds on `base`,
// the goals' marks below; `frame` for the outline.
void paint(QPainter &painter, const QRectF &area, const NutrientSheet::Balance &balance,
           const QColor &base, const QColor &frame);

} // namespace PfcBar
