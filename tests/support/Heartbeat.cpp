#include "Heartbeat.h"

#include <ctime>

Heartbeat::Heartbeat(Clock& clock, int intervalMs, std::function<void(qint64)> onBeat)
    : m_clock(clock)
    , m_intervalMs(intervalMs)
    , m_onBeat(std::move(onBeat))
{ }

Heartbeat::~Heartbeat()
{
    stop();
}

qint64 Heartbeat::threadCpuMs()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1'000'000;
}

void Heartbeat::start()
{
    m_last = m_clock.monotonicMs();
    m_lastCpu = threadCpuMs();
    m_next = m_clock.schedule(m_intervalMs, [this] { beat(); });
}

void Heartbeat::stop()
{
    if (m_next)
        m_clock.cancel(m_next);
    m_next = 0;
}

void Heartbeat::beat()
{
    const qint64 now = m_clock.monotonicMs();
    const qint64 cpu = threadCpuMs();
    m_longest = qMax(m_longest, now - m_last);
    m_longestBusy = qMax(m_longestBusy, cpu - m_lastCpu);
    m_last = now;
    m_lastCpu = cpu;
    m_next = m_clock.schedule(m_intervalMs, [this] { beat(); });
    if (m_onBeat)
        m_onBeat(now);
}
