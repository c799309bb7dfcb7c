#include "net/KernelAdapterConfig.h"

#include "net/AdapterConfigRules.h"
#include "net/Clock.h"
#include "net/Deadline.h"
#include "net/NetworkdLink.h"
#include "net/PhysicalAddress.h"
#include "net/ProcessStop.h"
#include "net/RouteNetlink.h"
#include "net/SysfsNetTable.h"

#include <QSocketNotifier>

#include <csignal>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr int stopWaitMs = 5'000;
// A notification lost to a full socket buffer must not cost the whole
// deadline: the interface is looked at again at least this often.
constexpr qint64 recheckMs = 500;
// A renewal networkd heeds is written within about half a second.
constexpr qint64 networkdAskAgainMs = 2'000;

// Wakes the event loop whenever an IPv4 address comes or goes in this
// thread's network namespace.
class AddressEvents {
public:
    AddressEvents()
    {
        m_fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
        sockaddr_nl local {};
        local.nl_family = AF_NETLINK;
        local.nl_groups = RTMGRP_IPV4_IFADDR;
        if (m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0) {
            m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
            QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { drain(); });
        }
    }
    ~AddressEvents()
    {
        m_notifier.reset();
        if (m_fd >= 0)
            ::close(m_fd);
    }
    AddressEvents(const AddressEvents&) = delete;
    AddressEvents& operator=(const AddressEvents&) = delete;

private:
    void drain()
    {
        char buffer[8192];
        while (::recv(m_fd, buffer, sizeof buffer, 0) > 0) { }
    }
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
} // namespace

KernelAdapterConfig::KernelAdapterConfig(Clock& clock)
    : KernelAdapterConfig(clock, Paths())
{ }

KernelAdapterConfig::KernelAdapterConfig(Clock& clock, Paths paths, ProblemLog log, std::optional<QDBusConnection> bus)
    : m_clock(clock)
    , m_paths(std::move(paths))
    , m_log(std::move(log))
    , m_bus(bus ? std::move(*bus) : QDBusConnection::systemBus())
    , m_resolver(m_paths.resolvConf, m_paths.useResolved, m_bus)
    , m_scan(m_paths.procRoot, m_paths.networkdRoot)
    , m_dhclient(clock, m_paths.runDir, m_paths.dhclient)
{ }

int KernelAdapterConfig::indexOf(RouteNetlink& nl, const Configuration& c)
{
    return c.ifindex > 0 ? c.ifindex : nl.ifindex(c.id);
}

std::optional<QList<AdapterConfigBackend::Configuration>> KernelAdapterConfig::ipEnabledConfigurations()
{
    // The kernel's own list, as the adapter list reads it: both name a link
    // alike, by its index.
    const std::optional<QList<KernelInterface>> links = SysfsNetTable::links(m_paths.sysClassNet);
    if (!links)
        return std::nullopt;
    QList<Configuration> out;
    for (const KernelInterface& k : *links) {
        const bool ethernetType = k.ianaType == 6 || k.ianaType == 71;
        if (!ethernetType || k.adminStatus != 1 || !k.master.isEmpty())
            continue;
        out.append({ k.name,
            k.mac.size() == 6 ? std::optional<QString>(PhysicalAddress::format(k.mac, QLatin1Char(':'))) : std::nullopt,
            k.index });
    }
    return out;
}

AdapterConfigBackend::ListRead KernelAdapterConfig::readList(const Configuration& c, ListProperty property)
{
    RouteNetlink nl;
    const int ifindex = indexOf(nl, c);
    if (ifindex <= 0)
        return {};
    ListRead out;
    std::optional<QStringList> values;
    switch (property) {
    case ListProperty::IPAddress:
    case ListProperty::IPSubnet: {
        const auto addrs = nl.addresses(ifindex);
        if (!addrs)
            return {};
        values = QStringList();
        for (const RouteNetlink::Address& a : *addrs)
            *values << (property == ListProperty::IPAddress ? a.address : AdapterConfigRules::maskText(a.prefixLength));
        break;
    }
    case ListProperty::DefaultIPGateway:
        values = nl.defaultGateways(ifindex);
        break;
    case ListProperty::DNSServerSearchOrder:
        values = m_resolver.servers(ifindex);
        break;
    }
    if (!values)
        return {};
    out.ok = true;
    // An empty list is an absent one, as the other platform reports it.
    if (!values->isEmpty())
        out.values = *values;
    return out;
}

AdapterConfigBackend::FlagRead KernelAdapterConfig::dhcpEnabled(const Configuration& c)
{
    if (dhcpMode(c.id))
        return { true, true };
    RouteNetlink nl;
    return { true, !foreignClients(c.id, indexOf(nl, c)).isEmpty() };
}

bool KernelAdapterConfig::dhcpMode(const QString& ifname) const
{
    return m_dhclient.dhcpMode(ifname);
}

QList<DhcpClientScan::Client> KernelAdapterConfig::foreignClients(const QString& ifname, int ifindex) const
{
    QList<qint64> own;
    if (const qint64 pid = m_dhclient.pid(ifname))
        own << pid;
    return m_scan.clientsOf(ifname, ifindex, own);
}

const DhcpClientScan::Client* KernelAdapterConfig::servingOthers(const QList<DhcpClientScan::Client>& clients)
{
    for (const DhcpClientScan::Client& c : clients) {
        if (c.servesOtherLinks)
            return &c;
    }
    return nullptr;
}

qint32 KernelAdapterConfig::leftAlone(
    const QString& ifname, const DhcpClientScan::Client& other, const QString& step) const
{
    ProblemReport::report(m_log,
        QStringLiteral("%1: %2 left undone: %3 (pid %4) keeps DHCP leases on other interfaces too and can't be asked "
                       "to do this for %1 alone")
            .arg(ifname, step, DhcpClientScan::nameOf(other.kind))
            .arg(other.pid));
    return InterfaceNotConfigurable;
}

std::optional<qint32> KernelAdapterConfig::enableStatic(
    const Configuration& c, const QStringList& addresses, const QStringList& masks)
{
    if (addresses.isEmpty() || addresses.size() != masks.size())
        return InvalidIpAddress;
    QList<RouteNetlink::Address> wanted;
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        const std::optional<int> prefix = AdapterConfigRules::prefixOf(masks[i]);
        if (!prefix)
            return InvalidSubnetMask;
        wanted.append({ addresses[i], *prefix });
    }
    RouteNetlink nl;
    const int ifindex = indexOf(nl, c);
    if (ifindex <= 0)
        return std::nullopt;
    const QList<DhcpClientScan::Client> foreign = foreignClients(c.id, ifindex);
    // Its client would put its lease back at the next renewal.
    if (const DhcpClientScan::Client* other = servingOthers(foreign))
        return leftAlone(c.id, *other, QStringLiteral("the static address"));
    const auto before = KernelAdapterConfigSnapshot::take(nl, m_resolver, ifindex);
    if (!before)
        return std::nullopt;
    // Another road begins; the DHCP road's settings are no longer the ones to go back to.
    m_roads.remove(ifindex);
    const bool wasDhcp = dhcpMode(c.id) || !foreign.isEmpty();
    // A client left running would put its lease back on its next renewal.
    stopClients(c.id, foreign);
    m_dhclient.setDhcpMode(c.id, false);
    int err = nl.flushAddresses(ifindex);
    for (const RouteNetlink::Address& a : wanted) {
        if (!err)
            err = nl.addAddress(ifindex, a.address, a.prefixLength);
    }
    if (err) {
        undo(nl, *before, c.id, wasDhcp);
        return RouteNetlink::codeFor(err);
    }
    // Deleting the old address took its routes along; the other platform
    // keeps its gateways, so those the new networks still reach come back.
    before->restoreRoutesOnLink(nl, wanted);
    return Done;
}

std::optional<qint32> KernelAdapterConfig::setGateways(
    const Configuration& c, const QStringList& gateways, const QList<quint16>& metrics)
{
    RouteNetlink nl;
    const int ifindex = indexOf(nl, c);
    if (ifindex <= 0)
        return std::nullopt;
    const auto before = KernelAdapterConfigSnapshot::take(nl, m_resolver, ifindex);
    if (!before)
        return std::nullopt;
    int err = nl.flushDefaultRoutes(ifindex);
    for (qsizetype i = 0; i < gateways.size() && !err; ++i)
        err = nl.addDefaultRoute(ifindex, gateways[i], i < metrics.size() ? metrics[i] : 1);
    if (err) {
        before->restore(nl, m_resolver);
        return RouteNetlink::codeFor(err);
    }
    return Done;
}

std::optional<qint32> KernelAdapterConfig::setDnsServerSearchOrder(const Configuration& c, const QStringList& servers)
{
    RouteNetlink nl;
    const int ifindex = indexOf(nl, c);
    if (ifindex <= 0)
        return std::nullopt;
    // Servers chosen by name are what a later failed DHCP road goes back to.
    if (!servers.isEmpty())
        m_roads.remove(ifindex);
    // One write: the file is replaced whole, resolved takes the list whole.
    return m_resolver.setServers(ifindex, servers);
}

std::optional<qint32> KernelAdapterConfig::enableDhcp(const Configuration& c)
{
    RouteNetlink nl;
    const int ifindex = indexOf(nl, c);
    if (ifindex <= 0)
        return std::nullopt;
    const auto before = KernelAdapterConfigSnapshot::take(nl, m_resolver, ifindex);
    if (!before)
        return std::nullopt;
    // The DHCP road begins here: its later steps clear the name servers, and
    // a road that ends without a lease puts these back.
    m_roads.insert(ifindex, *before);
    if (!m_dhclient.prepare())
        return AccessDenied;
    const QList<DhcpClientScan::Client> foreign = foreignClients(c.id, ifindex);
    if (const DhcpClientScan::Client* other = servingOthers(foreign)) {
        // networkd's DHCP is on already: a fresh lease is what this step can ask for.
        if (other->kind == DhcpClientScan::Kind::Networkd)
            return renewWithNetworkd(nl, ifindex, false);
        return leftAlone(c.id, *other, QStringLiteral("DHCP"));
    }
    const bool wasDhcp = dhcpMode(c.id) || !foreign.isEmpty();
    stopClients(c.id, foreign);
    nl.flushAddresses(ifindex);
    nl.flushDefaultRoutes(ifindex);
    m_dhclient.setDhcpMode(c.id, true);
    if (!dhcpMode(c.id) || m_dhclient.run(c.id, { QStringLiteral("-nw") }, OwnDhclient::callMs) != 0) {
        // A client that can't run leaves the PC with what it had.
        undo(nl, *before, c.id, wasDhcp);
        return UnableToConfigureDhcp;
    }
    // DHCP mode holds from here; without a lease by the deadline the client
    // goes on asking in the background, as after the other platform's call.
    waitForAddress(nl, ifindex, c.id);
    return Done;
}

std::optional<qint32> KernelAdapterConfig::releaseDhcpLease(const Configuration& c)
{
    RouteNetlink nl;
    const int ifindex = indexOf(nl, c);
    if (ifindex <= 0)
        return std::nullopt;
    const QList<DhcpClientScan::Client> foreign = foreignClients(c.id, ifindex);
    if (!dhcpMode(c.id) && foreign.isEmpty())
        return DhcpNotEnabled;
    // networkd has no call that gives back one link's lease alone.
    if (const DhcpClientScan::Client* other = servingOthers(foreign))
        return leftAlone(c.id, *other, QStringLiteral("the release of the DHCP lease"));
    const bool ownLease = dhcpMode(c.id);
    // The lease of another client of this link alone is given back and
    // taken over: the interface stays in DHCP mode, now with this program's
    // client. dhcpcd releases on SIGALRM (as its own -k asks it to).
    for (const DhcpClientScan::Client& f : foreign)
        ProcessStop::stop(m_clock, f.pid, f.kind == DhcpClientScan::Kind::Dhcpcd ? SIGALRM : SIGTERM, stopWaitMs);
    m_dhclient.setDhcpMode(c.id, true);
    // Sends DHCPRELEASE, ends the running client and removes the address; the
    // interface stays in DHCP mode until a static address is set.
    if (ownLease && m_dhclient.run(c.id, { QStringLiteral("-r") }, OwnDhclient::callMs) != 0)
        return UnableToReleaseLease;
    // The client's script leaves the address when its lease file is still
    // empty; without a lease the interface holds no IPv4 address.
    nl.flushDefaultRoutes(ifindex);
    nl.flushAddresses(ifindex);
    return Done;
}

std::optional<qint32> KernelAdapterConfig::renewDhcpLease(const Configuration& c)
{
    RouteNetlink nl;
    const int ifindex = indexOf(nl, c);
    if (ifindex <= 0)
        return std::nullopt;
    const std::optional<qint32> r = renewOnce(nl, c, ifindex);
    // The renew ends the DHCP road: with a lease the name servers are the
    // lease's; without one they go back to what they were before the road.
    if (const auto road = m_roads.constFind(ifindex); road != m_roads.cend()) {
        if (!succeeded(r))
            road->restoreNameServers(m_resolver);
        m_roads.remove(ifindex);
    }
    return r;
}

std::optional<qint32> KernelAdapterConfig::renewOnce(RouteNetlink& nl, const Configuration& c, int ifindex)
{
    const QList<DhcpClientScan::Client> foreign = foreignClients(c.id, ifindex);
    if (!dhcpMode(c.id) && foreign.isEmpty())
        return DhcpNotEnabled;
    if (const DhcpClientScan::Client* other = servingOthers(foreign)) {
        if (other->kind == DhcpClientScan::Kind::Networkd)
            return renewWithNetworkd(nl, ifindex, true);
        return leftAlone(c.id, *other, QStringLiteral("the renewal of the DHCP lease"));
    }
    const auto before = KernelAdapterConfigSnapshot::take(nl, m_resolver, ifindex);
    if (!before)
        return std::nullopt;
    stopClients(c.id, foreign);
    m_dhclient.setDhcpMode(c.id, true);
    // One attempt in the foreground: the client asks the server, returns once
    // it holds a lease (staying on in the background to keep it) or gives up.
    if (m_dhclient.run(c.id, { QStringLiteral("-1") }, m_paths.leaseTimeoutMs) != 0) {
        undo(nl, *before, c.id, true);
        return UnableToRenewLease;
    }
    return Done;
}

qint32 KernelAdapterConfig::renewWithNetworkd(RouteNetlink& nl, int ifindex, bool needLease) const
{
    const qint32 failure = needLease ? UnableToRenewLease : UnableToConfigureDhcp;
    const NetworkdLink networkd(m_bus, m_paths.networkdRoot);
    const QDateTime before = networkd.leaseWritten(ifindex);
    // networkd writes the link's lease file anew once the server has acked.
    const auto bound = [&] {
        const QDateTime written = networkd.leaseWritten(ifindex);
        const auto addrs = nl.addresses(ifindex);
        return written.isValid() && (!before.isValid() || written > before) && addrs && !addrs->isEmpty();
    };
    AddressEvents events;
    const Deadline end = Deadline::monotonicIn(m_clock, m_paths.leaseTimeoutMs);
    for (bool first = true;; first = false) {
        // networkd lets an ask pass unheeded when it comes just after it has
        // written a lease, and tries a request the server did not answer
        // again only minutes later: the ask is repeated until a lease comes.
        const qint32 asked = networkd.renew(ifindex);
        if (first && asked == AccessDenied)
            return AccessDenied;
        if (first && asked != Done)
            return failure;
        if (Deadline::sooner(end, Deadline::monotonicIn(m_clock, networkdAskAgainMs)).wait(bound, recheckMs))
            return Done;
        if (end.passed())
            return needLease ? failure : Done;
    }
}

std::optional<qint32> KernelAdapterConfig::setWinsServer(const Configuration&, const QString&, const QString&)
{
    // Linux resolves no NetBIOS names through the adapter: nothing to clear.
    return Done;
}

void KernelAdapterConfig::stopClients(const QString& ifname, const QList<DhcpClientScan::Client>& foreign) const
{
    for (const DhcpClientScan::Client& f : foreign) {
        // The callers leave a link alone that has a client serving others.
        if (!f.servesOtherLinks)
            ProcessStop::stop(m_clock, f.pid, SIGTERM, stopWaitMs);
    }
    m_dhclient.stop(ifname);
}

bool KernelAdapterConfig::waitUntil(const std::function<bool()>& done) const
{
    AddressEvents events;
    return Deadline::monotonicIn(m_clock, m_paths.leaseTimeoutMs).wait(done, recheckMs);
}

bool KernelAdapterConfig::waitForAddress(RouteNetlink& nl, int ifindex, const QString& ifname) const
{
    return waitUntil([&] {
        const auto addrs = nl.addresses(ifindex);
        // The client's script sets the route just after the address: the
        // lease counts once the lease file holds it too.
        return addrs && !addrs->isEmpty() && m_dhclient.holdsLease(ifname);
    });
}

void KernelAdapterConfig::undo(
    RouteNetlink& nl, const KernelAdapterConfigSnapshot& before, const QString& ifname, bool wasDhcp) const
{
    m_dhclient.stop(ifname);
    before.restore(nl, m_resolver);
    m_dhclient.setDhcpMode(ifname, wasDhcp);
    // The interface was in DHCP mode: its lease goes on being kept.
    if (wasDhcp)
        m_dhclient.run(ifname, { QStringLiteral("-nw") }, OwnDhclient::callMs);
}
