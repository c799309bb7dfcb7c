#pragma once

#include "net/Clock.h"

#include <functional>

// The end of a wait, on one of the clock's three counters, with the rule by
// which it has come. Every wait of the program ends on one of these and
// blocks in the event loop between events until then, so that windows,
// sockets and timers go on meanwhile; a wait whose object has been ended
// sees that in its condition and returns at once.
class Deadline {
public:
    // The clock of the day plus whole seconds, rounded to the nearest whole
    // second with halves to the even second, and come once the clock is at
    // it: a 5-second wait lasts 4.5 to 5.5 s and one of 0 s at most 0.5 s.
    // The unit command waits count so, and the restart and link waits that
    // count as they do. The clock is counted on across midnight, so a wait
    // that spans it still ends after its time-out.
    static Deadline roundedSeconds(Clock& clock, qint32 seconds);
    // This deadline moved on by whole seconds, not rounded again.
    Deadline plusSeconds(qint32 seconds) const;
    // The clock of the day plus ms, not rounded, and come once the clock has
    // gone beyond it.
    static Deadline pastDayClock(Clock& clock, qint64 ms);
    // The 32-bit millisecond tick counter plus ms, come once the counter has
    // gone beyond it. The difference is taken modulo 2^32, so a wait across
    // the counter's wrap still lasts about ms milliseconds.
    static Deadline pastTicks(Clock& clock, qint64 ms);
    // The monotonic counter plus ms, come once the counter is at it: the
    // waits on the PC's own services and on the program's own timings.
    static Deadline monotonicIn(Clock& clock, qint64 ms);
    // The monotonic counter's time atMs.
    static Deadline monotonicAt(Clock& clock, qint64 atMs);

    bool passed() const;
    // A time of the monotonic counter by which passed() holds.
    qint64 wakeAt() const;
    // For a deadline on the clock of the day: its second since the midnight
    // before it was set (86400 or more when it falls after that midnight).
    qint64 secondsOfDay() const { return m_end / 1000 - m_dayStart / 1000; }

    // Handles events until done() holds or the deadline has come; true when
    // done() held. done() is asked before the first event and after each.
    // recheckMs, when above 0: done() is asked again at least that often,
    // for a condition that no event announces.
    bool wait(const std::function<bool()>& done = {}, qint64 recheckMs = 0) const;

    // The earlier of two deadlines.
    static const Deadline& sooner(const Deadline& a, const Deadline& b);

    // Rounds milliseconds to whole seconds, halves to even (in milliseconds).
    static qint64 roundToSecondHalfEven(qint64 ms);

private:
    enum class Counter { Monotonic, DayClock, Ticks };
    Deadline(Clock& clock, Counter counter, bool beyond, qint64 end, qint64 dayStart = 0);
    // Milliseconds from now to the end on the deadline's counter.
    qint64 left() const;

    Clock* m_clock;
    Counter m_counter;
    // Come only once the counter has gone beyond the end, not when it reaches it.
    bool m_beyond;
    // A monotonic time, a local wall time, or a tick count taken modulo 2^32.
    qint64 m_end;
    qint64 m_dayStart;
};
