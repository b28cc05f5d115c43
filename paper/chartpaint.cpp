#include "paper/chartpaint.h"

#include <QPainter>
#include <QPen>

QColor ChartPaint::colourOf(RadarChart::Rgb rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QPen ChartPaint::pen(const QColor &colour, int pixels, double pixelsPerTwip)
{
    // The painter works in twips, so a width of n pixels is n / pixelsPerTwip
    // twips; the pen then scales with the device pixel ratio like everything
    // else instead of staying one hairline device pixel.
    QPen made(colour, pixels / pixelsPerTwip);
    made.setCapStyle(Qt::RoundCap);
    made.setJoinStyle(Qt::RoundJoin);
    return made;
}

// A polygon whose vertices all coincide (every value 0 or empty) has no length
// to stroke; it is shown as a dot of the pen's width at that point.
static void drawPolygonLine(QPainter &painter, const RadarChart::Polyline &line)
{
    if (line.empty())
        return;
    const QPolygonF points(QList<QPointF>(line.begin(), line.end()));
    const QRectF bounds = points.boundingRect();
    if (bounds.width() == 0 && bounds.height() == 0)
        painter.drawPoint(points.first());
    else
        painter.drawPolyline(points);
}

void ChartPaint::render(QPainter &painter, const RadarChart::Figure &figure, double pixelsPerTwip,
                        const QColor &background, const QColor &foreground)
{
    using namespace RadarChart;
    painter.save();
    // Clear the whole device; its edge is the only clipping of the chart.
    painter.fillRect(painter.window(), background);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(pixelsPerTwip, pixelsPerTwip);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(pen(colourOf(ringColour), gridPenPixels, pixelsPerTwip));
    for (const Polyline &ring : figure.rings)
        painter.drawPolyline(ring.data(), int(ring.size()));
    painter.setPen(pen(foreground, gridPenPixels, pixelsPerTwip));
    for (const QLineF &spoke : figure.spokes)
        painter.drawLine(spoke);

    painter.setPen(pen(colourOf(calculatedColour), polygonPenPixels, pixelsPerTwip));
    drawPolygonLine(painter, figure.calculated);
    painter.setPen(pen(colourOf(standardColour), polygonPenPixels, pixelsPerTwip));
    drawPolygonLine(painter, figure.standard);
    painter.restore();
}
