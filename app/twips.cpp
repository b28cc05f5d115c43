#include "app/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace Twips {

static double pixelsPerTwip()
{
    static const double ratio = [] {
        const QScreen *screen = QGuiApplication::primaryScreen();
        const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
        return (dpi > 0 ? dpi : 96.0) / 1440.0;
    }();
    return ratio;
}

double toPixelsF(double twips)
{
    return twips * pixelsPerTwip();
}

int toPixels(int twips)
{
    // Halves away from zero, as lround does; floor is computed in place,
    // where lround would be a call into the maths library at every start.
    const double pixels = toPixelsF(twips);
    const double magnitude = std::fabs(pixels);
    const double whole = std::floor(magnitude);
    const int rounded = int(whole) + (magnitude - whole >= 0.5 ? 1 : 0);
    return pixels < 0 ? -rounded : rounded;
}

void place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

void move(QWidget *widget, int left, int top)
{
    widget->move(toPixels(left), toPixels(top));
}

void resizeClient(QWidget *window, int width, int height)
{
    window->resize(toPixels(width), toPixels(height));
}

} // namespace Twips
