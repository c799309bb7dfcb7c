#include "wizard/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace Twips {

double pixelsPerTwip()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return (dpi > 0 ? dpi : 96.0) / 1440.0;
}

int toPx(int twips)
{
    return static_cast<int>(std::lround(twips * pixelsPerTwip()));
}

QRect rect(int left, int top, int width, int height)
{
    return QRect(toPx(left), toPx(top), toPx(width), toPx(height));
}

} // namespace Twips
