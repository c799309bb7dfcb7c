#include "net/SystemClock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <ctime>
#include <limits>

namespace {
qint64 uptimeMs()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1'000'000;
}
} // namespace

SystemClock::SystemClock()
{
    m_elapsed.start();
    const QDateTime now = QDateTime::currentDateTime();
    m_wallAtStart = now.toMSecsSinceEpoch() + qint64(now.offsetFromUtc()) * 1000;
    m_uptimeAtStart = uptimeMs();
}

SystemClock::~SystemClock()
{
    qDeleteAll(m_timers);
}

qint64 SystemClock::monotonicMs() const
{
    return m_elapsed.elapsed();
}

qint64 SystemClock::localWallMs() const
{
    return m_wallAtStart + m_elapsed.elapsed();
}

qint32 SystemClock::tickCount() const
{
    // Like the original counter: milliseconds since boot, truncated to 32 bits.
    return static_cast<qint32>(static_cast<quint32>(m_uptimeAtStart + m_elapsed.elapsed()));
}

void SystemClock::waitForEvents(qint64 deadlineMs)
{
    const qint64 remaining = deadlineMs - monotonicMs();
    QEventLoop loop;
    if (remaining <= 0) {
        loop.processEvents(QEventLoop::AllEvents);
        return;
    }
    // The wake-up timer guarantees that the blocking call returns by the deadline
    // even when nothing else happens.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(static_cast<int>(std::min<qint64>(remaining, std::numeric_limits<int>::max())));
    loop.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

Clock::TimerId SystemClock::schedule(qint64 delayMs, std::function<void()> fn)
{
    const TimerId id = m_nextId++;
    auto* timer = new QTimer;
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, timer, [this, id, fn = std::move(fn)] {
        if (QTimer* t = m_timers.take(id))
            t->deleteLater();
        fn();
    });
    m_timers.insert(id, timer);
    timer->start(static_cast<int>(std::clamp<qint64>(delayMs, 0, std::numeric_limits<int>::max())));
    return id;
}

void SystemClock::cancel(TimerId id)
{
    if (QTimer* t = m_timers.take(id)) {
        t->stop();
        t->deleteLater();
    }
}
