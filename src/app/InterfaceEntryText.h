#pragma once

#include "net/CInterfaces.h"
#include "net/InterfaceEntry.h"

#include <QString>

// How a usable interface is named in an interface list: its number, the
// interface table's description of it and its MAC address.
namespace InterfaceEntryText {

// "1) description    MAC: 00:11:22:33:44:55": the description loses its
// trailing blanks and control characters, and every run of three or more
// blanks inside it becomes two.
QString line(int number, QString description, const QString& mac);

// The table's description of the entry's interface. An interface that has
// left the table since start-up (unplugged, renamed) is named by what its
// adapter record still knows.
QString description(const InterfaceEntry& entry, const CInterfaces* table);

// line() of the entry at list position (from 0).
QString ofEntry(int position, const InterfaceEntry& entry, const CInterfaces* table);

} // namespace InterfaceEntryText
