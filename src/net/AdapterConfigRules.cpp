#include "net/AdapterConfigRules.h"

#include "net/AdapterConfigBackend.h"

#include <QStringList>

namespace AdapterConfigRules {

namespace {
quint32 maskOf(int prefixLength)
{
    return prefixLength <= 0 ? 0u : 0xffffffffu << (32 - qMin(prefixLength, 32));
}

// The network and broadcast addresses of a subnet are no host's, except on
// the point-to-point /31 and the single-host /32.
bool isSubnetEdge(quint32 address, int prefixLength)
{
    if (prefixLength >= 31)
        return false;
    const quint32 host = ~maskOf(prefixLength);
    return (address & host) == 0 || (address & host) == host;
}
} // namespace

std::optional<quint32> parseDotted(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    quint32 v = 0;
    for (const QString& p : parts) {
        if (p.isEmpty() || p.size() > 3)
            return std::nullopt;
        for (QChar ch : p) {
            if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
                return std::nullopt;
        }
        const uint part = p.toUInt();
        if (part > 255)
            return std::nullopt;
        v = (v << 8) | part;
    }
    return v;
}

QString maskText(int prefixLength)
{
    const quint32 m = maskOf(prefixLength);
    return QStringLiteral("%1.%2.%3.%4").arg(m >> 24).arg((m >> 16) & 0xff).arg((m >> 8) & 0xff).arg(m & 0xff);
}

std::optional<int> prefixOf(const QString& mask)
{
    const std::optional<quint32> m = parseDotted(mask);
    if (!m)
        return std::nullopt;
    const quint32 hostBits = ~*m;
    if ((hostBits & (hostBits + 1)) != 0)
        return std::nullopt;
    int n = 0;
    for (quint32 v = *m; v & 0x80000000u; v <<= 1)
        ++n;
    return n;
}

bool isHostAddress(quint32 a)
{
    const quint32 top = a >> 24;
    // 0/8 "this network", 127/8 loopback, 224/4 multicast, 240/4 reserved
    // (with the limited broadcast 255.255.255.255).
    return top != 0 && top != 127 && top < 224;
}

qint32 checkStaticAddress(const QString& address, const QString& mask)
{
    const std::optional<int> prefix = prefixOf(mask);
    if (!prefix || *prefix == 0)
        return AdapterConfigBackend::InvalidSubnetMask;
    const std::optional<quint32> a = parseDotted(address);
    if (!a || !isHostAddress(*a) || isSubnetEdge(*a, *prefix))
        return AdapterConfigBackend::InvalidIpAddress;
    return AdapterConfigBackend::Done;
}

qint32 checkGateway(const QString& gateway, const QList<Network>& networks)
{
    const std::optional<quint32> g = parseDotted(gateway);
    if (!g || !isHostAddress(*g))
        return AdapterConfigBackend::InvalidGateway;
    for (const Network& n : networks) {
        if (n.address == *g)
            return AdapterConfigBackend::InvalidGateway;
    }
    for (const Network& n : networks) {
        const quint32 m = maskOf(n.prefixLength);
        if ((n.address & m) == (*g & m) && !isSubnetEdge(*g, n.prefixLength))
            return AdapterConfigBackend::Done;
    }
    return AdapterConfigBackend::InvalidGateway;
}

qint32 checkNameServer(const QString& server)
{
    const std::optional<quint32> s = parseDotted(server);
    if (!s || (*s >> 24) == 0 || (*s >> 24) >= 224)
        return AdapterConfigBackend::InvalidIpAddress;
    return AdapterConfigBackend::Done;
}

QList<Network> networksOf(const QStringList& addresses, const QStringList& masks)
{
    QList<Network> out;
    for (qsizetype i = 0; i < addresses.size() && i < masks.size(); ++i) {
        const std::optional<quint32> a = parseDotted(addresses[i]);
        const std::optional<int> p = prefixOf(masks[i]);
        if (a && p)
            out.append({ *a, *p });
    }
    return out;
}

} // namespace AdapterConfigRules
