// The pipeline's steps after the address: save, reboot, the cellular link and
// its test, the PC's gateway and DNS server, and the PC's own connectivity.
#include "app/ModQarConfigureUnits.h"
#include "net/ModQarWmi.h"
#include "unit/CQarUnitInfo.h"
#include "unit/clsUnitQuerier.h"

namespace ModQar {

namespace {
const QChar CR(u'\r');

// What the summary records of a change of the PC's adapter.
qint32 adapterCode(qint32 result)
{
    switch (result) {
    case 0:
        return 5;
    case 1:
        return 4;
    case 64:
        return 3;
    default:
        return 2;
    }
}
} // namespace

QString ConfigureUnitsPipeline::pcHostPrompt()
{
    // The test only pings, so the prompt promises nothing more.
    return QStringLiteral("Enter the name of the remote unit that the PC should attempt to communicate with through "
                          "the Calvantor Unit.");
}

void ConfigureUnitsPipeline::stepFailed(const CQarUnitInfo& unit, const QString& text)
{
    if (!stopped(unit))
        m_services.prompts.message(text, UserPrompts::Icon::Exclamation, QStringLiteral("Serial: ") + unit.Serial());
}

bool ConfigureUnitsPipeline::askTestHost(const QString& serial, const QString& promptText)
{
    if (!m_services.hostPrompt)
        return false;
    const QString caption = QStringLiteral("Serial number: ") + serial + QLatin1Char(' ');
    QString& host = m_services.settings.TestHost;
    return promptText.isEmpty() ? m_services.hostPrompt->GetRemote(caption, host)
                                : m_services.hostPrompt->GetRemoteWithPrompt(caption, promptText, host);
}

void ConfigureUnitsPipeline::runStep(CQarUnitInfo& unit, void (clsSummary::*setCode)(qint32), qint32 success,
    qint32 failure, const QString& logLine, const QString& failureText, const std::function<bool()>& call)
{
    const QString serial = unit.Serial();
    log(serial, logLine);
    const bool ok = call();
    (unit.Summary().*setCode)(ok ? success : failure);
    if (!ok)
        stepFailed(unit, failureText);
}

void ConfigureUnitsPipeline::SaveUnitConfig(CQarUnitInfo& unit, clsVerevo& v)
{
    unit.Summary().setSaveCfg(0);
    if (!m_services.CfgOptions.SaveConfig())
        return;
    const QString serial = unit.Serial();
    runStep(unit, &clsSummary::setSaveCfg, 2, 1, QStringLiteral("Saving Settings in unit: ") + serial,
        QStringLiteral("Error saving config"), [&] { return unit.cuq() && unit.cuq()->SaveCfg(serial, v); });
}

void ConfigureUnitsPipeline::RebootUnit(CQarUnitInfo& unit, clsVerevo& v)
{
    unit.Summary().setReboot(0);
    if (!m_services.CfgOptions.Reboot())
        return;
    const QString serial = unit.Serial();
    runStep(unit, &clsSummary::setReboot, 2, 1, QStringLiteral("Rebooting unit: ") + serial,
        QStringLiteral("Error rebooting unit"), [&] { return unit.cuq() && unit.cuq()->Reboot(serial, v); });
}

void ConfigureUnitsPipeline::WaitForUnitPPP(CQarUnitInfo& unit, clsVerevo& v)
{
    unit.Summary().setWaitForPPP(0);
    if (!m_services.CfgOptions.WaitForPPP() || !unit.GPRS())
        return;
    const QString serial = unit.Serial();
    runStep(unit, &clsSummary::setWaitForPPP, 2, 1, QStringLiteral("Waiting For PPP connection on unit"),
        QStringLiteral("Wireless connection failed"),
        [&] { return unit.cuq() && unit.cuq()->WaitForPPPConnect(serial, v, m_services.settings.PPPWaitTime); });
}

void ConfigureUnitsPipeline::TestUnitGPRS(CQarUnitInfo& unit, clsVerevo& v)
{
    unit.Summary().setConnectivityTest(0);
    if (!m_services.CfgOptions.TestPPP() || !unit.GPRS())
        return;
    const QString serial = unit.Serial();
    if (!askTestHost(serial, QString())) {
        unit.Summary().setConnectivityTest(1);
        return;
    }
    runStep(unit, &clsSummary::setConnectivityTest, 3, 2, QStringLiteral("Testing GPRS Connection"),
        QStringLiteral("Connectivity test failed"),
        [&] { return unit.cuq() && unit.cuq()->TestGPRS(unit, serial, v); });
}

void ConfigureUnitsPipeline::SetPCGateway(CQarUnitInfo& unit)
{
    clsSummary& summary = unit.Summary();
    summary.setSetGateway(0);
    summary.setSetNameServer(0);
    if (!m_services.CfgOptions.SetGateway())
        return;
    const QString ip = unit.ip();
    if (!m_services.prompts.askYesNo(QStringLiteral("The Wizard is about to assign the IP address of the Calvantor")
                + CR + QStringLiteral("unit (") + ip + QStringLiteral(") to this PC so that the unit will become") + CR
                + QStringLiteral("this PC's Gateway.") + CR + QStringLiteral("Do you want to perform this operation?"),
            UserPrompts::Icon::Question)) {
        summary.setSetGateway(1);
        summary.setSetNameServer(1);
        return;
    }
    const InterfaceEntry* entry = m_services.interfaces.selected();
    AdapterConfigBackend* adapters = m_services.adapters;
    summary.setSetGateway(adapterCode(entry && adapters ? WmiSetGateways(*adapters, *entry, ip) : -1));
    summary.setSetNameServer(adapterCode(entry && adapters ? WmiSetDnsServer(*adapters, *entry, ip) : -1));
    if (summary.SetGateway() == 3 || summary.SetNameServer() == 3)
        m_services.prompts.message(QStringLiteral("The wizard was not able to assign the Calvantor unit address") + CR
                + QStringLiteral("to this PC. Go to Control Panel->Network and") + CR
                + QStringLiteral("set the address '") + ip + QStringLiteral("' into the Gateway and") + CR
                + QStringLiteral("DNS server fields of the TCP/IP configuration."),
            UserPrompts::Icon::None);
}

void ConfigureUnitsPipeline::RunPCConnectivityTest(CQarUnitInfo& unit)
{
    unit.Summary().setPCConnectivityTest(0);
    if (!m_services.CfgOptions.TestPCConnectivity())
        return;
    if (!askTestHost(unit.Serial(), pcHostPrompt())) {
        unit.Summary().setPCConnectivityTest(1);
        return;
    }
    const AppSettings& settings = m_services.settings;
    runStep(unit, &clsSummary::setPCConnectivityTest, 3, 2, QStringLiteral("Testing PC Connectivity"),
        QStringLiteral("PC Connectivity test failed"), [&] {
            return m_services.pingHost(settings.TestHost, QStringLiteral("LIVELINESS CHECK"), settings.PingTimeout);
        });
}

} // namespace ModQar
