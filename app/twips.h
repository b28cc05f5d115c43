#pragma once

class QWidget;

// Window layouts are given in twips (1/1440 inch); they become logical pixels
// at the screen's logical DPI (15 twips to the pixel at 96 dpi).
namespace Twips {

int toPixels(int twips);
double toPixelsF(double twips);
void place(QWidget *widget, int left, int top, int width, int height);
void move(QWidget *widget, int left, int top);
// Sizes a window so that its client area is width x height twips.
void resizeClient(QWidget *window, int width, int height);

} // namespace Twips
