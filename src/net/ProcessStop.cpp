#include "net/ProcessStop.h"

#include "net/Clock.h"
#include "net/Deadline.h"

#include <QSocketNotifier>

#include <csignal>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
bool readable(int fd)
{
    pollfd p { fd, POLLIN, 0 };
    return ::poll(&p, 1, 0) > 0;
}
} // namespace

namespace ProcessStop {

bool stop(Clock& clock, qint64 pid, int signal, int waitMs)
{
    // A pid descriptor turns readable when the process ends, which wakes the
    // event loop; without one the process is only signalled.
    const int fd = int(::syscall(SYS_pidfd_open, pid_t(pid), 0));
    if (::kill(pid_t(pid), signal) != 0) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    if (fd < 0)
        return true;
    {
        QSocketNotifier ended(fd, QSocketNotifier::Read);
        Deadline::monotonicIn(clock, waitMs).wait([fd] { return readable(fd); });
    }
    if (!readable(fd))
        ::kill(pid_t(pid), SIGKILL);
    ::close(fd);
    return true;
}

} // namespace ProcessStop
