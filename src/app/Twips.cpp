#include "app/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace Twips {

namespace {
constexpr double kPerInch = 1440.0;
constexpr double kUsualDpi = 96.0;

double usable(double dpi)
{
    return dpi > 0 ? dpi : kUsualDpi;
}
} // namespace

double pixelsPerTwip(double dpi)
{
    return usable(dpi) / kPerInch;
}

double twipsPerPixel(double dpi)
{
    return kPerInch / usable(dpi);
}

int toPx(int twips, double dpi)
{
    // Multiplied first: a whole number of twips at a whole dpi lands on a
    // half exactly where it is one.
    return static_cast<int>(std::lround(twips * usable(dpi) / kPerInch));
}

double fromPx(int pixels, double dpi)
{
    return pixels * twipsPerPixel(dpi);
}

std::array<double, 4> place(const QWidget& window)
{
    const int dpi = window.logicalDpiX();
    return { fromPx(window.x(), dpi), fromPx(window.y(), dpi), fromPx(window.width(), dpi),
        fromPx(window.height(), dpi) };
}

double screenDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return usable(screen ? screen->logicalDotsPerInch() : 0);
}

int toPx(int twips)
{
    return toPx(twips, screenDpi());
}

QRect rect(int left, int top, int width, int height)
{
    return QRect(toPx(left), toPx(top), toPx(width), toPx(height));
}

} // namespace Twips
