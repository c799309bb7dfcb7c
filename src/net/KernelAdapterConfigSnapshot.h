#pragma once

#include "net/RouteNetlink.h"

#include <QStringList>

#include <optional>

class ResolverConfig;

// What the kernel backend may change on one interface: its IPv4 addresses, the
// routes through gateways on it and the DNS servers. Taken before a change and
// put back when the change fails, so that a failed call leaves the interface
// as it found it.
class KernelAdapterConfigSnapshot {
public:
    // nullopt when the interface's settings cannot be read.
    static std::optional<KernelAdapterConfigSnapshot> take(
        RouteNetlink& nl, const ResolverConfig& resolver, int ifindex);

    // Puts everything back; 0 done, else the first error met (the rest is
    // still put back).
    int restore(RouteNetlink& nl, const ResolverConfig& resolver) const;

    // Puts back the name servers alone; 0 done (or nothing to put back).
    int restoreNameServers(const ResolverConfig& resolver) const;

    // Adds back the gateway routes whose gateway lies in one of networks,
    // after the addresses they relied on were replaced.
    void restoreRoutesOnLink(RouteNetlink& nl, const QList<RouteNetlink::Address>& networks) const;

    const QList<RouteNetlink::Address>& addresses() const { return m_addresses; }
    const QList<RouteNetlink::Route>& routes() const { return m_routes; }

private:
    int m_ifindex = 0;
    QList<RouteNetlink::Address> m_addresses;
    QList<RouteNetlink::Route> m_routes;
    std::optional<QStringList> m_dns;
};
