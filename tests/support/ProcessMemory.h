#pragma once

#include <QFile>
#include <QtGlobal>

// This process's resident memory as the kernel counts it.
namespace ProcessMemory {

// "VmRSS" (now) or "VmHWM" (peak) of /proc/self/status, in KiB; -1 unknown.
inline qint64 statusKiB(const char* field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

inline qint64 residentKiB()
{
    return statusKiB("VmRSS");
}

// Starts a new peak at the present resident size; false when the kernel
// does not allow it (then peakKiB() keeps the peak of the whole run).
inline bool resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1;
}

inline qint64 peakKiB()
{
    return statusKiB("VmHWM");
}

} // namespace ProcessMemory
