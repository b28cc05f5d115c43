#pragma once

#include "core/nutrition/radarchart.h"

#include <QWidget>
#include <functional>

class QPainter;

// The comparison window's drawing surface (Picture1). It keeps no image: every
// expose, resize or requested redraw paints the background, the grid and both
// polygons again from the values its source reads out of the comparison table
// at that moment. Coordinates are twips mapped to device pixels, antialiased,
// so the chart stays sharp at any screen scale.
class ChartSurface : public QWidget
{
    Q_OBJECT

public:
    explicit ChartSurface(QWidget *parent = nullptr);

    // Where the surface reads the values it plots.
    void setValueSource(std::function<RadarChart::Values()> source);
    RadarChart::Values values() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::function<RadarChart::Values()> m_source;
};

// A straight line drawn over a container, between two points in the
// container's twips (the chart legend's coloured strokes).
class LineShape : public QWidget
{
    Q_OBJECT

public:
    LineShape(QWidget *parent, const QString &name, const QColor &colour, int widthPixels, int x1,
              int y1, int x2, int y2);

    QColor colour() const { return m_colour; }
    QLineF line() const { return m_line; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_colour;
    int m_widthPixels;
    QLineF m_line; // twips, in the container
};
