#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a window the main window opens first appears: beside the main
// window, not over it and not at the screen's corner.
namespace Placement {

// The top left corner of a window of size window (its frame) opened from a
// main window whose frame is main, on a screen whose free area is screen:
// right of the main window where it fits, else left of it, else against the
// screen's right edge; level with the main window's top. Each of the windows
// already open (others) moves it down and in by one step, so that windows
// opened one after another never lie exactly on each other. The window is
// kept on the screen as far as its size allows.
QPoint beside(const QRect &main, const QSize &window, const QRect &screen, int others);

constexpr int step = 32;

} // namespace Placement
