#pragma once

#include <QDBusConnection>
#include <QDateTime>
#include <QString>

// What systemd-networkd can be asked about one link. networkd keeps the
// leases of every link it manages in one process, so it is never stopped for
// one link: it is asked over D-Bus to renew the lease of this link alone,
// and the lease file it rewrites at each bound lease tells when it has one.
class NetworkdLink {
public:
    // bus: where networkd is (the system bus); stateRoot: its state
    // directory (/run/systemd/netif).
    NetworkdLink(QDBusConnection bus, QString stateRoot);

    // Asks networkd to renew the link's DHCP lease: 0 asked, 91 refused (by
    // the bus or by networkd's polkit rules), 65 any other failure.
    qint32 renew(int ifindex) const;
    // When networkd last wrote the link's lease; invalid when it holds none.
    QDateTime leaseWritten(int ifindex) const;

private:
    QDBusConnection m_bus;
    QString m_root;
};
