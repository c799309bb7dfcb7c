#include "net/ResolverConfig.h"

#include "net/AdapterConfigBackend.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QFile>
#include <QHostAddress>
#include <QSaveFile>

namespace {

const QString resolvedService = QStringLiteral("org.freedesktop.resolve1");

// One entry of systemd-resolved's DNS lists: (address family, address bytes).
struct ResolvedDnsEntry {
    qint32 family = 0;
    QByteArray address;
};

QDBusArgument& operator<<(QDBusArgument& a, const ResolvedDnsEntry& e)
{
    a.beginStructure();
    a << e.family << e.address;
    a.endStructure();
    return a;
}

const QDBusArgument& operator>>(const QDBusArgument& a, ResolvedDnsEntry& e)
{
    a.beginStructure();
    a >> e.family >> e.address;
    a.endStructure();
    return a;
}

} // namespace

Q_DECLARE_METATYPE(ResolvedDnsEntry)

namespace {
void registerTypes()
{
    static const bool done = [] {
        qDBusRegisterMetaType<ResolvedDnsEntry>();
        qDBusRegisterMetaType<QList<ResolvedDnsEntry>>();
        return true;
    }();
    (void)done;
}

constexpr qint32 afInet = 2;
} // namespace

ResolverConfig::ResolverConfig(QString resolvConfPath, bool useResolved)
    : m_path(std::move(resolvConfPath))
    , m_useResolved(useResolved)
{ }

bool ResolverConfig::resolvedRunning() const
{
    if (!m_useResolved)
        return false;
    QDBusConnection bus = QDBusConnection::systemBus();
    return bus.isConnected() && bus.interface()->isServiceRegistered(resolvedService).value();
}

std::optional<QStringList> ResolverConfig::servers(int ifindex) const
{
    if (!resolvedRunning())
        return fileServers();
    registerTypes();
    QDBusInterface manager(resolvedService, QStringLiteral("/org/freedesktop/resolve1"),
        QStringLiteral("org.freedesktop.resolve1.Manager"), QDBusConnection::systemBus());
    const QDBusReply<QDBusObjectPath> link = manager.call(QStringLiteral("GetLink"), ifindex);
    if (!link.isValid())
        return std::nullopt;
    QDBusInterface props(resolvedService, link.value().path(), QStringLiteral("org.freedesktop.DBus.Properties"),
        QDBusConnection::systemBus());
    const QDBusReply<QDBusVariant> reply
        = props.call(QStringLiteral("Get"), QStringLiteral("org.freedesktop.resolve1.Link"), QStringLiteral("DNS"));
    if (!reply.isValid())
        return std::nullopt;
    const auto entries = qdbus_cast<QList<ResolvedDnsEntry>>(reply.value().variant().value<QDBusArgument>());
    QStringList out;
    for (const ResolvedDnsEntry& e : entries) {
        if (e.family == afInet && e.address.size() == 4) {
            const auto* b = reinterpret_cast<const uchar*>(e.address.constData());
            out << QHostAddress(quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | b[3]).toString();
        }
    }
    return out;
}

qint32 ResolverConfig::setServers(int ifindex, const QStringList& servers) const
{
    if (!resolvedRunning())
        return setFileServers(servers);
    registerTypes();
    QList<ResolvedDnsEntry> entries;
    for (const QString& s : servers) {
        const quint32 v = QHostAddress(s).toIPv4Address();
        const char bytes[4] = { char(v >> 24), char(v >> 16), char(v >> 8), char(v) };
        entries.append({ afInet, QByteArray(bytes, 4) });
    }
    QDBusInterface manager(resolvedService, QStringLiteral("/org/freedesktop/resolve1"),
        QStringLiteral("org.freedesktop.resolve1.Manager"), QDBusConnection::systemBus());
    const QDBusMessage reply = servers.isEmpty()
        ? manager.call(QStringLiteral("RevertLink"), ifindex)
        : manager.call(QStringLiteral("SetLinkDNS"), ifindex, QVariant::fromValue(entries));
    if (reply.type() == QDBusMessage::ErrorMessage)
        return reply.errorName().contains(QLatin1String("AccessDenied")) ? AdapterConfigBackend::AccessDenied
                                                                         : AdapterConfigBackend::UnknownFailure;
    return AdapterConfigBackend::Done;
}

std::optional<QStringList> ResolverConfig::fileServers() const
{
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (!f.exists())
            return QStringList();
        return std::nullopt;
    }
    QStringList out;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QList<QByteArray> words = raw.simplified().split(' ');
        if (words.size() >= 2 && words[0] == "nameserver")
            out << QString::fromLatin1(words[1]);
    }
    return out;
}

qint32 ResolverConfig::setFileServers(const QStringList& servers) const
{
    QByteArray kept;
    QFile old(m_path);
    if (old.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : old.readAll().split('\n')) {
            if (!line.isEmpty() && !line.simplified().startsWith("nameserver"))
                kept += line + '\n';
        }
    }
    for (const QString& s : servers)
        kept += "nameserver " + s.toLatin1() + '\n';
    // Readers of the file must never see half of it: write beside it, then rename.
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly) || f.write(kept) != kept.size() || !f.commit())
        return f.error() == QFileDevice::PermissionsError ? AdapterConfigBackend::AccessDenied
                                                          : AdapterConfigBackend::UnknownFailure;
    return AdapterConfigBackend::Done;
}
