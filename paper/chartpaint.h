#pragma once

#include "core/nutrition/radarchart.h"

#include <QColor>
#include <QPen>

class QPainter;

// The radar chart's figure painted on any device: the comparison window's
// surface and the printed page.
namespace ChartPaint {

QColor colourOf(RadarChart::Rgb rgb);
// A pen of `pixels` width for a painter that works in twips.
QPen pen(const QColor &colour, int pixels, double pixelsPerTwip);

// Paints a figure with `painter` already set up for a surface of the
// chart's twips size: `pixelsPerTwip` maps twips to the painter's logical
// pixels; pen widths are in those pixels.
void render(QPainter &painter, const RadarChart::Figure &figure, double pixelsPerTwip,
            const QColor &background, const QColor &foreground);

} // namespace ChartPaint
