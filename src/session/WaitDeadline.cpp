#include "session/WaitDeadline.h"

WaitDeadline::WaitDeadline(const Clock& clock, bool ticks, qint64 end)
    : m_clock(&clock)
    , m_ticks(ticks)
    , m_end(end)
{ }

WaitDeadline WaitDeadline::onTicks(const Clock& clock, qint64 ms)
{
    return { clock, true, qint64(static_cast<quint32>(clock.tickCount()) + static_cast<quint32>(ms)) };
}

WaitDeadline WaitDeadline::onWallClock(const Clock& clock, qint64 ms)
{
    return { clock, false, clock.localWallMs() + ms };
}

bool WaitDeadline::passed() const
{
    if (!m_ticks)
        return m_clock->localWallMs() > m_end;
    // The counter wraps: past means the difference, taken modulo 2^32, is positive.
    return static_cast<qint32>(static_cast<quint32>(m_clock->tickCount()) - static_cast<quint32>(m_end)) > 0;
}

qint64 WaitDeadline::wakeAt() const
{
    const qint64 left = m_ticks
        ? qint64(static_cast<qint32>(static_cast<quint32>(m_end) - static_cast<quint32>(m_clock->tickCount())))
        : m_end - m_clock->localWallMs();
    return m_clock->monotonicMs() + qMax<qint64>(left, 0) + 1;
}
