#include "nutrition/chartsurface.h"
#include "core/nutrition/radarchart.h"

#include <QImage>
#include <QPainter>
#include <QtTest>
#include <cmath>

using namespace RadarChart;

namespace {

constexpr double pixelsPerTwip = 1.0 / 15; // 96 dpi

bool isGreen(QRgb c)
{
    return qGreen(c) > 150 && qRed(c) < 130 && qBlue(c) < 130;
}

bool isRed(QRgb c)
{
    return qRed(c) > 150 && qGreen(c) < 130 && qBlue(c) < 130;
}

bool isGrey(QRgb c)
{
    return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) && qRed(c) > 150 && qRed(c) < 255;
}

// Is there a pixel of that kind within one pixel of the point (twips)?
template <typename Kind> bool near(const QImage &image, QPointF twips, Kind kind)
{
    const int x = int(std::floor(twips.x() * pixelsPerTwip));
    const int y = int(std::floor(twips.y() * pixelsPerTwip));
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.valid(x + dx, y + dy) && kind(image.pixel(x + dx, y + dy)))
                return true;
    return false;
}

QImage draw(const Values &values)
{
    QImage image(int(std::ceil(surfaceWidth * pixelsPerTwip)),
                 int(std::ceil(surfaceHeight * pixelsPerTwip)), QImage::Format_RGB32);
    QPainter painter(&image);
    ChartSurface::render(painter, figure(values), pixelsPerTwip, Qt::white, Qt::black);
    return image;
}

Column filled(const QString &text)
{
    Column column;
    column.fill(text);
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

    void textsAreReadByTheirLeadingNumber()
    {
        QCOMPARE(readValue(QString()), 0.0);
        QCOMPARE(readValue(QStringLiteral("abc")), 0.0);
        QCOMPARE(readValue(QStringLiteral("12.5")), 12.5);
        QCOMPARE(readValue(QStringLiteral("12.5 mg")), 12.5);
        QCOMPARE(readValue(QStringLiteral("-3")), -3.0);

        Column texts = filled(QStringLiteral("x"));
        texts[0] = QStringLiteral("1755");
        const QPolygonF points = polygon(texts);
        QCOMPARE(points.size(), 10);
        QCOMPARE(points.first(), QPointF(2800, 1425));
        QCOMPARE(points.last(), points.first()); // closed back to the energy vertex
        for (int i = 1; i < 9; ++i)
            QCOMPARE(points[i], centre()); // texts without a number sit at the centre
    }

    void gridRingsAndSpokes()
    {
        const auto all = rings();
        QCOMPARE(all.size(), size_t(3));
        for (size_t k = 0; k < all.size(); ++k) {
            const double r = 500.0 * double(k + 1);
            QCOMPARE(all[k].size(), 10);
            // The first vertex points straight up (angle -180).
            QVERIFY(distance(all[k].first(), QPointF(2800, 2400 - r)) < 1e-6);
            QVERIFY(distance(all[k].last(), all[k].first()) < 1e-6);
            for (const QPointF &p : all[k])
                QVERIFY(std::fabs(distance(p, centre()) - r) < 1e-6);
        }
        // A standard energy of 2700 meets the outer ring's top vertex.
        QVERIFY(distance(all[2].first(), vertex(ChartAxis[0], 2700)) < 1e-6);

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

    void renderedPolygonsLandOnTheirVertices()
    {
        // Standards at the simpler figures (on the outer ring), one at full
        // scale; the calculated polygon runs from the centre up to its energy.
        Values values;
        values.calculated = filled(QStringLiteral("0"));
        values.calculated[0] = QStringLiteral("1755");
        values.standard = {QStringLiteral("2700"), QStringLiteral("117"),  QStringLiteral("900"),
                           QStringLiteral("12"),   QStringLiteral("2000"), QStringLiteral("1.1"),
                           QStringLiteral("1.5"),  QStringLiteral("18"),   QStringLiteral("50")};
        const QImage image = draw(values);

        QVERIFY(near(image, QPointF(2800, 1425), isGreen));
        QVERIFY(!near(image, QPointF(2800, 1100), isGreen));
        QVERIFY(near(image, QPointF(2800, 900), isRed));
        QVERIFY(near(image, QPointF(4065, 870), isRed)); // protein at full scale
        QVERIFY(!near(image, QPointF(2800, 600), isRed));
        QVERIFY(near(image, vertex(ChartAxis[8], 50), isRed)); // vitamin C near the ring
        // The grid stays where no polygon runs: a ring vertex and the canvas.
        QVERIFY(near(image, pointAt(-180 + 3 * 40, 1000), isGrey));
        QCOMPARE(image.pixel(5, 5), QColor(Qt::white).rgb());

        values.calculated[0] = QStringLiteral("3510");
        QVERIFY(near(draw(values), QPointF(2800, 450), isGreen));
    }

    void emptyValueDrawsAtTheCentre()
    {
        Values values;
        values.calculated = filled(QStringLiteral("1000000")); // far off the surface
        values.calculated[0] = QString();
        values.calculated[1] = QStringLiteral("117");
        values.standard = filled(QString());
        values.standard[4] = QStringLiteral("2600");
        values.standard[5] = QStringLiteral("1.43");
        const QImage image = draw(values);
        // Green runs from the centre (energy) to the protein end point.
        QVERIFY(near(image, centre(), isRed)); // both polygons pass the centre; red is on top
        QVERIFY(near(image, (centre() + QPointF(4065, 870)) / 2, isGreen));
        // Red: every empty standard sits at the centre, so its edges run from
        // there to the two filled axes.
        QVERIFY(near(image, (centre() + QPointF(3495, 4290)) / 2, isRed));
        QVERIFY(near(image, (QPointF(3495, 4290) + QPointF(2115, 4260)) / 2, isRed));
    }

    void penWidthsFollowTheScreenScale()
    {
        // On a screen at twice the density the chart is drawn with twice the
        // device pixels, lines included, rather than scaled up afterwards.
        Values values;
        values.calculated = filled(QStringLiteral("0"));
        values.calculated[0] = QStringLiteral("3510"); // a vertical green line up the spoke
        values.standard = filled(QStringLiteral("1000000"));
        auto greenRun = [&](double ratio) {
            QImage image(int(std::ceil(surfaceWidth * pixelsPerTwip * ratio)),
                         int(std::ceil(surfaceHeight * pixelsPerTwip * ratio)),
                         QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            QPainter painter(&image);
            ChartSurface::render(painter, figure(values), pixelsPerTwip, Qt::white, Qt::black);
            painter.end();
            const int y = int(1900 * pixelsPerTwip * ratio);
            int run = 0;
            for (int x = 0; x < image.width(); ++x)
                run += qGreen(image.pixel(x, y)) > 200 && qRed(image.pixel(x, y)) < 60 ? 1 : 0;
            return run;
        };
        const int normal = greenRun(1);
        const int dense = greenRun(2);
        QVERIFY2(normal >= 1 && normal <= 3, qPrintable(QString::number(normal)));
        QVERIFY2(dense >= 2 * normal && dense <= 2 * normal + 2,
                 qPrintable(QString::number(dense)));
    }

    void standardCoversCalculatedWhereTheyMeet()
    {
        Values values;
        values.calculated = filled(QStringLiteral("0"));
        values.calculated[0] = QStringLiteral("2700");
        values.standard = values.calculated;
        const QImage image = draw(values);
        QVERIFY(near(image, QPointF(2800, 900), isRed));
        QVERIFY(!near(image, QPointF(2800, 900), isGreen));
    }
};

QTEST_MAIN(TestRadarChart)
#include "tst_radarchart.moc"
