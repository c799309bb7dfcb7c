#include "SimEthernet.h"

namespace SimEthernet {

QString lanInterface(const QString& model)
{
    return model.contains(QLatin1String("KR5012"), Qt::CaseInsensitive) ? QStringLiteral("eth 1")
                                                                        : QStringLiteral("eth 0");
}

SimSettings initialSettings(const QString& model, const QString& address)
{
    const QString lan = lanInterface(model);
    SimSettings s;
    for (const QString& eth : { QStringLiteral("eth 0"), QStringLiteral("eth 1") }) {
        const bool isLan = eth == lan;
        s.insert(eth + QStringLiteral(" ipaddr"), isLan ? address : QStringLiteral("0.0.0.0"));
        s.insert(eth + QStringLiteral(" mask"), isLan ? QStringLiteral("255.255.255.0") : QStringLiteral("0.0.0.0"));
        s.insert(eth + QStringLiteral(" dhcpcli"), QStringLiteral("off"));
    }
    return s;
}

SimSettings factorySettings(const QString& model, const QString& address, const QString& factoryAddress)
{
    return initialSettings(model, factoryAddress.isEmpty() ? address : factoryAddress);
}

QString storedValue(const QString& sent)
{
    return sent == u"!" ? QString() : sent;
}

QByteArray discover(const SimUnitState& s, const QString& eth, bool serverOnLan)
{
    const QString address = s.value(eth + QStringLiteral(" ipaddr"));
    // The firmware's discovery leaves from the port's own address.
    if (address.isEmpty() || address == u"0.0.0.0")
        return QByteArrayLiteral("ERROR: ") + eth.toLatin1() + QByteArrayLiteral(" has no IP address\r\n");
    return serverOnLan ? QByteArrayLiteral("DHCP server discovered at 198.51.100.1\r\nOK\r\n")
                       : QByteArrayLiteral("No DHCP server found\r\nOK\r\n");
}

} // namespace SimEthernet
