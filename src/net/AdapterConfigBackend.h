#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What the PC adapter routines need from the operating system: the adapter
// configurations that carry IPv4, their address lists and DHCP flag, and the
// seven changing methods. Each method returns the method's own code (0 done,
// 1 done but a restart is needed, anything else a failure) or nullopt when the
// configuration service itself failed and nothing was done.
class AdapterConfigBackend {
public:
    // Failure codes as the adapter configuration class of the other platform
    // documents them; the routines pass them on unchanged.
    enum Code : qint32 {
        Done = 0,
        DoneRestartNeeded = 1,
        NotSupported = 64,
        UnknownFailure = 65,
        InvalidSubnetMask = 66,
        InvalidIpAddress = 70,
        InvalidGateway = 71,
        UnableToConfigureDhcp = 81,
        UnableToRenewLease = 82,
        UnableToReleaseLease = 83,
        AccessDenied = 91,
        // The link is left alone: another program keeps its addressing (a
        // DHCP client that serves other links too and cannot be asked to act
        // on this one alone).
        InterfaceNotConfigurable = 97,
        DhcpNotEnabled = 100,
    };

    enum class ListProperty { IPAddress, IPSubnet, DefaultIPGateway, DNSServerSearchOrder };

    struct Configuration {
        // The backend's own handle for the configuration (device, interface).
        QString id;
        // Link-layer address as hex pairs joined by ":"; nullopt when it has none.
        std::optional<QString> macAddress;
        // The kernel's index of the link; 0 when the service does not tell.
        int ifindex = 0;

        // Whether this is the link a usable-interface entry names: by its
        // index when both sides know one, else by the MAC (case-blind) as the
        // other platform matches. A link that merely shares the MAC of the
        // entry's (a VLAN on it, a bridge over it) is then never taken for it.
        bool isLink(int entryIndex, const QString& macText) const
        {
            if (entryIndex > 0 && ifindex > 0)
                return ifindex == entryIndex;
            return macAddress && macAddress->compare(macText, Qt::CaseInsensitive) == 0;
        }
    };

    // A list property: nullopt stands for a property that has no value at all.
    struct ListRead {
        bool ok = false;
        std::optional<QStringList> values;
    };

    struct FlagRead {
        bool ok = false;
        std::optional<bool> value;
    };

    // Whether a method's result is one of the done codes.
    static bool succeeded(const std::optional<qint32>& r) { return r && (*r == Done || *r == DoneRestartNeeded); }

    virtual ~AdapterConfigBackend() = default;

    // The IP-enabled configurations in the service's order; nullopt on failure.
    virtual std::optional<QList<Configuration>> ipEnabledConfigurations() = 0;

    virtual ListRead readList(const Configuration& c, ListProperty property) = 0;
    virtual FlagRead dhcpEnabled(const Configuration& c) = 0;

    // The addresses, masks, gateways and name servers these take have passed
    // AdapterConfigRules: the adapter routines refuse the rest before they
    // call a backend.
    virtual std::optional<qint32> enableStatic(
        const Configuration& c, const QStringList& addresses, const QStringList& masks)
        = 0;
    virtual std::optional<qint32> setGateways(
        const Configuration& c, const QStringList& gateways, const QList<quint16>& metrics)
        = 0;
    virtual std::optional<qint32> setDnsServerSearchOrder(const Configuration& c, const QStringList& servers) = 0;
    virtual std::optional<qint32> enableDhcp(const Configuration& c) = 0;
    virtual std::optional<qint32> releaseDhcpLease(const Configuration& c) = 0;
    virtual std::optional<qint32> renewDhcpLease(const Configuration& c) = 0;
    virtual std::optional<qint32> setWinsServer(
        const Configuration& c, const QString& primary, const QString& secondary)
        = 0;
};
