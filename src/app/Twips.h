#pragma once

#include <QRect>

#include <array>

class QWidget;

// Page layouts, dialog sizes and the stored window positions are in twips,
// 1440 to the inch: 15 to a pixel at 96 dpi. Pixels follow a screen's
// logical resolution; a resolution of 0 or less (no screen) counts as 96.
namespace Twips {

double pixelsPerTwip(double dpi);
double twipsPerPixel(double dpi);
// The nearest whole pixel; halves away from zero.
int toPx(int twips, double dpi);
// The exact number of twips: each setting stores it as its own key asks.
double fromPx(int pixels, double dpi);

// A window's left, top, width and height (x(), y(), width(), height()), in
// twips of its own screen: the four values of its position keys.
std::array<double, 4> place(const QWidget& window);

// The primary screen's logical resolution: pages are laid out by it before
// they are shown.
double screenDpi();
int toPx(int twips);
QRect rect(int left, int top, int width, int height);

} // namespace Twips
