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

// The units' shared socket: reads the PC's datagrams and answers for each
// addressed unit as a unit does, by broadcast from this port to the same port
// of everyone on the link the datagram came in on, after the configured delay
// and with the configured faults.
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
    // The reply texts one datagram each: one a line (CR LF kept with its
    // line) when split, else all of them in one.
    static QList<QList<QByteArray>> carriage(const QList<QByteArray>& replies, bool split);

private:
    // One datagram of an answer: when it leaves, after the request came.
    struct Part {
        int delayMs = 0;
        QByteArray datagram;
    };

    void readPending();
    void handle(const QByteArray& datagram, const QHostAddress& from, quint16 port, int interfaceIndex);
    void reply(const SimUnit& unit, QList<Part> parts, int interfaceIndex);
    void transmit(const QString& serial, const QByteArray& datagram, int interfaceIndex);
    // A command datagram that the unit never got, unless it is the PC's
    // resend of the one lost before.
    bool lost(const SimUnit& unit, const QByteArray& datagram, const QList<QByteArray>& commands);

    Clock& m_clock;
    const SimConfig& m_config;
    std::vector<SimUnit> m_units;
    QHash<QString, qsizetype> m_bySerial;
    CommandInterpreter& m_interpreter;
    QUdpSocket m_socket;
    QSet<Clock::TimerId> m_pending;
    SimFlood m_flood;
    // The last datagram of each unit that was lost on purpose.
    QHash<QString, QByteArray> m_lost;
};
