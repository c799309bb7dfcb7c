#pragma once

#include <QByteArray>
#include <QString>

class CAdapterHelper;
struct UsableInterfaces;

namespace ModQar {

// Reads a fresh adapter list from helper and fills usable.InterfaceList, in
// the list's order, with every Ethernet (6) or IEEE 802.11 (71) adapter that
// holds an IPv4 address. Returns their count; SelectedInterface is untouched.
qint32 BuildInterfaceList(CAdapterHelper& helper, UsableInterfaces& usable);

// Upper-case hex pairs joined by ":" (00:0A:95:9D:68:16); "" for no bytes.
QString FormatMacAddress(const QByteArray& bytes);

// Drop spaces and characters below 32 from the start, the end, or both; the
// caller's text is changed and also returned.
QString LTrimControlChars(QString& text);
QString RTrimControlChars(QString& text);
QString TrimControlChars(QString& text);

// Shortens every run of three or more spaces to two; the caller's text is
// changed and also returned.
QString SqueezeSpaces(QString& text);

} // namespace ModQar
