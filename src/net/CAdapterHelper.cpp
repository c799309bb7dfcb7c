#include "net/CAdapterHelper.h"

#include "net/SysfsNetTable.h"
#include "net/UserPrompts.h"

CAdapterHelper::CAdapterHelper(
    QString sysfsRoot, UserPrompts* prompts, Ipv4AddressSource addresses, DhcpQuery dhcpEnabled)
    : m_root(std::move(sysfsRoot))
    , m_prompts(prompts)
    , m_addresses(std::move(addresses))
    , m_dhcpEnabled(std::move(dhcpEnabled))
{ }

std::shared_ptr<CAdapters> CAdapterHelper::Adapters()
{
    FillAdapters();
    return m_adapters;
}

void CAdapterHelper::FillAdapters()
{
    m_adapters = std::make_shared<CAdapters>();
    const auto table = SysfsNetTable::read(m_root, m_addresses);
    if (!table) {
        if (m_prompts)
            m_prompts->message(QStringLiteral("IP Helper is not supported by this system."));
        return;
    }
    for (const KernelInterface& k : *table) {
        // A link switched off (administratively down) is left out, as the
        // platform's adapter list leaves out a disabled adapter: no unit can
        // be reached through it, and the configuration layer, which offers
        // only links that are up, could not change its settings.
        if (k.adminStatus != 1)
            continue;
        // Nor is a bridge port or a bond member: its traffic is its master's,
        // as the platform's list holds no adapter bound to a bridge, and the
        // configuration layer never changes such a link.
        if (!k.master.isEmpty())
            continue;
        auto adapter = std::make_shared<CAdapter>();
        adapter->setDescription(k.description);
        adapter->SetPhysAddr(qint32(k.mac.size()), k.mac);
        adapter->setInterfaceIndex(k.index);
        adapter->setInterfaceType(k.ianaType);
        adapter->setInterfaceName(k.name);
        if (m_dhcpEnabled)
            adapter->setDHCPEnabledReader([query = m_dhcpEnabled, index = k.index, mac = adapter->AdapterAddress()] {
                return query(index, mac);
            });
        adapter->setIPAddress(k.ipAddress);
        adapter->setMask(k.mask);
        m_adapters->Add(std::move(adapter), CAdapters::keyOf(k.index));
    }
}
