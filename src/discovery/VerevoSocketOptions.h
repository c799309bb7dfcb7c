#pragma once

#include <QHostAddress>

// Where the discovery socket listens and which port its datagrams go to. The
// protocol uses 7477 for both; tests pick free ports on loopback.
struct VerevoSocketOptions {
    quint16 localPort = 7477;
    quint16 remotePort = 7477;
    QHostAddress bindAddress = QHostAddress::AnyIPv4;
};
