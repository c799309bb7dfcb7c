#include "SimulatedClock.h"

#include <QEventLoop>

SimulatedClock::SimulatedClock(qint64 wallMs, qint32 tick)
    : m_wallStart(wallMs)
    , m_tickStart(tick)
{ }

qint32 SimulatedClock::tickCount() const
{
    return static_cast<qint32>(static_cast<quint32>(m_tickStart) + static_cast<quint32>(m_now));
}

Clock::TimerId SimulatedClock::schedule(qint64 delayMs, std::function<void()> fn)
{
    const TimerId id = m_nextId++;
    m_due.emplace(std::make_pair(m_now + qMax<qint64>(delayMs, 0), id), std::move(fn));
    return id;
}

void SimulatedClock::cancel(TimerId id)
{
    for (auto it = m_due.begin(); it != m_due.end(); ++it) {
        if (it->first.second == id) {
            m_due.erase(it);
            return;
        }
    }
}

bool SimulatedClock::runNextDue(qint64 until)
{
    if (m_due.empty() || m_due.begin()->first.first > until)
        return false;
    auto node = m_due.extract(m_due.begin());
    m_now = qMax(m_now, node.key().first);
    node.mapped()();
    return true;
}

void SimulatedClock::waitForEvents(qint64 deadlineMs)
{
    QEventLoop loop;
    if (loop.processEvents(QEventLoop::AllEvents))
        return;
    if (runNextDue(m_now))
        return;
    if (deadlineMs <= m_now)
        return;
    ++m_jumps;
    if (!runNextDue(deadlineMs))
        m_now = deadlineMs;
}

void SimulatedClock::advance(qint64 ms)
{
    const qint64 until = m_now + qMax<qint64>(ms, 0);
    QEventLoop loop;
    loop.processEvents(QEventLoop::AllEvents);
    while (runNextDue(until))
        loop.processEvents(QEventLoop::AllEvents);
    // A call that waited on this clock itself may have moved time further.
    m_now = qMax(m_now, until);
    loop.processEvents(QEventLoop::AllEvents);
}
