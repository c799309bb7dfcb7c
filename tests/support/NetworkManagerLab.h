#pragma once

#include "DaemonLab.h"

#include <QProcess>
#include <QString>

// A real NetworkManager for one test, out of the machine's way: it runs in a
// network namespace of the lab's, in a mount namespace of its own with
// private /run/NetworkManager, /var/lib/NetworkManager and /etc/NetworkManager
// and a read-only /sys (so it manages devices without udev), on a system bus
// of its own. A saved keyfile profile "lab" (DHCP) is given for the named
// interface. The daemon and its bus end with this object, or with the test
// process if that dies first. The bus's own policy refuses the user "daemon"
// the daemon's device methods, as a stricter system bus does.
class NetworkManagerLab : public DaemonLab {
public:
    NetworkManagerLab();
    ~NetworkManagerLab();

    // Empty when the daemon can run here, else why not.
    static QString unavailableReason();

    // Starts the bus and the daemon in ns with a DHCP profile for ifname and
    // waits until the daemon has activated it; false (see error()) on failure.
    bool start(const QString& ns, const QString& ifname);

    // Runs a DHCP server (dnsmasq) on iface in ns: addresses .100 to .110 of
    // 198.51.100.0/24, router and name server 198.51.100.1, offers answered
    // after replyDelayS seconds; false (see error()) on failure.
    bool startDhcpServer(const QString& ns, const QString& iface, int replyDelayS = 0);
    // Stops the server; startDhcpServer starts it again.
    void stopDhcpServer();
    // The requests and discovers the DHCP server has seen so far.
    int dhcpRequestsSeen() const;

    // Makes the daemon's DHCP client forget its leases, so that its next
    // transaction starts with a discover (which the server answers late).
    void forgetLeases();

    QString profilePath() const;

private:
    QProcess m_dhcp;
};
