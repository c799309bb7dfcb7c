#pragma once

#include "SimConfig.h"
#include "net/Clock.h"

#include <QHostAddress>
#include <QUdpSocket>

// A peer that floods the PC's discovery port: once started it sends bursts
// of datagrams to one address and port, back to back, until its time is up.
// Identity records carry ever new serial numbers and MACs.
class SimFlood {
public:
    SimFlood(Clock& clock, const SimConfig& config, QUdpSocket& socket);
    ~SimFlood();
    SimFlood(const SimFlood&) = delete;
    SimFlood& operator=(const SimFlood&) = delete;

    // Does nothing while a flood runs or after one has run.
    void start(const QHostAddress& to, quint16 port);
    qint64 sent() const { return m_sent; }

    // The n-th datagram of a flood of this kind.
    static QByteArray datagram(SimFloodKind kind, quint64 n, const QString& address);

private:
    void burst();

    Clock& m_clock;
    const SimConfig& m_config;
    QUdpSocket& m_socket;
    QHostAddress m_to;
    quint16 m_port = 0;
    qint64 m_until = -1;
    qint64 m_sent = 0;
    Clock::TimerId m_next = 0;
};
