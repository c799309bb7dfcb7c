#include "net/AdapterConfig.h"

#include "net/NetworkManagerAdapterConfig.h"

namespace {
const QString nmTag = QStringLiteral("nm:");
const QString kernelTag = QStringLiteral("kernel:");

AdapterConfigBackend::Configuration withId(AdapterConfigBackend::Configuration c, QString id)
{
    c.id = std::move(id);
    return c;
}
} // namespace

AdapterConfig::AdapterConfig(NetworkManagerAdapterConfig* networkManager, AdapterConfigBackend& kernel)
    : m_nm(networkManager)
    , m_kernel(kernel)
{ }

AdapterConfig::AdapterConfig(
    std::function<NetworkManagerAdapterConfig*()> findNetworkManager, AdapterConfigBackend& kernel)
    : m_findNm(std::move(findNetworkManager))
    , m_nm(nullptr)
    , m_kernel(kernel)
{ }

NetworkManagerAdapterConfig* AdapterConfig::networkManager()
{
    if (m_findNm) {
        m_nm = m_findNm();
        m_findNm = nullptr;
    }
    return m_nm;
}

bool AdapterConfig::dhcpEnabledFor(int ifindex, const QString& macText)
{
    const auto all = ipEnabledConfigurations();
    if (!all)
        return false;
    bool enabled = false;
    for (const Configuration& c : *all) {
        if (c.isLink(ifindex, macText)) {
            const FlagRead r = dhcpEnabled(c);
            enabled = r.ok && r.value.value_or(false);
        }
    }
    return enabled;
}

std::optional<QList<AdapterConfigBackend::Configuration>> AdapterConfig::ipEnabledConfigurations()
{
    QList<Configuration> out;
    QSet<QString> managed;
    NetworkManagerAdapterConfig* const nmBackend = networkManager();
    if (nmBackend && nmBackend->available()) {
        const auto nm = nmBackend->ipEnabledConfigurations();
        if (!nm)
            return std::nullopt;
        for (const Configuration& c : *nm)
            out.append(withId(c, nmTag + c.id));
        managed = nmBackend->managedInterfaces();
    }
    const auto kernel = m_kernel.ipEnabledConfigurations();
    if (!kernel)
        return std::nullopt;
    for (const Configuration& c : *kernel) {
        if (!managed.contains(c.id))
            out.append(withId(c, kernelTag + c.id));
    }
    return out;
}

std::pair<AdapterConfigBackend*, AdapterConfigBackend::Configuration> AdapterConfig::route(const Configuration& c)
{
    if (c.id.startsWith(nmTag) && networkManager())
        return { m_nm, withId(c, c.id.mid(nmTag.size())) };
    if (c.id.startsWith(kernelTag))
        return { &m_kernel, withId(c, c.id.mid(kernelTag.size())) };
    return { nullptr, c };
}

AdapterConfigBackend::ListRead AdapterConfig::readList(const Configuration& c, ListProperty property)
{
    const auto [b, own] = route(c);
    return b ? b->readList(own, property) : ListRead {};
}

AdapterConfigBackend::FlagRead AdapterConfig::dhcpEnabled(const Configuration& c)
{
    const auto [b, own] = route(c);
    return b ? b->dhcpEnabled(own) : FlagRead {};
}

std::optional<qint32> AdapterConfig::enableStatic(
    const Configuration& c, const QStringList& addresses, const QStringList& masks)
{
    const auto [b, own] = route(c);
    return b ? b->enableStatic(own, addresses, masks) : std::nullopt;
}

std::optional<qint32> AdapterConfig::setGateways(
    const Configuration& c, const QStringList& gateways, const QList<quint16>& metrics)
{
    const auto [b, own] = route(c);
    return b ? b->setGateways(own, gateways, metrics) : std::nullopt;
}

std::optional<qint32> AdapterConfig::setDnsServerSearchOrder(const Configuration& c, const QStringList& servers)
{
    const auto [b, own] = route(c);
    return b ? b->setDnsServerSearchOrder(own, servers) : std::nullopt;
}

std::optional<qint32> AdapterConfig::enableDhcp(const Configuration& c)
{
    const auto [b, own] = route(c);
    return b ? b->enableDhcp(own) : std::nullopt;
}

std::optional<qint32> AdapterConfig::releaseDhcpLease(const Configuration& c)
{
    const auto [b, own] = route(c);
    return b ? b->releaseDhcpLease(own) : std::nullopt;
}

std::optional<qint32> AdapterConfig::renewDhcpLease(const Configuration& c)
{
    const auto [b, own] = route(c);
    return b ? b->renewDhcpLease(own) : std::nullopt;
}

std::optional<qint32> AdapterConfig::setWinsServer(
    const Configuration& c, const QString& primary, const QString& secondary)
{
    const auto [b, own] = route(c);
    return b ? b->setWinsServer(own, primary, secondary) : std::nullopt;
}
