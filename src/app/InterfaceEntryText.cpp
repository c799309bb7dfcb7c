#include "app/InterfaceEntryText.h"

#include "net/ModQar.h"

namespace InterfaceEntryText {

QString line(int number, QString description, const QString& mac)
{
    // Descriptions come padded with NULs and blanks, and some drivers pad
    // inside the name as well.
    ModQar::RTrimControlChars(description);
    ModQar::SqueezeSpaces(description);
    return QString::number(number) + QStringLiteral(") ") + description + QStringLiteral("    MAC: ") + mac;
}

QString description(const InterfaceEntry& entry, const CInterfaces* table)
{
    if (!entry.Adapter)
        return QString();
    if (table) {
        if (const auto row = table->Item(QString::number(entry.Adapter->InterfaceIndex())))
            return row->InterfaceDescription();
    }
    return entry.Adapter->Description().isEmpty() ? entry.Adapter->InterfaceName() : entry.Adapter->Description();
}

QString ofEntry(int position, const InterfaceEntry& entry, const CInterfaces* table)
{
    const QString mac = entry.Adapter ? entry.Adapter->AdapterAddress() : ModQar::FormatMacAddress(entry.Mac);
    return line(position + 1, description(entry, table), mac);
}

} // namespace InterfaceEntryText
