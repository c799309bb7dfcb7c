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
// echo: bytes travel as they are.
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

    // What the unit's terminal answers to one line after the login.
    QByteArray answer(SimUnit& unit, const QByteArray& line);

private:
    struct Session;
    void accept();
    void readFrom(Session& s);
    void lineFrom(Session& s, const QByteArray& line);
    SimUnit& unitFor(const QHostAddress& local);
    QByteArray ping(SimUnit& unit, const QString& host);

    const SimConfig& m_config;
    std::vector<SimUnit> m_units;
    UnitCommandLanguage& m_language;
    QTcpServer m_server;
    std::vector<std::unique_ptr<Session>> m_sessions;
    QByteArrayList m_typed;
};
