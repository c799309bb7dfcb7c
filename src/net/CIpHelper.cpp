#include "net/CIpHelper.h"

#include "net/SysfsNetTable.h"
#include "net/UserPrompts.h"

#include <limits>

namespace {
qint32 low32(quint64 v)
{
    return qint32(quint32(v & 0xffffffffu));
}

qint64 addSaturated(qint64 sum, quint64 v)
{
    constexpr auto top = quint64(std::numeric_limits<qint64>::max());
    const quint64 room = top - quint64(sum);
    return v >= room ? qint64(top) : sum + qint64(v);
}
} // namespace

CIpHelper::CIpHelper(QString sysfsRoot, UserPrompts* prompts, Ipv4AddressSource addresses)
    : m_root(std::move(sysfsRoot))
    , m_prompts(prompts)
    , m_addresses(std::move(addresses))
{ }

std::shared_ptr<CInterfaces> CIpHelper::Interfaces()
{
    FillInterfaces();
    return m_interfaces;
}

void CIpHelper::FillInterfaces()
{
    m_interfaces = std::make_shared<CInterfaces>();
    m_bytesReceived = 0;
    m_bytesSent = 0;
    const auto table = SysfsNetTable::read(m_root, m_addresses);
    if (!table) {
        if (m_prompts)
            m_prompts->message(QStringLiteral("IP Helper is not supported by this system."));
        return;
    }
    for (const KernelInterface& k : *table) {
        auto row = std::make_shared<CInterface>();
        row->setInterfaceDescription(k.description);
        // The kernel shows the queue's limit, not how full it is.
        row->setOutputQueueLength(0);
        row->setOutgoingErrors(low32(k.txErrors));
        row->setDiscardedOutgoingPackets(low32(k.txDropped));
        // Sent multicast and broadcast frames are not counted apart by the kernel.
        row->setNonunicastPacketsSent(0);
        row->setUnicastPacketsSent(low32(k.txPackets));
        row->setOctetsSent(low32(k.txBytes));
        row->setUnknownProtocolPackets(low32(k.rxNoHandler));
        row->setIncomingErrors(low32(k.rxErrors));
        row->setDiscardedIncomingPackets(low32(k.rxDropped));
        row->setNonunicastPacketsReceived(low32(k.rxMulticast));
        row->setMaximumTransmissionUnit(k.mtu);
        row->setUnicastPacketsReceived(low32(k.rxPackets >= k.rxMulticast ? k.rxPackets - k.rxMulticast : 0));
        row->setOctetsReceived(low32(k.rxBytes));
        row->setOperationalStatus(k.operStatus);
        row->setAdminStatus(k.adminStatus);
        // A 32-bit unsigned speed field tops out at 4.29 Gb/s; faster links show
        // all ones, kept bit for bit.
        row->setSpeed(qint32(quint32(std::min<quint64>(k.speedBitsPerSecond, 0xffffffffu))));
        row->setInterfaceType(k.ianaType);
        row->setInterfaceIndex(k.index);
        row->setInterfaceName(k.name);
        row->SetPhysAddr(qint32(k.mac.size()), k.mac);
        m_bytesReceived = addSaturated(m_bytesReceived, k.rxBytes);
        m_bytesSent = addSaturated(m_bytesSent, k.txBytes);
        m_interfaces->Add(std::move(row), CInterfaces::keyOf(k.index));
    }
}
