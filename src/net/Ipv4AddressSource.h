#pragma once

#include <QList>
#include <QString>

#include <functional>

// One IPv4 address held by an interface, as dotted texts.
struct Ipv4Assignment {
    QString interfaceName;
    QString address;
    QString mask;
};

// Where the interface readers take the IPv4 addresses from. The kernel's list
// by default; tests hand in a fixed list to go with a fixture sysfs tree.
using Ipv4AddressSource = std::function<QList<Ipv4Assignment>()>;

// The kernel's IPv4 addresses in its own order (the primary address of an
// interface comes first), from getifaddrs. Empty when the call fails.
QList<Ipv4Assignment> systemIpv4Addresses();
