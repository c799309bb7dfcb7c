#pragma once

#include "net/InterfaceEntry.h"

#include <QHostAddress>

// A usable-interface entry that names an adapter by its MAC bytes, as the
// wizard passes it to the adapter routines.
inline InterfaceEntry entryFor(const QByteArray& mac)
{
    InterfaceEntry e;
    e.Mac = mac;
    return e;
}

// Whether address is one the lab's DHCP servers hand out (.100 to .110).
inline bool inLeaseRange(const QString& address)
{
    const quint32 v = QHostAddress(address).toIPv4Address();
    return v >= QHostAddress(QStringLiteral("198.51.100.100")).toIPv4Address()
        && v <= QHostAddress(QStringLiteral("198.51.100.110")).toIPv4Address();
}
