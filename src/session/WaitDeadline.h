#pragma once

#include "net/Clock.h"

// The end of one terminal wait, on either of the two clocks the waits count
// on: the 32-bit millisecond tick counter, or the local clock of the day
// (counted on across midnight, so a wait that spans it still ends). Both are
// passed once the clock has gone beyond the end, not when it reaches it.
class WaitDeadline {
public:
    static WaitDeadline onTicks(const Clock& clock, qint64 ms);
    static WaitDeadline onWallClock(const Clock& clock, qint64 ms);

    bool passed() const;
    // A time of the monotonic counter by which passed() holds, for blocking
    // in the event loop until then.
    qint64 wakeAt() const;

private:
    WaitDeadline(const Clock& clock, bool ticks, qint64 end);

    const Clock* m_clock;
    bool m_ticks;
    // A tick count (taken modulo 2^32) or a local wall time in ms.
    qint64 m_end;
};
