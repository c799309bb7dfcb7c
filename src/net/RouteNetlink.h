#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

struct nl_sock;

// A small rtnetlink client for the calling thread's network namespace: links,
// IPv4 addresses and default routes. Errors are negative libnl codes; 0 is done.
class RouteNetlink {
public:
    struct Link {
        int ifindex = 0;
        QString name;
    };
    struct Address {
        QString address;
        int prefixLength = 0;
        bool operator==(const Address&) const = default;
    };
    // An IPv4 route of the main table through a gateway on one interface.
    struct Route {
        QString destination;
        int prefixLength = 0;
        QString gateway;
        quint32 metric = 0;
        int protocol = 0;
        bool operator==(const Route&) const = default;
    };

    RouteNetlink();
    ~RouteNetlink();
    RouteNetlink(const RouteNetlink&) = delete;
    RouteNetlink& operator=(const RouteNetlink&) = delete;

    std::optional<QList<Link>> links();
    int ifindex(const QString& name);
    std::optional<QList<Address>> addresses(int ifindex);
    std::optional<QStringList> defaultGateways(int ifindex);

    // Every gateway route whose next hop is on ifindex, default routes first.
    std::optional<QList<Route>> gatewayRoutes(int ifindex);
    int addRoute(int ifindex, const Route& route);
    int deleteRoute(int ifindex, const Route& route);

    int flushAddresses(int ifindex);
    int addAddress(int ifindex, const QString& address, int prefixLength);
    int flushDefaultRoutes(int ifindex);
    int addDefaultRoute(int ifindex, const QString& gateway, quint32 metric);

    // The adapter code for a libnl error.
    static qint32 codeFor(int error);
    // True when address lies in the network of one of addresses.
    static bool onLink(const QList<Address>& addresses, const QString& address);

private:
    nl_sock* m_sock = nullptr;
};
