#pragma once

#include "XvfbDisplay.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QTest>

#include <cstdio>

// Runs a test class on a private X display with a real window manager
// (openbox) instead of the offscreen platform, for what only a window system
// shows: window-manager hints, the close box, the X clipboard. The
// application class is QGuiApplication or QApplication.
#define LINKWISE_DESKTOP_TEST_MAIN(TestClass, ApplicationClass)                                                        \
    int main(int argc, char* argv[])                                                                                   \
    {                                                                                                                  \
        const QString why = XvfbDisplay::unavailableReason(true);                                                      \
        if (!why.isEmpty()) {                                                                                          \
            std::fprintf(stderr, "SKIP: %s\n", qPrintable(why));                                                       \
            return kSkipReturnCode;                                                                                    \
        }                                                                                                              \
        XvfbDisplay display;                                                                                           \
        if (!display.start(true)) {                                                                                    \
            std::fprintf(stderr, "%s\n", qPrintable(display.lastError()));                                             \
            return 1;                                                                                                  \
        }                                                                                                              \
        qputenv("QT_QPA_PLATFORM", "xcb");                                                                             \
        ApplicationClass app(argc, argv);                                                                              \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }

// Runs an X client to its end and gives its standard output; blocks the GUI
// thread, so only for clients that do not talk to this process.
inline QString runX(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(10000))
        return QString();
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

// The X property of a window as xprop prints it.
inline QString windowProperty(qulonglong window, const char* property)
{
    return runX(
        QStringLiteral("xprop"), { QStringLiteral("-id"), QString::number(window), QString::fromLatin1(property) });
}

// The window manager keeps the window above ordinary ones.
inline bool keptAbove(qulonglong window)
{
    return windowProperty(window, "_NET_WM_STATE").contains(QStringLiteral("_NET_WM_STATE_ABOVE"));
}

// The client windows bottom to top, as the window manager stacks them.
inline QList<qulonglong> stackingOrder()
{
    const QString line
        = runX(QStringLiteral("xprop"), { QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING") });
    QList<qulonglong> ids;
    const qsizetype hash = line.indexOf(QLatin1Char('#'));
    if (hash < 0)
        return ids;
    for (QString id : line.mid(hash + 1).split(QLatin1Char(','))) {
        bool ok = false;
        const qulonglong value = id.trimmed().toULongLong(&ok, 16);
        if (ok)
            ids << value;
    }
    return ids;
}
