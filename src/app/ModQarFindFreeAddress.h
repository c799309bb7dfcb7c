#pragma once

#include <QString>

#include <functional>

class Clock;

namespace ModQar {

// Walks the host addresses of the PC's network upwards, from the one after
// lastRejected (0: from the start), and returns the first that gives no echo
// reply, in host byte order; 0 when none is left or the person cancelled.
// Addresses are compared as signed 32-bit values, so a mask of 0.0.0.0 (and
// /31, /32) leaves no candidate. cancelRequested is seen after each reply.
qint32 FindFreeAddress(const QString& pcAddress, const QString& pcMask, qint32 lastRejected, qint32 pingTimeoutMs,
    const bool& cancelRequested);

// The same walk with each echo awaited in the event loop on clock: the
// windows repaint and take clicks between and during the pings (a /24 with
// nothing free takes 254 time-outs), and a cancel is seen after each reply.
qint32 FindFreeAddress(Clock& clock, const QString& pcAddress, const QString& pcMask, qint32 lastRejected,
    qint32 pingTimeoutMs, const bool& cancelRequested);

// The same walk with the echo given: ping(addressHostOrder) is true on a reply.
qint32 FindFreeAddress(const QString& pcAddress, const QString& pcMask, qint32 lastRejected,
    const bool& cancelRequested, const std::function<bool(quint32)>& ping);

} // namespace ModQar
