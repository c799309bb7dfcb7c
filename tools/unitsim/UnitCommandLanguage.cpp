#include "UnitCommandLanguage.h"

#include "SimEthernet.h"
#include "SimUnit.h"

#include <QRegularExpression>

namespace {
const QByteArray ok = QByteArrayLiteral("OK\r\n");
const QByteArray error = QByteArrayLiteral("ERROR\r\n");

QRegularExpression rx(const char* pattern)
{
    return QRegularExpression(QString::fromLatin1(pattern), QRegularExpression::CaseInsensitiveOption);
}

// The firmware takes a value between double quotes as everything between the
// first and the last quote, inner quotes included.
QString unquote(const QString& value)
{
    if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
        return value.mid(1, value.size() - 2);
    return value;
}

QByteArray shown(const QString& key, const QString& value)
{
    return (key + QStringLiteral(": \"") + value + QStringLiteral("\"\r\n")).toLatin1() + ok;
}
} // namespace

UnitCommandLanguage::UnitCommandLanguage(Clock& clock, const SimConfig& config)
    : m_clock(clock)
    , m_config(config)
    , m_modem(config)
{
    if (!m_config.commandLog.isEmpty()) {
        m_log.setFileName(m_config.commandLog);
        m_log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
    }
}

QByteArrayList UnitCommandLanguage::receivedLines() const
{
    QByteArrayList lines;
    for (const auto& r : m_received)
        lines << r.second;
    return lines;
}

SimUnitState& UnitCommandLanguage::state(const SimUnit& unit)
{
    auto it = m_states.find(unit.serial());
    if (it != m_states.end())
        return *it;
    SimUnitState s;
    s.running = SimEthernet::initialSettings(unit.model(), unit.address());
    if (m_config.pppOn) {
        s.running.insert(QStringLiteral("ppp 1 aodion"), QStringLiteral("on"));
        s.linkStartMs = m_clock.monotonicMs();
    }
    s.files.insert(QStringLiteral("config.da0"), s.running);
    s.files.insert(QStringLiteral("config.fac"),
        SimEthernet::factorySettings(unit.model(), unit.address(), m_config.factoryAddress));
    fillFlash(s);
    s.users.append({ QStringLiteral("admin"), QStringLiteral("admin"), QStringLiteral("0") });
    for (const QString& name : m_config.users)
        s.users.append({ name, QString(), QStringLiteral("1") });
    m_modem.powerUp(unit.serial(), s);
    return *m_states.insert(unit.serial(), s);
}

bool UnitCommandLanguage::restarting(const SimUnit& unit)
{
    const SimUnitState& s = state(unit);
    return s.downUntilMs >= 0 && m_clock.monotonicMs() < s.downUntilMs;
}

bool UnitCommandLanguage::linkUp(const SimUnit& unit)
{
    const SimUnitState& s = state(unit);
    return !restarting(unit) && s.linkStartMs >= 0 && SimModem::registered(s)
        && m_clock.monotonicMs() - s.linkStartMs >= qint64(m_config.pppIdleMs) + m_config.pppActivatingMs;
}

bool UnitCommandLanguage::startsWith(const QString& line, const QString& prefix)
{
    return line.startsWith(prefix, Qt::CaseInsensitive);
}

QByteArray UnitCommandLanguage::execute(SimUnit& unit, const QByteArray& commandLine)
{
    return respond(unit, commandLine).text;
}

SimReply UnitCommandLanguage::respond(SimUnit& unit, const QByteArray& commandLine)
{
    m_received.append({ unit.serial(), commandLine });
    if (m_log.isOpen())
        m_log.write(unit.serial().toLatin1() + '\t' + commandLine + '\n');

    SimUnitState& s = state(unit);
    if (s.downUntilMs >= 0) {
        if (m_clock.monotonicMs() < s.downUntilMs)
            return { {}, 0, true };
        powerUp(unit.serial(), s);
    }
    const QString line = QString::fromLatin1(commandLine);
    SimReply reply;
    for (const QString& p : m_config.mute)
        if (startsWith(line, p))
            return { {}, 0, true };
    for (const auto& [prefix, ms] : m_config.late)
        if (startsWith(line, prefix))
            reply.delayMs = qMax(reply.delayMs, ms);
    for (const QString& p : m_config.refuse) {
        if (startsWith(line, p)) {
            reply.text = error;
            return reply;
        }
    }
    for (const auto& [prefix, text] : m_config.replies) {
        if (startsWith(line, prefix)) {
            reply.text = text;
            return reply;
        }
    }
    reply.text = run(unit.serial(), s, line);
    if (startsWith(line, QStringLiteral("call ")))
        reply.delayMs = qMax(reply.delayMs, m_config.callDelayMs);
    // Some commands say nothing when they succeed.
    reply.silent = reply.text.isEmpty();
    if (m_observer)
        m_observer(unit, s, line);
    return reply;
}

void UnitCommandLanguage::powerUp(const QString& serial, SimUnitState& s)
{
    s.downUntilMs = -1;
    s.running = s.files.value(QStringLiteral("config.da0"));
    m_modem.powerUp(serial, s);
    s.linkStartMs = -1;
    for (auto it = s.running.cbegin(); it != s.running.cend(); ++it)
        if (it.key().endsWith(QLatin1String(" aodion")) && it.value() == u"on")
            s.linkStartMs = m_clock.monotonicMs();
}

QByteArray UnitCommandLanguage::pppStatus(const SimUnitState& s, const QString& instance) const
{
    const QString head = QStringLiteral("PPP ") + instance + QStringLiteral(": ");
    const qint64 up = s.linkStartMs < 0 ? -1 : m_clock.monotonicMs() - s.linkStartMs;
    QString text;
    if (up < 0 || up < m_config.pppIdleMs)
        text = head + QStringLiteral("Idle\r\nIP Address: 0.0.0.0\r\n");
    else if (up < qint64(m_config.pppIdleMs) + m_config.pppActivatingMs || !SimModem::registered(s))
        text = head + QStringLiteral("Activating\r\nIP Address: 0.0.0.0\r\n");
    else
        text = head + QStringLiteral("Connected\r\nIP Address: ") + m_config.pppAddress + QStringLiteral("\r\n");
    return text.toLatin1() + ok;
}

QByteArray UnitCommandLanguage::userCommand(SimUnitState& s, const QString& line)
{
    static const QRegularExpression list = rx(R"(^user \?$)");
    static const QRegularExpression show = rx(R"(^user (\d+) \?$)");
    static const QRegularExpression set = rx(R"(^user (\d+) (name|password|access) (.*)$)");
    if (list.match(line).hasMatch())
        return QStringLiteral("USER <0...%1>\r\n").arg(s.users.size() - 1).toLatin1() + ok;
    if (const auto m = show.match(line); m.hasMatch()) {
        const int i = m.captured(1).toInt();
        if (i < 0 || i >= s.users.size())
            return error;
        const SimUserProfile& u = s.users[i];
        return QStringLiteral("USER %1\r\nname: %2\r\naccess: %3\r\n").arg(i).arg(u.name, u.access).toLatin1() + ok;
    }
    if (const auto m = set.match(line); m.hasMatch()) {
        const int i = m.captured(1).toInt();
        if (i < 0 || i >= s.users.size())
            return error;
        SimUserProfile& u = s.users[i];
        const QString what = m.captured(2).toLower();
        const QString value = unquote(m.captured(3));
        if (what == u"name")
            u.name = value;
        else if (what == u"password")
            u.password = value;
        else
            u.access = value;
        return ok;
    }
    return error;
}

QByteArray UnitCommandLanguage::run(const QString& serial, SimUnitState& s, const QString& line)
{
    static const QRegularExpression eth = rx(R"(^eth ([01]) (ipaddr|mask|dhcpcli) (.+)$)");
    static const QRegularExpression modem = rx(R"(^modemcc 0 (apn|pin) (.+)$)");
    static const QRegularExpression pppValue = rx(R"(^ppp (\d) (phonenum|username|password|ipaddr) (.+)$)");
    static const QRegularExpression aodion = rx(R"(^ppp (\d) aodion (on|off)$)");
    static const QRegularExpression deact = rx(R"(^ppp (\d) deact_rq$)");
    static const QRegularExpression status = rx(R"(^ppp (\d) status$)");
    static const QRegularExpression dhcpValue = rx(R"(^dhcp 0 (ipmin|iprange|mask|gateway|dns|lease) (.+)$)");
    static const QRegularExpression discover = rx(R"(^dhcpcli discover eth ([01])$)");
    static const QRegularExpression copy = rx(R"(^copy (\S+) (\S+)$)");
    static const QRegularExpression route = rx(R"(^def_route 0 ll_ent (\S+)$)");

    if (const std::optional<QByteArray> modem = m_modem.answer(serial, s, line))
        return *modem;
    const qint64 now = m_clock.monotonicMs();
    if (line.compare(u"AT", Qt::CaseInsensitive) == 0)
        return ok;
    if (line.compare(u"reboot", Qt::CaseInsensitive) == 0) {
        // The answer leaves before the restart; everything after it meets silence.
        s.downUntilMs = now + m_config.rebootDownMs;
        return ok;
    }
    if (const auto m = eth.match(line); m.hasMatch()) {
        const QString key = QStringLiteral("eth ") + m.captured(1) + u' ' + m.captured(2).toLower();
        if (key.endsWith(QLatin1String("dhcpcli")) && !m_config.dhcpClient)
            return error;
        if (m.captured(3) == u"?")
            return shown(key, s.value(key));
        s.running[key] = SimEthernet::storedValue(unquote(m.captured(3)));
        return ok;
    }
    if (const auto m = modem.match(line); m.hasMatch()) {
        if (!m_config.gprs)
            return error;
        const QString key = QStringLiteral("modemcc 0 ") + m.captured(1).toLower();
        if (m.captured(2) == u"?")
            return shown(key, s.value(key));
        s.running[key] = unquote(m.captured(2));
        return ok;
    }
    if (const auto m = pppValue.match(line); m.hasMatch()) {
        if (!m_config.gprs)
            return error;
        const QString key = QStringLiteral("ppp ") + m.captured(1) + u' ' + m.captured(2).toLower();
        if (m.captured(3) == u"?")
            return shown(key, s.value(key));
        s.running[key] = unquote(m.captured(3));
        return ok;
    }
    if (const auto m = aodion.match(line); m.hasMatch()) {
        if (!m_config.gprs)
            return error;
        const bool on = m.captured(2).compare(u"on", Qt::CaseInsensitive) == 0;
        s.running[QStringLiteral("ppp ") + m.captured(1) + QStringLiteral(" aodion")]
            = on ? QStringLiteral("on") : QStringLiteral("off");
        if (on && s.linkStartMs < 0)
            s.linkStartMs = now;
        if (!on)
            s.linkStartMs = -1;
        return ok;
    }
    if (const auto m = deact.match(line); m.hasMatch()) {
        if (!m_config.gprs)
            return error;
        s.linkStartMs = -1;
        return ok;
    }
    if (const auto m = status.match(line); m.hasMatch())
        return m_config.gprs ? pppStatus(s, m.captured(1)) : error;
    if (line.compare(u"dhcp 0 ?", Qt::CaseInsensitive) == 0) {
        if (!m_config.dhcpServer)
            return error;
        QByteArray out;
        for (const char* k : { "ipmin", "iprange", "mask", "gateway", "dns", "lease" }) {
            const QString key = QStringLiteral("dhcp 0 ") + QLatin1String(k);
            out += (key + QStringLiteral(": ") + s.value(key) + QStringLiteral("\r\n")).toLatin1();
        }
        return out + ok;
    }
    if (const auto m = dhcpValue.match(line); m.hasMatch()) {
        if (!m_config.dhcpServer)
            return error;
        s.running[QStringLiteral("dhcp 0 ") + m.captured(1).toLower()] = unquote(m.captured(2));
        return ok;
    }
    if (const auto m = discover.match(line); m.hasMatch()) {
        if (!m_config.dhcpClient)
            return error;
        return SimEthernet::discover(s, QStringLiteral("eth ") + m.captured(1), m_config.lanDhcpServer);
    }
    if (line.compare(u"config 0 save", Qt::CaseInsensitive) == 0) {
        s.files[QStringLiteral("config.da0")] = s.running;
        return QByteArrayLiteral("Power Up Profile: config.da0\r\n") + ok;
    }
    if (const auto m = copy.match(line); m.hasMatch()) {
        const QString from = m.captured(1).toLower();
        if (!s.files.contains(from))
            return error;
        s.files[m.captured(2).toLower()] = s.files.value(from);
        return ok;
    }
    if (line.compare(u"muxoff", Qt::CaseInsensitive) == 0 || line.compare(u"muxon", Qt::CaseInsensitive) == 0) {
        s.muxOn = line.compare(u"muxon", Qt::CaseInsensitive) == 0;
        return ok;
    }
    if (const auto m = route.match(line); m.hasMatch()) {
        s.running[QStringLiteral("def_route 0 ll_ent")] = m.captured(1);
        return ok;
    }
    if (startsWith(line, QStringLiteral("user ")))
        return userCommand(s, line);
    if (const auto answer = maintenance(s, line))
        return *answer;
    return error;
}
