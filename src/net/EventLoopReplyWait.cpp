#include "net/EventLoopReplyWait.h"

#include "net/Clock.h"
#include "net/Deadline.h"

#include <QSocketNotifier>

namespace IcmpEcho {

ReplyWait eventLoopWait(Clock& clock)
{
    return { [&clock] { return clock.monotonicMs(); },
        [&clock](int fd, qint64 deadline) {
            QSocketNotifier notifier(qintptr(fd), QSocketNotifier::Read);
            bool ready = false;
            QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
                ready = true;
                // The data stays queued until the exchange reads it.
                notifier.setEnabled(false);
            });
            return Deadline::monotonicAt(clock, deadline).wait([&ready] { return ready; });
        } };
}

} // namespace IcmpEcho
