#pragma once

#include "net/AdapterConfigBackend.h"
#include "net/DhcpClientScan.h"
#include "net/KernelAdapterConfigSnapshot.h"
#include "net/OwnDhclient.h"
#include "net/ProblemLog.h"
#include "net/ResolverConfig.h"

#include <QDBusConnection>
#include <QHash>
#include <QString>

#include <functional>
#include <optional>

class Clock;
class RouteNetlink;

// Adapter configuration straight on the kernel, for interfaces that no network
// manager owns: addresses and routes over rtnetlink (needs CAP_NET_ADMIN), DNS
// through ResolverConfig, DHCP by running the Debian DHCP client for that one
// interface. An interface is IP-enabled when it is an Ethernet-type link that
// is administratively up and has no master; a link set down carries no IPv4,
// and a bridge port or bond member carries its master's traffic. Every call
// acts on the link of the configuration's index, never on another one that
// shares its name or MAC.
//
// Every change is taken back when it fails: addresses, routes and DNS read
// back as before the call. A DHCP client started outside the program counts
// as DHCP mode. One that serves this link alone (ifupdown's dhclient, a
// dhcpcd instance of the link) is stopped before a change of the link's
// addressing, so it can't put its lease back later; one that serves other
// links too is never stopped: systemd-networkd is asked over D-Bus to renew
// this link's lease, and whatever it or another such client (dhcpcd's
// manager, a dhclient of every interface) can't be asked for one link alone
// is left undone with code 97 and a line in the problem log.
//
// The DHCP road (enable, clear the DNS, release, renew) puts the name servers
// back as they were before its enable when its renew does not end with a
// lease. Waits (the DHCP client, a lease, a client stopping) block in the
// event loop with deadlines from the clock.
class KernelAdapterConfig final : public AdapterConfigBackend {
public:
    struct Paths {
        // Pid, lease and DHCP-mode files of the DHCP client, one set per interface.
        QString runDir = QStringLiteral("/run/linkwise");
        QString resolvConf = QStringLiteral("/etc/resolv.conf");
        bool useResolved = true;
        QString dhclient = QStringLiteral("dhclient");
        QString procRoot = QStringLiteral("/proc");
        QString networkdRoot = QStringLiteral("/run/systemd/netif");
        // Where the kernel lists the links: name, index, MAC, master.
        QString sysClassNet = QStringLiteral("/sys/class/net");
        // How long enabling DHCP and renewing wait for a lease.
        int leaseTimeoutMs = 30'000;
    };

    explicit KernelAdapterConfig(Clock& clock);
    // log hears what is left undone and why; bus is where systemd-networkd
    // and systemd-resolved are looked for (the system bus when not given).
    KernelAdapterConfig(
        Clock& clock, Paths paths, ProblemLog log = {}, std::optional<QDBusConnection> bus = std::nullopt);

    std::optional<QList<Configuration>> ipEnabledConfigurations() override;
    ListRead readList(const Configuration& c, ListProperty property) override;
    FlagRead dhcpEnabled(const Configuration& c) override;
    std::optional<qint32> enableStatic(
        const Configuration& c, const QStringList& addresses, const QStringList& masks) override;
    std::optional<qint32> setGateways(
        const Configuration& c, const QStringList& gateways, const QList<quint16>& metrics) override;
    std::optional<qint32> setDnsServerSearchOrder(const Configuration& c, const QStringList& servers) override;
    std::optional<qint32> enableDhcp(const Configuration& c) override;
    std::optional<qint32> releaseDhcpLease(const Configuration& c) override;
    std::optional<qint32> renewDhcpLease(const Configuration& c) override;
    std::optional<qint32> setWinsServer(
        const Configuration& c, const QString& primary, const QString& secondary) override;

    // Whether this program runs the interface's DHCP client.
    bool dhcpMode(const QString& ifname) const;
    // The DHCP clients of others on the interface.
    QList<DhcpClientScan::Client> foreignClients(const QString& ifname, int ifindex) const;

private:
    // The link's index: the configuration's own, else the one of its name.
    static int indexOf(RouteNetlink& nl, const Configuration& c);

    // The first of clients that serves other links too, or nullptr.
    static const DhcpClientScan::Client* servingOthers(const QList<DhcpClientScan::Client>& clients);
    // Writes why a step was left undone on ifname, and returns 97.
    qint32 leftAlone(const QString& ifname, const DhcpClientScan::Client& other, const QString& step) const;
    // Stops the program's own client (keeping the DHCP-mode mark) and the
    // given clients of others, each of which serves this link alone.
    void stopClients(const QString& ifname, const QList<DhcpClientScan::Client>& foreign) const;
    // Asks networkd for a fresh lease on the link. needLease is the renew's
    // step: a lease not bound by the deadline is failure, and its failures
    // are the renew's code; without it they are the enable's.
    qint32 renewWithNetworkd(RouteNetlink& nl, int ifindex, bool needLease) const;
    std::optional<qint32> renewOnce(RouteNetlink& nl, const Configuration& c, int ifindex);

    // Blocks until done() holds or the lease deadline passes; woken by every
    // address change of this namespace.
    bool waitUntil(const std::function<bool()>& done) const;
    // Waits until the interface carries an IPv4 address or the deadline passes.
    bool waitForAddress(RouteNetlink& nl, int ifindex, const QString& ifname) const;
    // Puts the snapshot back, with the DHCP client running again if it ran.
    void undo(RouteNetlink& nl, const KernelAdapterConfigSnapshot& before, const QString& ifname, bool wasDhcp) const;

    Clock& m_clock;
    Paths m_paths;
    ProblemLog m_log;
    QDBusConnection m_bus;
    ResolverConfig m_resolver;
    DhcpClientScan m_scan;
    OwnDhclient m_dhclient;
    // Per link, the settings as they were before its DHCP road began.
    QHash<int, KernelAdapterConfigSnapshot> m_roads;
};
