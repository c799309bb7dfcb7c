#include "net/NetworkManagerAdapterConfig.h"

#include "net/AdapterConfigRules.h"
#include "net/Clock.h"
#include "net/DbusCodes.h"
#include "net/Deadline.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QHostAddress>
#include <QObject>

#include <algorithm>
#include <arpa/inet.h>
#include <net/if.h>

using NMSettings = QMap<QString, QVariantMap>;
using NMStringMap = QMap<QString, QString>;
Q_DECLARE_METATYPE(NMSettings)

namespace {

const QString service = QStringLiteral("org.freedesktop.NetworkManager");
const QString rootPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString deviceIface = QStringLiteral("org.freedesktop.NetworkManager.Device");
const QString ip4Iface = QStringLiteral("org.freedesktop.NetworkManager.IP4Config");
const QString dhcp4Iface = QStringLiteral("org.freedesktop.NetworkManager.DHCP4Config");
const QString ipv4Key = QStringLiteral("ipv4");
const QString methodKey = QStringLiteral("method");
const QString routeDataKey = QStringLiteral("route-data");
constexpr uint stateActivated = 100;
constexpr uint typeLoopback = 32;
constexpr int callTimeoutMs = 25'000;
// A change signal that slipped past the match rule must not cost the whole
// deadline: the lease is looked at again at least this often.
constexpr qint64 recheckMs = 500;

void registerTypes()
{
    static const bool done = [] {
        qDBusRegisterMetaType<NMSettings>();
        qDBusRegisterMetaType<QList<QVariantMap>>();
        qDBusRegisterMetaType<NMStringMap>();
        return true;
    }();
    (void)done;
}

// A D-Bus value that arrived as a nested structure, turned into plain maps.
QList<QVariantMap> mapList(const QVariant& v)
{
    if (v.canConvert<QDBusArgument>())
        return qdbus_cast<QList<QVariantMap>>(v.value<QDBusArgument>());
    return v.value<QList<QVariantMap>>();
}

NMStringMap stringMap(const QVariant& v)
{
    if (v.canConvert<QDBusArgument>())
        return qdbus_cast<NMStringMap>(v.value<QDBusArgument>());
    return v.value<NMStringMap>();
}

QVariantMap variantMap(const QVariant& v)
{
    if (v.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(v.value<QDBusArgument>());
    return v.toMap();
}

QString objectPath(const QVariant& v)
{
    return v.value<QDBusObjectPath>().path();
}

bool isNoObject(const QString& path)
{
    return path.isEmpty() || path == QLatin1String("/");
}

bool isDefaultRoute(const QVariantMap& r)
{
    return r.value(QStringLiteral("prefix")).toUInt() == 0;
}

// A refusal keeps its own code; any other failure of a lease step is the
// step's own failure.
std::optional<qint32> leaseFailure(const std::optional<qint32>& r, qint32 stepFailure)
{
    if (!r || *r == AdapterConfigBackend::AccessDenied)
        return r;
    return stepFailure;
}

bool releasedIn(const NMSettings& s)
{
    return stringMap(s.value(QStringLiteral("user")).value(QStringLiteral("data")))
               .value(NetworkManagerAdapterConfig::releasedMark())
        == QLatin1String("1");
}

void setReleased(NMSettings& s, bool released)
{
    QVariantMap user = s.value(QStringLiteral("user"));
    NMStringMap data = stringMap(user.value(QStringLiteral("data")));
    if (released)
        data.insert(NetworkManagerAdapterConfig::releasedMark(), QStringLiteral("1"));
    else
        data.remove(NetworkManagerAdapterConfig::releasedMark());
    if (data.isEmpty()) {
        s.remove(QStringLiteral("user"));
        return;
    }
    user[QStringLiteral("data")] = QVariant::fromValue(data);
    s[QStringLiteral("user")] = user;
}

// Keeps the routes that keep applies to; the default routes of the list are
// the ones this layer sets as gateways.
template<typename Keep> void filterDefaultRoutes(QVariantMap& ipv4, Keep keep)
{
    QList<QVariantMap> routes = mapList(ipv4.value(routeDataKey));
    routes.removeIf([&](const QVariantMap& r) { return isDefaultRoute(r) && !keep(r); });
    ipv4[routeDataKey] = QVariant::fromValue(routes);
}

} // namespace

namespace {
// Receives NetworkManager's change signals while a lease is awaited; its
// only job is to wake the waiting event loop.
class ChangeWaker : public QObject {
    Q_OBJECT
public slots:
    void changed() { }
};
} // namespace

NetworkManagerAdapterConfig::NetworkManagerAdapterConfig(Clock& clock, QDBusConnection bus)
    : NetworkManagerAdapterConfig(clock, std::move(bus), Options())
{ }

NetworkManagerAdapterConfig::NetworkManagerAdapterConfig(Clock& clock, QDBusConnection bus, Options options)
    : m_clock(clock)
    , m_bus(std::move(bus))
    , m_options(options)
{
    registerTypes();
}

QString NetworkManagerAdapterConfig::releasedMark()
{
    return QStringLiteral("org.linkwise.dhcp-released");
}

bool NetworkManagerAdapterConfig::available() const
{
    return m_bus.isConnected() && m_bus.interface() && m_bus.interface()->isServiceRegistered(service).value();
}

std::optional<QVariantMap> NetworkManagerAdapterConfig::properties(const QString& path, const QString& interface) const
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"));
    call << interface;
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return qdbus_cast<QVariantMap>(reply.arguments().first().value<QDBusArgument>());
}

std::optional<QList<NetworkManagerAdapterConfig::Device>> NetworkManagerAdapterConfig::devices() const
{
    const QDBusMessage reply
        = m_bus.call(QDBusMessage::createMethodCall(service, rootPath, service, QStringLiteral("GetDevices")),
            QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    const auto paths = qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().first().value<QDBusArgument>());
    QList<Device> out;
    QSet<QString> ports;
    for (const QDBusObjectPath& p : paths) {
        const std::optional<QVariantMap> props = properties(p.path(), deviceIface);
        if (!props)
            return std::nullopt;
        Device d;
        d.path = p.path();
        d.interface = props->value(QStringLiteral("Interface")).toString();
        d.hwAddress = props->value(QStringLiteral("HwAddress")).toString();
        d.deviceType = props->value(QStringLiteral("DeviceType")).toUInt();
        d.managed = props->value(QStringLiteral("Managed")).toBool();
        d.state = props->value(QStringLiteral("State")).toUInt();
        d.ip4Config = objectPath(props->value(QStringLiteral("Ip4Config")));
        // The daemon tells no index; it runs in the program's own network
        // namespace, where the IP interface's name gives it.
        QString ipInterface = props->value(QStringLiteral("IpInterface")).toString();
        if (ipInterface.isEmpty())
            ipInterface = d.interface;
        d.ifindex = int(::if_nametoindex(ipInterface.toLocal8Bit().constData()));
        if (const QVariant portList = props->value(QStringLiteral("Ports")); portList.canConvert<QDBusArgument>()) {
            for (const QDBusObjectPath& port : qdbus_cast<QList<QDBusObjectPath>>(portList.value<QDBusArgument>()))
                ports.insert(port.path());
        }
        out << d;
    }
    for (Device& d : out)
        d.port = ports.contains(d.path);
    return out;
}

QSet<QString> NetworkManagerAdapterConfig::managedInterfaces() const
{
    QSet<QString> out;
    if (const auto all = devices()) {
        for (const Device& d : *all) {
            if (d.managed)
                out.insert(d.interface);
        }
    }
    return out;
}

std::optional<QList<AdapterConfigBackend::Configuration>> NetworkManagerAdapterConfig::ipEnabledConfigurations()
{
    const auto all = devices();
    if (!all)
        return std::nullopt;
    // Only an activated device has IPv4 settings applied; the others carry no
    // IP stack to read or change. Loopback is no adapter of the PC's.
    // A port of a bridge or bond shares its controller's MAC and carries the
    // controller's traffic: never an adapter of its own.
    QList<Configuration> out;
    for (const Device& d : *all) {
        if (!d.managed || d.state != stateActivated || isNoObject(d.ip4Config) || d.deviceType == typeLoopback || d.port
            || d.hwAddress.isEmpty() || d.hwAddress == QLatin1String("00:00:00:00:00:00"))
            continue;
        out.append({ d.path, d.hwAddress, d.ifindex });
    }
    return out;
}

AdapterConfigBackend::ListRead NetworkManagerAdapterConfig::readList(const Configuration& c, ListProperty property)
{
    const std::optional<QVariantMap> device = properties(c.id, deviceIface);
    if (!device)
        return {};
    const QString ip4 = objectPath(device->value(QStringLiteral("Ip4Config")));
    if (isNoObject(ip4))
        return { true, std::nullopt };
    const std::optional<QVariantMap> config = properties(ip4, ip4Iface);
    if (!config)
        return {};
    QStringList values;
    switch (property) {
    case ListProperty::IPAddress:
    case ListProperty::IPSubnet:
        for (const QVariantMap& a : mapList(config->value(QStringLiteral("AddressData")))) {
            values << (property == ListProperty::IPAddress
                    ? a.value(QStringLiteral("address")).toString()
                    : AdapterConfigRules::maskText(int(a.value(QStringLiteral("prefix")).toUInt())));
        }
        break;
    case ListProperty::DefaultIPGateway: {
        // Every default route of the device, the preferred (lowest metric)
        // first: a gateway set beside DHCP's keeps DHCP's as the second.
        QList<QVariantMap> routes = mapList(config->value(QStringLiteral("RouteData")));
        routes.removeIf([](const QVariantMap& r) {
            return !isDefaultRoute(r) || r.value(QStringLiteral("next-hop")).toString().isEmpty();
        });
        std::stable_sort(routes.begin(), routes.end(), [](const QVariantMap& a, const QVariantMap& b) {
            return a.value(QStringLiteral("metric")).toUInt() < b.value(QStringLiteral("metric")).toUInt();
        });
        for (const QVariantMap& r : routes)
            values << r.value(QStringLiteral("next-hop")).toString();
        if (values.isEmpty()) {
            if (const QString gw = config->value(QStringLiteral("Gateway")).toString(); !gw.isEmpty())
                values << gw;
        }
        break;
    }
    case ListProperty::DNSServerSearchOrder:
        for (const QVariantMap& a : mapList(config->value(QStringLiteral("NameserverData"))))
            values << a.value(QStringLiteral("address")).toString();
        break;
    }
    if (values.isEmpty())
        return { true, std::nullopt };
    return { true, values };
}

std::optional<NetworkManagerAdapterConfig::Applied> NetworkManagerAdapterConfig::applied(
    const QString& device, std::optional<qint32>* refused) const
{
    QDBusMessage get
        = QDBusMessage::createMethodCall(service, device, deviceIface, QStringLiteral("GetAppliedConnection"));
    get << 0u;
    const QDBusMessage reply = m_bus.call(get, QDBus::Block, callTimeoutMs);
    // A change begins with this read: a caller refused it (by the bus's
    // policy or the daemon's) is refused the change.
    if (refused && DbusCodes::isRefusal(reply))
        *refused = AccessDenied;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() < 2)
        return std::nullopt;
    return Applied { qdbus_cast<NMSettings>(reply.arguments().at(0).value<QDBusArgument>()),
        reply.arguments().at(1).toULongLong() };
}

AdapterConfigBackend::FlagRead NetworkManagerAdapterConfig::dhcpEnabled(const Configuration& c)
{
    const std::optional<Applied> a = applied(c.id);
    if (!a)
        return {};
    // A released lease leaves the device in DHCP mode, as on the other platform.
    const bool automatic
        = a->settings.value(ipv4Key).value(methodKey).toString() == QLatin1String("auto") || releasedIn(a->settings);
    return { true, automatic };
}

template<typename Edit> std::optional<qint32> NetworkManagerAdapterConfig::reapply(const QString& device, Edit edit)
{
    std::optional<qint32> refused;
    std::optional<Applied> a = applied(device, &refused);
    if (!a)
        return refused;
    QVariantMap ipv4 = a->settings.value(ipv4Key);
    // The deprecated forms win over the new keys when both are present.
    ipv4.remove(QStringLiteral("addresses"));
    ipv4.remove(QStringLiteral("routes"));
    a->settings[ipv4Key] = ipv4;
    edit(a->settings, a->settings[ipv4Key]);
    QDBusMessage put = QDBusMessage::createMethodCall(service, device, deviceIface, QStringLiteral("Reapply"));
    put << QVariant::fromValue(a->settings) << QVariant::fromValue(a->version) << 0u;
    const QDBusMessage reply = m_bus.call(put, QDBus::Block, callTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage)
        return DbusCodes::codeFor(reply);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return std::nullopt;
    return Done;
}

std::optional<bool> NetworkManagerAdapterConfig::holdsLease(const QString& device) const
{
    const std::optional<QVariantMap> d = properties(device, deviceIface);
    if (!d)
        return false;
    if (d->value(QStringLiteral("State")).toUInt() != stateActivated)
        return std::nullopt;
    const QString dhcp = objectPath(d->value(QStringLiteral("Dhcp4Config")));
    const QString ip4 = objectPath(d->value(QStringLiteral("Ip4Config")));
    if (isNoObject(dhcp) || isNoObject(ip4))
        return false;
    const std::optional<QVariantMap> lease = properties(dhcp, dhcp4Iface);
    const std::optional<QVariantMap> config = properties(ip4, ip4Iface);
    if (!lease || !config)
        return false;
    const QString leased
        = variantMap(lease->value(QStringLiteral("Options"))).value(QStringLiteral("ip_address")).toString();
    if (leased.isEmpty())
        return false;
    // The lease counts once its address is on the device, so that a reader
    // right after sees it.
    for (const QVariantMap& a : mapList(config->value(QStringLiteral("AddressData")))) {
        if (a.value(QStringLiteral("address")).toString() == leased)
            return true;
    }
    return false;
}

NetworkManagerAdapterConfig::Lease NetworkManagerAdapterConfig::waitForLease(const QString& device)
{
    ChangeWaker waker;
    m_bus.connect(service, QString(), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"), &waker, SLOT(changed()));
    Lease lease = Lease::TimedOut;
    Deadline::monotonicIn(m_clock, m_options.leaseTimeoutMs)
        .wait(
            [&] {
                const std::optional<bool> held = holdsLease(device);
                if (held && !*held)
                    return false;
                lease = held ? Lease::Bound : Lease::Failed;
                return true;
            },
            recheckMs);
    return lease;
}

std::optional<qint32> NetworkManagerAdapterConfig::enableStatic(
    const Configuration& c, const QStringList& addresses, const QStringList& masks)
{
    if (addresses.isEmpty() || addresses.size() != masks.size())
        return InvalidIpAddress;
    QList<QVariantMap> data;
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        const std::optional<int> prefix = AdapterConfigRules::prefixOf(masks[i]);
        if (!prefix)
            return InvalidSubnetMask;
        data.append({ { QStringLiteral("address"), addresses[i] }, { QStringLiteral("prefix"), uint(*prefix) } });
    }
    const QList<AdapterConfigRules::Network> networks = AdapterConfigRules::networksOf(addresses, masks);
    const auto onLink
        = [&](const QString& gateway) { return AdapterConfigRules::checkGateway(gateway, networks) == Done; };
    // Another road begins; the DHCP road's name servers are no longer the ones to go back to.
    m_roads.remove(c.id);
    return reapply(c.id, [&](NMSettings& all, QVariantMap& ipv4) {
        ipv4[methodKey] = QStringLiteral("manual");
        ipv4[QStringLiteral("address-data")] = QVariant::fromValue(data);
        // A gateway the new networks still reach is kept, as the other
        // platform keeps its gateways across a new address.
        if (!onLink(ipv4.value(QStringLiteral("gateway")).toString()))
            ipv4.remove(QStringLiteral("gateway"));
        filterDefaultRoutes(
            ipv4, [&](const QVariantMap& r) { return onLink(r.value(QStringLiteral("next-hop")).toString()); });
        setReleased(all, false);
    });
}

std::optional<qint32> NetworkManagerAdapterConfig::setGateways(
    const Configuration& c, const QStringList& gateways, const QList<quint16>& metrics)
{
    if (gateways.isEmpty())
        return InvalidGateway;
    return reapply(c.id, [&](NMSettings&, QVariantMap& ipv4) {
        // A default route of the connection's own rather than ipv4.gateway:
        // NetworkManager refuses that key on a DHCP connection, and the
        // metric belongs to this route alone, not to every route of the device.
        ipv4.remove(QStringLiteral("gateway"));
        filterDefaultRoutes(ipv4, [](const QVariantMap&) { return false; });
        QList<QVariantMap> routes = mapList(ipv4.value(routeDataKey));
        for (qsizetype i = 0; i < gateways.size(); ++i) {
            routes.append({ { QStringLiteral("dest"), QStringLiteral("0.0.0.0") }, { QStringLiteral("prefix"), 0u },
                { QStringLiteral("next-hop"), gateways[i] },
                { QStringLiteral("metric"), uint(i < metrics.size() ? metrics[i] : 1) } });
        }
        ipv4[routeDataKey] = QVariant::fromValue(routes);
    });
}

std::optional<qint32> NetworkManagerAdapterConfig::setDnsServerSearchOrder(
    const Configuration& c, const QStringList& servers)
{
    QList<uint> dns;
    for (const QString& s : servers)
        dns << htonl(QHostAddress(s).toIPv4Address());
    // Servers chosen by name are what a later failed DHCP road goes back to.
    if (!servers.isEmpty())
        m_roads.remove(c.id);
    return reapply(c.id, [&](NMSettings&, QVariantMap& ipv4) {
        ipv4[QStringLiteral("dns")] = QVariant::fromValue(dns);
        // An empty list goes back to the servers that DHCP hands out.
        ipv4[QStringLiteral("ignore-auto-dns")] = !dns.isEmpty();
    });
}

std::optional<qint32> NetworkManagerAdapterConfig::enableDhcp(const Configuration& c)
{
    const std::optional<qint32> r = reapply(c.id, [&](NMSettings& all, QVariantMap& ipv4) {
        // The DHCP road begins with the read of the connection, whether its
        // reapply then goes through or not: the road's later steps clear the
        // name servers, and a road that ends without a lease puts back the
        // connection's own.
        QVariantMap dns;
        for (const QString& key : nameServerKeys()) {
            if (ipv4.contains(key))
                dns.insert(key, ipv4.value(key));
        }
        m_roads.insert(c.id, dns);
        ipv4[methodKey] = QStringLiteral("auto");
        ipv4.remove(QStringLiteral("address-data"));
        ipv4.remove(QStringLiteral("gateway"));
        // Gateways set by hand give way to the one the lease brings.
        filterDefaultRoutes(ipv4, [](const QVariantMap&) { return false; });
        setReleased(all, false);
    });
    if (!r || *r != Done)
        return leaseFailure(r, UnableToConfigureDhcp);
    // The device is in DHCP mode now; without a lease by the deadline its
    // client goes on asking, as after the other platform's EnableDHCP.
    return waitForLease(c.id) == Lease::Failed ? UnableToConfigureDhcp : Done;
}

std::optional<qint32> NetworkManagerAdapterConfig::releaseDhcpLease(const Configuration& c)
{
    std::optional<qint32> refused;
    const std::optional<Applied> a = applied(c.id, &refused);
    if (!a)
        return refused;
    if (releasedIn(a->settings))
        return Done;
    if (a->settings.value(ipv4Key).value(methodKey).toString() != QLatin1String("auto"))
        return DhcpNotEnabled;
    const std::optional<qint32> r = reapply(c.id, [](NMSettings& all, QVariantMap& ipv4) {
        ipv4[methodKey] = QStringLiteral("disabled");
        setReleased(all, true);
    });
    return r && *r != Done ? leaseFailure(r, UnableToReleaseLease) : r;
}

std::optional<qint32> NetworkManagerAdapterConfig::renewDhcpLease(const Configuration& c)
{
    const std::optional<qint32> r = renewOnce(c);
    // The renew ends the DHCP road: with a lease the name servers are the
    // lease's; without one they go back to what they were before the road.
    if (const auto road = m_roads.constFind(c.id); road != m_roads.cend()) {
        if (!succeeded(r)) {
            const QVariantMap dns = *road;
            reapply(c.id, [&](NMSettings&, QVariantMap& ipv4) {
                for (const QString& key : nameServerKeys())
                    ipv4.remove(key);
                ipv4.insert(dns);
            });
        }
        m_roads.remove(c.id);
    }
    return r;
}

QStringList NetworkManagerAdapterConfig::nameServerKeys()
{
    return { QStringLiteral("dns"), QStringLiteral("ignore-auto-dns") };
}

std::optional<qint32> NetworkManagerAdapterConfig::renewOnce(const Configuration& c)
{
    std::optional<qint32> refused;
    const std::optional<Applied> a = applied(c.id, &refused);
    if (!a)
        return refused;
    const bool released = releasedIn(a->settings);
    if (!released && a->settings.value(ipv4Key).value(methodKey).toString() != QLatin1String("auto"))
        return DhcpNotEnabled;
    // Reapplying unchanged settings starts no DHCP transaction: stop the
    // client first, so that starting it again asks the server anew.
    if (!released) {
        const std::optional<qint32> r = releaseDhcpLease(c);
        if (!r || *r != Done)
            return leaseFailure(r, UnableToRenewLease);
    }
    const std::optional<qint32> r = reapply(c.id, [](NMSettings& all, QVariantMap& ipv4) {
        ipv4[methodKey] = QStringLiteral("auto");
        setReleased(all, false);
    });
    if (!r || *r != Done)
        return leaseFailure(r, UnableToRenewLease);
    return waitForLease(c.id) == Lease::Bound ? Done : UnableToRenewLease;
}

std::optional<qint32> NetworkManagerAdapterConfig::setWinsServer(const Configuration&, const QString&, const QString&)
{
    // NetworkManager keeps no WINS servers for IPv4 connections: nothing to clear.
    return Done;
}

#include "NetworkManagerAdapterConfig.moc"
