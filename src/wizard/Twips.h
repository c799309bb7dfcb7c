#pragma once

#include <QRect>

// Page layouts are designed in twips (1440 to the inch): 15 to a pixel at
// 96 dpi, scaled with the screen's logical resolution.
namespace Twips {

double pixelsPerTwip();
int toPx(int twips);
QRect rect(int left, int top, int width, int height);

} // namespace Twips
