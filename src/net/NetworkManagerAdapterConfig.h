#pragma once

#include "net/AdapterConfigBackend.h"

#include <QDBusConnection>
#include <QHash>
#include <QSet>
#include <QVariantMap>

class Clock;

// Adapter configuration through NetworkManager on D-Bus, for the devices it
// manages. Reads come from the device's IPv4 configuration and its applied
// connection; changes edit the applied connection and reapply it to the
// device, so nothing is written to the saved profile and everything holds
// until the device is activated again.
//
// NetworkManager has no lease calls of its own. Every change of the ipv4
// settings of a device in DHCP mode restarts its DHCP client, and method
// "disabled" stops it: release reapplies the connection with DHCP stopped and
// a mark in the connection's user data (the device stays in DHCP mode for the
// readers), renew stops the client if it runs and starts it afresh, so the
// DHCP server sees a new request. Enabling DHCP and renewing block in the event
// loop until the device holds a lease, NetworkManager gives up, or the
// deadline taken from the clock passes. The DHCP road (enable, clear the DNS,
// release, renew) puts the connection's name servers back as they were
// before its enable when its renew does not end with a lease. A caller
// refused by the daemon or by the bus's policy gets 91 for any change.
class NetworkManagerAdapterConfig final : public AdapterConfigBackend {
public:
    struct Options {
        // How long enabling DHCP and renewing wait for a lease.
        int leaseTimeoutMs = 30'000;
    };

    explicit NetworkManagerAdapterConfig(Clock& clock, QDBusConnection bus = QDBusConnection::systemBus());
    NetworkManagerAdapterConfig(Clock& clock, QDBusConnection bus, Options options);

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

    // Key of the user-data mark that a released lease leaves on the applied connection.
    static QString releasedMark();

private:
    struct Device {
        QString path, interface, hwAddress, ip4Config;
        uint deviceType = 0;
        bool managed = false;
        uint state = 0;
        int ifindex = 0;
        // A port of another device (a bridge's, a bond's).
        bool port = false;
    };
    using Settings = QMap<QString, QVariantMap>;
    struct Applied {
        Settings settings;
        qulonglong version = 0;
    };
    enum class Lease { Bound, Failed, TimedOut };

    std::optional<QList<Device>> devices() const;
    std::optional<QVariantMap> properties(const QString& path, const QString& interface) const;
    // The applied connection; nullopt when it can't be read, with refused
    // (when given) set to 91 if the caller was refused the read.
    std::optional<Applied> applied(const QString& device, std::optional<qint32>* refused = nullptr) const;
    std::optional<qint32> renewOnce(const Configuration& c);
    // The ipv4 keys that hold the connection's own name servers.
    static QStringList nameServerKeys();
    // Fetches the applied connection, lets edit change it, reapplies it; edit
    // runs whenever the fetch succeeds, before the reapply is sent.
    template<typename Edit> std::optional<qint32> reapply(const QString& device, Edit edit);
    // Whether the device holds a DHCP lease whose address it carries; nullopt
    // when NetworkManager has given the device up.
    std::optional<bool> holdsLease(const QString& device) const;
    Lease waitForLease(const QString& device);

    Clock& m_clock;
    QDBusConnection m_bus;
    Options m_options;
    // Per device, its name-server keys as they were before its DHCP road began.
    QHash<QString, QVariantMap> m_roads;
};
