#pragma once

#include "net/Clock.h"

#include <functional>

// Notes the longest time between two turns of a short timer on the event loop:
// as the clock on the wall sees it, and as processor time this thread spent in
// between. On a machine busy with other work the first also counts the time
// the kernel gave to other processes; the second is what our own code held
// the loop for.
class Heartbeat {
public:
    // onBeat, when given, runs at every turn with the clock's time.
    explicit Heartbeat(Clock& clock, int intervalMs = 10, std::function<void(qint64)> onBeat = {});
    ~Heartbeat();
    Heartbeat(const Heartbeat&) = delete;
    Heartbeat& operator=(const Heartbeat&) = delete;

    void start();
    void stop();
    qint64 longestGap() const { return m_longest; }
    qint64 longestBusyGap() const { return m_longestBusy; }

    // The calling thread's processor time in milliseconds.
    static qint64 threadCpuMs();

private:
    void beat();

    Clock& m_clock;
    int m_intervalMs;
    std::function<void(qint64)> m_onBeat;
    qint64 m_last = 0;
    qint64 m_lastCpu = 0;
    qint64 m_longest = 0;
    qint64 m_longestBusy = 0;
    Clock::TimerId m_next = 0;
};
