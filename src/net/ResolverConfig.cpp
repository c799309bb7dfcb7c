#include "net/ResolverConfig.h"

#include "net/AdapterConfigBackend.h"
#include "net/DbusCodes.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
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

ResolverConfig::ResolverConfig(QString resolvConfPath, bool useResolved, QDBusConnection bus)
    : m_path(std::move(resolvConfPath))
    , m_useResolved(useResolved)
    , m_bus(std::move(bus))
{ }

bool ResolverConfig::resolvedRunning() const
{
    if (!m_useResolved)
        return false;
    return m_bus.isConnected() && m_bus.interface() && m_bus.interface()->isServiceRegistered(resolvedService).value();
}

std::optional<QStringList> ResolverConfig::servers(int ifindex) const
{
    if (!resolvedRunning())
        return fileServers();
    registerTypes();
    QDBusMessage getLink = QDBusMessage::createMethodCall(resolvedService, QStringLiteral("/org/freedesktop/resolve1"),
        QStringLiteral("org.freedesktop.resolve1.Manager"), QStringLiteral("GetLink"));
    getLink << ifindex;
    const QDBusMessage link = m_bus.call(getLink);
    if (link.type() != QDBusMessage::ReplyMessage || link.arguments().isEmpty())
        return std::nullopt;
    QDBusMessage get
        = QDBusMessage::createMethodCall(resolvedService, link.arguments().first().value<QDBusObjectPath>().path(),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.freedesktop.resolve1.Link") << QStringLiteral("DNS");
    const QDBusMessage reply = m_bus.call(get);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    const QVariant value = reply.arguments().first().value<QDBusVariant>().variant();
    const auto entries = qdbus_cast<QList<ResolvedDnsEntry>>(value.value<QDBusArgument>());
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
    // An empty list hands the link back to what its own configuration says.
    QDBusMessage call = QDBusMessage::createMethodCall(resolvedService, QStringLiteral("/org/freedesktop/resolve1"),
        QStringLiteral("org.freedesktop.resolve1.Manager"),
        servers.isEmpty() ? QStringLiteral("RevertLink") : QStringLiteral("SetLinkDNS"));
    call << ifindex;
    if (!servers.isEmpty())
        call << QVariant::fromValue(entries);
    const QDBusMessage reply = m_bus.call(call);
    if (reply.type() == QDBusMessage::ErrorMessage)
        return DbusCodes::codeFor(reply);
    return reply.type() == QDBusMessage::ReplyMessage ? AdapterConfigBackend::Done
                                                      : AdapterConfigBackend::UnknownFailure;
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
