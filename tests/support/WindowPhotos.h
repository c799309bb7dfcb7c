#pragma once

#include "XvfbDisplay.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QRect>
#include <QScreen>
#include <QString>
#include <QTest>
#include <QWidget>

#include <cstdio>

// Photographs of windows as they stand on a real X display, framed by the
// window manager, saved as <dir>/<name>-<scale>x.png for a look at layout
// and text fit (the scale is QT_SCALE_FACTOR, 1 when unset).
namespace WindowPhotos {

// Starts a private X display with a window manager, large enough for 2x
// photographs, and points Qt at it; call before the QApplication is made.
// False, with the reason on stderr, when it can't start.
inline bool startDisplay(XvfbDisplay& display)
{
    if (!display.start(true, QStringLiteral("2560x1600x24"))) {
        std::fprintf(stderr, "%s\n", qPrintable(display.lastError()));
        return false;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}

// The directory named on the command line (else the current one), made.
inline QString outputDir(int argc, char* argv[])
{
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(dir);
    return dir;
}

inline QString file(const QString& dir, const QString& name)
{
    const QString scale
        = qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qEnvironmentVariable("QT_SCALE_FACTOR") : QStringLiteral("1");
    return dir + QLatin1Char('/') + name + QLatin1Char('-') + scale + QStringLiteral("x.png");
}

// An area of the screen, once the window manager has drawn what it frames.
inline void saveArea(const QRect& area, const QString& dir, const QString& name)
{
    QTest::qWait(300);
    QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(file(dir, name));
}

// The window with its frame; says so on stderr when it never showed.
inline void save(QWidget* w, const QString& dir, const QString& name)
{
    if (!QTest::qWaitForWindowExposed(w)) {
        std::fprintf(stderr, "%s: the window never showed\n", qPrintable(name));
        return;
    }
    saveArea(w->frameGeometry(), dir, name);
}

} // namespace WindowPhotos
