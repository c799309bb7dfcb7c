#include "net/ModQar.h"

#include "net/CAdapterHelper.h"
#include "net/InterfaceEntry.h"
#include "net/PhysicalAddress.h"

#include <arpa/inet.h>

namespace {
bool isControlOrSpace(QChar c)
{
    return c.unicode() <= 32;
}
} // namespace

namespace ModQar {

qint32 BuildInterfaceList(CAdapterHelper& helper, UsableInterfaces& usable)
{
    usable.InterfaceList.clear();
    const auto adapters = helper.Adapters();
    qint32 count = 0;
    for (const auto& adapter : *adapters) {
        const in_addr_t address = inet_addr(adapter->IPAddress().toLatin1().constData());
        const qint32 type = adapter->InterfaceType();
        // inet_addr answers all ones for a text it cannot read; such an adapter
        // has no address the discovery could bind to.
        if ((type != 6 && type != 71) || address == 0 || address == INADDR_NONE)
            continue;
        usable.InterfaceList.append({ adapter->AdapterAddressByte(), adapter, adapter->InterfaceIndex() });
        ++count;
    }
    return count;
}

QString FormatMacAddress(const QByteArray& bytes)
{
    return PhysicalAddress::format(bytes, QLatin1Char(':'));
}

QString LTrimControlChars(QString& text)
{
    qsizetype n = 0;
    while (n < text.size() && isControlOrSpace(text[n]))
        ++n;
    text.remove(0, n);
    return text;
}

QString RTrimControlChars(QString& text)
{
    qsizetype n = text.size();
    while (n > 0 && isControlOrSpace(text[n - 1]))
        --n;
    text.truncate(n);
    return text;
}

QString TrimControlChars(QString& text)
{
    QString left = LTrimControlChars(text);
    return RTrimControlChars(left);
}

QString SqueezeSpaces(QString& text)
{
    const QString three(3, QLatin1Char(' '));
    const QString two(2, QLatin1Char(' '));
    qsizetype at = text.indexOf(three);
    while (at >= 0) {
        text.replace(at, 3, two);
        at = text.indexOf(three, at);
    }
    return text;
}

} // namespace ModQar
