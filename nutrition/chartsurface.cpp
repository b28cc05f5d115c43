#include "nutrition/chartsurface.h"

#include "app/twips.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <cmath>

ChartSurface::ChartSurface(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent); // paintEvent clears the whole surface itself
}

void ChartSurface::setValueSource(std::function<RadarChart::Values()> source)
{
    m_source = std::move(source);
    update();
}

RadarChart::Values ChartSurface::values() const
{
    return m_source ? m_source() : RadarChart::Values{};
}

QColor ChartSurface::colourOf(RadarChart::Rgb rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

static QPen chartPen(const QColor &colour, int pixels, double pixelsPerTwip)
{
    // The painter works in twips, so a width of n pixels is n / pixelsPerTwip
    // twips; the pen then scales with the device pixel ratio like everything
    // else instead of staying one hairline device pixel.
    QPen pen(colour, pixels / pixelsPerTwip);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
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

void ChartSurface::render(QPainter &painter, const RadarChart::Figure &figure, double pixelsPerTwip,
                          const QColor &background, const QColor &foreground)
{
    using namespace RadarChart;
    painter.save();
    // Clear the whole device; its edge is the only clipping of the chart.
    painter.fillRect(painter.window(), background);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(pixelsPerTwip, pixelsPerTwip);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(chartPen(colourOf(ringColour), gridPenPixels, pixelsPerTwip));
    for (const Polyline &ring : figure.rings)
        painter.drawPolyline(ring.data(), int(ring.size()));
    painter.setPen(chartPen(foreground, gridPenPixels, pixelsPerTwip));
    for (const QLineF &spoke : figure.spokes)
        painter.drawLine(spoke);

    painter.setPen(chartPen(colourOf(calculatedColour), polygonPenPixels, pixelsPerTwip));
    drawPolygonLine(painter, figure.calculated);
    painter.setPen(chartPen(colourOf(standardColour), polygonPenPixels, pixelsPerTwip));
    drawPolygonLine(painter, figure.standard);
    painter.restore();
}

void ChartSurface::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    render(painter, RadarChart::figure(values()), Twips::toPixelsF(1),
           palette().color(QPalette::Base), palette().color(QPalette::Text));
}

// --- LineShape --------------------------------------------------------------

LineShape::LineShape(QWidget *parent, const QString &name, const QColor &colour, int widthPixels,
                     int x1, int y1, int x2, int y2)
    : QWidget(parent)
    , m_colour(colour)
    , m_widthPixels(widthPixels)
    , m_line(x1, y1, x2, y2)
{
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    // The widget covers the line's bounds plus the pen on every side.
    const QRectF bounds = QRectF(m_line.p1(), m_line.p2()).normalized();
    const int margin = int(std::ceil(widthPixels)) + 1;
    setGeometry(Twips::toPixels(int(bounds.left())) - margin,
                Twips::toPixels(int(bounds.top())) - margin,
                int(std::ceil(Twips::toPixelsF(bounds.width()))) + 2 * margin,
                int(std::ceil(Twips::toPixelsF(bounds.height()))) + 2 * margin);
}

void LineShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Container twips to this widget's pixels.
    painter.translate(-pos());
    const double pixelsPerTwip = Twips::toPixelsF(1);
    painter.scale(pixelsPerTwip, pixelsPerTwip);
    painter.setPen(chartPen(m_colour, m_widthPixels, pixelsPerTwip));
    painter.drawLine(m_line);
}
