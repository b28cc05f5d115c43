#include "core/nutrition/radarchart.h"
#include "nutrition/chartsurface.h"
#include "paper/chartpaint.h"

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
    ChartPaint::render(painter, figure(values), pixelsPerTwip, Qt::white, Qt::black);
    return image;
}

Column filled(std::optional<double> value)
{
    Column column;
    column.fill(value);
    return column;
}

} // namespace

// How the surface paints the chart's figure.
class TestChartSurface : public QObject
{
    Q_OBJECT

private slots:
    void renderedPolygonsLandOnTheirVertices()
    {
        // Standards at the simpler figures (on the outer ring), one at full
        // scale; the calculated polygon runs from the centre up to its energy.
        Values values;
        values.calculated = filled(0);
        values.calculated[0] = 1755;
        values.standard = {2700, 117, 900, 12, 2000, 1.1, 1.5, 18, 50};
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

        values.calculated[0] = 3510;
        QVERIFY(near(draw(values), QPointF(2800, 450), isGreen));
    }

    void emptyValueDrawsAtTheCentre()
    {
        Values values;
        values.calculated = filled(1000000); // far off the surface
        values.calculated[0] = std::nullopt;
        values.calculated[1] = 117;
        values.standard = filled(std::nullopt);
        values.standard[4] = 2600;
        values.standard[5] = 1.43;
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
        values.calculated = filled(0);
        values.calculated[0] = 3510; // a vertical green line up the spoke
        values.standard = filled(1000000);
        auto greenRun = [&](double ratio) {
            QImage image(int(std::ceil(surfaceWidth * pixelsPerTwip * ratio)),
                         int(std::ceil(surfaceHeight * pixelsPerTwip * ratio)),
                         QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            QPainter painter(&image);
            ChartPaint::render(painter, figure(values), pixelsPerTwip, Qt::white, Qt::black);
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
        values.calculated = filled(0);
        values.calculated[0] = 2700;
        values.standard = values.calculated;
        const QImage image = draw(values);
        QVERIFY(near(image, QPointF(2800, 900), isRed));
        QVERIFY(!near(image, QPointF(2800, 900), isGreen));
    }
};

QTEST_MAIN(TestChartSurface)
#include "tst_chartsurface.moc"
