#pragma once

#include "net/Clock.h"

#include <QElapsedTimer>
#include <QHash>

class QTimer;

// Real time: a steady monotonic counter, the local wall time taken once at
// construction and advanced by it, and the event loop of the calling thread.
class SystemClock final : public Clock {
public:
    SystemClock();
    ~SystemClock() override;

    qint64 monotonicMs() const override;
    qint64 localWallMs() const override;
    qint32 tickCount() const override;
    void waitForEvents(qint64 deadlineMs) override;
    TimerId schedule(qint64 delayMs, std::function<void()> fn) override;
    void cancel(TimerId id) override;

private:
    QElapsedTimer m_elapsed;
    qint64 m_wallAtStart = 0;
    qint64 m_uptimeAtStart = 0;
    TimerId m_nextId = 1;
    QHash<TimerId, QTimer*> m_timers;
};
