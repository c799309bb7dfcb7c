#pragma once

#include "SimUnit.h"
#include "SimUnitState.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Makes a unit's configuration real on the simulator's own network device:
// the unit's Ethernet address moves to a new one as soon as it is set (and
// again on a save, should it differ) and is announced on the LAN, and a saved
// DHCP pool is served by a DHCP server (dnsmasq) on the device. Meant for a simulator that runs alone in a
// network namespace; it changes the device it is given.
class SimLan : public QObject {
    Q_OBJECT
public:
    explicit SimLan(QString device, QObject* parent = nullptr);
    ~SimLan() override;

    // Watches the command lines a unit carried out.
    void observe(const SimUnit& unit, const SimUnitState& state, const QString& line);

private:
    void moveAddress(const SimUnit& unit, const QString& address, const QString& mask);
    void serveDhcp(const SimUnitState& state);
    bool ip(const QStringList& args) const;

    QString m_device;
    // Per unit: the address and prefix length it has on the device now.
    QHash<QString, QPair<QString, int>> m_applied;
    QStringList m_dhcpArgs;
    QProcess m_dhcp;
    QTemporaryDir m_dir;
};
