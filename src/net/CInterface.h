#pragma once

#include "net/PhysicalAddress.h"

#include <QString>

// One row of the PC's interface table with its counters. Numbers are signed
// 32-bit: the kernel's wider unsigned counters keep their low 32 bits, bit for
// bit, as the interface table of the original platform wraps them.
class CInterface {
public:
    QString InterfaceDescription() const { return m_description; }
    void setInterfaceDescription(const QString& v) { m_description = v; }
    qint32 OutputQueueLength() const { return m_outQLen; }
    void setOutputQueueLength(qint32 v) { m_outQLen = v; }
    qint32 OutgoingErrors() const { return m_outErrors; }
    void setOutgoingErrors(qint32 v) { m_outErrors = v; }
    qint32 DiscardedOutgoingPackets() const { return m_outDiscards; }
    void setDiscardedOutgoingPackets(qint32 v) { m_outDiscards = v; }
    qint32 NonunicastPacketsSent() const { return m_outNUcast; }
    void setNonunicastPacketsSent(qint32 v) { m_outNUcast = v; }
    qint32 UnicastPacketsSent() const { return m_outUcast; }
    void setUnicastPacketsSent(qint32 v) { m_outUcast = v; }
    qint32 OctetsSent() const { return m_outOctets; }
    void setOctetsSent(qint32 v) { m_outOctets = v; }
    qint32 UnknownProtocolPackets() const { return m_inUnknown; }
    void setUnknownProtocolPackets(qint32 v) { m_inUnknown = v; }
    qint32 IncomingErrors() const { return m_inErrors; }
    void setIncomingErrors(qint32 v) { m_inErrors = v; }
    qint32 DiscardedIncomingPackets() const { return m_inDiscards; }
    void setDiscardedIncomingPackets(qint32 v) { m_inDiscards = v; }
    qint32 NonunicastPacketsReceived() const { return m_inNUcast; }
    void setNonunicastPacketsReceived(qint32 v) { m_inNUcast = v; }
    qint32 MaximumTransmissionUnit() const { return m_mtu; }
    void setMaximumTransmissionUnit(qint32 v) { m_mtu = v; }
    qint32 UnicastPacketsReceived() const { return m_inUcast; }
    void setUnicastPacketsReceived(qint32 v) { m_inUcast = v; }
    qint32 OctetsReceived() const { return m_inOctets; }
    void setOctetsReceived(qint32 v) { m_inOctets = v; }
    qint64 LastChange() const { return m_lastChange; }
    void setLastChange(qint64 v) { m_lastChange = v; }
    // RFC 2863 ifOperStatus: 1 up, 2 down, 3 testing, 4 unknown, 5 dormant,
    // 6 notPresent, 7 lowerLayerDown.
    qint32 OperationalStatus() const { return m_operStatus; }
    void setOperationalStatus(qint32 v) { m_operStatus = v; }
    // RFC 2863 ifAdminStatus: 1 up, 2 down.
    qint32 AdminStatus() const { return m_adminStatus; }
    void setAdminStatus(qint32 v) { m_adminStatus = v; }
    // Bits per second.
    qint32 Speed() const { return m_speed; }
    void setSpeed(qint32 v) { m_speed = v; }
    // IANA interface type: 6 Ethernet, 71 IEEE 802.11, 23 PPP, 24 loopback.
    qint32 InterfaceType() const { return m_type; }
    void setInterfaceType(qint32 v) { m_type = v; }
    qint32 InterfaceIndex() const { return m_index; }
    void setInterfaceIndex(qint32 v) { m_index = v; }
    QString InterfaceName() const { return m_name; }
    void setInterfaceName(const QString& v) { m_name = v; }

    void SetPhysAddr(qint32 length, const QByteArray& bytes) { m_phys.SetPhysAddr(length, bytes); }
    QByteArray AdapterAddressByte() const { return m_phys.AdapterAddressByte(); }
    QString AdapterAddress() const { return m_phys.AdapterAddress(); }

private:
    QString m_description;
    qint32 m_outQLen = 0;
    qint32 m_outErrors = 0;
    qint32 m_outDiscards = 0;
    qint32 m_outNUcast = 0;
    qint32 m_outUcast = 0;
    qint32 m_outOctets = 0;
    qint32 m_inUnknown = 0;
    qint32 m_inErrors = 0;
    qint32 m_inDiscards = 0;
    qint32 m_inNUcast = 0;
    qint32 m_mtu = 0;
    qint32 m_inUcast = 0;
    qint32 m_inOctets = 0;
    qint64 m_lastChange = 0;
    qint32 m_operStatus = 0;
    qint32 m_adminStatus = 0;
    qint32 m_speed = 0;
    qint32 m_type = 0;
    qint32 m_index = 0;
    QString m_name;
    PhysicalAddress m_phys { QLatin1Char('-') };
};
