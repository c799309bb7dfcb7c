#include "SimUnit.h"

#include "discovery/RuraCodec.h"

#include <QList>

SimUnit::SimUnit(QString serial, QByteArray mac, QString address, QString unitId, QString productId, QString model)
    : m_serial(std::move(serial))
    , m_mac(std::move(mac))
    , m_address(std::move(address))
    , m_unitId(std::move(unitId))
    , m_productId(std::move(productId))
    , m_model(std::move(model))
{ }

QByteArray SimUnit::identityDatagram() const
{
    const RuraCodec::IdentityTexts id { m_address.toLatin1(), m_serial.toLatin1(), m_unitId.toLatin1(),
        m_productId.toLatin1(), m_model.toLatin1() };
    QByteArray packet;
    RuraCodec::AppendRuraRecord(packet, QString(), RuraCodec::RuraIdRecord, true, true, {}, m_mac, id);
    return RuraCodec::Authenticate(packet, m_mac);
}

QByteArray SimUnit::responseDatagram(const QList<QByteArray>& replies) const
{
    QByteArray packet;
    for (qsizetype i = 0; i < replies.size(); ++i)
        RuraCodec::AppendRuraRecord(
            packet, QString(), RuraCodec::RuraCommandResponse, i == 0, i == replies.size() - 1, replies[i]);
    return RuraCodec::Authenticate(packet, m_mac);
}
