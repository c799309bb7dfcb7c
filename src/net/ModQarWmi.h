#pragma once

#include "net/AdapterConfigBackend.h"
#include "net/InterfaceEntry.h"
#include "net/UserPrompts.h"

#include <QString>

// Reads and changes the IPv4 settings of one of the PC's adapters, named by a
// usable-interface entry: the link of its interface index, or by its MAC bytes
// where no index is known. Every routine takes the configuration layer first,
// looks the adapter up afresh and keeps nothing between calls.
// Codes: 0 done, 1 done and a restart is needed, -1 nothing done (no adapter,
// an empty argument, the service failed or a read it needed failed), 64 not
// supported, 91 refused (by the service or by the bus's policy), 97 the link
// is left to another program's DHCP client, others failures.
namespace ModQar {

qint32 WmiEnableStatic(
    AdapterConfigBackend& config, const InterfaceEntry& adapter, const QString& ipAddress, const QString& subnetMask);
qint32 WmiSetGateways(AdapterConfigBackend& config, const InterfaceEntry& adapter, const QString& gateway);
qint32 WmiSetDnsServer(AdapterConfigBackend& config, const InterfaceEntry& adapter, const QString& dnsServer);
qint32 WmiEnableDhcp(AdapterConfigBackend& config, const InterfaceEntry& adapter);
qint32 WmiReleaseDhcpLease(AdapterConfigBackend& config, const InterfaceEntry& adapter);
qint32 WmiRenewDhcpLease(AdapterConfigBackend& config, const InterfaceEntry& adapter);
// Clears the WINS servers, then the DNS list, telling the person about a
// failure of either step through prompts.
qint32 WmiClearWinsAndDns(AdapterConfigBackend& config, const InterfaceEntry& adapter, UserPrompts& prompts);

// 1 DHCP on, 0 off, 2 no such adapter, -1 the service failed. The last
// matching configuration decides.
qint32 WmiIsDhcpEnabled(AdapterConfigBackend& config, const InterfaceEntry& adapter);

// First default gateway; "" when the adapter is not found or has none.
QString WmiGetDefaultGateway(AdapterConfigBackend& config, const InterfaceEntry& adapter);
// First DNS server; "" when the adapter is not found, "False" when it has none
// or the service failed.
QString WmiGetDnsServer(AdapterConfigBackend& config, const InterfaceEntry& adapter);
// Address (mask) at index of the adapter's list; "" when not found, without a
// list, or when the index is outside it. index is not changed.
QString WmiGetIPAddress(AdapterConfigBackend& config, const InterfaceEntry& adapter, qint32& index);
QString WmiGetIPSubnet(AdapterConfigBackend& config, const InterfaceEntry& adapter, qint32& index);

} // namespace ModQar
