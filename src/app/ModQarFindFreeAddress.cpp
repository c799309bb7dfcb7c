#include "app/ModQarFindFreeAddress.h"

#include "net/EventLoopReplyWait.h"
#include "net/IPHlpAPI.h"

#include <arpa/inet.h>

namespace ModQar {

qint32 FindFreeAddress(const QString& pcAddress, const QString& pcMask, qint32 lastRejected, qint32 pingTimeoutMs,
    const bool& cancelRequested)
{
    return FindFreeAddress(pcAddress, pcMask, lastRejected, cancelRequested, [pingTimeoutMs](quint32 candidate) {
        return IPHlpAPI::PingAddress(candidate, QStringLiteral("ADDRESS CHECK"), pingTimeoutMs);
    });
}

qint32 FindFreeAddress(Clock& clock, const QString& pcAddress, const QString& pcMask, qint32 lastRejected,
    qint32 pingTimeoutMs, const bool& cancelRequested)
{
    const IcmpEcho::ReplyWait wait = IcmpEcho::eventLoopWait(clock);
    return FindFreeAddress(pcAddress, pcMask, lastRejected, cancelRequested, [&wait, pingTimeoutMs](quint32 candidate) {
        return IPHlpAPI::PingAddressUsing(candidate, QStringLiteral("ADDRESS CHECK"), pingTimeoutMs, wait);
    });
}

qint32 FindFreeAddress(const QString& pcAddress, const QString& pcMask, qint32 lastRejected,
    const bool& cancelRequested, const std::function<bool(quint32)>& ping)
{
    // inet_addr semantics on purpose: a malformed text is 255.255.255.255.
    const quint32 a = ntohl(::inet_addr(pcAddress.toLatin1().constData()));
    const quint32 m = ntohl(::inet_addr(pcMask.toLatin1().constData()));
    const quint32 first = (a & m) | 1u;
    const quint32 last = (~m | first) & ~1u;
    // The walk compares as signed values: 128.0.0.0 and up are negative. The
    // start after a rejected candidate is counted wide so that it cannot wrap.
    const qint64 start = lastRejected != 0 ? qint64(lastRejected) + 1 : qint64(qint32(first));
    for (qint64 candidate = start; candidate <= qint32(last); ++candidate) {
        if (!ping(quint32(qint32(candidate))))
            return qint32(candidate);
        if (cancelRequested)
            return 0;
    }
    return 0;
}

} // namespace ModQar
