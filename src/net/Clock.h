#pragma once

#include <QtGlobal>

#include <functional>

// The one source of time for every wait, timer and deadline in the program.
// Production code uses SystemClock; tests pass a simulated clock so that long
// time-outs run in milliseconds and nothing sleeps.
class Clock {
public:
    using TimerId = quint64;

    virtual ~Clock() = default;

    // Milliseconds on a monotonic counter that never wraps and never jumps.
    virtual qint64 monotonicMs() const = 0;

    // Local wall time in milliseconds since the epoch. It advances with the
    // monotonic counter, so a change of the system time or of daylight saving
    // during a run does not make waits jump.
    virtual qint64 localWallMs() const = 0;

    // The 32-bit millisecond tick counter of the original platform: it wraps
    // from 2^31 - 1 to -2^31 after about 24.9 days of uptime.
    virtual qint32 tickCount() const = 0;

    // Seconds since local midnight, with a fractional part.
    double secondsSinceMidnight() const;

    // Blocks in the event loop until at least one event has been handled or
    // until the monotonic time reaches deadlineMs, whichever comes first.
    // A deadline already passed still lets pending events run once.
    virtual void waitForEvents(qint64 deadlineMs) = 0;

    // Runs fn once, delayMs from now, from the event loop of this thread.
    virtual TimerId schedule(qint64 delayMs, std::function<void()> fn) = 0;
    // Drops a scheduled call that has not run yet; unknown ids are ignored.
    virtual void cancel(TimerId id) = 0;
};
