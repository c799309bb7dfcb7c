#pragma once

#include "net/InterfaceEntry.h"
#include "net/ProblemLog.h"

#include <QHostAddress>

#include <functional>

// How the discovery socket is set up: where it listens, which port its
// datagrams go to, the link they leave through and where failed sends are
// reported. The protocol uses 7477 for both ports; tests pick free ports on
// loopback.
struct VerevoSocketOptions {
    quint16 localPort = 7477;
    quint16 remotePort = 7477;
    QHostAddress bindAddress = QHostAddress::AnyIPv4;
    // Kernel index of the PC interface every datagram must leave through,
    // asked at each send; 0 (or none) leaves the choice to the routing table.
    // Linux routes even the limited broadcast like unicast: with no default
    // route it is refused, with one through a VPN it leaves through the tunnel.
    std::function<qint32()> outgoingInterface;
    // Sends the kernel refused; stderr has them in any case.
    ProblemLog problemLog;

    // The socket as the program makes it: port 7477 on every address, each
    // datagram out of the interface selected in usable when it is sent.
    static VerevoSocketOptions outOfSelected(const UsableInterfaces& usable)
    {
        VerevoSocketOptions o;
        o.outgoingInterface = [&usable]() -> qint32 {
            const InterfaceEntry* entry = usable.selected();
            return entry && entry->Adapter ? entry->Adapter->InterfaceIndex() : 0;
        };
        return o;
    }
};
