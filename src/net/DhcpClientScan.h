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
        // Whether it keeps leases on other links too: networkd always, a
        // dhclient or dhcpcd started for no interface or several (dhcpcd's
        // manager mode). Such a client is never stopped for one link.
        bool servesOtherLinks = false;
    };

    // Short name of the client's program for what is written about it.
    static QString nameOf(Kind kind);

    explicit DhcpClientScan(
        QString procRoot = QStringLiteral("/proc"), QString networkdRoot = QStringLiteral("/run/systemd/netif"));

    // The clients serving ifname (index ifindex), except those whose pid is in
    // ignoredPids (the program's own client).
    QList<Client> clientsOf(const QString& ifname, int ifindex, const QList<qint64>& ignoredPids = {}) const;

private:
    // Also tells whether c serves other links (it is filled in here).
    bool servesInterface(Client& c, const QString& ifname, int ifindex) const;
    QString netnsOf(const QString& pidDir) const;

    QString m_proc;
    QString m_networkd;
};
