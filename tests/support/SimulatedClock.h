#pragma once

#include "net/Clock.h"

#include <map>
#include <utility>

// A clock whose time moves only when a test says so, or when a wait would
// otherwise block: waitForEvents first lets pending Qt events run, and only
// when none is pending jumps to the next scheduled call or the deadline.
// Use it with in-process peers; peers in other processes need real time.
class SimulatedClock final : public Clock {
public:
    // wallMs: local wall time at the start; tick: tick counter at the start.
    explicit SimulatedClock(qint64 wallMs = 12 * 3'600'000, qint32 tick = 1'000);

    qint64 monotonicMs() const override { return m_now; }
    qint64 localWallMs() const override { return m_wallStart + m_now; }
    qint32 tickCount() const override;
    void waitForEvents(qint64 deadlineMs) override;
    TimerId schedule(qint64 delayMs, std::function<void()> fn) override;
    void cancel(TimerId id) override;

    // Moves time forward by ms, running every scheduled call that falls due,
    // in order, with pending Qt events handled between them.
    void advance(qint64 ms);
    // Sets the wall time of day without moving the monotonic counter.
    void setWallMs(qint64 wallMs) { m_wallStart = wallMs - m_now; }
    // How many times a wait had to move time because nothing else was pending.
    int jumps() const { return m_jumps; }

private:
    bool runNextDue(qint64 until);

    qint64 m_now = 0;
    qint64 m_wallStart = 0;
    qint32 m_tickStart = 0;
    TimerId m_nextId = 1;
    int m_jumps = 0;
    // Ordered by due time, then by order of scheduling.
    std::map<std::pair<qint64, TimerId>, std::function<void()>> m_due;
};
