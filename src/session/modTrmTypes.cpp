#include "session/modTrmTypes.h"

namespace modTrmTypes {

void WaitMs(Clock& clock, qint32 ms, const std::function<bool()>& stop)
{
    const quint32 endTick = static_cast<quint32>(clock.tickCount()) + static_cast<quint32>(ms);
    while (!stop || !stop()) {
        const auto left = static_cast<qint32>(endTick - static_cast<quint32>(clock.tickCount()));
        if (left < 0)
            return;
        // The tick counter moves with the monotonic one; waiting on the latter
        // keeps the event loop blocked between events.
        clock.waitForEvents(clock.monotonicMs() + left + 1);
    }
}

qint64 SecondsDeadline::roundToSecondHalfEven(qint64 ms)
{
    qint64 q = ms / 1000;
    qint64 r = ms % 1000;
    if (r < 0) {
        r += 1000;
        --q;
    }
    if (r > 500 || (r == 500 && (q % 2 != 0)))
        ++q;
    return q * 1000;
}

SecondsDeadline::SecondsDeadline(const Clock& clock, qint32 timeoutSeconds)
    : m_clock(clock)
{
    constexpr qint64 msPerDay = 86'400'000;
    const qint64 now = clock.localWallMs();
    qint64 intoDay = now % msPerDay;
    if (intoDay < 0)
        intoDay += msPerDay;
    m_dayStartWallMs = now - intoDay;
    // Whole days are whole even seconds, so rounding the continuous time gives
    // the same second as rounding the seconds of the day.
    m_deadlineWallMs = roundToSecondHalfEven(now + qint64(timeoutSeconds) * 1000);
}

bool SecondsDeadline::reached() const
{
    return m_clock.localWallMs() - m_deadlineWallMs >= 0;
}

qint64 SecondsDeadline::monotonicDeadlineMs() const
{
    return m_clock.monotonicMs() + (m_deadlineWallMs - m_clock.localWallMs());
}

bool WaitUntil(Clock& clock, const SecondsDeadline& deadline, const std::function<bool()>& done)
{
    while (!done()) {
        if (deadline.reached())
            return done();
        clock.waitForEvents(deadline.monotonicDeadlineMs());
    }
    return true;
}

} // namespace modTrmTypes
