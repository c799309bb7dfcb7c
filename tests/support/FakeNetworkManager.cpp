#include "FakeNetworkManager.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QHostAddress>

#include <arpa/inet.h>

Q_DECLARE_METATYPE(FakeNetworkManager::Settings)

namespace {
const QString root = QStringLiteral("/org/freedesktop/NetworkManager");
const QString devicePrefix = root + QStringLiteral("/Devices/");
const QString ip4Prefix = root + QStringLiteral("/IP4Config/");

QList<QVariantMap> mapList(const QVariant& v)
{
    if (v.canConvert<QDBusArgument>())
        return qdbus_cast<QList<QVariantMap>>(v.value<QDBusArgument>());
    return v.value<QList<QVariantMap>>();
}
} // namespace

FakeNetworkManager::FakeNetworkManager(QList<Device> devices)
    : m_devices(std::move(devices))
{
    qDBusRegisterMetaType<Settings>();
    qDBusRegisterMetaType<QList<QVariantMap>>();
    for (Device& d : m_devices)
        follow(d);
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

QStringList FakeNetworkManager::calls() const
{
    QMutexLocker lock(&m_mutex);
    return m_calls;
}

QString FakeNetworkManager::introspect(const QString&) const
{
    return QString();
}

void FakeNetworkManager::follow(Device& d)
{
    const QVariantMap ipv4 = d.applied.value(QStringLiteral("ipv4"));
    QStringList dns;
    const QVariant rawDns = ipv4.value(QStringLiteral("dns"));
    const QList<uint> servers = rawDns.canConvert<QDBusArgument>()
        ? qdbus_cast<QList<uint>>(rawDns.value<QDBusArgument>())
        : rawDns.value<QList<uint>>();
    for (uint s : servers)
        dns << QHostAddress(ntohl(s)).toString();
    if (ipv4.value(QStringLiteral("method")).toString() == QLatin1String("auto")) {
        d.addressData = { { { QStringLiteral("address"), QStringLiteral("198.51.100.150") },
            { QStringLiteral("prefix"), 24u } } };
        d.gateway = QStringLiteral("198.51.100.1");
        if (!ipv4.value(QStringLiteral("ignore-auto-dns")).toBool())
            dns.append(QStringLiteral("198.51.100.1"));
    } else {
        d.addressData = mapList(ipv4.value(QStringLiteral("address-data")));
        d.gateway = ipv4.value(QStringLiteral("gateway")).toString();
    }
    d.nameservers = dns;
}

QDBusMessage FakeNetworkManager::reapply(int index, const QDBusMessage& message)
{
    Device& d = m_devices[index];
    m_calls << QStringLiteral("Reapply(%1)").arg(d.interface);
    if (!d.reapplyError.isEmpty())
        return message.createErrorReply(d.reapplyError, QStringLiteral("refused"));
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
    d.applied = settings;
    ++d.version;
    follow(d);
    return message.createReply();
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
            const QVariantMap props { { QStringLiteral("Interface"), d.interface },
                { QStringLiteral("HwAddress"), d.hwAddress }, { QStringLiteral("Managed"), d.managed },
                { QStringLiteral("State"), d.state },
                { QStringLiteral("Ip4Config"), QVariant::fromValue(QDBusObjectPath(ip4)) } };
            reply = message.createReply(props);
        } else if (member == QLatin1String("GetAppliedConnection")) {
            m_calls << QStringLiteral("GetAppliedConnection(%1)").arg(d.interface);
            if (d.state != 100)
                reply = message.createErrorReply(
                    QStringLiteral("org.freedesktop.NetworkManager.Device.NotActive"), QStringLiteral("not active"));
            else
                reply = message.createReply({ QVariant::fromValue(d.applied), QVariant::fromValue(d.version) });
        } else if (member == QLatin1String("Reapply")) {
            reply = reapply(i, message);
        } else {
            return false;
        }
    } else if (path.startsWith(ip4Prefix) && member == QLatin1String("GetAll")) {
        const Device& d = m_devices.value(path.mid(ip4Prefix.size()).toInt());
        QList<QVariantMap> ns;
        for (const QString& s : d.nameservers)
            ns.append({ { QStringLiteral("address"), s } });
        const QVariantMap props { { QStringLiteral("AddressData"), QVariant::fromValue(d.addressData) },
            { QStringLiteral("Gateway"), d.gateway }, { QStringLiteral("NameserverData"), QVariant::fromValue(ns) } };
        reply = message.createReply(props);
    } else {
        return false;
    }
    return connection.send(reply);
}
