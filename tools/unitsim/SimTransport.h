#pragma once

#include "CommandInterpreter.h"
#include "SimConfig.h"
#include "SimFlood.h"
#include "SimUnit.h"
#include "net/Clock.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QUdpSocket>

#include <vector>

// The units' shared socket: reads the PC's datagrams and sends each addressed
// unit's answer back to the sender, after the configured delay and with the
// configured faults.
class SimTransport : public QObject {
    Q_OBJECT
public:
    // Answers leave on clock, so a simulated clock in a test moves them too.
    SimTransport(Clock& clock, const SimConfig& config, std::vector<SimUnit> units, CommandInterpreter& interpreter,
        QObject* parent = nullptr);

    ~SimTransport() override;

    bool listen(QString* error);
    quint16 localPort() const { return m_socket.localPort(); }

    // What a fault makes of a datagram a unit is about to send; empty when the
    // unit keeps silent.
    static QByteArray applyFault(SimFault fault, const QByteArray& datagram, const QByteArray& mac);

private:
    void readPending();
    void handle(const QByteArray& datagram, const QHostAddress& from, quint16 port);
    void reply(const SimUnit& unit, const QByteArray& datagram, int delayMs, const QHostAddress& to, quint16 port);

    Clock& m_clock;
    const SimConfig& m_config;
    std::vector<SimUnit> m_units;
    QHash<QString, qsizetype> m_bySerial;
    CommandInterpreter& m_interpreter;
    QUdpSocket m_socket;
    QSet<Clock::TimerId> m_pending;
    SimFlood m_flood;
};
