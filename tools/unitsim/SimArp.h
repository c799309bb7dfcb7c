#pragma once

#include <QByteArray>
#include <QString>

// What a unit does the moment it takes an address: it tells the LAN with a
// gratuitous ARP request (sender and target both the new address). Hosts
// that hold a look-up of that address, answered or not, then know where it
// is at once; without it a PC that asked for the address just before the
// unit took it drops what it sends there until its look-up has given up.
namespace SimArp {

// The ARP message (no Ethernet header) that announces addressHostOrder at
// the Ethernet address mac (6 bytes).
QByteArray announcement(const QByteArray& mac, quint32 addressHostOrder);

// Broadcasts the announcement on device, with the device's own Ethernet
// address; false, with *error set, when it could not be sent.
bool announce(const QString& device, quint32 addressHostOrder, QString* error);

} // namespace SimArp
