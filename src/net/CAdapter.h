#pragma once

#include "net/PhysicalAddress.h"

#include <QString>

#include <functional>

// One entry of the PC's adapter list: its first IPv4 address and mask, what it
// is, and its link-layer address (text with ":" between the pairs).
class CAdapter {
public:
    QString IPAddress() const { return m_ipAddress; }
    void setIPAddress(const QString& v) { m_ipAddress = v; }
    QString mask() const { return m_mask; }
    void setMask(const QString& v) { m_mask = v; }
    QString Description() const { return m_description; }
    void setDescription(const QString& v) { m_description = v; }
    // IANA interface type: 6 Ethernet, 71 IEEE 802.11, 23 PPP, 24 loopback.
    qint32 InterfaceType() const { return m_type; }
    void setInterfaceType(qint32 v) { m_type = v; }
    qint32 InterfaceIndex() const { return m_index; }
    void setInterfaceIndex(qint32 v) { m_index = v; }
    // A flag given as a reader is read when first asked for and kept: asking
    // the configuration layer scans every process, which listing the
    // adapters at start-up must not wait for.
    bool DHCPEnabled() const
    {
        if (m_dhcpRead) {
            m_dhcpEnabled = m_dhcpRead();
            m_dhcpRead = nullptr;
        }
        return m_dhcpEnabled;
    }
    void setDHCPEnabled(bool v)
    {
        m_dhcpRead = nullptr;
        m_dhcpEnabled = v;
    }
    void setDHCPEnabledReader(std::function<bool()> read) { m_dhcpRead = std::move(read); }
    QString InterfaceName() const { return m_name; }
    void setInterfaceName(const QString& v) { m_name = v; }

    void SetPhysAddr(qint32 length, const QByteArray& bytes) { m_phys.SetPhysAddr(length, bytes); }
    QByteArray AdapterAddressByte() const { return m_phys.AdapterAddressByte(); }
    QString AdapterAddress() const { return m_phys.AdapterAddress(); }

private:
    QString m_ipAddress = QStringLiteral("0.0.0.0");
    QString m_mask;
    QString m_description;
    qint32 m_type = 0;
    qint32 m_index = 0;
    mutable bool m_dhcpEnabled = false;
    mutable std::function<bool()> m_dhcpRead;
    QString m_name;
    PhysicalAddress m_phys { QLatin1Char(':') };
};
