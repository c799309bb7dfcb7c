#pragma once

#include "net/CAdapters.h"
#include "net/Ipv4AddressSource.h"

#include <QString>

#include <functional>
#include <memory>

class UserPrompts;

// Lists the PC's adapters. Every read of Adapters() reads the kernel afresh and
// keeps the new collection as the current one.
class CAdapterHelper {
public:
    // Whether the adapter of this interface index and MAC text (":" form)
    // takes its address by DHCP; the adapter-configuration layer answers it.
    using DhcpQuery = std::function<bool(qint32 ifindex, const QString& mac)>;

    // sysfsRoot: the kernel's class directory of network interfaces (a fixture
    // tree in tests). prompts shows the box for a system whose list cannot be
    // read; nullptr shows none. addresses: empty means the kernel's own.
    // dhcpEnabled: empty leaves DHCPEnabled false; else asked when an
    // adapter's flag is first read.
    explicit CAdapterHelper(QString sysfsRoot = QStringLiteral("/sys/class/net"), UserPrompts* prompts = nullptr,
        Ipv4AddressSource addresses = {}, DhcpQuery dhcpEnabled = {});

    std::shared_ptr<CAdapters> Adapters();
    void setAdapters(std::shared_ptr<CAdapters> adapters) { m_adapters = std::move(adapters); }

private:
    void FillAdapters();

    QString m_root;
    UserPrompts* m_prompts;
    Ipv4AddressSource m_addresses;
    DhcpQuery m_dhcpEnabled;
    std::shared_ptr<CAdapters> m_adapters;
};
