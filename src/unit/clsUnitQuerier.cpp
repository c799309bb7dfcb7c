#include "unit/clsUnitQuerier.h"

#include "session/modTrmTypes.h"

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
    // The authenticator has already been checked against the unit's MAC by
    // the discovery object; only the text matters here.
    m_responseHook = connect(v, &clsVerevo::RuraCMDResponse, this,
        [this](const QString&, const QString& response) { sRuraResp += response; });
}

clsUnitQuerier::Hook clsUnitQuerier::beginCommand(clsVerevo& v, const QString& serial, const QString& command)
{
    Hook before { cVerevo, v.replyMacProvider(), bBusy };
    bBusy = true;
    SetVerevo(&v);
    // Replies count only when signed with the MAC of the unit spoken to,
    // which need not be the wizard's current unit (the pipeline walks many).
    if (m_unitMac)
        v.setReplyKeyMac(m_unitMac());
    sRuraResp.clear();
    // A send the socket refused goes unanswered: the wait below runs out
    // as it would for a unit that keeps silent.
    v.SendRuraCmds(serial, QStringList { command });
    return before;
}

void clsUnitQuerier::endCommand(clsVerevo& v, const Hook& before)
{
    SetVerevo(before.verevo);
    v.setReplyMacProvider(before.replyMac);
    bBusy = before.busy;
}

QString clsUnitQuerier::GetRuraResp(
    clsVerevo& v, const QString& serial, const QString& command, qint32 timeoutSeconds, const QString& marker)
{
    const CallLifetime::Call call(m_life);
    if (ended())
        return {};
    const QPointer<clsVerevo> alive(&v);
    const Hook before = beginCommand(v, serial, command);
    const modTrmTypes::SecondsDeadline deadline(m_clock, timeoutSeconds);
    if (marker.isEmpty())
        modTrmTypes::WaitUntil(m_clock, deadline, [this, &alive] { return !alive || ended() || !sRuraResp.isEmpty(); });
    else
        modTrmTypes::WaitUntil(m_clock, deadline,
            [this, &alive, &marker] { return !alive || ended() || sRuraResp.contains(marker, Qt::CaseInsensitive); });
    const QString reply = sRuraResp;
    if (alive)
        endCommand(v, before);
    else
        bBusy = before.busy;
    return reply;
}

bool clsUnitQuerier::SendRuraAndWait(clsVerevo& v, const QString& serial, QString& reply, const QString& command,
    const QString& marker, qint32 timeoutSeconds)
{
    const CallLifetime::Call call(m_life);
    if (ended()) {
        reply.clear();
        return false;
    }
    const QPointer<clsVerevo> alive(&v);
    const Hook before = beginCommand(v, serial, command);
    const modTrmTypes::SecondsDeadline deadline(m_clock, timeoutSeconds);
    const bool found
        = modTrmTypes::WaitUntil(m_clock, deadline,
              [this, &alive, &marker] { return !alive || ended() || sRuraResp.contains(marker, Qt::CaseSensitive); })
        && alive && sRuraResp.contains(marker, Qt::CaseSensitive);
    reply = sRuraResp;
    if (alive)
        endCommand(v, before);
    else
        bBusy = before.busy;
    return found;
}
