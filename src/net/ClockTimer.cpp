#include "net/ClockTimer.h"

ClockTimer::ClockTimer(Clock& clock, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
{ }

ClockTimer::~ClockTimer()
{
    stop();
}

void ClockTimer::start()
{
    stop();
    m_id = m_clock.schedule(m_interval, [this] { fire(); });
}

void ClockTimer::start(int ms)
{
    m_interval = ms;
    start();
}

void ClockTimer::stop()
{
    if (m_id != 0) {
        m_clock.cancel(m_id);
        m_id = 0;
    }
}

void ClockTimer::fire()
{
    m_id = 0;
    if (!m_singleShot)
        m_id = m_clock.schedule(m_interval, [this] { fire(); });
    emit timeout();
}
