#include "net/IPHlpAPI.h"

#include "net/API.h"
#include "net/IcmpEcho.h"
#include "net/ModWinsock.h"

#include <arpa/inet.h>

namespace IPHlpAPI {

bool PingAddress(quint32 addressHostOrder, const QString& payload, qint32 timeoutMs)
{
    return PingAddressUsing(addressHostOrder, payload, timeoutMs, IcmpEcho::blockingWait());
}

bool PingAddressUsing(
    quint32 addressHostOrder, const QString& payload, qint32 timeoutMs, const IcmpEcho::ReplyWait& wait)
{
    if (addressHostOrder == 0 || addressHostOrder == 0xffffffffu)
        return false;
    return IcmpEcho::echo(addressHostOrder, payload.toLocal8Bit(), timeoutMs, IcmpEcho::SocketKind::Automatic, wait);
}

bool PingHost(const QString& host, const QString& payload, qint32 timeoutMs)
{
    return PingHost(host, payload, timeoutMs, &PingAddress);
}

bool PingHost(const QString& host, const QString& payload, qint32 timeoutMs, const EchoFunction& pingAddress)
{
    const quint32 address = ModWinsock::ResolveHost(host);
    // An unknown name sends nothing, whatever echo stands behind.
    if (address == 0)
        return false;
    return pingAddress(ntohl(address), payload, timeoutMs);
}

QString IPToString(quint32 addressNetworkOrder)
{
    in_addr a {};
    a.s_addr = addressNetworkOrder;
    char text[INET_ADDRSTRLEN] = {};
    if (!inet_ntop(AF_INET, &a, text, sizeof text))
        return QStringLiteral("255.255.255.255");
    return API::StrFromAnsiPtr(text);
}

} // namespace IPHlpAPI
