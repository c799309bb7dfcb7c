// The temporary user profile and the two checks that log into a unit's
// terminal with it: the serial-number check and the cellular ping test.
#include "net/NumberText.h"
#include "net/Deadline.h"
#include "unit/CQarUnitInfo.h"
#include "unit/PingReplyWatch.h"
#include "unit/clsUnitQuerier.h"

namespace {
constexpr qint32 replySeconds = 5;
constexpr qint32 pingWatchSeconds = 15;
const QLatin1String rangeMarker("USER <0...");
const QLatin1String nameLabel("name: ");

QString userCommand(qint32 profile, const QString& rest)
{
    return QStringLiteral("user ") + QString::number(profile) + QLatin1Char(' ') + rest;
}
} // namespace

void clsUnitQuerier::onTerminalData(const QString& text)
{
    sTrmData += text;
    // Only the latest text can still matter; a unit that prints without end
    // must not fill the memory.
    if (sTrmData.size() > TerminalDataLimit)
        sTrmData.remove(0, sTrmData.size() - TerminalDataLimit);
    if (m_pingWatch)
        m_pingWatch->feed(text);
}

qint32 clsUnitQuerier::takeProfile(const QString& serial, clsVerevo& v, qint32 highest, bool reuse)
{
    const CallLifetime::Call call(m_life);
    const QString password = QString::fromLatin1(TempUserPassword);
    for (qint32 i = 0; i <= highest; ++i) {
        const QString reply = GetRuraResp(v, serial, userCommand(i, QStringLiteral("?")), replySeconds, QString());
        const qsizetype at = reply.indexOf(nameLabel, 0, Qt::CaseInsensitive);
        const QString name = at < 0 ? QString() : reply.mid(at + nameLabel.size());
        const bool taken = at >= 0
            && (reuse ? name.left(8).compare(QLatin1String(TempUserName), Qt::CaseInsensitive) == 0
                      : name.startsWith(QLatin1String("\r\n")));
        if (!taken) {
            if (stopped())
                return -2;
            continue;
        }
        // A reused profile keeps its name; a free one gets it first. Each
        // step only after the one before was accepted.
        QStringList steps;
        if (!reuse)
            steps << userCommand(i, QStringLiteral("name ") + QLatin1String(TempUserName));
        steps << userCommand(i, QStringLiteral("password ") + password) << userCommand(i, QStringLiteral("access 0"));
        for (const QString& step : std::as_const(steps)) {
            if (!replyOk(GetRuraResp(v, serial, step, replySeconds, QString())))
                return -1;
        }
        return i;
    }
    return -1;
}

bool clsUnitQuerier::SetupTempUser(
    const QString& serial, clsVerevo& v, QString& profile, QString& userName, QString& password)
{
    const CallLifetime::Call call(m_life);
    log(serial, QStringLiteral("Creating temporary user profile"));
    const QString list = GetRuraResp(v, serial, QStringLiteral("user ?"), replySeconds, QString());
    const qsizetype at = list.indexOf(rangeMarker, 0, Qt::CaseInsensitive);
    const qsizetype close = at < 0 ? -1 : list.indexOf(QLatin1Char('>'), at + rangeMarker.size());
    qint32 taken = -1;
    if (replyOk(list) && close >= 0) {
        qint32 highest = NumberText::read(
            list.mid(at + rangeMarker.size(), close - at - rangeMarker.size()), NumberText::wholeNumber)
                             .saturated();
        // A unit holds a handful of profiles; a listing beyond what any
        // unit holds would make the walk ask for hours, one profile at a time.
        if (highest > HighestUserProfile) {
            log(serial,
                QStringLiteral("Unit lists user profiles up to %1; profiles above %2 not searched")
                    .arg(highest)
                    .arg(HighestUserProfile));
            highest = HighestUserProfile;
        }
        for (const bool reuse : { true, false }) {
            taken = takeProfile(serial, v, highest, reuse);
            if (taken == -2)
                return false;
            if (taken >= 0)
                break;
        }
    }
    if (taken < 0) {
        log(serial, QStringLiteral("failed to set up temporary user"));
        return false;
    }
    profile = QString::number(taken);
    userName = QString::fromLatin1(TempUserName);
    password = QString::fromLatin1(TempUserPassword);
    log(serial, QStringLiteral("Set up temporary user in profile ") + profile);
    return true;
}

bool clsUnitQuerier::ClearUser(const QString& serial, clsVerevo& v, const QString& profile)
{
    const CallLifetime::Call call(m_life);
    log(serial, QStringLiteral("Clearing user profile ") + profile);
    const QString prefix = QStringLiteral("user ") + profile;
    const bool ok
        = replyOk(GetRuraResp(v, serial, prefix + QStringLiteral(" name ") + quoted(QString()), replySeconds, {}))
        && replyOk(GetRuraResp(v, serial, prefix + QStringLiteral(" password ") + quoted(QString()), replySeconds, {}));
    log(serial, QStringLiteral("User profile ") + (ok ? QStringLiteral("cleared") : QStringLiteral("failed to clear")));
    return ok;
}

qint32 clsUnitQuerier::ConnectTrm(
    qint32 method, const QString& userName, const QString& password, const QString& host, const QString& expectedSerial)
{
    const CallLifetime::Call call(m_life);
    if (ended())
        return -1;
    if (!cTrm) {
        if (m_checks.prompts)
            m_checks.prompts->message(QStringLiteral("Terminal has no interface"), UserPrompts::Icon::Exclamation);
        return -1;
    }
    if (method != 0)
        return -1;
    // A check that ended earlier closed the session; it is set up afresh,
    // as the original's session window was loaded again on its next use.
    if (!cTrm->isSetUp())
        cTrm->Setup();
    const qint32 result = cTrm->ConnectNowTelnet(userName, password, host, expectedSerial);
    if (result == 0)
        bTrmOpen = true;
    return result;
}

qint32 clsUnitQuerier::checkSerial(const QString& serial, const QString& address, clsVerevo& v)
{
    const CallLifetime::Call call(m_life);
    log(serial, QStringLiteral("Checking serial number and IP address match"));
    QString profile;
    QString userName;
    QString password;
    qint32 code = 1;
    if (SetupTempUser(serial, v, profile, userName, password)) {
        code = 2;
        if (ConnectTrm(0, userName, password, address, QString()) == 0)
            code = cTrm->readSerialNumber().compare(serial, Qt::CaseInsensitive) == 0 ? 4 : 3;
        if (cTrm)
            cTrm->CloseComm();
        bTrmOpen = false;
        ClearUser(serial, v, profile);
    }
    log(serial,
        QStringLiteral("Serial number is ") + (code == 4 ? QString() : QStringLiteral("not ")) + QStringLiteral("OK"));
    return code;
}

void clsUnitQuerier::pingOnce(const QString& serial, const QString& host, bool& answered, bool& success)
{
    const CallLifetime::Call call(m_life);
    sTrmData.clear();
    log(serial, QStringLiteral("Sending ping to ") + host);
    PingReplyWatch watch;
    m_pingWatch = &watch;
    cTrm->Send(QStringLiteral("ping ") + host + QStringLiteral(" ppp ") + m_prefixes.GPRSPPP() + u'\r');
    Deadline::roundedSeconds(m_clock, pingWatchSeconds).wait([this, &watch] { return watch.finished() || ended(); });
    m_pingWatch = nullptr;
    if (watch.unresolved()) {
        log(serial, QStringLiteral("Unable to resolve hostname"));
        answered = true;
        return;
    }
    if (watch.statistics())
        answered = true;
    success = watch.received();
}

bool clsUnitQuerier::TestGPRS(CQarUnitInfo& unit, const QString& serial, clsVerevo& v)
{
    const CallLifetime::Call call(m_life);
    const PPPStatus link = GetPPPStatus(serial, v);
    bool repeat = false;
    bool profileMade = false;
    bool answered = false;
    bool success = false;
    QString profile;
    QString userName;
    QString password;
    QString fallbackHost;
    QString& host = m_checks.TestHost ? *m_checks.TestHost : fallbackHost;
    for (;;) {
        if (repeat
            && !(m_checks.hostPrompt
                && m_checks.hostPrompt->GetRemote(
                    QStringLiteral("Serial number: ") + unit.Serial() + QLatin1Char(' '), host)))
            break;
        if (link.Idle() || addressValue(link.ip()) == 0) {
            log(serial, QStringLiteral("Can't perform test as PPP link is not established"));
            break;
        }
        log(serial, QStringLiteral("Preparing to connect with unit"));
        if (!repeat) {
            if (!SetupTempUser(serial, v, profile, userName, password))
                break;
            profileMade = true;
            log(serial, QStringLiteral("Opening Telnet connection"));
            if (ConnectTrm(0, userName, password, unit.ip(), QString()) != 0) {
                log(serial, QStringLiteral("Failed to connect to unit"));
                break;
            }
        }
        pingOnce(serial, host, answered, success);
        if (success)
            break;
        if (!answered) {
            log(serial, QStringLiteral("No response from unit"));
            break;
        }
        log(serial, QStringLiteral("No response to ping"));
        // Once the person has cancelled the run, a retry would be refused
        // whatever the answer, so the question is not asked.
        if (stopped() || !m_checks.prompts
            || !m_checks.prompts->askYesNo(QStringLiteral("There was no response to the ping sent to this hostname")
                    + u'\r' + host + u'\r' + QStringLiteral("Do you wish to retry the test with another destination?"),
                UserPrompts::Icon::Question))
            break;
        repeat = true;
    }
    if (profileMade) {
        log(serial, QStringLiteral("Closing Telnet connection"));
        if (cTrm)
            cTrm->CloseComm();
        bTrmOpen = false;
        ClearUser(serial, v, profile);
    }
    log(serial,
        QStringLiteral("Ping test was") + (success ? QString() : QStringLiteral(" not"))
            + QStringLiteral(" successful"));
    return success;
}
