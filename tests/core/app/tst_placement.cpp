#include "core/app/placement.h"

#include <QtTest>

// Windows open beside the main window, on the screen, never on each other.
class TestPlacement : public QObject
{
    Q_OBJECT

private slots:
    void beside_data()
    {
        QTest::addColumn<QRect>("main");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<int>("others");
        QTest::addColumn<QPoint>("corner");
        const QRect screen(0, 0, 1920, 1080);
        QTest::newRow("right of it")
            << QRect(100, 50, 800, 600) << QSize(400, 500) << 0 << QPoint(900, 50);
        QTest::newRow("the next one a step on")
            << QRect(100, 50, 800, 600) << QSize(400, 500) << 2 << QPoint(964, 114);
        QTest::newRow("left when the right is full")
            << QRect(1200, 50, 700, 600) << QSize(400, 500) << 0 << QPoint(800, 50);
        QTest::newRow("no room either side: at the screen's edge")
            << QRect(200, 0, 1600, 900) << QSize(400, 500) << 0 << QPoint(1520, 0);
        QTest::newRow("kept on the screen below")
            << QRect(100, 700, 800, 300) << QSize(400, 500) << 0 << QPoint(900, 580);
        QTest::newRow("larger than the screen")
            << QRect(0, 0, 800, 600) << QSize(2500, 1500) << 0 << QPoint(0, 0);
    }
    void beside()
    {
        QFETCH(QRect, main);
        QFETCH(QSize, window);
        QFETCH(int, others);
        QFETCH(QPoint, corner);
        QCOMPARE(Placement::beside(main, window, QRect(0, 0, 1920, 1080), others), corner);
    }
};

QTEST_GUILESS_MAIN(TestPlacement)
#include "tst_placement.moc"
