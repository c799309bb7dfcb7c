#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

// The far end of a terminal session on loopback: records every byte the
// terminal sends and can answer each arrival.
class TelnetPeer : public QObject {
public:
    TelnetPeer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, this, [this] {
                const QByteArray bytes = socket->readAll();
                received += bytes;
                if (onBytes)
                    onBytes(bytes);
            });
            connect(socket, &QTcpSocket::disconnected, this, [this] { hungUp = true; });
            if (!greeting.isEmpty())
                socket->write(greeting);
        });
    }

    quint16 port() const { return server.serverPort(); }
    void send(const QByteArray& bytes)
    {
        if (socket)
            socket->write(bytes);
    }

    QTcpServer server;
    QPointer<QTcpSocket> socket;
    QByteArray greeting;
    QByteArray received;
    bool hungUp = false;
    std::function<void(const QByteArray&)> onBytes;
};
