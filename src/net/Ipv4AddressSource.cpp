#include "net/Ipv4AddressSource.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

namespace {
QString dotted(const sockaddr* sa)
{
    if (!sa || sa->sa_family != AF_INET)
        return QStringLiteral("0.0.0.0");
    char text[INET_ADDRSTRLEN] = {};
    const auto* in = reinterpret_cast<const sockaddr_in*>(sa);
    if (!inet_ntop(AF_INET, &in->sin_addr, text, sizeof text))
        return QStringLiteral("0.0.0.0");
    return QString::fromLatin1(text);
}
} // namespace

QList<Ipv4Assignment> systemIpv4Addresses()
{
    QList<Ipv4Assignment> out;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return out;
    for (const ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET || !a->ifa_name)
            continue;
        // Secondary IPv4 addresses carry their label ("eth0:1") as the name; a
        // colon never occurs in a device name, so the part before it is the device.
        QString name = QString::fromLocal8Bit(a->ifa_name);
        const qsizetype colon = name.indexOf(QLatin1Char(':'));
        if (colon >= 0)
            name.truncate(colon);
        out.append({ name, dotted(a->ifa_addr), dotted(a->ifa_netmask) });
    }
    freeifaddrs(list);
    return out;
}
