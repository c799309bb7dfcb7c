#pragma once

#include "net/AdapterConfigBackend.h"

#include <QDBusConnection>
#include <QSet>

// Adapter configuration through NetworkManager on D-Bus, for the devices it
// manages. Reads come from the device's IPv4 configuration and its applied
// connection; changes edit the applied connection's ipv4 settings and reapply
// them to the device, so nothing is written to the saved profile.
// NetworkManager offers no DHCP release and keeps its own DHCP client running
// for a device in DHCP mode: release changes nothing and answers 0, renew
// reapplies the applied connection and answers 0; both answer 100 when the
// device is not in DHCP mode. Re-activating the device would renew for sure but
// would bring back the saved profile and lose the changes made here.
class NetworkManagerAdapterConfig final : public AdapterConfigBackend {
public:
    explicit NetworkManagerAdapterConfig(QDBusConnection bus = QDBusConnection::systemBus());

    // True when NetworkManager answers on the bus.
    bool available() const;
    // Interface names of the devices NetworkManager manages, whatever their state.
    QSet<QString> managedInterfaces() const;

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
    struct Device {
        QString path, interface, hwAddress, ip4Config;
        bool managed = false;
        uint state = 0;
    };
    std::optional<QList<Device>> devices() const;
    std::optional<QVariantMap> properties(const QString& path, const QString& interface) const;
    // Fetches the applied connection, lets edit change its ipv4 map, reapplies.
    template<typename Edit> std::optional<qint32> reapply(const QString& device, Edit edit);

    QDBusConnection m_bus;
};
