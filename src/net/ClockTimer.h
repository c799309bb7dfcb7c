#pragma once

#include "net/Clock.h"

#include <QObject>

// A QTimer-like timer that runs on a Clock, so that timers of the program obey
// a simulated clock in tests as waits do.
class ClockTimer : public QObject {
    Q_OBJECT
public:
    explicit ClockTimer(Clock& clock, QObject* parent = nullptr);
    ~ClockTimer() override;

    void setInterval(int ms) { m_interval = ms; }
    int interval() const { return m_interval; }
    void setSingleShot(bool singleShot) { m_singleShot = singleShot; }
    bool isSingleShot() const { return m_singleShot; }
    bool isActive() const { return m_id != 0; }

    void start();
    void start(int ms);
    void stop();

signals:
    void timeout();

private:
    void fire();

    Clock& m_clock;
    Clock::TimerId m_id = 0;
    int m_interval = 0;
    bool m_singleShot = false;
};
