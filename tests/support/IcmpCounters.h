#pragma once

#include <QFile>
#include <QList>

// The ICMP echo requests this thread's network namespace has sent so far.
inline qint64 outEchos()
{
    QFile f(QStringLiteral("/proc/thread-self/net/snmp"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (!lines[i].startsWith("Icmp: ") || !lines[i + 1].startsWith("Icmp: "))
            continue;
        const QList<QByteArray> names = lines[i].simplified().split(' ');
        const QList<QByteArray> values = lines[i + 1].simplified().split(' ');
        const qsizetype at = names.indexOf("OutEchos");
        return at >= 0 && at < values.size() ? values[at].toLongLong() : -1;
    }
    return -1;
}
