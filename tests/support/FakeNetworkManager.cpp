#include "FakeNetworkManager.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QHostAddress>
#include <QTimer>

#include <arpa/inet.h>

Q_DECLARE_METATYPE(FakeNetworkManager::Settings)

namespace {
const QString root = QStringLiteral("/org/freedesktop/NetworkManager");
const QString devicePrefix = root + QStringLiteral("/Devices/");
const QString ip4Prefix = root + QStringLiteral("/IP4Config/");
const QString dhcp4Prefix = root + QStringLiteral("/DHCP4Config/");
const QString leaseAddress = QStringLiteral("198.51.100.150");
const QString leaseRouter = QStringLiteral("198.51.100.1");

QList<QVariantMap> mapList(const QVariant& v)
{
    if (v.canConvert<QDBusArgument>())
        return qdbus_cast<QList<QVariantMap>>(v.value<QDBusArgument>());
    return v.value<QList<QVariantMap>>();
}

QList<uint> uintList(const QVariant& v)
{
    return v.canConvert<QDBusArgument>() ? qdbus_cast<QList<uint>>(v.value<QDBusArgument>()) : v.value<QList<uint>>();
}

// The settings as plain values, so that two of them compare by content.
QVariantMap plain(const QVariantMap& ipv4)
{
    QVariantMap out;
    for (auto it = ipv4.begin(); it != ipv4.end(); ++it) {
        if (it.key() == QLatin1String("address-data") || it.key() == QLatin1String("route-data"))
            out[it.key()] = QVariant::fromValue(mapList(it.value()));
        else if (it.key() == QLatin1String("dns"))
            out[it.key()] = QVariant::fromValue(uintList(it.value()));
        else if (it.value().canConvert<QDBusArgument>())
            out[it.key()] = QStringLiteral("<nested>");
        else
            out[it.key()] = it.value();
    }
    return out;
}

QString methodOf(const QVariantMap& ipv4)
{
    return ipv4.value(QStringLiteral("method")).toString();
}

QVariantMap route(const QString& dest, uint prefix, const QString& nextHop, uint metric)
{
    QVariantMap r { { QStringLiteral("dest"), dest }, { QStringLiteral("prefix"), prefix },
        { QStringLiteral("metric"), metric } };
    if (!nextHop.isEmpty())
        r[QStringLiteral("next-hop")] = nextHop;
    return r;
}
} // namespace

FakeNetworkManager::FakeNetworkManager(QList<Device> devices)
    : m_devices(std::move(devices))
{
    qDBusRegisterMetaType<Settings>();
    qDBusRegisterMetaType<QList<QVariantMap>>();
    for (int i = 0; i < m_devices.size(); ++i) {
        // A device that starts in DHCP mode starts with its lease.
        m_devices[i].leased = methodOf(m_devices[i].applied.value(QStringLiteral("ipv4"))) == QLatin1String("auto");
        follow(i);
    }
}

FakeNetworkManager::~FakeNetworkManager()
{
    if (!m_connectionName.isEmpty()) {
        QDBusConnection bus(m_connectionName);
        bus.unregisterObject(root, QDBusConnection::UnregisterTree);
        QDBusConnection::disconnectFromBus(m_connectionName);
    }
    m_thread.quit();
    m_thread.wait();
}

bool FakeNetworkManager::start(const QString& address)
{
    m_connectionName = QStringLiteral("fake-networkmanager");
    QDBusConnection bus = QDBusConnection::connectToBus(address, m_connectionName);
    if (!bus.isConnected()) {
        m_error = bus.lastError().message();
        return false;
    }
    if (!bus.registerVirtualObject(root, this, QDBusConnection::SubPath)) {
        m_error = bus.lastError().message();
        return false;
    }
    // Calls reach the object in its own thread; events posted before the move
    // move with it.
    moveToThread(&m_thread);
    m_thread.start();
    if (!bus.registerService(QStringLiteral("org.freedesktop.NetworkManager"))) {
        m_error = bus.lastError().message();
        return false;
    }
    return true;
}

FakeNetworkManager::Device FakeNetworkManager::device(int i) const
{
    QMutexLocker lock(&m_mutex);
    return m_devices.value(i);
}

void FakeNetworkManager::setReapplyError(int i, const QString& name)
{
    QMutexLocker lock(&m_mutex);
    m_devices[i].reapplyError = name;
}

void FakeNetworkManager::setLeaseDelay(int i, int ms)
{
    QMutexLocker lock(&m_mutex);
    m_devices[i].leaseDelayMs = ms;
}

QStringList FakeNetworkManager::calls() const
{
    QMutexLocker lock(&m_mutex);
    return m_calls;
}

QString FakeNetworkManager::introspect(const QString&) const
{
    return QString();
}

void FakeNetworkManager::follow(int index)
{
    Device& d = m_devices[index];
    const QVariantMap ipv4 = d.applied.value(QStringLiteral("ipv4"));
    const QString method = methodOf(ipv4);
    QStringList dns;
    for (uint s : uintList(ipv4.value(QStringLiteral("dns"))))
        dns << QHostAddress(ntohl(s)).toString();
    d.routeData.clear();
    d.addressData.clear();
    if (method == QLatin1String("disabled")) {
        d.nameservers.clear();
        return;
    }
    if (method == QLatin1String("auto")) {
        if (d.leased) {
            d.addressData = { { { QStringLiteral("address"), leaseAddress }, { QStringLiteral("prefix"), 24u } } };
            d.routeData << route(QStringLiteral("198.51.100.0"), 24, QString(), 100)
                        << route(QStringLiteral("0.0.0.0"), 0, leaseRouter, 100);
            if (!ipv4.value(QStringLiteral("ignore-auto-dns")).toBool())
                dns.append(leaseRouter);
        }
    } else {
        d.addressData = mapList(ipv4.value(QStringLiteral("address-data")));
        const QString gateway = ipv4.value(QStringLiteral("gateway")).toString();
        if (!gateway.isEmpty())
            d.routeData << route(QStringLiteral("0.0.0.0"), 0, gateway,
                ipv4.value(QStringLiteral("route-metric"), qlonglong(100)).toUInt());
    }
    for (const QVariantMap& r : mapList(ipv4.value(QStringLiteral("route-data"))))
        d.routeData << r;
    d.nameservers = dns;
}

void FakeNetworkManager::bind(int index, int transaction)
{
    QMutexLocker lock(&m_mutex);
    Device& d = m_devices[index];
    if (transaction != d.transactions || methodOf(d.applied.value(QStringLiteral("ipv4"))) != QLatin1String("auto"))
        return;
    d.leased = true;
    follow(index);
    QDBusMessage changed = QDBusMessage::createSignal(devicePrefix + QString::number(index),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    changed << QStringLiteral("org.freedesktop.NetworkManager.Device") << QVariantMap() << QStringList();
    QDBusConnection(m_connectionName).send(changed);
}

QDBusMessage FakeNetworkManager::reapply(int index, const QDBusMessage& message, const QDBusConnection& connection)
{
    Device& d = m_devices[index];
    m_calls << QStringLiteral("Reapply(%1)").arg(d.interface);
    if (!d.reapplyError.isEmpty())
        return message.createErrorReply(d.reapplyError, QStringLiteral("refused"));
    // Without polkit the daemon lets root change a device and nobody else.
    if (connection.interface()->serviceUid(message.service()).value() != 0)
        return message.createErrorReply(QStringLiteral("org.freedesktop.NetworkManager.PermissionDenied"),
            QStringLiteral("org.freedesktop.NetworkManager.network-control request failed: not authorized"));
    const QList<QVariant> args = message.arguments();
    if (args.size() != 3 || message.signature() != QLatin1String("a{sa{sv}}tu"))
        return message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"), message.signature());
    if (args[1].toULongLong() != d.version)
        return message.createErrorReply(
            QStringLiteral("org.freedesktop.NetworkManager.Device.VersionIdMismatch"), QStringLiteral("stale"));
    const Settings settings = qdbus_cast<Settings>(args[0].value<QDBusArgument>());
    const QVariantMap ipv4 = settings.value(QStringLiteral("ipv4"));
    if (ipv4.contains(QStringLiteral("addresses")) || ipv4.contains(QStringLiteral("routes")))
        return message.createErrorReply(QStringLiteral("org.freedesktop.NetworkManager.Device.InvalidConnection"),
            QStringLiteral("deprecated keys given"));
    if (ipv4.contains(QStringLiteral("route-metric"))
        && ipv4.value(QStringLiteral("route-metric")).metaType() != QMetaType::fromType<qlonglong>())
        return message.createErrorReply(
            QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"), QStringLiteral("route-metric is no int64"));
    if (!ipv4.value(QStringLiteral("gateway")).toString().isEmpty()
        && mapList(ipv4.value(QStringLiteral("address-data"))).isEmpty())
        return message.createErrorReply(
            QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection.InvalidProperty"),
            QStringLiteral("ipv4.gateway: gateway cannot be set if there are no addresses configured"));
    const QVariantMap previous = d.applied.value(QStringLiteral("ipv4"));
    d.applied = settings;
    ++d.version;
    const QString method = methodOf(ipv4);
    if (method != QLatin1String("auto")) {
        d.leased = false;
    } else if (methodOf(previous) != method || plain(previous) != plain(ipv4)) {
        // A new transaction; a lease already held stays until the new one binds.
        const int transaction = ++d.transactions;
        if (methodOf(previous) != method)
            d.leased = false;
        if (d.leaseDelayMs >= 0)
            QTimer::singleShot(d.leaseDelayMs, this, [this, index, transaction] { bind(index, transaction); });
    }
    follow(index);
    return message.createReply();
}

QVariantMap FakeNetworkManager::ip4Properties(const Device& d) const
{
    QList<QVariantMap> ns;
    for (const QString& s : d.nameservers)
        ns.append({ { QStringLiteral("address"), s } });
    QString gateway;
    uint best = ~0u;
    for (const QVariantMap& r : d.routeData) {
        if (r.value(QStringLiteral("prefix")).toUInt() == 0 && r.value(QStringLiteral("metric")).toUInt() < best) {
            best = r.value(QStringLiteral("metric")).toUInt();
            gateway = r.value(QStringLiteral("next-hop")).toString();
        }
    }
    return { { QStringLiteral("AddressData"), QVariant::fromValue(d.addressData) },
        { QStringLiteral("RouteData"), QVariant::fromValue(d.routeData) }, { QStringLiteral("Gateway"), gateway },
        { QStringLiteral("NameserverData"), QVariant::fromValue(ns) } };
}

bool FakeNetworkManager::handleMessage(const QDBusMessage& message, const QDBusConnection& connection)
{
    QMutexLocker lock(&m_mutex);
    const QString path = message.path();
    const QString member = message.member();
    QDBusMessage reply;
    if (path == root && member == QLatin1String("GetDevices")) {
        QList<QDBusObjectPath> paths;
        for (int i = 0; i < m_devices.size(); ++i)
            paths << QDBusObjectPath(devicePrefix + QString::number(i));
        reply = message.createReply(QVariant::fromValue(paths));
    } else if (path.startsWith(devicePrefix)) {
        const int i = path.mid(devicePrefix.size()).toInt();
        if (i < 0 || i >= m_devices.size())
            return false;
        Device& d = m_devices[i];
        if (member == QLatin1String("GetAll")) {
            const QString ip4 = d.state == 100 ? ip4Prefix + QString::number(i) : QStringLiteral("/");
            const QString dhcp4 = d.leased ? dhcp4Prefix + QString::number(i) : QStringLiteral("/");
            QList<QDBusObjectPath> ports;
            for (int port : d.ports)
                ports << QDBusObjectPath(devicePrefix + QString::number(port));
            const QVariantMap props { { QStringLiteral("Interface"), d.interface },
                { QStringLiteral("Ports"), QVariant::fromValue(ports) }, { QStringLiteral("HwAddress"), d.hwAddress },
                { QStringLiteral("DeviceType"), d.deviceType }, { QStringLiteral("Managed"), d.managed },
                { QStringLiteral("State"), d.state },
                { QStringLiteral("Ip4Config"), QVariant::fromValue(QDBusObjectPath(ip4)) },
                { QStringLiteral("Dhcp4Config"), QVariant::fromValue(QDBusObjectPath(dhcp4)) } };
            reply = message.createReply(props);
        } else if (member == QLatin1String("GetAppliedConnection")) {
            m_calls << QStringLiteral("GetAppliedConnection(%1)").arg(d.interface);
            if (d.state != 100)
                reply = message.createErrorReply(
                    QStringLiteral("org.freedesktop.NetworkManager.Device.NotActive"), QStringLiteral("not active"));
            else
                reply = message.createReply({ QVariant::fromValue(d.applied), QVariant::fromValue(d.version) });
        } else if (member == QLatin1String("Reapply")) {
            reply = reapply(i, message, connection);
        } else {
            return false;
        }
    } else if (path.startsWith(ip4Prefix) && member == QLatin1String("GetAll")) {
        reply = message.createReply(ip4Properties(m_devices.value(path.mid(ip4Prefix.size()).toInt())));
    } else if (path.startsWith(dhcp4Prefix) && member == QLatin1String("GetAll")) {
        const Device& d = m_devices.value(path.mid(dhcp4Prefix.size()).toInt());
        const QVariantMap options { { QStringLiteral("ip_address"), d.leased ? leaseAddress : QString() } };
        reply = message.createReply(QVariantMap { { QStringLiteral("Options"), options } });
    } else {
        return false;
    }
    return connection.send(reply);
}
