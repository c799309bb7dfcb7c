#pragma once

#include "net/CInterfaces.h"
#include "net/Ipv4AddressSource.h"

#include <QString>

#include <memory>

class UserPrompts;

// Lists the PC's interface table. Every read of Interfaces() reads the kernel
// afresh and keeps the new collection as the current one.
class CIpHelper {
public:
    // sysfsRoot: the kernel's class directory of network interfaces (a fixture
    // tree in tests). prompts shows the box for a system whose table cannot be
    // read; nullptr shows none. addresses: empty means the kernel's own.
    explicit CIpHelper(QString sysfsRoot = QStringLiteral("/sys/class/net"), UserPrompts* prompts = nullptr,
        Ipv4AddressSource addresses = {});

    std::shared_ptr<CInterfaces> Interfaces();
    void setInterfaces(std::shared_ptr<CInterfaces> interfaces) { m_interfaces = std::move(interfaces); }

    // Octets received and sent summed over the rows of the last fill, from the
    // kernel's full 64-bit counters (no 32-bit wrap); 0 before a fill.
    qint64 BytesReceived() const { return m_bytesReceived; }
    qint64 BytesSent() const { return m_bytesSent; }

private:
    void FillInterfaces();

    QString m_root;
    UserPrompts* m_prompts;
    Ipv4AddressSource m_addresses;
    std::shared_ptr<CInterfaces> m_interfaces;
    qint64 m_bytesReceived = 0;
    qint64 m_bytesSent = 0;
};
