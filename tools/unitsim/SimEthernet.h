#pragma once

#include "SimUnitState.h"

#include <QByteArray>
#include <QString>

// The unit's Ethernet side as the wizard's address steps meet it: which port
// faces the LAN (eth 1 on the KR5012, eth 0 on the others), what the factory
// configuration holds there, the "!" that clears a value, and the DHCP
// discovery, which the firmware sends only from a port that has an address.
namespace SimEthernet {

// "eth 0" or "eth 1".
QString lanInterface(const QString& model);

// The settings a unit powers up with: address and mask on its LAN port, the
// other port without either.
SimSettings initialSettings(const QString& model, const QString& address);

// The factory configuration: the initial settings with factoryAddress (when
// not empty) and a class C mask on the LAN port.
SimSettings factorySettings(const QString& model, const QString& address, const QString& factoryAddress);

// A value as the unit stores it: "!" is an empty value.
QString storedValue(const QString& sent);

// The reply to "dhcpcli discover <eth>".
QByteArray discover(const SimUnitState& s, const QString& eth, bool serverOnLan);

} // namespace SimEthernet
