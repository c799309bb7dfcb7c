#include "SimConfig.h"

#include <QCommandLineParser>
#include <QFile>
#include <QHash>

namespace {

struct Option {
    const char* name;
    const char* help;
};

constexpr Option options[] = {
    { "serial", "serial number of the first unit (the others count up)" },
    { "mac", "MAC of the first unit, 12 hex digits, separators allowed" },
    { "ip", "address the first unit reports" },
    { "unit-id", "unit id every unit reports" },
    { "product-id", "product id every unit reports" },
    { "model", "model text every unit reports (empty: no ModelId line)" },
    { "count", "how many units this process plays" },
    { "bind", "address to listen on" },
    { "port", "UDP port to listen on" },
    { "delay", "milliseconds before a unit answers" },
    { "spread", "window in milliseconds over which the units' answers are spread" },
    { "fault", "none, silence, wrong-auth, short, no-cr or overrun" },
    { "fault-serials", "comma-separated serial numbers the fault applies to (default: all)" },
    { "reboot-down", "milliseconds a unit stays silent after \"reboot\"" },
    { "ppp-idle", "milliseconds the PPP link stays Idle once switched on" },
    { "ppp-activating", "milliseconds the PPP link then shows 0.0.0.0 before it connects" },
    { "ppp-address", "address of the connected PPP link" },
    { "ppp-on", "1: the saved configuration has the PPP link on, so it comes up at power-up" },
    { "gprs", "1: the unit has a modem, 0: it has none" },
    { "dhcp-client", "1: Ethernet DHCP client supported" },
    { "dhcp-server", "1: DHCP server supported" },
    { "lan-dhcp-server", "1: a DHCP discovery on the LAN finds a server" },
    { "factory-ip", "LAN address of the factory configuration (default: the reported one)" },
    { "users", "comma-separated names of user profiles 1, 2, ... (empty: free)" },
    { "refuse", "'|'-separated command prefixes answered with ERROR" },
    { "mute", "'|'-separated command prefixes never answered" },
    { "late", "'|'-separated prefix=milliseconds: answered that much later" },
    { "reply", "'|'-separated prefix=text (\\r \\n escapes): answered with that text" },
    { "twice", "'|'-separated command prefixes whose answer is sent twice in a row" },
    { "resend-only", "'|'-separated command prefixes whose first datagram is lost: only the resend is answered" },
    { "split", "'|'-separated prefix=milliseconds: the answer sent one line a datagram, that far apart" },
    { "telnet-port", "TCP port of the telnet server (0: any free one, off: no server)" },
    { "telnet-user-prompt", "1: the telnet server asks \"Username: \", 0: it asks nothing" },
    { "command-log", "file that receives every command line, '<serial> TAB <line>'" },
    { "web-port", "TCP port of the web server (0: any free one, off: no server)" },
    { "web-mode", "normal, hang (requests never answered) or refuse (port closed)" },
    { "web-log", "file that receives every web request, '<method> <path> TAB <body> TAB <cookie>'" },
    { "lan-dev", "device whose addresses and DHCP server follow the saved Ethernet settings (namespaces only)" },
    { "telnet-login",
        "ok: telnet logins with a known profile succeed, refuse: every login is refused, refuse-hangup: refused "
        "and the unit hangs up, silent: the terminal takes the connection and never says anything" },
    { "telnet-hang-up",
        "'|'-separated prefixes of lines typed after a telnet login whose answer stops half-way "
        "as the unit hangs up" },
    { "ping-unreachable", "comma-separated hosts whose pings through the cellular link go unanswered" },
    { "ping-time", "milliseconds the unit's ping command takes before it prints its statistics" },
    { "software-build", "what the identity banner shows after \"Software Build \"" },
    { "bios-version", "what the identity banner shows after \"Bios Ver \"" },
    { "banner-serial", "what the identity banner shows after \"Ser#:\" (empty: the unit's serial number)" },
    { "flash-add", "comma-separated files added to the flash (image1, sbios1: updates waiting)" },
    { "flash-bad", "comma-separated flash files whose checksum a scan finds wrong" },
    { "flash-ro", "comma-separated flash files that are read-only from the start" },
    { "call-result", "CONNECT, BUSY, NO CARRIER, or none: how a modem call ends" },
    { "call-delay", "milliseconds a modem call takes before its result" },
    { "flood", "milliseconds of flood sent back to the first query's sender (0: none)" },
    { "flood-kind", "identity (records of ever new units) or garbage" },
    { "flood-ip", "address the flood's identity records report" },
    { "sim-state", "SIM of every unit (ready, pin, puk, not-ready), then serial=state,... for single units" },
    { "sim-pin", "PIN the SIM asks for at power-up (empty: none), then serial=pin,... for single units" },
    { "signal", "level in dBm the modem reports (empty: no signal line), then serial=level,... for single units" },
};

bool flag(const QString& value)
{
    return value != u"0" && value != u"false" && value != u"no";
}

QByteArray unescape(const QString& text)
{
    QByteArray out = text.toLatin1();
    out.replace("\\r", "\r").replace("\\n", "\n");
    return out;
}

// "value" for every unit, "serial=value" for one; comma-separated.
bool perUnit(QHash<QString, QString>& table, const QString& value, const QStringList& allowed)
{
    for (const QString& item : value.split(u',')) {
        const qsizetype eq = item.indexOf(u'=');
        const QString serial = eq < 0 ? QString() : item.left(eq).trimmed();
        const QString v = (eq < 0 ? item : item.mid(eq + 1)).trimmed();
        if (!allowed.isEmpty() && !allowed.contains(v))
            return false;
        table.insert(serial, v);
    }
    return true;
}

std::optional<SimFault> faultFrom(const QString& text)
{
    static const QHash<QString, SimFault> names = {
        { QStringLiteral("none"), SimFault::None },
        { QStringLiteral("silence"), SimFault::Silence },
        { QStringLiteral("wrong-auth"), SimFault::WrongAuthenticator },
        { QStringLiteral("short"), SimFault::Short },
        { QStringLiteral("no-cr"), SimFault::NoCarriageReturn },
        { QStringLiteral("overrun"), SimFault::Overrun },
    };
    const auto it = names.find(text);
    if (it == names.end())
        return std::nullopt;
    return *it;
}

bool apply(SimConfig& c, const QString& key, const QString& value, QString* error)
{
    bool ok = true;
    if (key == u"serial") {
        c.firstSerial = value;
    } else if (key == u"mac") {
        QString hex = value;
        hex.remove(u':').remove(u'-');
        c.firstMac = QByteArray::fromHex(hex.toLatin1());
        ok = c.firstMac.size() == 6;
    } else if (key == u"ip") {
        ok = c.firstAddress.setAddress(value) && c.firstAddress.protocol() == QAbstractSocket::IPv4Protocol;
    } else if (key == u"unit-id") {
        c.unitId = value;
    } else if (key == u"product-id") {
        c.productId = value;
    } else if (key == u"model") {
        c.model = value;
    } else if (key == u"count") {
        c.count = value.toInt(&ok);
        ok = ok && c.count >= 1;
    } else if (key == u"bind") {
        ok = c.bindAddress.setAddress(value);
    } else if (key == u"port") {
        c.port = value.toUShort(&ok);
    } else if (key == u"delay") {
        c.replyDelayMs = value.toInt(&ok);
        ok = ok && c.replyDelayMs >= 0;
    } else if (key == u"spread") {
        c.spreadMs = value.toInt(&ok);
        ok = ok && c.spreadMs >= 0;
    } else if (key == u"fault") {
        const auto f = faultFrom(value);
        ok = f.has_value();
        if (ok)
            c.fault = *f;
    } else if (key == u"fault-serials") {
        for (const QString& s : value.split(u',', Qt::SkipEmptyParts))
            c.faultSerials.insert(s.trimmed());
    } else if (key == u"reboot-down") {
        c.rebootDownMs = value.toInt(&ok);
    } else if (key == u"ppp-idle") {
        c.pppIdleMs = value.toInt(&ok);
    } else if (key == u"ppp-activating") {
        c.pppActivatingMs = value.toInt(&ok);
    } else if (key == u"ppp-address") {
        c.pppAddress = value;
    } else if (key == u"ppp-on") {
        c.pppOn = flag(value);
    } else if (key == u"gprs") {
        c.gprs = flag(value);
    } else if (key == u"dhcp-client") {
        c.dhcpClient = flag(value);
    } else if (key == u"dhcp-server") {
        c.dhcpServer = flag(value);
    } else if (key == u"lan-dhcp-server") {
        c.lanDhcpServer = flag(value);
    } else if (key == u"factory-ip") {
        ok = QHostAddress(value).protocol() == QAbstractSocket::IPv4Protocol;
        c.factoryAddress = value;
    } else if (key == u"users") {
        c.users = value.split(u',');
    } else if (key == u"refuse") {
        c.refuse = value.split(u'|', Qt::SkipEmptyParts);
    } else if (key == u"mute") {
        c.mute = value.split(u'|', Qt::SkipEmptyParts);
    } else if (key == u"twice") {
        c.twice = value.split(u'|', Qt::SkipEmptyParts);
    } else if (key == u"resend-only") {
        c.resendOnly = value.split(u'|', Qt::SkipEmptyParts);
    } else if (key == u"late" || key == u"reply" || key == u"split") {
        for (const QString& item : value.split(u'|', Qt::SkipEmptyParts)) {
            const qsizetype eq = item.indexOf(u'=');
            if (eq <= 0) {
                ok = false;
                break;
            }
            if (key != u"reply") {
                const int ms = item.mid(eq + 1).toInt(&ok);
                ok = ok && ms >= 0;
                if (!ok)
                    break;
                (key == u"late" ? c.late : c.split).append({ item.left(eq), ms });
            } else {
                c.replies.append({ item.left(eq), unescape(item.mid(eq + 1)) });
            }
        }
    } else if (key == u"telnet-port") {
        c.telnet = value != u"off";
        if (c.telnet)
            c.telnetPort = value.toUShort(&ok);
    } else if (key == u"telnet-user-prompt") {
        c.telnetNoUserPrompt = !flag(value);
    } else if (key == u"command-log") {
        c.commandLog = value;
    } else if (key == u"web-port") {
        c.web = value != u"off";
        if (c.web)
            c.webPort = value.toUShort(&ok);
    } else if (key == u"web-mode") {
        ok = value == u"normal" || value == u"hang" || value == u"refuse";
        c.webMode = value == u"hang" ? SimWebMode::Hang : value == u"refuse" ? SimWebMode::Refuse : SimWebMode::Normal;
    } else if (key == u"web-log") {
        c.webLog = value;
    } else if (key == u"lan-dev") {
        c.lanDevice = value;
    } else if (key == u"telnet-login") {
        ok = value == u"ok" || value == u"refuse" || value == u"refuse-hangup" || value == u"silent";
        c.telnetRefuseLogin = value == u"refuse" || value == u"refuse-hangup";
        c.telnetHangUpOnRefusal = value == u"refuse-hangup";
        c.telnetSilent = value == u"silent";
    } else if (key == u"telnet-hang-up") {
        c.telnetHangUp = value.split(u'|', Qt::SkipEmptyParts);
    } else if (key == u"ping-unreachable") {
        c.pingUnreachable = value.split(u',', Qt::SkipEmptyParts);
    } else if (key == u"ping-time") {
        c.pingMs = value.toInt(&ok);
        ok = ok && c.pingMs >= 0;
    } else if (key == u"software-build") {
        c.softwareBuild = value;
    } else if (key == u"bios-version") {
        c.biosVersion = value;
    } else if (key == u"banner-serial") {
        c.bannerSerial = value;
    } else if (key == u"flash-add") {
        c.flashAdd = value.split(u',', Qt::SkipEmptyParts);
    } else if (key == u"flash-bad") {
        c.flashBad = value.split(u',', Qt::SkipEmptyParts);
    } else if (key == u"flash-ro") {
        c.flashReadOnly = value.split(u',', Qt::SkipEmptyParts);
    } else if (key == u"call-result") {
        c.callResult = value == u"none" ? QString() : value;
    } else if (key == u"call-delay") {
        c.callDelayMs = value.toInt(&ok);
        ok = ok && c.callDelayMs >= 0;
    } else if (key == u"flood") {
        c.floodMs = value.toInt(&ok);
        ok = ok && c.floodMs >= 0;
    } else if (key == u"flood-kind") {
        ok = value == u"identity" || value == u"garbage";
        c.floodKind = value == u"garbage" ? SimFloodKind::Garbage : SimFloodKind::Identity;
    } else if (key == u"flood-ip") {
        c.floodAddress = value;
    } else if (key == u"sim-state") {
        ok = perUnit(c.simState, value, { "ready", "pin", "puk", "not-ready" });
    } else if (key == u"sim-pin") {
        ok = perUnit(c.simPin, value, {});
    } else if (key == u"signal") {
        ok = perUnit(c.signalDbm, value, {});
    } else if (key == u"verbose") {
        c.verbose = value != u"0" && value != u"false";
    } else {
        *error = QStringLiteral("unknown setting %1").arg(key);
        return false;
    }
    if (!ok)
        *error = QStringLiteral("bad value for %1: %2").arg(key, value);
    return ok;
}

bool applyFile(SimConfig& c, const QString& path, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read %1").arg(path);
        return false;
    }
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) {
            *error = QStringLiteral("%1: expected key=value: %2").arg(path, line);
            return false;
        }
        if (!apply(c, line.left(eq).trimmed(), line.mid(eq + 1).trimmed(), error))
            return false;
    }
    return true;
}

} // namespace

std::optional<SimConfig> loadSimConfig(const QStringList& arguments, QString* error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Plays Calvantor units on the discovery port."));
    parser.addHelpOption();
    const QCommandLineOption config(QStringLiteral("config"), QStringLiteral("key=value file"), QStringLiteral("file"));
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("log every datagram on stderr"));
    parser.addOption(config);
    parser.addOption(verbose);
    for (const Option& o : options)
        parser.addOption(
            QCommandLineOption(QString::fromLatin1(o.name), QString::fromLatin1(o.help), QStringLiteral("value")));
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        *error = parser.helpText();
        return std::nullopt;
    }
    SimConfig c;
    if (parser.isSet(config) && !applyFile(c, parser.value(config), error))
        return std::nullopt;
    for (const Option& o : options) {
        const QString name = QString::fromLatin1(o.name);
        if (parser.isSet(name) && !apply(c, name, parser.value(name), error))
            return std::nullopt;
    }
    if (parser.isSet(verbose))
        c.verbose = true;
    return c;
}
