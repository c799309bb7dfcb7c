#include "net/Deadline.h"

namespace {
constexpr qint64 msPerDay = 86'400'000;
} // namespace

Deadline::Deadline(Clock& clock, Counter counter, bool beyond, qint64 end, qint64 dayStart)
    : m_clock(&clock)
    , m_counter(counter)
    , m_beyond(beyond)
    , m_end(end)
    , m_dayStart(dayStart)
{ }

qint64 Deadline::roundToSecondHalfEven(qint64 ms)
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

Deadline Deadline::roundedSeconds(Clock& clock, qint32 seconds)
{
    const qint64 now = clock.localWallMs();
    qint64 intoDay = now % msPerDay;
    if (intoDay < 0)
        intoDay += msPerDay;
    // Whole days are whole even seconds, so rounding the continuous time gives
    // the same second as rounding the seconds of the day.
    return { clock, Counter::DayClock, false, roundToSecondHalfEven(now + qint64(seconds) * 1000), now - intoDay };
}

Deadline Deadline::plusSeconds(qint32 seconds) const
{
    Deadline later = *this;
    later.m_end += qint64(seconds) * 1000;
    return later;
}

Deadline Deadline::pastDayClock(Clock& clock, qint64 ms)
{
    return { clock, Counter::DayClock, true, clock.localWallMs() + ms };
}

Deadline Deadline::pastTicks(Clock& clock, qint64 ms)
{
    return { clock, Counter::Ticks, true, qint64(static_cast<quint32>(clock.tickCount()) + static_cast<quint32>(ms)) };
}

Deadline Deadline::monotonicIn(Clock& clock, qint64 ms)
{
    return monotonicAt(clock, clock.monotonicMs() + ms);
}

Deadline Deadline::monotonicAt(Clock& clock, qint64 atMs)
{
    return { clock, Counter::Monotonic, false, atMs };
}

qint64 Deadline::left() const
{
    switch (m_counter) {
    case Counter::Ticks:
        // The counter wraps: the distance is the difference taken modulo 2^32.
        return static_cast<qint32>(static_cast<quint32>(m_end) - static_cast<quint32>(m_clock->tickCount()));
    case Counter::DayClock:
        return m_end - m_clock->localWallMs();
    case Counter::Monotonic:
        break;
    }
    return m_end - m_clock->monotonicMs();
}

bool Deadline::passed() const
{
    return m_beyond ? left() < 0 : left() <= 0;
}

qint64 Deadline::wakeAt() const
{
    return m_clock->monotonicMs() + qMax<qint64>(left(), 0) + (m_beyond ? 1 : 0);
}

bool Deadline::wait(const std::function<bool()>& done, qint64 recheckMs) const
{
    for (;;) {
        if (done && done())
            return true;
        if (passed())
            return false;
        const qint64 wake = wakeAt();
        m_clock->waitForEvents(recheckMs > 0 ? qMin(wake, m_clock->monotonicMs() + recheckMs) : wake);
    }
}

const Deadline& Deadline::sooner(const Deadline& a, const Deadline& b)
{
    return b.wakeAt() < a.wakeAt() ? b : a;
}
