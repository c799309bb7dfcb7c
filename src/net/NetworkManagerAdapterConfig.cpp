#include "net/NetworkManagerAdapterConfig.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QHostAddress>

#include <arpa/inet.h>

using NMSettings = QMap<QString, QVariantMap>;
Q_DECLARE_METATYPE(NMSettings)

namespace {

const QString service = QStringLiteral("org.freedesktop.NetworkManager");
const QString rootPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString deviceIface = QStringLiteral("org.freedesktop.NetworkManager.Device");
const QString ip4Iface = QStringLiteral("org.freedesktop.NetworkManager.IP4Config");
constexpr uint stateActivated = 100;
constexpr int callTimeoutMs = 25'000;

void registerTypes()
{
    static const bool done = [] {
        qDBusRegisterMetaType<NMSettings>();
        qDBusRegisterMetaType<QList<QVariantMap>>();
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

int prefixOf(const QString& mask)
{
    const quint32 m = QHostAddress(mask).toIPv4Address();
    int n = 0;
    for (quint32 v = m; v & 0x80000000u; v <<= 1)
        ++n;
    return n;
}

QString maskText(uint prefix)
{
    return QHostAddress(prefix == 0 ? 0u : 0xffffffffu << (32 - qMin(prefix, 32u))).toString();
}

qint32 codeForError(const QDBusMessage& reply)
{
    const QString name = reply.errorName();
    if (name.endsWith(QLatin1String("PermissionDenied")) || name.endsWith(QLatin1String("AccessDenied")))
        return AdapterConfigBackend::AccessDenied;
    if (name.endsWith(QLatin1String("NotSupported")))
        return AdapterConfigBackend::NotSupported;
    return AdapterConfigBackend::UnknownFailure;
}

} // namespace

NetworkManagerAdapterConfig::NetworkManagerAdapterConfig(QDBusConnection bus)
    : m_bus(std::move(bus))
{
    registerTypes();
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
    for (const QDBusObjectPath& p : paths) {
        const std::optional<QVariantMap> props = properties(p.path(), deviceIface);
        if (!props)
            return std::nullopt;
        Device d;
        d.path = p.path();
        d.interface = props->value(QStringLiteral("Interface")).toString();
        d.hwAddress = props->value(QStringLiteral("HwAddress")).toString();
        d.managed = props->value(QStringLiteral("Managed")).toBool();
        d.state = props->value(QStringLiteral("State")).toUInt();
        d.ip4Config = props->value(QStringLiteral("Ip4Config")).value<QDBusObjectPath>().path();
        out << d;
    }
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
    // IP stack to read or change.
    QList<Configuration> out;
    for (const Device& d : *all) {
        if (!d.managed || d.state != stateActivated || d.ip4Config.isEmpty() || d.ip4Config == QLatin1String("/"))
            continue;
        out.append({ d.path, d.hwAddress.isEmpty() ? std::nullopt : std::optional<QString>(d.hwAddress) });
    }
    return out;
}

AdapterConfigBackend::ListRead NetworkManagerAdapterConfig::readList(const Configuration& c, ListProperty property)
{
    const std::optional<QVariantMap> device = properties(c.id, deviceIface);
    if (!device)
        return {};
    const QString ip4 = device->value(QStringLiteral("Ip4Config")).value<QDBusObjectPath>().path();
    if (ip4.isEmpty() || ip4 == QLatin1String("/"))
        return { true, std::nullopt };
    const std::optional<QVariantMap> config = properties(ip4, ip4Iface);
    if (!config)
        return {};
    QStringList values;
    switch (property) {
    case ListProperty::IPAddress:
    case ListProperty::IPSubnet:
        for (const QVariantMap& a : mapList(config->value(QStringLiteral("AddressData")))) {
            values << (property == ListProperty::IPAddress ? a.value(QStringLiteral("address")).toString()
                                                           : maskText(a.value(QStringLiteral("prefix")).toUInt()));
        }
        break;
    case ListProperty::DefaultIPGateway:
        if (const QString gw = config->value(QStringLiteral("Gateway")).toString(); !gw.isEmpty())
            values << gw;
        break;
    case ListProperty::DNSServerSearchOrder:
        for (const QVariantMap& a : mapList(config->value(QStringLiteral("NameserverData"))))
            values << a.value(QStringLiteral("address")).toString();
        break;
    }
    if (values.isEmpty())
        return { true, std::nullopt };
    return { true, values };
}

AdapterConfigBackend::FlagRead NetworkManagerAdapterConfig::dhcpEnabled(const Configuration& c)
{
    QDBusMessage call
        = QDBusMessage::createMethodCall(service, c.id, deviceIface, QStringLiteral("GetAppliedConnection"));
    call << 0u;
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() < 2)
        return {};
    const auto settings = qdbus_cast<NMSettings>(reply.arguments().first().value<QDBusArgument>());
    return { true,
        settings.value(QStringLiteral("ipv4")).value(QStringLiteral("method")).toString() == QLatin1String("auto") };
}

template<typename Edit> std::optional<qint32> NetworkManagerAdapterConfig::reapply(const QString& device, Edit edit)
{
    QDBusMessage get
        = QDBusMessage::createMethodCall(service, device, deviceIface, QStringLiteral("GetAppliedConnection"));
    get << 0u;
    const QDBusMessage applied = m_bus.call(get, QDBus::Block, callTimeoutMs);
    if (applied.type() != QDBusMessage::ReplyMessage || applied.arguments().size() < 2)
        return std::nullopt;
    NMSettings settings = qdbus_cast<NMSettings>(applied.arguments().at(0).value<QDBusArgument>());
    const qulonglong version = applied.arguments().at(1).toULongLong();
    QVariantMap ipv4 = settings.value(QStringLiteral("ipv4"));
    // The deprecated forms win over the new keys when both are present.
    ipv4.remove(QStringLiteral("addresses"));
    ipv4.remove(QStringLiteral("routes"));
    edit(ipv4);
    settings[QStringLiteral("ipv4")] = ipv4;
    QDBusMessage put = QDBusMessage::createMethodCall(service, device, deviceIface, QStringLiteral("Reapply"));
    put << QVariant::fromValue(settings) << QVariant::fromValue(version) << 0u;
    const QDBusMessage reply = m_bus.call(put, QDBus::Block, callTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage)
        return codeForError(reply);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return std::nullopt;
    return Done;
}

std::optional<qint32> NetworkManagerAdapterConfig::enableStatic(
    const Configuration& c, const QStringList& addresses, const QStringList& masks)
{
    if (addresses.isEmpty() || addresses.size() != masks.size())
        return InvalidIpAddress;
    QList<QVariantMap> data;
    for (qsizetype i = 0; i < addresses.size(); ++i)
        data.append(
            { { QStringLiteral("address"), addresses[i] }, { QStringLiteral("prefix"), uint(prefixOf(masks[i])) } });
    return reapply(c.id, [&](QVariantMap& ipv4) {
        ipv4[QStringLiteral("method")] = QStringLiteral("manual");
        ipv4[QStringLiteral("address-data")] = QVariant::fromValue(data);
    });
}

std::optional<qint32> NetworkManagerAdapterConfig::setGateways(
    const Configuration& c, const QStringList& gateways, const QList<quint16>& metrics)
{
    if (gateways.isEmpty())
        return InvalidGateway;
    return reapply(c.id, [&](QVariantMap& ipv4) {
        // One gateway per connection: the first one, with its metric.
        ipv4[QStringLiteral("gateway")] = gateways.first();
        ipv4[QStringLiteral("route-metric")] = qlonglong(metrics.isEmpty() ? 1 : metrics.first());
    });
}

std::optional<qint32> NetworkManagerAdapterConfig::setDnsServerSearchOrder(
    const Configuration& c, const QStringList& servers)
{
    QList<uint> dns;
    for (const QString& s : servers)
        dns << htonl(QHostAddress(s).toIPv4Address());
    return reapply(c.id, [&](QVariantMap& ipv4) {
        ipv4[QStringLiteral("dns")] = QVariant::fromValue(dns);
        // An empty list goes back to the servers that DHCP hands out.
        ipv4[QStringLiteral("ignore-auto-dns")] = !dns.isEmpty();
    });
}

std::optional<qint32> NetworkManagerAdapterConfig::enableDhcp(const Configuration& c)
{
    return reapply(c.id, [](QVariantMap& ipv4) {
        ipv4[QStringLiteral("method")] = QStringLiteral("auto");
        ipv4.remove(QStringLiteral("address-data"));
        ipv4.remove(QStringLiteral("gateway"));
    });
}

std::optional<qint32> NetworkManagerAdapterConfig::releaseDhcpLease(const Configuration& c)
{
    const FlagRead dhcp = dhcpEnabled(c);
    if (!dhcp.ok)
        return std::nullopt;
    return dhcp.value.value_or(false) ? Done : DhcpNotEnabled;
}

std::optional<qint32> NetworkManagerAdapterConfig::renewDhcpLease(const Configuration& c)
{
    const FlagRead dhcp = dhcpEnabled(c);
    if (!dhcp.ok)
        return std::nullopt;
    if (!dhcp.value.value_or(false))
        return DhcpNotEnabled;
    const std::optional<qint32> r = reapply(c.id, [](QVariantMap&) {});
    return r && *r != Done ? std::optional<qint32>(UnableToRenewLease) : r;
}

std::optional<qint32> NetworkManagerAdapterConfig::setWinsServer(const Configuration&, const QString&, const QString&)
{
    // NetworkManager keeps no WINS servers for IPv4 connections: nothing to clear.
    return Done;
}
