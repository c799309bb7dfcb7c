#pragma once

#include "NetLab.h"

#include <QHostAddress>
#include <QStringList>

#include <functional>

// A PC cabled straight to its units, for the rigs that play the units in the
// test's own process: the lab's two namespaces joined by one veth (eth0 at
// both ends, no default route), the test thread moved into the PC's for
// good, and the units' sockets opened in theirs. So the program's discovery
// socket is bound as start-up binds it (port 7477, every address) and hears
// the units' broadcasts as it would on a real LAN.
class UnitLan {
public:
    // pcCidr: the PC's address; unitCidrs: the units' side's addresses, in
    // one network with it or not.
    bool up(const QString& pcCidr, const QStringList& unitCidrs, const QString& pcMac = QString());
    // Runs fn in the units' namespace (see NetLab::inside).
    bool inUnits(const std::function<void()>& fn);
    // Starts a program in the units' namespace; the lab ends it.
    QProcess* startInUnits(const QStringList& argv);
    bool onUnitSide(const QString& command, QString* output = nullptr);

    // The kernel index of the PC's eth0: the link start-up sends discovery
    // datagrams out of once the interface is chosen.
    qint32 pcInterfaceIndex() const { return m_pcIndex; }
    // The directed broadcast of the PC's network, as the discovery object's
    // setInterface computes it.
    QString pcBroadcast() const { return m_broadcast; }
    QString pcNamespace() const { return m_cable.pc; }
    QString unitNamespace() const { return m_cable.units; }
    QString lastError() const { return m_lab.lastError(); }

private:
    NetLab m_lab;
    NetLab::Cable m_cable;
    qint32 m_pcIndex = 0;
    QString m_broadcast;
};
