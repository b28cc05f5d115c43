#include "core/nutrition/radarchart.h"

#include <QtTest>
#include <cmath>

using namespace RadarChart;

namespace {

Column filled(std::optional<double> value)
{
    Column column;
    column.fill(value);
    return column;
}

double distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

// Direction of a point seen from the centre, clockwise from straight up.
double directionOf(QPointF p)
{
    double degrees = std::atan2(p.x() - centreX, centreY - p.y()) * 180 / M_PI;
    return degrees < 0 ? degrees + 360 : degrees;
}

} // namespace

class TestRadarChart : public QObject
{
    Q_OBJECT

private slots:
    void axisTableIsConsistent()
    {
        // Each end point lies on its direction, at the documented distance,
        // and the simpler figure (S / 1.3) lands on or just outside the
        // outer ring: a mistyped table entry breaks one of these.
        int element = 2;
        for (const Axis &axis : ChartAxis) {
            QCOMPARE(axis.element, element++);
            const QPointF end(axis.endX, axis.endY);
            const double r = distance(end, centre());
            QVERIFY2(r >= 1950 && r <= 2014, qPrintable(axis.caption.toString()));
            double off = std::fabs(directionOf(end) - axis.direction);
            off = std::min(off, 360 - off);
            QVERIFY2(off <= 0.6, qPrintable(axis.caption.toString()));
            const double simple = r / 1.3;
            QVERIFY2(simple >= 1500 && simple <= 1550, qPrintable(axis.caption.toString()));
            QCOMPARE(vertex(axis, axis.fullScale), end);
        }
    }

    void verticesFollowTheFixedScale()
    {
        const Axis &energy = ChartAxis[0];
        QCOMPARE(vertex(energy, 1755), QPointF(2800, 1425));
        QCOMPARE(vertex(energy, 3510), QPointF(2800, 450));
        QCOMPARE(vertex(energy, 2700), QPointF(2800, 900));
        QCOMPARE(vertex(energy, 0), centre());
        // Beyond full scale and below zero: nothing is clipped or folded.
        QCOMPARE(vertex(energy, 7020), QPointF(2800, -1500));
        QCOMPARE(vertex(energy, -1755), QPointF(2800, 3375));
        const Axis &iron = ChartAxis[3];
        const QPointF half = vertex(iron, 7.8);
        QVERIFY(qFuzzyCompare(half.x(), (2800 + 4515) / 2.0));
        QVERIFY(qFuzzyCompare(half.y(), (2400 + 3390) / 2.0));
    }

    void missingValuesSitAtTheCentre()
    {
        Column values = filled(std::nullopt);
        values[0] = 1755;
        const Polyline points = polygon(values);
        QCOMPARE(points.size(), size_t(10));
        QCOMPARE(points.front(), QPointF(2800, 1425));
        QCOMPARE(points.back(), points.front()); // closed back to the energy vertex
        for (int i = 1; i < 9; ++i)
            QCOMPARE(points[i], centre()); // values that are not there sit at the centre
    }

    void gridRingsAndSpokes()
    {
        const auto all = rings();
        QCOMPARE(all.size(), size_t(3));
        for (size_t k = 0; k < all.size(); ++k) {
            const double r = 500.0 * double(k + 1);
            QCOMPARE(all[k].size(), size_t(10));
            // The first vertex points straight up (angle -180).
            QVERIFY(distance(all[k].front(), QPointF(2800, 2400 - r)) < 1e-6);
            QVERIFY(distance(all[k].back(), all[k].front()) < 1e-6);
            for (const QPointF &p : all[k])
                QVERIFY(std::fabs(distance(p, centre()) - r) < 1e-6);
        }
        // A standard energy of 2700 meets the outer ring's top vertex.
        QVERIFY(distance(all[2].front(), vertex(ChartAxis[0], 2700)) < 1e-6);

        const auto lines = spokes();
        QCOMPARE(lines.size(), size_t(10));
        for (const Axis &axis : ChartAxis) {
            bool found = false;
            for (const QLineF &spoke : lines) {
                QCOMPARE(spoke.p1(), centre());
                QVERIFY(std::fabs(spoke.length() - 1900) < 1e-6);
                double off = std::fabs(directionOf(spoke.p2()) - axis.direction);
                found = found || std::min(off, 360 - off) < 0.01;
            }
            QVERIFY2(found, qPrintable(axis.caption.toString()));
        }
    }
};

QTEST_MAIN(TestRadarChart)
#include "tst_radarchart.moc"
