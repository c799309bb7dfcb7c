#pragma once

#include <QList>
#include <QString>

#include <optional>

// What may be handed to an adapter as its own address, its gateway or its name
// server, checked before anything changes so that a refused call never leaves
// the adapter half configured. The adapter routines (ModQarWmi) ask here
// before they call a backend; the backends take what reaches them as
// checked. Results are the adapter method codes: 0 when the value may be
// used, else 66, 70 or 71.
namespace AdapterConfigRules {

// One address of an interface with its prefix length.
struct Network {
    quint32 address = 0;
    int prefixLength = 0;
};

// The value of a dotted IPv4 text of four decimal parts 0..255; nullopt otherwise.
std::optional<quint32> parseDotted(const QString& text);
// The prefix length of a dotted mask whose one bits are contiguous from the top.
std::optional<int> prefixOf(const QString& mask);
// The dotted mask of a prefix length (0 and below: 0.0.0.0; 32 and above: all ones).
QString maskText(int prefixLength);

// Unicast, not loopback, not "this network", not multicast or reserved.
bool isHostAddress(quint32 address);

// A static address with its mask: 66 for a mask that is malformed, not
// contiguous or 0.0.0.0; 70 for an address that can't be a host's (also the
// network or broadcast address of its own subnet).
qint32 checkStaticAddress(const QString& address, const QString& mask);

// A gateway: 71 unless it is a host address inside one of the interface's
// networks, other than that network's own or broadcast address and other than
// one of the interface's addresses.
qint32 checkGateway(const QString& gateway, const QList<Network>& networks);

// A name server: 70 unless unicast; a local resolver (127.x) is allowed.
qint32 checkNameServer(const QString& server);

// The networks of parallel address and mask lists as an adapter reports them;
// entries that don't parse are left out.
QList<Network> networksOf(const QStringList& addresses, const QStringList& masks);

} // namespace AdapterConfigRules
