#include "UnitLan.h"

#include <net/if.h>

bool UnitLan::up(const QString& pcCidr, const QStringList& unitCidrs, const QString& pcMac)
{
    m_cable = m_lab.cable(pcCidr, unitCidrs.value(0), pcMac);
    if (m_cable.pc.isEmpty())
        return false;
    for (qsizetype i = 1; i < unitCidrs.size(); ++i)
        if (!m_lab.sh(m_cable.units, QStringLiteral("ip addr add %1 dev eth0").arg(unitCidrs[i])))
            return false;
    if (!m_lab.enter(m_cable.pc))
        return false;
    m_pcIndex = qint32(if_nametoindex("eth0"));
    const auto [address, length] = QHostAddress::parseSubnet(pcCidr);
    const quint32 mask = length <= 0 ? 0 : ~quint32(0) << (32 - length);
    m_broadcast = QHostAddress((address.toIPv4Address() & mask) | ~mask).toString();
    return m_pcIndex > 0;
}

bool UnitLan::inUnits(const std::function<void()>& fn)
{
    return m_lab.inside(m_cable.units, fn);
}

QProcess* UnitLan::startInUnits(const QStringList& argv)
{
    return m_lab.start(m_cable.units, argv);
}

bool UnitLan::onUnitSide(const QString& command, QString* output)
{
    return m_lab.sh(m_cable.units, command, output);
}
