#include "net/ModQarWmi.h"

#include "net/AdapterConfigRules.h"
#include "net/PhysicalAddress.h"

namespace ModQar {

namespace {

using Backend = AdapterConfigBackend;
using Configuration = AdapterConfigBackend::Configuration;
using ListProperty = AdapterConfigBackend::ListProperty;

enum class Pick { First, Last };

struct Lookup {
    bool serviceOk = false;
    std::optional<Configuration> match;
};

// The configuration service's answer, walked in its order: the link of the
// entry's index, or where either side knows no index, a configuration with
// the entry's MAC (in any case; one without a MAC never matches).
Lookup findConfiguration(Backend& config, const InterfaceEntry& adapter, Pick pick)
{
    Lookup out;
    const QString key = PhysicalAddress::format(adapter.Mac, QLatin1Char(':'));
    const std::optional<QList<Configuration>> all = config.ipEnabledConfigurations();
    if (!all)
        return out;
    out.serviceOk = true;
    for (const Configuration& c : *all) {
        if (!c.isLink(adapter.InterfaceIndex, key))
            continue;
        out.match = c;
        if (pick == Pick::First)
            break;
    }
    return out;
}

qint32 codeOf(const std::optional<qint32>& r)
{
    return r ? *r : -1;
}

template<typename Call> qint32 onFirstMatch(Backend& config, const InterfaceEntry& adapter, Call call)
{
    const Lookup found = findConfiguration(config, adapter, Pick::First);
    if (!found.match)
        return -1;
    return call(*found.match);
}

QString listEntry(Backend& config, const InterfaceEntry& adapter, ListProperty property, qint32 index)
{
    const Lookup found = findConfiguration(config, adapter, Pick::First);
    if (!found.match)
        return QString();
    const Backend::ListRead read = config.readList(*found.match, property);
    if (!read.ok || !read.values || index < 0 || index >= read.values->size())
        return QString();
    return read.values->at(index);
}

// The networks the configuration's addresses lie in, as it reports them now
// (none for an adapter without addresses); nullopt when they can't be read.
std::optional<QList<AdapterConfigRules::Network>> networksOf(Backend& config, const Configuration& c)
{
    const Backend::ListRead addresses = config.readList(c, ListProperty::IPAddress);
    const Backend::ListRead masks = config.readList(c, ListProperty::IPSubnet);
    if (!addresses.ok || !masks.ok)
        return std::nullopt;
    if (!addresses.values || !masks.values)
        return QList<AdapterConfigRules::Network>();
    return AdapterConfigRules::networksOf(*addresses.values, *masks.values);
}

} // namespace

qint32 WmiEnableStatic(
    AdapterConfigBackend& config, const InterfaceEntry& adapter, const QString& ipAddress, const QString& subnetMask)
{
    return onFirstMatch(config, adapter, [&](const Configuration& c) -> qint32 {
        if (ipAddress.isEmpty() || subnetMask.isEmpty())
            return -1;
        // What can't be a host address is refused before anything changes,
        // with the code the method itself uses.
        if (const qint32 refused = AdapterConfigRules::checkStaticAddress(ipAddress, subnetMask))
            return refused;
        return codeOf(config.enableStatic(c, { ipAddress }, { subnetMask }));
    });
}

qint32 WmiSetGateways(AdapterConfigBackend& config, const InterfaceEntry& adapter, const QString& gateway)
{
    return onFirstMatch(config, adapter, [&](const Configuration& c) -> qint32 {
        if (gateway.isEmpty())
            return -1;
        // A read that fails is a failure of the service, not a gateway off
        // the adapter's networks.
        const std::optional<QList<AdapterConfigRules::Network>> networks = networksOf(config, c);
        if (!networks)
            return -1;
        // Every backend answers an unreachable gateway alike, and before it
        // has touched the routes it had.
        if (const qint32 refused = AdapterConfigRules::checkGateway(gateway, *networks))
            return refused;
        return codeOf(config.setGateways(c, { gateway }, { 1 }));
    });
}

qint32 WmiSetDnsServer(AdapterConfigBackend& config, const InterfaceEntry& adapter, const QString& dnsServer)
{
    return onFirstMatch(config, adapter, [&](const Configuration& c) -> qint32 {
        if (dnsServer.isEmpty())
            return -1;
        if (const qint32 refused = AdapterConfigRules::checkNameServer(dnsServer))
            return refused;
        return codeOf(config.setDnsServerSearchOrder(c, { dnsServer }));
    });
}

qint32 WmiEnableDhcp(AdapterConfigBackend& config, const InterfaceEntry& adapter)
{
    return onFirstMatch(config, adapter, [&](const Configuration& c) { return codeOf(config.enableDhcp(c)); });
}

qint32 WmiReleaseDhcpLease(AdapterConfigBackend& config, const InterfaceEntry& adapter)
{
    return onFirstMatch(config, adapter, [&](const Configuration& c) { return codeOf(config.releaseDhcpLease(c)); });
}

qint32 WmiRenewDhcpLease(AdapterConfigBackend& config, const InterfaceEntry& adapter)
{
    return onFirstMatch(config, adapter, [&](const Configuration& c) { return codeOf(config.renewDhcpLease(c)); });
}

qint32 WmiClearWinsAndDns(AdapterConfigBackend& config, const InterfaceEntry& adapter, UserPrompts& prompts)
{
    return onFirstMatch(config, adapter, [&](const Configuration& c) -> qint32 {
        const std::optional<qint32> wins = config.setWinsServer(c, QString(), QString());
        if (!wins)
            return -1;
        if (*wins != 0 && *wins != 1)
            prompts.message(QStringLiteral("Error re-setting WINS servers!"), UserPrompts::Icon::Exclamation);
        const std::optional<qint32> dns = config.setDnsServerSearchOrder(c, QStringList());
        if (!dns)
            return -1;
        if (*dns != 0 && *dns != 1)
            prompts.message(QStringLiteral("Error re-setting DNS servers!"), UserPrompts::Icon::Exclamation);
        if (*dns == 0 && *wins == 1)
            return 1;
        return *dns;
    });
}

qint32 WmiIsDhcpEnabled(AdapterConfigBackend& config, const InterfaceEntry& adapter)
{
    const QString key = PhysicalAddress::format(adapter.Mac, QLatin1Char(':'));
    const std::optional<QList<Configuration>> all = config.ipEnabledConfigurations();
    if (!all)
        return -1;
    qint32 result = 2;
    for (const Configuration& c : *all) {
        if (!c.isLink(adapter.InterfaceIndex, key))
            continue;
        const Backend::FlagRead read = config.dhcpEnabled(c);
        if (!read.ok)
            return -1;
        result = read.value.value_or(false) ? 1 : 0;
    }
    return result;
}

QString WmiGetDefaultGateway(AdapterConfigBackend& config, const InterfaceEntry& adapter)
{
    return listEntry(config, adapter, ListProperty::DefaultIPGateway, 0);
}

QString WmiGetDnsServer(AdapterConfigBackend& config, const InterfaceEntry& adapter)
{
    const QString failed = QStringLiteral("False");
    const Lookup found = findConfiguration(config, adapter, Pick::First);
    if (!found.serviceOk)
        return failed;
    if (!found.match)
        return QString();
    const Backend::ListRead read = config.readList(*found.match, ListProperty::DNSServerSearchOrder);
    if (!read.ok || !read.values || read.values->isEmpty())
        return failed;
    return read.values->first();
}

QString WmiGetIPAddress(AdapterConfigBackend& config, const InterfaceEntry& adapter, qint32& index)
{
    return listEntry(config, adapter, ListProperty::IPAddress, index);
}

QString WmiGetIPSubnet(AdapterConfigBackend& config, const InterfaceEntry& adapter, qint32& index)
{
    return listEntry(config, adapter, ListProperty::IPSubnet, index);
}

} // namespace ModQar
