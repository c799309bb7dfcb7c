#include "net/ModQarWmi.h"

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

// The configuration service's answer, walked in its order; a configuration
// without a MAC never matches, a MAC in lower case does.
Lookup findConfiguration(Backend& config, const InterfaceEntry& adapter, Pick pick)
{
    Lookup out;
    const QString key = PhysicalAddress::format(adapter.Mac, QLatin1Char(':'));
    const std::optional<QList<Configuration>> all = config.ipEnabledConfigurations();
    if (!all)
        return out;
    out.serviceOk = true;
    for (const Configuration& c : *all) {
        if (!c.macAddress || c.macAddress->compare(key, Qt::CaseInsensitive) != 0)
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

bool parseDotted(const QString& text, quint32* value)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    quint32 v = 0;
    for (const QString& p : parts) {
        if (p.isEmpty() || p.size() > 3)
            return false;
        for (QChar ch : p) {
            if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
                return false;
        }
        const uint part = p.toUInt();
        if (part > 255)
            return false;
        v = (v << 8) | part;
    }
    if (value)
        *value = v;
    return true;
}

} // namespace

bool isDottedAddress(const QString& text)
{
    return parseDotted(text, nullptr);
}

bool isDottedMask(const QString& text)
{
    quint32 m = 0;
    if (!parseDotted(text, &m))
        return false;
    // Contiguous from the top: the inverted mask plus one is a power of two.
    const quint32 hostBits = ~m;
    return (hostBits & (hostBits + 1)) == 0;
}

qint32 WmiEnableStatic(
    AdapterConfigBackend& config, const InterfaceEntry& adapter, const QString& ipAddress, const QString& subnetMask)
{
    return onFirstMatch(config, adapter, [&](const Configuration& c) -> qint32 {
        if (ipAddress.isEmpty() || subnetMask.isEmpty())
            return -1;
        // A malformed text would leave the adapter half changed on some
        // backends; refuse it with the code the method itself uses.
        if (!isDottedAddress(ipAddress))
            return Backend::InvalidIpAddress;
        if (!isDottedMask(subnetMask))
            return Backend::InvalidSubnetMask;
        return codeOf(config.enableStatic(c, { ipAddress }, { subnetMask }));
    });
}

qint32 WmiSetGateways(AdapterConfigBackend& config, const InterfaceEntry& adapter, const QString& gateway)
{
    return onFirstMatch(config, adapter, [&](const Configuration& c) -> qint32 {
        if (gateway.isEmpty())
            return -1;
        if (!isDottedAddress(gateway))
            return Backend::InvalidGateway;
        return codeOf(config.setGateways(c, { gateway }, { 1 }));
    });
}

qint32 WmiSetDnsServer(AdapterConfigBackend& config, const InterfaceEntry& adapter, const QString& dnsServer)
{
    return onFirstMatch(config, adapter, [&](const Configuration& c) -> qint32 {
        if (dnsServer.isEmpty())
            return -1;
        if (!isDottedAddress(dnsServer))
            return Backend::InvalidIpAddress;
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
        if (!c.macAddress || c.macAddress->compare(key, Qt::CaseInsensitive) != 0)
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
