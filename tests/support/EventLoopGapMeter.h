#pragma once

#include <QElapsedTimer>
#include <QTimer>

// The longest time the event loop of this thread went without running a
// 5 ms timer: how long a window would have stood frozen.
class EventLoopGapMeter {
public:
    EventLoopGapMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = qMax(m_longest, m_since.restart());
            ++m_ticks;
        });
        m_since.start();
        m_timer.start();
    }
    qint64 longestMs() const { return qMax(m_longest, m_since.elapsed()); }
    int ticks() const { return m_ticks; }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
    int m_ticks = 0;
};
