#pragma once

#include "net/AdapterConfigBackend.h"

#include <functional>

class NetworkManagerAdapterConfig;

// The configuration layer the program uses: NetworkManager for the devices it
// manages (when it runs), the kernel backend for every other interface. An
// interface NetworkManager manages is never touched behind its back, even
// while it is not activated.
class AdapterConfig final : public AdapterConfigBackend {
public:
    // networkManager may be null (no NetworkManager on this system).
    AdapterConfig(NetworkManagerAdapterConfig* networkManager, AdapterConfigBackend& kernel);
    // Asks findNetworkManager once, when the layer is first used: the probe
    // connects to the system bus, which the program's first page does not need.
    // It returns null when NetworkManager does not run.
    AdapterConfig(std::function<NetworkManagerAdapterConfig*()> findNetworkManager, AdapterConfigBackend& kernel);

    // The DHCP flag of the adapter record of link ifindex (0: not known) with
    // this MAC: the last IP-enabled configuration that is that link decides
    // (Configuration::isLink); false when there is none.
    bool dhcpEnabledFor(int ifindex, const QString& macText);

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

private:
    // The backend that owns c, and c in that backend's own terms.
    std::pair<AdapterConfigBackend*, Configuration> route(const Configuration& c);

    NetworkManagerAdapterConfig* networkManager();

    std::function<NetworkManagerAdapterConfig*()> m_findNm;
    NetworkManagerAdapterConfig* m_nm;
    AdapterConfigBackend& m_kernel;
};
