#include "nutrition/chartsurface.h"

#include "app/twips.h"
#include "paper/chartpaint.h"

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

void ChartSurface::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    ChartPaint::render(painter, RadarChart::figure(values()), Twips::toPixelsF(1),
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
    painter.setPen(ChartPaint::pen(m_colour, m_widthPixels, pixelsPerTwip));
    painter.drawLine(m_line);
}
