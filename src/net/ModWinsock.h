#pragma once

#include <QString>

namespace ModWinsock {

// The first IPv4 address of a host name or dotted address, in network byte
// order; 0 when the name is unknown.
quint32 ResolveHost(const QString& name);

} // namespace ModWinsock
