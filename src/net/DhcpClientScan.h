#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Finds the DHCP clients that keep a lease on an interface behind this
// program's back: ifupdown's or a person's dhclient, dhcpcd, and
// systemd-networkd. Reads /proc and networkd's state files only (both roots
// injectable for tests); processes of other network namespaces, which may
// use the same interface names, are left out.
class DhcpClientScan {
public:
    enum class Kind { Dhclient, Dhcpcd, Networkd };
    struct Client {
        Kind kind = Kind::Dhclient;
        qint64 pid = 0;
        QStringList arguments;
    };

    explicit DhcpClientScan(
        QString procRoot = QStringLiteral("/proc"), QString networkdRoot = QStringLiteral("/run/systemd/netif"));

    // The clients serving ifname (index ifindex), except those whose pid is in
    // ignoredPids (the program's own client).
    QList<Client> clientsOf(const QString& ifname, int ifindex, const QList<qint64>& ignoredPids = {}) const;

private:
    bool servesInterface(const Client& c, const QString& ifname, int ifindex) const;
    QString netnsOf(const QString& pidDir) const;

    QString m_proc;
    QString m_networkd;
};
