#pragma once

#include "SimConfig.h"

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QSet>
#include <QTcpServer>

class QTcpSocket;

// The units' web server: "/login.asp" shows the login form to a GET and takes
// a POST of the form fields username and password; the right ones earn a
// session cookie, which "/default.asp" asks for (without it the browser is
// sent to the login page). It can also hang (every request is read and never
// answered) or refuse (its port stays closed).
class SimWebServer : public QObject {
    Q_OBJECT
public:
    struct Request {
        QByteArray method;
        QByteArray path;
        QByteArray body;
        QByteArray cookie;
    };

    explicit SimWebServer(const SimConfig& config, QObject* parent = nullptr);
    ~SimWebServer() override;

    // Opens the port as the configured mode says (refuse: no port at all).
    bool listen(QString* error);
    quint16 localPort() const { return m_server.serverPort(); }

    // Every request read, in order.
    const QList<Request>& requests() const { return m_requests; }

    static QByteArray userName() { return QByteArrayLiteral("username"); }
    static QByteArray password() { return QByteArrayLiteral("zelvanok"); }

signals:
    void requestRead(const SimWebServer::Request& request);

private:
    void accept();
    void readFrom(QTcpSocket* socket);
    QByteArray answer(const Request& r);
    bool loginAccepted(const QByteArray& form) const;

    const SimConfig& m_config;
    QTcpServer m_server;
    QSet<QByteArray> m_sessions;
    QList<Request> m_requests;
    QFile m_log;
};
