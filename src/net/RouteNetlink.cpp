#include "net/RouteNetlink.h"

#include "net/AdapterConfigBackend.h"

#include <QHostAddress>

#include <arpa/inet.h>
#include <netlink/errno.h>
#include <netlink/netlink.h>
#include <netlink/route/addr.h>
#include <netlink/route/link.h>
#include <netlink/route/route.h>

namespace {

struct CacheGuard {
    nl_cache* cache = nullptr;
    ~CacheGuard() { nl_cache_free(cache); }
};

struct AddrGuard {
    nl_addr* addr = nullptr;
    ~AddrGuard() { nl_addr_put(addr); }
};

QString ipv4Text(nl_addr* a)
{
    if (!a || nl_addr_get_family(a) != AF_INET || nl_addr_get_len(a) != 4)
        return QString();
    quint32 v = 0;
    memcpy(&v, nl_addr_get_binary_addr(a), 4);
    return QHostAddress(ntohl(v)).toString();
}

bool isDefaultRoute(rtnl_route* r)
{
    nl_addr* dst = rtnl_route_get_dst(r);
    return rtnl_route_get_family(r) == AF_INET && rtnl_route_get_table(r) == RT_TABLE_MAIN
        && rtnl_route_get_type(r) == RTN_UNICAST && (!dst || nl_addr_get_prefixlen(dst) == 0);
}

rtnl_nexthop* hopOn(rtnl_route* r, int ifindex)
{
    for (int i = 0; i < rtnl_route_get_nnexthops(r); ++i) {
        rtnl_nexthop* nh = rtnl_route_nexthop_n(r, i);
        if (rtnl_route_nh_get_ifindex(nh) == ifindex)
            return nh;
    }
    return nullptr;
}

} // namespace

RouteNetlink::RouteNetlink()
{
    m_sock = nl_socket_alloc();
    if (m_sock && nl_connect(m_sock, NETLINK_ROUTE) < 0) {
        nl_socket_free(m_sock);
        m_sock = nullptr;
    }
}

RouteNetlink::~RouteNetlink()
{
    if (m_sock)
        nl_socket_free(m_sock);
}

std::optional<QList<RouteNetlink::Link>> RouteNetlink::links()
{
    CacheGuard cache;
    if (!m_sock || rtnl_link_alloc_cache(m_sock, AF_UNSPEC, &cache.cache) < 0)
        return std::nullopt;
    QList<Link> out;
    for (nl_object* o = nl_cache_get_first(cache.cache); o; o = nl_cache_get_next(o)) {
        auto* l = reinterpret_cast<rtnl_link*>(o);
        Link link;
        link.ifindex = rtnl_link_get_ifindex(l);
        link.name = QString::fromLocal8Bit(rtnl_link_get_name(l));
        out << link;
    }
    std::sort(out.begin(), out.end(), [](const Link& a, const Link& b) { return a.ifindex < b.ifindex; });
    return out;
}

int RouteNetlink::ifindex(const QString& name)
{
    const auto all = links();
    if (!all)
        return 0;
    for (const Link& l : *all) {
        if (l.name == name)
            return l.ifindex;
    }
    return 0;
}

std::optional<QList<RouteNetlink::Address>> RouteNetlink::addresses(int ifindex)
{
    CacheGuard cache;
    if (!m_sock || rtnl_addr_alloc_cache(m_sock, &cache.cache) < 0)
        return std::nullopt;
    QList<Address> out;
    for (nl_object* o = nl_cache_get_first(cache.cache); o; o = nl_cache_get_next(o)) {
        auto* a = reinterpret_cast<rtnl_addr*>(o);
        if (rtnl_addr_get_ifindex(a) != ifindex || rtnl_addr_get_family(a) != AF_INET)
            continue;
        out.append({ ipv4Text(rtnl_addr_get_local(a)), rtnl_addr_get_prefixlen(a) });
    }
    return out;
}

std::optional<QStringList> RouteNetlink::defaultGateways(int ifindex)
{
    CacheGuard cache;
    if (!m_sock || rtnl_route_alloc_cache(m_sock, AF_INET, 0, &cache.cache) < 0)
        return std::nullopt;
    QList<std::pair<quint32, QString>> found;
    for (nl_object* o = nl_cache_get_first(cache.cache); o; o = nl_cache_get_next(o)) {
        auto* r = reinterpret_cast<rtnl_route*>(o);
        if (!isDefaultRoute(r))
            continue;
        if (rtnl_nexthop* nh = hopOn(r, ifindex)) {
            const QString gw = ipv4Text(rtnl_route_nh_get_gateway(nh));
            if (!gw.isEmpty())
                found.append({ rtnl_route_get_priority(r), gw });
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList out;
    for (const auto& f : found)
        out << f.second;
    return out;
}

std::optional<QList<RouteNetlink::Route>> RouteNetlink::gatewayRoutes(int ifindex)
{
    CacheGuard cache;
    if (!m_sock || rtnl_route_alloc_cache(m_sock, AF_INET, 0, &cache.cache) < 0)
        return std::nullopt;
    QList<Route> out;
    for (nl_object* o = nl_cache_get_first(cache.cache); o; o = nl_cache_get_next(o)) {
        auto* r = reinterpret_cast<rtnl_route*>(o);
        if (rtnl_route_get_family(r) != AF_INET || rtnl_route_get_table(r) != RT_TABLE_MAIN
            || rtnl_route_get_type(r) != RTN_UNICAST)
            continue;
        rtnl_nexthop* nh = hopOn(r, ifindex);
        const QString gw = nh ? ipv4Text(rtnl_route_nh_get_gateway(nh)) : QString();
        if (gw.isEmpty())
            continue;
        nl_addr* dst = rtnl_route_get_dst(r);
        Route route;
        route.prefixLength = dst ? int(nl_addr_get_prefixlen(dst)) : 0;
        route.destination = dst && route.prefixLength > 0 ? ipv4Text(dst) : QStringLiteral("0.0.0.0");
        route.gateway = gw;
        route.metric = rtnl_route_get_priority(r);
        route.protocol = rtnl_route_get_protocol(r);
        out << route;
    }
    std::stable_sort(out.begin(), out.end(), [](const Route& a, const Route& b) {
        return std::pair(a.prefixLength, a.metric) < std::pair(b.prefixLength, b.metric);
    });
    return out;
}

namespace {
rtnl_route* buildRoute(int ifindex, const RouteNetlink::Route& route, int* error)
{
    AddrGuard gw, dst;
    const QByteArray destination
        = (route.destination + QLatin1Char('/') + QString::number(route.prefixLength)).toLatin1();
    if ((*error = nl_addr_parse(route.gateway.toLatin1().constData(), AF_INET, &gw.addr)) < 0
        || (*error = nl_addr_parse(destination.constData(), AF_INET, &dst.addr)) < 0)
        return nullptr;
    rtnl_route* r = rtnl_route_alloc();
    rtnl_route_set_family(r, AF_INET);
    rtnl_route_set_table(r, RT_TABLE_MAIN);
    rtnl_route_set_protocol(r, route.protocol ? route.protocol : RTPROT_STATIC);
    rtnl_route_set_scope(r, RT_SCOPE_UNIVERSE);
    rtnl_route_set_type(r, RTN_UNICAST);
    rtnl_route_set_dst(r, dst.addr);
    rtnl_route_set_priority(r, route.metric);
    rtnl_nexthop* nh = rtnl_route_nh_alloc();
    rtnl_route_nh_set_ifindex(nh, ifindex);
    rtnl_route_nh_set_gateway(nh, gw.addr);
    rtnl_route_add_nexthop(r, nh);
    return r;
}
} // namespace

namespace {
// Builds the route, hands it to call and frees it; errors the call may meet
// on an already reached state count as done.
template<typename Call> int onRoute(nl_sock* sock, int ifindex, const RouteNetlink::Route& route, int done, Call call)
{
    if (!sock)
        return -NLE_BAD_SOCK;
    int err = 0;
    rtnl_route* r = buildRoute(ifindex, route, &err);
    if (!r)
        return err;
    err = call(r);
    rtnl_route_put(r);
    return err < 0 && err != -done ? err : 0;
}
} // namespace

int RouteNetlink::addRoute(int ifindex, const Route& route)
{
    return onRoute(m_sock, ifindex, route, NLE_EXIST,
        [this](rtnl_route* r) { return rtnl_route_add(m_sock, r, NLM_F_CREATE | NLM_F_EXCL); });
}

int RouteNetlink::deleteRoute(int ifindex, const Route& route)
{
    return onRoute(
        m_sock, ifindex, route, NLE_OBJ_NOTFOUND, [this](rtnl_route* r) { return rtnl_route_delete(m_sock, r, 0); });
}

int RouteNetlink::flushAddresses(int ifindex)
{
    CacheGuard cache;
    if (!m_sock)
        return -NLE_BAD_SOCK;
    if (const int err = rtnl_addr_alloc_cache(m_sock, &cache.cache); err < 0)
        return err;
    // Secondaries go with their primary; deleting them first keeps the kernel
    // from promoting one in between.
    QList<rtnl_addr*> doomed;
    for (nl_object* o = nl_cache_get_first(cache.cache); o; o = nl_cache_get_next(o)) {
        auto* a = reinterpret_cast<rtnl_addr*>(o);
        if (rtnl_addr_get_ifindex(a) == ifindex && rtnl_addr_get_family(a) == AF_INET)
            doomed.prepend(a);
    }
    for (rtnl_addr* a : doomed) {
        const int err = rtnl_addr_delete(m_sock, a, 0);
        if (err < 0 && err != -NLE_NOADDR && err != -NLE_OBJ_NOTFOUND)
            return err;
    }
    return 0;
}

int RouteNetlink::addAddress(int ifindex, const QString& address, int prefixLength)
{
    if (!m_sock)
        return -NLE_BAD_SOCK;
    AddrGuard local;
    if (const int err = nl_addr_parse(address.toLatin1().constData(), AF_INET, &local.addr); err < 0)
        return err;
    nl_addr_set_prefixlen(local.addr, prefixLength);
    rtnl_addr* a = rtnl_addr_alloc();
    rtnl_addr_set_ifindex(a, ifindex);
    rtnl_addr_set_local(a, local.addr);
    if (prefixLength < 31) {
        quint32 v = 0;
        memcpy(&v, nl_addr_get_binary_addr(local.addr), 4);
        const quint32 host = prefixLength == 0 ? 0xffffffffu : (0xffffffffu >> prefixLength);
        const quint32 bcast = htonl(ntohl(v) | host);
        AddrGuard b;
        b.addr = nl_addr_build(AF_INET, &bcast, 4);
        rtnl_addr_set_broadcast(a, b.addr);
    }
    const int err = rtnl_addr_add(m_sock, a, NLM_F_CREATE | NLM_F_REPLACE);
    rtnl_addr_put(a);
    return err < 0 ? err : 0;
}

int RouteNetlink::flushDefaultRoutes(int ifindex)
{
    CacheGuard cache;
    if (!m_sock)
        return -NLE_BAD_SOCK;
    if (const int err = rtnl_route_alloc_cache(m_sock, AF_INET, 0, &cache.cache); err < 0)
        return err;
    for (nl_object* o = nl_cache_get_first(cache.cache); o; o = nl_cache_get_next(o)) {
        auto* r = reinterpret_cast<rtnl_route*>(o);
        if (!isDefaultRoute(r) || !hopOn(r, ifindex))
            continue;
        const int err = rtnl_route_delete(m_sock, r, 0);
        if (err < 0 && err != -NLE_OBJ_NOTFOUND)
            return err;
    }
    return 0;
}

int RouteNetlink::addDefaultRoute(int ifindex, const QString& gateway, quint32 metric)
{
    return addRoute(ifindex, { QStringLiteral("0.0.0.0"), 0, gateway, metric, RTPROT_STATIC });
}

qint32 RouteNetlink::codeFor(int error)
{
    if (error == -NLE_PERM || error == -NLE_NOACCESS)
        return AdapterConfigBackend::AccessDenied;
    return AdapterConfigBackend::UnknownFailure;
}

bool RouteNetlink::onLink(const QList<Address>& addresses, const QString& address)
{
    const QHostAddress target(address);
    for (const Address& a : addresses) {
        if (target.isInSubnet(QHostAddress(a.address), a.prefixLength))
            return true;
    }
    return false;
}
