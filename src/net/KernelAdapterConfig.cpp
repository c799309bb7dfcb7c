#include "net/KernelAdapterConfig.h"

#include "net/AdapterConfigRules.h"
#include "net/Clock.h"
#include "net/KernelAdapterConfigSnapshot.h"
#include "net/RouteNetlink.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSocketNotifier>

#include <csignal>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
constexpr int clientCallMs = 30'000;
constexpr int stopWaitMs = 5'000;
// A notification lost to a full socket buffer must not cost the whole
// deadline: the interface is looked at again at least this often.
constexpr qint64 recheckMs = 500;

bool readable(int fd)
{
    pollfd p { fd, POLLIN, 0 };
    return ::poll(&p, 1, 0) > 0;
}

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

KernelAdapterConfig::KernelAdapterConfig(Clock& clock, Paths paths)
    : m_clock(clock)
    , m_paths(std::move(paths))
    , m_resolver(m_paths.resolvConf, m_paths.useResolved)
    , m_scan(m_paths.procRoot, m_paths.networkdRoot)
{ }

std::optional<QList<AdapterConfigBackend::Configuration>> KernelAdapterConfig::ipEnabledConfigurations()
{
    RouteNetlink nl;
    const std::optional<QList<RouteNetlink::Link>> links = nl.links();
    if (!links)
        return std::nullopt;
    QList<Configuration> out;
    for (const RouteNetlink::Link& l : *links) {
        if (l.ethernet && l.up)
            out.append({ l.name, l.mac.isEmpty() ? std::nullopt : std::optional<QString>(l.mac) });
    }
    return out;
}

AdapterConfigBackend::ListRead KernelAdapterConfig::readList(const Configuration& c, ListProperty property)
{
    RouteNetlink nl;
    const int ifindex = nl.ifindex(c.id);
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
            *values << (property == ListProperty::IPAddress ? a.address : RouteNetlink::maskText(a.prefixLength));
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
    return { true, !foreignClients(c.id, nl.ifindex(c.id)).isEmpty() };
}

bool KernelAdapterConfig::dhcpMode(const QString& ifname) const
{
    return QFile::exists(file(ifname, ".dhcp"));
}

QList<DhcpClientScan::Client> KernelAdapterConfig::foreignClients(const QString& ifname, int ifindex) const
{
    QList<qint64> own;
    QFile pid(file(ifname, ".pid"));
    if (pid.open(QIODevice::ReadOnly))
        own << pid.readAll().trimmed().toLongLong();
    return m_scan.clientsOf(ifname, ifindex, own);
}

std::optional<qint32> KernelAdapterConfig::enableStatic(
    const Configuration& c, const QStringList& addresses, const QStringList& masks)
{
    if (addresses.isEmpty() || addresses.size() != masks.size())
        return InvalidIpAddress;
    QList<RouteNetlink::Address> wanted;
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        if (const qint32 refused = AdapterConfigRules::checkStaticAddress(addresses[i], masks[i]))
            return refused;
        wanted.append({ addresses[i], *AdapterConfigRules::prefixOf(masks[i]) });
    }
    RouteNetlink nl;
    const int ifindex = nl.ifindex(c.id);
    if (ifindex <= 0)
        return std::nullopt;
    const auto before = KernelAdapterConfigSnapshot::take(nl, m_resolver, ifindex);
    if (!before)
        return std::nullopt;
    const bool wasDhcp = dhcpMode(c.id) || !foreignClients(c.id, ifindex).isEmpty();
    // A client left running would put its lease back on its next renewal.
    stopClients(c.id, ifindex);
    setDhcpMark(c.id, false);
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
    const int ifindex = nl.ifindex(c.id);
    if (ifindex <= 0)
        return std::nullopt;
    const auto addrs = nl.addresses(ifindex);
    if (!addrs)
        return std::nullopt;
    QStringList masks;
    QStringList own;
    for (const RouteNetlink::Address& a : *addrs) {
        own << a.address;
        masks << RouteNetlink::maskText(a.prefixLength);
    }
    for (const QString& gw : gateways) {
        if (AdapterConfigRules::checkGateway(gw, AdapterConfigRules::networksOf(own, masks)) != Done)
            return InvalidGateway;
    }
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
    for (const QString& s : servers) {
        if (const qint32 refused = AdapterConfigRules::checkNameServer(s))
            return refused;
    }
    RouteNetlink nl;
    const int ifindex = nl.ifindex(c.id);
    if (ifindex <= 0)
        return std::nullopt;
    // One write: the file is replaced whole, resolved takes the list whole.
    return m_resolver.setServers(ifindex, servers);
}

std::optional<qint32> KernelAdapterConfig::enableDhcp(const Configuration& c)
{
    RouteNetlink nl;
    const int ifindex = nl.ifindex(c.id);
    if (ifindex <= 0)
        return std::nullopt;
    if (!QDir().mkpath(m_paths.runDir))
        return AccessDenied;
    const auto before = KernelAdapterConfigSnapshot::take(nl, m_resolver, ifindex);
    if (!before)
        return std::nullopt;
    const bool wasDhcp = dhcpMode(c.id) || !foreignClients(c.id, ifindex).isEmpty();
    stopClients(c.id, ifindex);
    nl.flushAddresses(ifindex);
    nl.flushDefaultRoutes(ifindex);
    setDhcpMark(c.id, true);
    if (!dhcpMode(c.id) || runDhclient(c.id, { QStringLiteral("-nw") }, clientCallMs) != 0) {
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
    const int ifindex = nl.ifindex(c.id);
    if (ifindex <= 0)
        return std::nullopt;
    const QList<DhcpClientScan::Client> foreign = foreignClients(c.id, ifindex);
    if (!dhcpMode(c.id) && foreign.isEmpty())
        return DhcpNotEnabled;
    // The lease of another client is taken over: the interface stays in DHCP
    // mode, now with this program's client.
    if (!foreign.isEmpty()) {
        for (const DhcpClientScan::Client& f : foreign)
            stopProcess(f.pid);
        setDhcpMark(c.id, true);
    }
    // Sends DHCPRELEASE, ends the running client and removes the address; the
    // interface stays in DHCP mode until a static address is set.
    if (runDhclient(c.id, { QStringLiteral("-r") }, clientCallMs) != 0)
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
    const int ifindex = nl.ifindex(c.id);
    if (ifindex <= 0)
        return std::nullopt;
    if (!dhcpMode(c.id) && foreignClients(c.id, ifindex).isEmpty())
        return DhcpNotEnabled;
    const auto before = KernelAdapterConfigSnapshot::take(nl, m_resolver, ifindex);
    if (!before)
        return std::nullopt;
    stopClients(c.id, ifindex);
    setDhcpMark(c.id, true);
    // One attempt in the foreground: the client asks the server, returns once
    // it holds a lease (staying on in the background to keep it) or gives up.
    if (runDhclient(c.id, { QStringLiteral("-1") }, m_paths.leaseTimeoutMs) != 0) {
        undo(nl, *before, c.id, true);
        return UnableToRenewLease;
    }
    return Done;
}

std::optional<qint32> KernelAdapterConfig::setWinsServer(const Configuration&, const QString&, const QString&)
{
    // Linux resolves no NetBIOS names through the adapter: nothing to clear.
    return Done;
}

QString KernelAdapterConfig::file(const QString& ifname, const char* suffix) const
{
    return m_paths.runDir + QStringLiteral("/dhclient.") + ifname + QLatin1String(suffix);
}

void KernelAdapterConfig::setDhcpMark(const QString& ifname, bool on) const
{
    if (!on) {
        QFile::remove(file(ifname, ".dhcp"));
        return;
    }
    QDir().mkpath(m_paths.runDir);
    QFile mark(file(ifname, ".dhcp"));
    if (mark.open(QIODevice::WriteOnly))
        mark.close();
}

void KernelAdapterConfig::stopClients(const QString& ifname, int ifindex) const
{
    for (const DhcpClientScan::Client& f : foreignClients(ifname, ifindex)) {
        // networkd serves other links too and is not stopped here.
        if (f.kind != DhcpClientScan::Kind::Networkd)
            stopProcess(f.pid);
    }
    if (QFile::exists(file(ifname, ".pid")))
        runDhclient(ifname, { QStringLiteral("-x") }, clientCallMs);
}

void KernelAdapterConfig::stopProcess(qint64 pid) const
{
    // A pid descriptor turns readable when the process ends, which wakes the
    // event loop; without one the process is only signalled.
    const int fd = int(::syscall(SYS_pidfd_open, pid_t(pid), 0));
    if (::kill(pid_t(pid), SIGTERM) != 0 || fd < 0) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    {
        QSocketNotifier ended(fd, QSocketNotifier::Read);
        const qint64 deadline = m_clock.monotonicMs() + stopWaitMs;
        while (!readable(fd) && m_clock.monotonicMs() < deadline)
            m_clock.waitForEvents(deadline);
    }
    if (!readable(fd))
        ::kill(pid_t(pid), SIGKILL);
    ::close(fd);
}

bool KernelAdapterConfig::waitForAddress(RouteNetlink& nl, int ifindex, const QString& ifname) const
{
    AddressEvents events;
    const qint64 deadline = m_clock.monotonicMs() + m_paths.leaseTimeoutMs;
    for (;;) {
        const auto addrs = nl.addresses(ifindex);
        // The client's script sets the route just after the address: the
        // lease counts once the lease file holds it too.
        if (addrs && !addrs->isEmpty() && QFile(file(ifname, ".leases")).size() > 0)
            return true;
        const qint64 now = m_clock.monotonicMs();
        if (now >= deadline)
            return false;
        m_clock.waitForEvents(qMin(deadline, now + recheckMs));
    }
}

void KernelAdapterConfig::undo(
    RouteNetlink& nl, const KernelAdapterConfigSnapshot& before, const QString& ifname, bool wasDhcp) const
{
    if (QFile::exists(file(ifname, ".pid")))
        runDhclient(ifname, { QStringLiteral("-x") }, clientCallMs);
    before.restore(nl, m_resolver);
    setDhcpMark(ifname, wasDhcp);
    // The interface was in DHCP mode: its lease goes on being kept.
    if (wasDhcp)
        runDhclient(ifname, { QStringLiteral("-nw") }, clientCallMs);
}

int KernelAdapterConfig::runDhclient(const QString& ifname, const QStringList& options, int timeoutMs) const
{
    QDir().mkpath(m_paths.runDir);
    QProcess p;
    // The client stays on as a daemon: it must not hold our pipes open.
    p.setStandardInputFile(QProcess::nullDevice());
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(m_paths.dhclient,
        QStringList { QStringLiteral("-4"), QStringLiteral("-pf"), file(ifname, ".pid"), QStringLiteral("-lf"),
            file(ifname, ".leases") }
            + options + QStringList { ifname });
    if (!p.waitForStarted(10'000))
        return -1;
    const qint64 deadline = m_clock.monotonicMs() + timeoutMs;
    while (p.state() != QProcess::NotRunning && m_clock.monotonicMs() < deadline)
        m_clock.waitForEvents(deadline);
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished(3000);
        return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}
