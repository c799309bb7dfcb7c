#include "net/KernelAdapterConfigSnapshot.h"

#include "net/ResolverConfig.h"

std::optional<KernelAdapterConfigSnapshot> KernelAdapterConfigSnapshot::take(
    RouteNetlink& nl, const ResolverConfig& resolver, int ifindex)
{
    KernelAdapterConfigSnapshot s;
    s.m_ifindex = ifindex;
    const auto addresses = nl.addresses(ifindex);
    const auto routes = nl.gatewayRoutes(ifindex);
    if (!addresses || !routes)
        return std::nullopt;
    s.m_addresses = *addresses;
    s.m_routes = *routes;
    s.m_dns = resolver.servers(ifindex);
    return s;
}

int KernelAdapterConfigSnapshot::restore(RouteNetlink& nl, const ResolverConfig& resolver) const
{
    int first = 0;
    const auto note = [&first](int err) {
        if (err && !first)
            first = err;
    };
    if (nl.addresses(m_ifindex) != m_addresses) {
        note(nl.flushAddresses(m_ifindex));
        for (const RouteNetlink::Address& a : m_addresses)
            note(nl.addAddress(m_ifindex, a.address, a.prefixLength));
    }
    if (const auto now = nl.gatewayRoutes(m_ifindex)) {
        for (const RouteNetlink::Route& r : *now) {
            if (!m_routes.contains(r))
                note(nl.deleteRoute(m_ifindex, r));
        }
    }
    for (const RouteNetlink::Route& r : m_routes)
        note(nl.addRoute(m_ifindex, r));
    note(restoreNameServers(resolver));
    return first;
}

int KernelAdapterConfigSnapshot::restoreNameServers(const ResolverConfig& resolver) const
{
    if (!m_dns || resolver.servers(m_ifindex) == m_dns)
        return 0;
    return resolver.setServers(m_ifindex, *m_dns) == 0 ? 0 : -1;
}

void KernelAdapterConfigSnapshot::restoreRoutesOnLink(
    RouteNetlink& nl, const QList<RouteNetlink::Address>& networks) const
{
    for (const RouteNetlink::Route& r : m_routes) {
        if (RouteNetlink::onLink(networks, r.gateway))
            nl.addRoute(m_ifindex, r);
    }
}
