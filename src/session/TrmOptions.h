#pragma once

#include <QtGlobal>

#include <functional>

class QSettings;

// What a terminal session takes from outside: the port the unit's telnet
// server listens on, the remote-management tool's settings store (which
// holds the connect retry count) and the source of the random back-off.
struct TrmOptions {
    quint16 port = 23;
    // The store of application "VelmarQuillstone"; none means no value, so
    // the retry count is 0. The owner keeps it alive.
    QSettings* remoteManagement = nullptr;
    // A whole number from 1 to 6; empty means a uniform random draw.
    std::function<int()> backoffDraw;
};
