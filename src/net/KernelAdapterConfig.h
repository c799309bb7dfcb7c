#pragma once

#include "net/AdapterConfigBackend.h"
#include "net/DhcpClientScan.h"
#include "net/ResolverConfig.h"

#include <QString>

class Clock;
class KernelAdapterConfigSnapshot;
class RouteNetlink;

// Adapter configuration straight on the kernel, for interfaces that no network
// manager owns: addresses and routes over rtnetlink (needs CAP_NET_ADMIN), DNS
// through ResolverConfig, DHCP by running the Debian DHCP client for that one
// interface. An interface is IP-enabled when it is an Ethernet-type link that
// is administratively up; a link set down carries no IPv4 and is not offered.
//
// Every change is taken back when it fails: addresses, routes and DNS read
// back as before the call. A DHCP client started outside the program (by
// ifupdown, a person, dhcpcd) counts as DHCP mode; a change of the
// interface's addressing stops it first, so it can't put its lease back later.
// Waits (the DHCP client, a lease, a client stopping) block in the event
// loop with deadlines from the clock.
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
        // How long enabling DHCP and renewing wait for a lease.
        int leaseTimeoutMs = 30'000;
    };

    explicit KernelAdapterConfig(Clock& clock);
    KernelAdapterConfig(Clock& clock, Paths paths);

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
    QString file(const QString& ifname, const char* suffix) const;
    // Runs the DHCP client for ifname with extra options until it exits or
    // timeoutMs pass; its exit code, or -1.
    int runDhclient(const QString& ifname, const QStringList& options, int timeoutMs) const;
    // Stops the program's own client (keeping the DHCP-mode mark) and those of others.
    void stopClients(const QString& ifname, int ifindex) const;
    void stopProcess(qint64 pid) const;
    void setDhcpMark(const QString& ifname, bool on) const;
    // Waits until the interface carries an IPv4 address or the deadline passes.
    bool waitForAddress(RouteNetlink& nl, int ifindex, const QString& ifname) const;
    // Puts the snapshot back, with the DHCP client running again if it ran.
    void undo(RouteNetlink& nl, const KernelAdapterConfigSnapshot& before, const QString& ifname, bool wasDhcp) const;

    Clock& m_clock;
    Paths m_paths;
    ResolverConfig m_resolver;
    DhcpClientScan m_scan;
};
