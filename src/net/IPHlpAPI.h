#pragma once

#include "net/IcmpEcho.h"

#include <QString>

#include <functional>

namespace IPHlpAPI {

// One ICMP echo with payload (8-bit text) as its data. True only when the
// target answers with that data byte for byte within timeoutMs; blocks the
// calling thread for at most timeoutMs. 0 and 255.255.255.255 give false at once.
bool PingAddress(quint32 addressHostOrder, const QString& payload, qint32 timeoutMs);
// The same, waiting for the reply as wait says.
bool PingAddressUsing(
    quint32 addressHostOrder, const QString& payload, qint32 timeoutMs, const IcmpEcho::ReplyWait& wait);

// PingAddress of the host's first IPv4 address; an unknown name sends nothing.
bool PingHost(const QString& host, const QString& payload, qint32 timeoutMs);

// The same with another echo in place of PingAddress (a caller's stand-in).
using EchoFunction = std::function<bool(quint32 addressHostOrder, const QString& payload, qint32 timeoutMs)>;
bool PingHost(const QString& host, const QString& payload, qint32 timeoutMs, const EchoFunction& pingAddress);

// Dotted text of an address in network byte order; "255.255.255.255" when the
// conversion fails.
QString IPToString(quint32 addressNetworkOrder);

} // namespace IPHlpAPI
