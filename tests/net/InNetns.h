#pragma once

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <optional>
#include <sched.h>
#include <thread>
#include <unistd.h>

// Runs fn on a thread of its own that has joined the network namespace ns, so
// that its sockets live there while the test's own thread stays where it is.
// nullopt when the namespace cannot be joined.
template<typename Fn> auto inNetns(const QString& ns, Fn fn) -> std::optional<decltype(fn())>
{
    std::optional<decltype(fn())> result;
    std::thread worker([&] {
        const QByteArray path = QFile::encodeName(QStringLiteral("/run/netns/") + ns);
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        const bool joined = ::setns(fd, CLONE_NEWNET) == 0;
        ::close(fd);
        if (joined)
            result = fn();
    });
    worker.join();
    return result;
}

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
