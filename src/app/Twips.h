#pragma once

#include <QRect>

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

// The primary screen's logical resolution: pages are laid out by it before
// they are shown.
double screenDpi();
int toPx(int twips);
QRect rect(int left, int top, int width, int height);

} // namespace Twips
