#include "core/nutrition/radarchart.h"

#include "core/store/numbertext.h"

#include <cmath>

namespace RadarChart {

QPointF centre()
{
    return {centreX, centreY};
}

QPointF pointAt(double degrees, double radius)
{
    const double radians = degrees * Pi / 180;
    return {centreX + radius * std::sin(radians), centreY + radius * std::cos(radians)};
}

std::vector<Polyline> rings()
{
    std::vector<Polyline> result;
    for (double r = ringStep; r <= spokeRadius; r += ringStep) {
        Polyline ring;
        for (int a = -180; a <= 180; a += angleStep)
            ring.push_back(pointAt(a, r));
        result.push_back(ring);
    }
    return result;
}

std::vector<QLineF> spokes()
{
    std::vector<QLineF> result;
    for (int a = -180; a <= 180; a += angleStep)
        result.emplace_back(centre(), pointAt(a, spokeRadius));
    return result;
}

QPointF vertex(const Axis &axis, double value)
{
    return vertex(axis, value, axis.fullScale);
}

QPointF vertex(const Axis &axis, double value, double fullScale)
{
    return {centreX - value * (centreX - axis.endX) / fullScale,
            centreY - value * (centreY - axis.endY) / fullScale};
}

Scales fixedScales()
{
    Scales scales{};
    for (int i = 0; i < axisCount; ++i)
        scales[i] = ChartAxis[i].fullScale;
    return scales;
}

Polyline polygon(const Column &values)
{
    return polygon(values, fixedScales());
}

Polyline polygon(const Column &values, const Scales &scales)
{
    Polyline points;
    points.reserve(axisCount + 1);
    for (int i = 0; i < axisCount; ++i)
        points.push_back(vertex(ChartAxis[i], values[i].value_or(0), scales[i]));
    points.push_back(points.front());
    return points;
}

Figure figure(const Values &values)
{
    return {rings(), spokes(), polygon(values.calculated, values.scales),
            polygon(values.standard, values.scales)};
}

} // namespace RadarChart
