#pragma once

#include "net/AdapterConfigBackend.h"
#include "net/ResolverConfig.h"

#include <QString>

// Adapter configuration straight on the kernel, for interfaces that no network
// manager owns: addresses and the default route over rtnetlink (needs
// CAP_NET_ADMIN), DNS through ResolverConfig, DHCP by running the Debian DHCP
// client for that one interface. An interface is IP-enabled when it is an
// Ethernet-type link that is administratively up; a link set down carries no
// IPv4 and is not offered.
class KernelAdapterConfig final : public AdapterConfigBackend {
public:
    struct Paths {
        // Pid, lease and DHCP-mode files of the DHCP client, one set per interface.
        QString runDir = QStringLiteral("/run/linkwise");
        QString resolvConf = QStringLiteral("/etc/resolv.conf");
        bool useResolved = true;
        QString dhclient = QStringLiteral("dhclient");
        // How long a renew may wait for a lease.
        int renewTimeoutMs = 90'000;
    };

    KernelAdapterConfig();
    explicit KernelAdapterConfig(Paths paths);

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

    // Whether this backend has the interface in DHCP mode.
    bool dhcpMode(const QString& ifname) const;

private:
    QString file(const QString& ifname, const char* suffix) const;
    // Runs the DHCP client for ifname with extra options; its exit code, or -1.
    int runDhclient(const QString& ifname, const QStringList& options, int timeoutMs) const;

    Paths m_paths;
    ResolverConfig m_resolver;
};
