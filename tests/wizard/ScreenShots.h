#pragma once

// The review photographs of the screen programs: numbered PNGs in one folder
// (the program's first argument, else the current one), each path printed
// as it is written.

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <cstdio>

namespace ScreenShots {

enum class Area {
    Screen,
    // The windows on screen with their frames, and a margin around them.
    Windows,
};

struct Roll {
    QString folder = QStringLiteral(".");
    int taken = 0;
};

inline Roll& roll()
{
    static Roll r;
    return r;
}

inline void setFolder(int argc, char** argv)
{
    roll().folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(roll().folder);
}

inline void shoot(const QString& name, Area area = Area::Screen)
{
    QTest::qWait(400); // the window manager places and draws its frames
    QRect part(0, 0, -1, -1);
    if (area == Area::Windows) {
        part = {};
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                part |= w->frameGeometry();
        part.adjust(-12, -12, 12, 12);
    }
    const QPixmap screen
        = QGuiApplication::primaryScreen()->grabWindow(0, part.x(), part.y(), part.width(), part.height());
    const QString path
        = QStringLiteral("%1/%2-%3.png").arg(roll().folder).arg(++roll().taken, 2, 10, QLatin1Char('0')).arg(name);
    screen.save(path);
    std::printf("%s\n", qPrintable(path));
}

} // namespace ScreenShots
