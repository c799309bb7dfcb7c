#include "unit/clsUnitQuerier.h"

#include "net/Deadline.h"

clsUnitQuerier::clsUnitQuerier(Clock& clock, const UnitInterfacePrefixes& prefixes, const qint32& rebootTime,
    const bool& cancelRequested, UnitLog log, UnitMacFn unitMac, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
    , m_prefixes(prefixes)
    , m_rebootTime(rebootTime)
    , m_cancelRequested(cancelRequested)
    , m_log(std::move(log))
    , m_unitMac(std::move(unitMac))
{ }

clsUnitQuerier::clsUnitQuerier(Clock& clock, const UnitInterfacePrefixes& prefixes, const qint32& rebootTime,
    const bool& cancelRequested, UnitLog log, UnitMacFn unitMac, std::unique_ptr<clsTrm> trm, QObject* parent)
    : clsUnitQuerier(clock, prefixes, rebootTime, cancelRequested, std::move(log), std::move(unitMac), parent)
{
    cTrm = std::move(trm);
    if (!cTrm)
        return;
    connect(cTrm.get(), &clsTrm::DataArrival, this, &clsUnitQuerier::onTerminalData);
    cTrm->Setup();
}

clsUnitQuerier::clsUnitQuerier(Clock& clock, const UnitInterfacePrefixes& prefixes, const qint32& rebootTime,
    const bool& cancelRequested, UnitLog log, UnitMacFn unitMac, std::unique_ptr<clsTrm> trm,
    TelnetCheckServices checks, QObject* parent)
    : clsUnitQuerier(
        clock, prefixes, rebootTime, cancelRequested, std::move(log), std::move(unitMac), std::move(trm), parent)
{
    m_checks = checks;
}

void clsUnitQuerier::end()
{
    m_life.end();
    if (cTrm) {
        cTrm->CloseComm();
        bTrmOpen = false;
    }
}

clsUnitQuerier::~clsUnitQuerier()
{
    if (cTrm) {
        cTrm->CloseComm();
        bTrmOpen = false;
        // The session's last status texts have no listener left.
        cTrm->disconnect(this);
        CallLifetime::release(std::move(cTrm));
    }
    // A call still open when its object goes would collect for nobody.
    if (cVerevo && m_call != 0)
        cVerevo->EndCall(m_call);
    SetVerevo(nullptr);
}

bool clsUnitQuerier::replyOk(const QString& reply)
{
    return reply.contains(QLatin1String("OK"), Qt::CaseInsensitive);
}

QString clsUnitQuerier::quoted(const QString& value)
{
    // The unit's command line has no escape for a quote: the value goes as it is.
    return QLatin1Char('"') + value + QLatin1Char('"');
}

void clsUnitQuerier::log(const QString& serial, const QString& text) const
{
    // An ended object's lines would land in the log of the scan that replaced it.
    if (m_log && !m_life.ended())
        m_log(serial, text);
}

void clsUnitQuerier::logClosing(const QString& serial, const QString& noun, bool ok, const QString& tail) const
{
    log(serial, noun + (ok ? QStringLiteral(" ") : QStringLiteral(" not ")) + tail);
}

void clsUnitQuerier::SetVerevo(clsVerevo* v)
{
    if (m_responseHook)
        QObject::disconnect(m_responseHook);
    m_responseHook = {};
    cVerevo = v;
    if (!v)
        return;
    m_responseHook = connect(v, &clsVerevo::RuraCMDResponse, this, &clsUnitQuerier::cVerevo_RuraCMDResponse);
}

void clsUnitQuerier::cVerevo_RuraCMDResponse(quint64 call, const QString&, const QString& response)
{
    // The discovery object has checked the signer and decided whose the
    // reply is; only the text of this object's own call matters here.
    if (call == m_call && m_call != 0)
        sRuraResp += response;
}

clsUnitQuerier::Hook clsUnitQuerier::beginCommand(clsVerevo& v, const QString& serial, const QString& command,
    const QString& marker, Qt::CaseSensitivity caseSensitivity, bool anyReply)
{
    const QPointer<clsVerevo> alive(&v);
    Hook before { cVerevo, m_call, bBusy };
    bBusy = true;
    SetVerevo(&v);
    m_call = 0;
    sRuraResp.clear();
    // Replies count only when signed with the MAC of the unit spoken to,
    // which need not be the wizard's current unit (the pipeline walks many).
    const QByteArray mac = unitMac();
    // An answer still owed to an earlier command could pass for this one's:
    // it is sent once nothing more can come (see ReplyLedger).
    while (!anyReply && alive && !ended() && v.Owes(mac))
        Deadline::monotonicAt(m_clock, v.OwedUntilMs(mac)).wait([&] { return !alive || ended() || !v.Owes(mac); });
    if (!alive || ended())
        return before;
    m_call = v.OpenCall(mac, marker, caseSensitivity, anyReply);
    if (!alive)
        return before;
    // A send the socket refused goes unanswered: the wait below runs out
    // as it would for a unit that keeps silent.
    v.SendRuraCmds(m_call, serial, QStringList { command });
    return before;
}

void clsUnitQuerier::endCommand(const QPointer<clsVerevo>& v, const Hook& before)
{
    if (v) {
        v->EndCall(m_call);
        SetVerevo(before.verevo);
    }
    m_call = before.call;
    bBusy = before.busy;
}

QString clsUnitQuerier::GetRuraResp(
    clsVerevo& v, const QString& serial, const QString& command, qint32 timeoutSeconds, const QString& marker)
{
    return awaitReply(v, serial, command, timeoutSeconds, marker, false);
}

QString clsUnitQuerier::probeReply(clsVerevo& v, const QString& serial, const QString& command, qint32 timeoutSeconds)
{
    return awaitReply(v, serial, command, timeoutSeconds, QString(), true);
}

QString clsUnitQuerier::awaitReply(clsVerevo& v, const QString& serial, const QString& command, qint32 timeoutSeconds,
    const QString& marker, bool anyReply)
{
    QString reply;
    runCommand(v, serial, command, marker, Qt::CaseInsensitive, anyReply, timeoutSeconds, reply);
    return reply;
}

bool clsUnitQuerier::SendRuraAndWait(clsVerevo& v, const QString& serial, QString& reply, const QString& command,
    const QString& marker, qint32 timeoutSeconds)
{
    return runCommand(v, serial, command, marker, Qt::CaseSensitive, false, timeoutSeconds, reply);
}

bool clsUnitQuerier::runCommand(clsVerevo& v, const QString& serial, const QString& command, const QString& marker,
    Qt::CaseSensitivity caseSensitivity, bool anyReply, qint32 timeoutSeconds, QString& reply)
{
    const CallLifetime::Call call(m_life);
    if (ended()) {
        reply.clear();
        return false;
    }
    const QPointer<clsVerevo> alive(&v);
    const Hook before = beginCommand(v, serial, command, marker, caseSensitivity, anyReply);
    const auto complete = [this, &marker, caseSensitivity] {
        return marker.isEmpty() ? !sRuraResp.isEmpty() : sRuraResp.contains(marker, caseSensitivity);
    };
    const bool found = Deadline::roundedSeconds(m_clock, timeoutSeconds).wait([&] {
        return !alive || ended() || complete();
    }) && alive && complete();
    reply = sRuraResp;
    endCommand(alive, before);
    return found;
}
