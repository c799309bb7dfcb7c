// Restart of a unit and control of its cellular PPP link.
#include "net/Deadline.h"
#include "unit/clsUnitQuerier.h"

#include <arpa/inet.h>

namespace {
constexpr qint32 replySeconds = 5;
constexpr qint32 probeSeconds = 2;
constexpr qint32 pollSeconds = 2;
const QLatin1String crlf("\r\n");
const QLatin1String addressLabel("IP Address: ");
} // namespace

bool clsUnitQuerier::Reboot(const QString& serial, clsVerevo& v)
{
    const CallLifetime::Call call(m_life);
    log(serial, QStringLiteral("Rebooting"));
    // The unit may go down before its answer leaves; nothing is read from it.
    GetRuraResp(v, serial, QStringLiteral("reboot"), 0, QString());
    const Deadline deadline = Deadline::roundedSeconds(m_clock, m_rebootTime);
    bool wentDown = false;
    bool success = false;
    while (!deadline.passed() && !stopped()) {
        // Any answer proves the unit is up, whichever command it belonged to.
        const QString reply = probeReply(v, serial, QStringLiteral("AT"), probeSeconds);
        if (!reply.contains(crlf)) {
            wentDown = true;
            continue;
        }
        if (wentDown) {
            success = true;
            break;
        }
        // Still the unit as it was before the restart: look again shortly.
        Deadline::roundedSeconds(m_clock, pollSeconds).wait([this] { return stopped(); });
    }
    // A unit that went down and came back has forgotten every command it
    // had not answered yet.
    if (success)
        v.ForgetOwed(unitMac());
    log(serial, QStringLiteral("Reboot ") + (success ? QStringLiteral("succeeded") : QStringLiteral("failed")));
    return success;
}

bool clsUnitQuerier::activateGPRS(const QString& serial, clsVerevo& v)
{
    const CallLifetime::Call call(m_life);
    const QString aodion = m_prefixes.PPPIf + QStringLiteral(" aodion on");
    if (!singleStep(serial, v, QStringLiteral("activating GPRS"), aodion, aodion, QStringLiteral(" sent OK")))
        return false;
    const QString route = QStringLiteral("def_route 0 ll_ent ppp");
    return singleStep(
        serial, v, QStringLiteral("Re-instating default route"), route, route, QStringLiteral(" sent OK"));
}

bool clsUnitQuerier::deactivateGPRS(const QString& serial, clsVerevo& v)
{
    const CallLifetime::Call call(m_life);
    const QString& ppp = m_prefixes.PPPIf;
    const QString route = QStringLiteral("def_route 0 ll_ent !");
    const QString deact = ppp + QStringLiteral(" deact_rq");
    return singleStep(serial, v, QStringLiteral("Settig ") + ppp + QStringLiteral(" aodion off"),
               ppp + QStringLiteral(" aodion off"), ppp + QStringLiteral(" aodi "), QStringLiteral(" set to off"))
        && singleStep(serial, v, QStringLiteral("Removing default route"), route, route, QStringLiteral(" sent OK"))
        && singleStep(serial, v, QStringLiteral("Deactivating ") + ppp, deact, deact, QStringLiteral(" sent OK"))
        && singleStep(serial, v, QStringLiteral("Setting ") + ppp + QStringLiteral(" IP Address to 0.0.0.0"),
            ppp + QStringLiteral(" ipaddr 0.0.0.0"), ppp + QStringLiteral(" ipaddr "),
            QStringLiteral(" set to 0.0.0.0"));
}

quint32 clsUnitQuerier::addressValue(const QString& address)
{
    // A text that is no address is no link either (inet_addr would have made
    // it 255.255.255.255 and so "connected").
    in_addr a {};
    return address.isEmpty() || inet_aton(address.toLatin1().constData(), &a) == 0 ? 0 : ntohl(a.s_addr);
}

QString clsUnitQuerier::GetLine(const QString& text)
{
    const qsizetype cr = text.indexOf(QLatin1Char('\r'));
    return cr < 0 ? QString() : text.left(cr);
}

PPPStatus clsUnitQuerier::GetPPPStatus(const QString& serial, clsVerevo& v)
{
    const CallLifetime::Call call(m_life);
    log(serial, QStringLiteral("Retrieving PPP ") + m_prefixes.GPRSPPP() + QStringLiteral(" status"));
    const QString reply = GetRuraResp(
        v, serial, QStringLiteral("ppp ") + m_prefixes.GPRSPPP() + QStringLiteral(" status"), replySeconds, QString());
    PPPStatus status;
    if (replyOk(reply)) {
        status.setIdle(reply.contains(QLatin1String("Idle"), Qt::CaseInsensitive));
        const qsizetype at = reply.indexOf(addressLabel, 0, Qt::CaseInsensitive);
        if (at >= 0)
            status.setIp(GetLine(reply.mid(at + addressLabel.size())));
    }
    return status;
}

bool clsUnitQuerier::WaitForPPPConnect(const QString& serial, clsVerevo& v, qint32 timeoutSeconds)
{
    const CallLifetime::Call call(m_life);
    Deadline nextPoll = Deadline::roundedSeconds(m_clock, 0);
    // The time-out counts from the first poll's rounded second.
    const Deadline deadline = nextPoll.plusSeconds(timeoutSeconds);
    for (;;) {
        if (deadline.passed() || stopped())
            return false;
        if (nextPoll.passed()) {
            nextPoll = Deadline::roundedSeconds(m_clock, pollSeconds);
            const PPPStatus status = GetPPPStatus(serial, v);
            const quint32 value = addressValue(status.ip());
            if (status.Idle()) {
                log(serial, QStringLiteral("PPP is Idle"));
            } else if (value != 0) {
                log(serial, QStringLiteral("PPP is connected"));
                return true;
            } else if (status.ip().isEmpty()) {
                log(serial, QStringLiteral("No response to query"));
            } else {
                log(serial, QStringLiteral("PPP is Activating"));
            }
        }
        Deadline::sooner(nextPoll, deadline).wait([this] { return stopped(); });
    }
}
