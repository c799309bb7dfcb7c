#pragma once

#include "IcmpCounters.h"

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
