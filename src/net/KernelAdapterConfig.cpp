#include "net/KernelAdapterConfig.h"

#include "net/RouteNetlink.h"

#include <QDir>
#include <QFile>
#include <QProcess>

KernelAdapterConfig::KernelAdapterConfig()
    : KernelAdapterConfig(Paths())
{ }

KernelAdapterConfig::KernelAdapterConfig(Paths paths)
    : m_paths(std::move(paths))
    , m_resolver(m_paths.resolvConf, m_paths.useResolved)
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
    switch (property) {
    case ListProperty::IPAddress:
    case ListProperty::IPSubnet: {
        const auto addrs = nl.addresses(ifindex);
        if (!addrs)
            return {};
        QStringList values;
        for (const RouteNetlink::Address& a : *addrs)
            values << (property == ListProperty::IPAddress ? a.address : RouteNetlink::maskText(a.prefixLength));
        out.ok = true;
        // No address is an absent list, as the other platform reports it.
        if (!values.isEmpty())
            out.values = values;
        return out;
    }
    case ListProperty::DefaultIPGateway: {
        const auto gws = nl.defaultGateways(ifindex);
        if (!gws)
            return {};
        out.ok = true;
        if (!gws->isEmpty())
            out.values = *gws;
        return out;
    }
    case ListProperty::DNSServerSearchOrder: {
        const auto servers = m_resolver.servers(ifindex);
        if (!servers)
            return {};
        out.ok = true;
        if (!servers->isEmpty())
            out.values = *servers;
        return out;
    }
    }
    return {};
}

AdapterConfigBackend::FlagRead KernelAdapterConfig::dhcpEnabled(const Configuration& c)
{
    return { true, dhcpMode(c.id) };
}

bool KernelAdapterConfig::dhcpMode(const QString& ifname) const
{
    return QFile::exists(file(ifname, ".dhcp"));
}

std::optional<qint32> KernelAdapterConfig::enableStatic(
    const Configuration& c, const QStringList& addresses, const QStringList& masks)
{
    if (addresses.isEmpty() || addresses.size() != masks.size())
        return InvalidIpAddress;
    RouteNetlink nl;
    const int ifindex = nl.ifindex(c.id);
    if (ifindex <= 0)
        return std::nullopt;
    if (dhcpMode(c.id)) {
        // The client would put its lease back on the next renewal.
        runDhclient(c.id, { QStringLiteral("-x") }, 30'000);
        QFile::remove(file(c.id, ".dhcp"));
    }
    if (const int err = nl.flushAddresses(ifindex))
        return RouteNetlink::codeFor(err);
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        const int prefix = RouteNetlink::prefixOf(masks[i]);
        if (prefix < 0)
            return InvalidSubnetMask;
        if (const int err = nl.addAddress(ifindex, addresses[i], prefix))
            return RouteNetlink::codeFor(err);
    }
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
    // A gateway must lie on one of the interface's own networks; checking
    // first keeps the old route when the new one would be refused.
    for (const QString& gw : gateways) {
        if (!RouteNetlink::onLink(*addrs, gw))
            return InvalidGateway;
    }
    if (const int err = nl.flushDefaultRoutes(ifindex))
        return RouteNetlink::codeFor(err);
    for (qsizetype i = 0; i < gateways.size(); ++i) {
        if (const int err = nl.addDefaultRoute(ifindex, gateways[i], i < metrics.size() ? metrics[i] : 1))
            return RouteNetlink::codeFor(err);
    }
    return Done;
}

std::optional<qint32> KernelAdapterConfig::setDnsServerSearchOrder(const Configuration& c, const QStringList& servers)
{
    RouteNetlink nl;
    const int ifindex = nl.ifindex(c.id);
    if (ifindex <= 0)
        return std::nullopt;
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
    runDhclient(c.id, { QStringLiteral("-x") }, 30'000);
    nl.flushAddresses(ifindex);
    nl.flushDefaultRoutes(ifindex);
    QFile mode(file(c.id, ".dhcp"));
    if (!mode.open(QIODevice::WriteOnly))
        return AccessDenied;
    mode.close();
    // Like the other platform, switching to DHCP returns at once; the client
    // goes on asking for a lease in the background.
    return runDhclient(c.id, { QStringLiteral("-nw") }, 30'000) == 0 ? Done : UnableToConfigureDhcp;
}

std::optional<qint32> KernelAdapterConfig::releaseDhcpLease(const Configuration& c)
{
    if (!dhcpMode(c.id))
        return DhcpNotEnabled;
    // Sends DHCPRELEASE, ends the running client and removes the address; the
    // interface stays in DHCP mode until a static address is set.
    if (runDhclient(c.id, { QStringLiteral("-r") }, 30'000) != 0)
        return UnableToReleaseLease;
    // The client's script leaves the address when its lease file is still
    // empty; without a lease the interface holds no IPv4 address.
    RouteNetlink nl;
    if (const int ifindex = nl.ifindex(c.id); ifindex > 0) {
        nl.flushDefaultRoutes(ifindex);
        nl.flushAddresses(ifindex);
    }
    return Done;
}

std::optional<qint32> KernelAdapterConfig::renewDhcpLease(const Configuration& c)
{
    if (!dhcpMode(c.id))
        return DhcpNotEnabled;
    runDhclient(c.id, { QStringLiteral("-x") }, 30'000);
    // One attempt in the foreground: the client returns once it holds a lease
    // (and stays on in the background to keep it) or gives up with 2.
    return runDhclient(c.id, { QStringLiteral("-1") }, m_paths.renewTimeoutMs) == 0 ? Done : UnableToRenewLease;
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
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(3000);
        return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}
