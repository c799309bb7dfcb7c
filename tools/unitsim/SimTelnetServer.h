#pragma once

#include "SimConfig.h"
#include "SimUnit.h"
#include "UnitCommandLanguage.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

#include <vector>

class QTcpSocket;

// The units' telnet server: the login dialogue ("Username: ", "password:",
// "SUPER" on success) against the unit's user profiles, then a command line
// that runs the unit's command language, plus the identity banner "ATI5" and
// the ping command that only a terminal offers. No option negotiation and no
// echo: bytes travel as they are. Each answer starts on a line of its own
// (CR LF first) and the lines of one session are answered in order: a line
// that takes its time (a "late" command, a modem call) holds back the
// answers to the lines typed after it. "reboot" ends every session of the
// unit, and a unit that is restarting takes no connection. On purpose, a unit
// may refuse a login and hang up, keep silent from the first byte, or hang up
// half-way through an answer.
class SimTelnetServer : public QObject {
    Q_OBJECT
public:
    SimTelnetServer(
        const SimConfig& config, std::vector<SimUnit> units, UnitCommandLanguage& language, QObject* parent = nullptr);
    ~SimTelnetServer() override;

    bool listen(QString* error);
    quint16 localPort() const { return m_server.serverPort(); }
    // Lines typed after a login, in order.
    const QByteArrayList& typed() const { return m_typed; }

    // What the unit's terminal answers to one line after the login, and
    // when: empty and silent when it says nothing.
    SimReply answer(SimUnit& unit, const QByteArray& line);

private:
    struct Session;
    void accept();
    void readFrom(Session& s);
    void lineFrom(Session& s, const QByteArray& line);
    void queue(Session& s, const SimReply& reply, bool hangUp);
    bool loginMatches(const SimUnit& unit, const QByteArray& user, const QByteArray& password);
    SimUnit& unitFor(const QHostAddress& local);
    SimReply ping(SimUnit& unit, const QString& host);

    const SimConfig& m_config;
    std::vector<SimUnit> m_units;
    UnitCommandLanguage& m_language;
    QTcpServer m_server;
    std::vector<std::unique_ptr<Session>> m_sessions;
    QByteArrayList m_typed;
};
