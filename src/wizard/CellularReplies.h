#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// What the cellular test page reads out of a unit's replies. Plain text work:
// the page holds the conversation with the unit, these only cut and judge.
namespace CellularReplies {

// The address on the "IP Address:" line of a PPP status reply (label found in
// any letter case): the text from the twelfth character after the label's
// start (the label, one blank) up to the line's CR. Nothing when the reply
// has no label, no CR after it, or a CR that ends the line before an address
// could begin.
std::optional<QString> linkAddress(const QString& reply);

// The link counts as up once its address is anything but 0.0.0.0; an empty
// address counts too, as the unit prints nothing else for a link it has
// taken down.
bool linkUp(const QString& address);

// The unit says "Idle" anywhere in its reply, in any letter case.
bool linkIdle(const QString& reply);

// Milliseconds from one reading of the 32-bit tick counter to a later one,
// right across the counter's wrap (for spans below 49 days).
quint32 ticksBetween(qint32 from, qint32 to);

// The question of the link wait after each further minute.
QString keepWaitingText(int minutes);

// What the signal label says for a "modemstat ?" reply: the SIM's state when
// it keeps the modem off the network, else the strength the "Signal" line
// reports with a verdict, else which part of that line could not be read.
// testFailed adds advice to a poor signal.
QString signalText(const QString& reply, bool testFailed);

// The magnitude of a level text such as "67" or "67.5" (the digits after the
// minus sign of "-67 dBm"): the number it starts with, blanks before it
// skipped, rounded to the nearest whole number with halves to even; 0 when it
// starts with none. Absurd values are held to the range of a 16-bit level.
int levelMagnitude(const QString& text);

} // namespace CellularReplies
