#pragma once

#include "net/Ipv4AddressSource.h"
#include "net/KernelInterface.h"

#include <QList>

#include <optional>

// Reads the kernel's interfaces from a sysfs class directory (normally
// /sys/class/net: one directory per interface with its attribute files) and
// joins the first IPv4 address of each from an address source.
namespace SysfsNetTable {

// The interfaces in ifindex order, or nullopt when root cannot be listed at
// all. An interface that vanishes while it is read, or whose ifindex cannot be
// read, is left out.
std::optional<QList<KernelInterface>> read(const QString& root, const Ipv4AddressSource& addresses);

// The same list with what names a link alone: index, name, MAC, type, admin
// status and master; no descriptions, counters or addresses, so that it is
// cheap enough to read at every adapter call.
std::optional<QList<KernelInterface>> links(const QString& root);

// IANA type of an interface from its ARPHRD type and whether it is wireless.
qint32 ianaType(int arphrdType, bool wireless);

// RFC 2863 ifOperStatus from the kernel's operstate text.
qint32 operStatus(const QString& operstate);

} // namespace SysfsNetTable
