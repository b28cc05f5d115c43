#pragma once

#include <QLineF>
#include <QPointF>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>
#include <vector>

// The geometry of the comparison window's radar chart, in the chart surface's
// own twips (origin top-left, y downwards). Everything here is a pure function
// of the texts the comparison table shows; the surface only paints the result,
// mapping these plain points and colours onto its painter.
namespace RadarChart {

// A colour as red, green and blue components (0-255).
struct Rgb
{
    int red;
    int green;
    int blue;
    friend constexpr bool operator==(const Rgb &, const Rgb &) = default;
};

// An open or closed line through points, in drawing order.
using Polyline = std::vector<QPointF>;

// One of the nine axes. `element` is the row shared with the window's Data and
// Kdata arrays; `direction` is clockwise from straight up; a value equal to
// `fullScale` lands exactly on the fixed end point (endX, endY). The end points
// are whole-twip positions used as they stand, never recomputed from the
// direction.
struct Axis
{
    int element;
    QStringView caption;
    double direction;
    double fullScale;
    double endX;
    double endY;
};

inline constexpr int axisCount = 9;

inline constexpr std::array<Axis, axisCount> ChartAxis{{
    {2, u"ｴﾈﾙｷﾞｰ", 0, 3510, 2800, 450},
    {3, u"ﾀﾝﾊﾟｸ質", 40, 117, 4065, 870},
    {4, u"ｶﾙｼｳﾑ", 80, 1170, 4755, 2070},
    {5, u"鉄", 120, 15.6, 4515, 3390},
    {6, u"ﾋﾞﾀﾐﾝA", 160, 2600, 3495, 4290},
    {7, u"ﾋﾞﾀﾐﾝB1", 200, 1.43, 2115, 4260},
    {8, u"ﾋﾞﾀﾐﾝB2", 240, 1.95, 1065, 3390},
    {9, u"ﾅｲｱｼﾝ", 280, 23.4, 825, 2070},
    {10, u"ﾋﾞﾀﾐﾝC", 320, 65, 1515, 900},
}};

// The degree-to-radian factor uses this value of pi; the ring and spoke
// points depend on it to the last digit.
inline constexpr double Pi = 3.14159265353238;

inline constexpr double centreX = 2800;
inline constexpr double centreY = 2400;
inline constexpr double spokeRadius = 1900;
inline constexpr double ringStep = 500;   // rings at 500, 1000, 1500 (while r <= 1900)
inline constexpr int angleStep = 40;      // 360 / 9
inline constexpr int surfaceWidth = 5655; // the chart surface, twips
inline constexpr int surfaceHeight = 4815;

inline constexpr Rgb ringColour{200, 200, 200};
inline constexpr Rgb calculatedColour{0, 255, 0};
inline constexpr Rgb standardColour{255, 0, 0};
inline constexpr int gridPenPixels = 1;
inline constexpr int polygonPenPixels = 2;

QPointF centre();

// The point at angle `degrees` and distance `radius` from the centre:
// (2800 + r sin a, 2400 + r cos a), so -180 and 180 point straight up.
QPointF pointAt(double degrees, double radius);

// Three closed nine-sided rings as polylines of ten points each (the last
// point repeats the first), innermost first.
std::vector<Polyline> rings();
// Ten spokes from the centre at the ring angles -180 ... 180.
std::vector<QLineF> spokes();

// C + (value / S) x (end point - C), with S the axis's own full scale or
// the one given.
QPointF vertex(const Axis &axis, double value);
QPointF vertex(const Axis &axis, double value, double fullScale);

// The values of one column for the elements 2 to 10, in axis order, as the
// comparison table shows them; a value that is not there sits at the centre.
using Column = std::array<std::optional<double>, axisCount>;
// A full scale per axis, in axis order.
using Scales = std::array<double, axisCount>;

// The axes' own full scales (the table above).
Scales fixedScales();

// The polyline of one column: the vertex of element 2, then those of 3 to 10,
// then element 2 again (ten points).
Polyline polygon(const Column &values);
Polyline polygon(const Column &values, const Scales &scales);

// What the chart shows: the calculated values and the standard values of the
// comparison, on the full scales given.
struct Values
{
    Column calculated;
    Column standard;
    Scales scales = fixedScales();
};

// Everything the surface draws, in drawing order: rings, spokes, the green
// calculated polygon, then the red standard polygon over it.
struct Figure
{
    std::vector<Polyline> rings;
    std::vector<QLineF> spokes;
    Polyline calculated;
    Polyline standard;
};

Figure figure(const Values &values);

} // namespace RadarChart
