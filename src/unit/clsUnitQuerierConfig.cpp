// The configuration commands of clsUnitQuerier: capability probes, Ethernet,
// DHCP, cellular and storage settings.
#include "unit/clsUnitQuerier.h"

namespace {
constexpr qint32 replySeconds = 5;
constexpr qint32 storageSeconds = 20; // writing the flash file system takes its time
constexpr qint32 discoverySeconds = 30; // the unit's own DHCP discovery
} // namespace

bool clsUnitQuerier::singleStep(const QString& serial, clsVerevo& v, const QString& firstLine, const QString& command,
    const QString& noun, const QString& tail)
{
    return steps(serial, v, firstLine, QStringList { command }, noun, tail);
}

bool clsUnitQuerier::steps(const QString& serial, clsVerevo& v, const QString& firstLine, const QStringList& commands,
    const QString& noun, const QString& tail)
{
    const CallLifetime::Call call(m_life);
    log(serial, firstLine);
    bool ok = true;
    for (const QString& command : commands) {
        ok = replyOk(GetRuraResp(v, serial, command, replySeconds, QString()));
        if (!ok)
            break;
    }
    logClosing(serial, noun, ok, tail);
    return ok;
}

bool clsUnitQuerier::probe(
    const QString& serial, clsVerevo& v, const QString& firstLine, const QString& command, const QString& what)
{
    const CallLifetime::Call call(m_life);
    bool ok = false;
    if (!bBusy) {
        log(serial, firstLine);
        ok = replyOk(GetRuraResp(v, serial, command, replySeconds, QString()));
    }
    log(serial, (ok ? QStringLiteral("Has") : QStringLiteral("Does not have")) + what);
    return ok;
}

bool clsUnitQuerier::HasDHCPCli(const QString& serial, clsVerevo& v)
{
    return probe(serial, v, QStringLiteral("Checking for DHCP client support"),
        m_prefixes.EthIf + QStringLiteral(" dhcpcli ?"), QStringLiteral(" DHCP client support"));
}

bool clsUnitQuerier::HasGPRS(const QString& serial, clsVerevo& v)
{
    return probe(serial, v, QStringLiteral("Checking for GPRS support"), QStringLiteral("modemcc 0 apn ?"),
        QStringLiteral(" GPRS support"));
}

bool clsUnitQuerier::HasDHCPSrv(const QString& serial, clsVerevo& v)
{
    return probe(serial, v, QStringLiteral("Checking for DHCP server support"), QStringLiteral("dhcp 0 ?"),
        QStringLiteral(" DHCP server support"));
}

bool clsUnitQuerier::DHCPServerPresent(const QString& serial, clsVerevo& v)
{
    const CallLifetime::Call call(m_life);
    bool ok = false;
    if (!bBusy) {
        log(serial, QStringLiteral("Checking for DHCP server presence on LAN"));
        // The first text back is the outcome of the discovery, whole.
        const QString reply = GetRuraResp(
            v, serial, QStringLiteral("dhcpcli discover ") + m_prefixes.EthIf, discoverySeconds, QString());
        ok = reply.contains(QLatin1String("DHCP server discovered"), Qt::CaseInsensitive);
    }
    log(serial,
        QStringLiteral("DHCP Server ") + (ok ? QStringLiteral("present") : QStringLiteral("NOT present"))
            + QStringLiteral(" on ") + QStringLiteral("Calvantor") + QStringLiteral("'s LAN"));
    return ok;
}

bool clsUnitQuerier::SetDHCPCli(const QString& serial, clsVerevo& v, const QString& value)
{
    const CallLifetime::Call call(m_life);
    if (!HasDHCPCli(serial, v))
        return false;
    return replyOk(
        GetRuraResp(v, serial, m_prefixes.EthIf + QStringLiteral(" dhcpcli ") + value, replySeconds, QString()));
}

bool clsUnitQuerier::SaveCfg(const QString& serial, clsVerevo& v)
{
    const CallLifetime::Call call(m_life);
    log(serial, QStringLiteral("Saving config"));
    QString reply;
    // The unit prints its power-up profile once the file is written; an
    // early "OK" says nothing about the flash.
    const bool ok = SendRuraAndWait(
        v, serial, reply, QStringLiteral("config 0 save"), QStringLiteral("Power Up Profile:"), storageSeconds);
    logClosing(serial, QStringLiteral("Config"), ok, QStringLiteral("saved"));
    return ok;
}

bool clsUnitQuerier::SetEth(const QString& serial, clsVerevo& v, const QString& address, const QString& mask)
{
    return SetEthOn(serial, v, m_prefixes.EthIf, address, mask);
}

bool clsUnitQuerier::SetEthOn(
    const QString& serial, clsVerevo& v, const QString& ethIf, const QString& address, const QString& mask)
{
    return steps(serial, v, QStringLiteral("Setting Ethernet details"),
        { ethIf + QStringLiteral(" ipaddr ") + quoted(address), ethIf + QStringLiteral(" mask ") + quoted(mask) },
        QStringLiteral("Ethernet details"), QStringLiteral("set"));
}

bool clsUnitQuerier::setAPN(const QString& serial, clsVerevo& v, const QString& apn)
{
    return singleStep(serial, v, QStringLiteral("Setting APN"), QStringLiteral("modemcc 0 apn ") + quoted(apn),
        QStringLiteral("APN"), QStringLiteral("set"));
}

bool clsUnitQuerier::SetPhonenum(const QString& serial, clsVerevo& v, const QString& number)
{
    return singleStep(serial, v, QStringLiteral("Setting Phone number"),
        QStringLiteral("ppp ") + m_prefixes.GPRSPPP() + QStringLiteral(" phonenum ") + quoted(number),
        QStringLiteral("Phone number"), QStringLiteral("set"));
}

bool clsUnitQuerier::SetGeneric(const QString& serial, clsVerevo& v, const QString& command)
{
    return replyOk(GetRuraResp(v, serial, command, replySeconds, QString()));
}

bool clsUnitQuerier::setPIN(const QString& serial, clsVerevo& v, const QString& pin)
{
    return singleStep(serial, v, QStringLiteral("Setting PIN"), QStringLiteral("modemcc 0 pin ") + quoted(pin),
        QStringLiteral("PIN"), QStringLiteral(" set"));
}

bool clsUnitQuerier::setPPP1username(const QString& serial, clsVerevo& v, const QString& user)
{
    return singleStep(serial, v, QStringLiteral("Setting ") + QStringLiteral("PPP1username"),
        m_prefixes.PPPIf + QStringLiteral(" username ") + quoted(user), QStringLiteral("PPP1username"),
        QStringLiteral(" set"));
}

bool clsUnitQuerier::setPPP1password(const QString& serial, clsVerevo& v, const QString& password)
{
    return singleStep(serial, v, QStringLiteral("Setting ") + QStringLiteral("PPP1password"),
        m_prefixes.PPPIf + QStringLiteral(" password ") + quoted(password), QStringLiteral("PPP1password"),
        QStringLiteral(" set"));
}

bool clsUnitQuerier::SetDHCP(const QString& serial, clsVerevo& v, const QString& firstAddress, const QString& range,
    const QString& mask, const QString& gateway, const QString& dnsServer, const QString& lease)
{
    return steps(serial, v, QStringLiteral("Setting DHCP details"),
        { QStringLiteral("dhcp 0 ipmin ") + quoted(firstAddress), QStringLiteral("dhcp 0 IPrange ") + quoted(range),
            QStringLiteral("dhcp 0 mask ") + quoted(mask), QStringLiteral("dhcp 0 gateway ") + quoted(gateway),
            QStringLiteral("dhcp 0 DNS ") + quoted(dnsServer), QStringLiteral("dhcp 0 lease ") + quoted(lease) },
        QStringLiteral("DHCP details"), QStringLiteral("set"));
}

bool clsUnitQuerier::confMUX(const QString& serial, clsVerevo& v)
{
    const CallLifetime::Call call(m_life);
    if (!singleStep(serial, v, QStringLiteral("Sending muxoff command"), QStringLiteral("muxoff"),
            QStringLiteral("muxoff command"), QStringLiteral(" sent successfully")))
        return false;
    return singleStep(serial, v, QStringLiteral("Sending muxon command"), QStringLiteral("muxon"),
        QStringLiteral("muxon command"), QStringLiteral(" sent successfully"));
}

bool clsUnitQuerier::resetConfig(const QString& serial, clsVerevo& v)
{
    const CallLifetime::Call call(m_life);
    log(serial, QStringLiteral("Resetting config to config.fac"));
    QString reply;
    // The copy decides; clearing the read-only attribute may well answer
    // nothing when the file has none.
    SendRuraAndWait(v, serial, reply, QStringLiteral("fattr -r config.da0"), QStringLiteral("OK"), storageSeconds);
    SendRuraAndWait(
        v, serial, reply, QStringLiteral("copy config.fac config.da0"), QStringLiteral("OK"), storageSeconds);
    const bool ok = replyOk(reply) && !reply.contains(QLatin1String("ERROR"), Qt::CaseInsensitive);
    logClosing(serial, QStringLiteral("Config"), ok, QStringLiteral("reset"));
    return ok;
}

QString clsUnitQuerier::SendCommand(const QString& serial, clsVerevo& v, const QString& command)
{
    const CallLifetime::Call call(m_life);
    log(serial, command);
    const QString reply = GetRuraResp(v, serial, command, replySeconds, QString());
    log(serial, reply);
    return reply;
}
