#pragma once

#include "net/Clock.h"

#include <functional>

// The program's two kinds of wait. Both keep window messages flowing while
// they wait, and both block in the event loop instead of spinning.
namespace modTrmTypes {

// Waits ms milliseconds on the 32-bit tick counter. The end is reached once the
// counter has moved past start + ms; the difference is taken modulo 2^32, so a
// wait that spans the counter's wrap still lasts about ms milliseconds.
// A wait that stop() ends early (its object has been ended) returns as soon
// as it sees it.
void WaitMs(Clock& clock, qint32 ms, const std::function<bool()>& stop = {});

// A deadline on the clock of seconds since midnight: now plus a time-out,
// rounded to the nearest whole second, halves to the even second. So a
// 5-second time-out lasts 4.5 to 5.5 s and a time-out of 0 at most 0.5 s.
// The clock is counted on across midnight, so a wait that spans it still ends
// after its time-out.
class SecondsDeadline {
public:
    SecondsDeadline(const Clock& clock, qint32 timeoutSeconds);

    // Clock minus deadline is not negative.
    bool reached() const;
    // The deadline as a time of the clock's monotonic counter.
    qint64 monotonicDeadlineMs() const;
    // The deadline in seconds since the midnight before the wait began
    // (86400 or more when the wait ends after midnight).
    qint64 secondsOfDay() const { return m_deadlineWallMs / 1000 - m_dayStartWallMs / 1000; }

    // Rounds milliseconds to whole seconds, halves to even (in milliseconds).
    static qint64 roundToSecondHalfEven(qint64 ms);

private:
    const Clock& m_clock;
    qint64 m_deadlineWallMs = 0;
    qint64 m_dayStartWallMs = 0;
};

// Pumps events until done() holds or the deadline is reached; returns done()
// as it stands at the end. done() is tested before the first pump.
bool WaitUntil(Clock& clock, const SecondsDeadline& deadline, const std::function<bool()>& done);

} // namespace modTrmTypes
