// The Configure Units run: options, progress window, the stages of every
// unit, and the results windows at the end.
#include "app/ModQarConfigureUnits.h"

#include "app/ModQarFindFreeAddress.h"
#include "app/ModQarShowUnitSummary.h"
#include "app/frmCfgOptions.h"
#include "app/frmProgress.h"
#include "net/IPHlpAPI.h"
#include "unit/CQarUnitInfo.h"
#include "unit/clsUnitQuerier.h"

#include <QPointer>

namespace ModQar {

ConfigureUnitsPipeline::ConfigureUnitsPipeline(ConfigureUnitsServices services)
    : m_services(std::move(services))
{
    if (!m_services.pingHost)
        m_services.pingHost = [](const QString& host, const QString& payload, qint32 timeoutMs) {
            return IPHlpAPI::PingHost(host, payload, timeoutMs);
        };
    if (!m_services.findFreeAddress)
        m_services.findFreeAddress = [this](const QString& address, const QString& mask, qint32 lastRejected) {
            return FindFreeAddress(
                address, mask, lastRejected, m_services.settings.PingTimeout, m_services.CancelRequested);
        };
    if (!m_services.getCfgOptions)
        m_services.getCfgOptions = [this](const QString& serial, clsCfgOptions& options) {
            frmCfgOptions dialog(m_services.owner ? m_services.owner() : nullptr);
            return dialog.GetCfgOptions(serial, options);
        };
    if (!m_services.showUnitSummary)
        m_services.showUnitSummary = [this](const std::shared_ptr<CQarUnitInfo>& unit) {
            ShowUnitSummary(unit, frmSummary::Services { m_services.store, nullptr },
                m_services.owner ? m_services.owner() : nullptr);
        };
}

ConfigureUnitsPipeline::~ConfigureUnitsPipeline() = default;

void ConfigureUnitsPipeline::log(const QString& serial, const QString& text) const
{
    if (m_services.log)
        m_services.log(serial, text);
}

void ConfigureUnitsPipeline::ConfigureUnits(
    const QString& serial, const std::shared_ptr<CQarUnitInfos>& units, clsVerevo* v)
{
    // The progress window is modeless and the run's waits keep every window
    // responsive: a second run started meanwhile would take this run's
    // progress window and discovery object away from under it.
    if (m_running)
        return;
    m_running = true;
    const auto done = qScopeGuard([this] {
        if (m_services.setStopEnabled)
            m_services.setStopEnabled(false);
        m_running = false;
    });

    // The window the person started the run from; the options dialog may
    // leave no window active behind it.
    const QPointer<QWidget> over = m_services.owner ? m_services.owner() : nullptr;
    if (!m_services.getCfgOptions(serial, m_services.CfgOptions))
        return;

    showProgressWindow(over);
    m_services.CancelRequested = false;
    if (v)
        RunConfigureSteps(serial, units, *v);
    m_ProgressForm.reset();

    if (m_services.CfgOptions.DisplaySummary() && !m_services.CancelRequested && units) {
        for (const CQarUnitInfos::Record& unit : units->NewEnum()) {
            if (!unit->discarded())
                m_services.showUnitSummary(unit);
        }
    }
}

void ConfigureUnitsPipeline::showProgressWindow(QWidget* over)
{
    m_ProgressForm.reset();
    // Without an owner: the window the run started from may go while the
    // run is under way, and must not take the progress window with it.
    m_ProgressForm = std::make_unique<frmProgress>(m_services.CancelRequested);
    m_ProgressForm->SetOperation(QStringLiteral("Configure Units"));
    qint32 start = 0;
    m_ProgressForm->SetProgress(start);
    m_ProgressForm->adjustSize();
    if (over && over->isVisible())
        m_ProgressForm->move(over->frameGeometry().center() - m_ProgressForm->rect().center());
    m_ProgressForm->show();
    // The stop button stands for the same cancel as the progress window's.
    if (m_services.setStopEnabled)
        m_services.setStopEnabled(true);
}

bool ConfigureUnitsPipeline::stopped(const CQarUnitInfo& unit) const
{
    return m_services.CancelRequested || unit.discarded();
}

void ConfigureUnitsPipeline::stage(
    const CQarUnitInfo& unit, const QString& label, qint32 percent, const std::function<void()>& step)
{
    if (m_ProgressForm) {
        m_ProgressForm->SetOperation(label);
        m_ProgressForm->SetProgress(percent);
    }
    if (!stopped(unit) && step)
        step();
}

void ConfigureUnitsPipeline::RunConfigureSteps(
    const QString& serial, const std::shared_ptr<CQarUnitInfos>& units, clsVerevo& v)
{
    Q_UNUSED(serial);
    if (!units || units->Count() == 0)
        return;
    for (const CQarUnitInfos::Record& record : units->NewEnum()) {
        CQarUnitInfo& unit = *record;
        stage(unit, QStringLiteral("IP Assignment"), 10, [&] { AssignUnitAddress(unit, v); });
        stage(unit, QStringLiteral("GPRS Configuration"), 20, [&] { probeCellularSupport(unit, v); });
        stage(unit, QStringLiteral("Save config"), 30, [&] { SaveUnitConfig(unit, v); });
        stage(unit, QStringLiteral("Reboot unit"), 50, [&] { RebootUnit(unit, v); });
        stage(unit, QStringLiteral("Wait for internet connection"), 70, [&] { WaitForUnitPPP(unit, v); });
        stage(unit, QStringLiteral("GPRS Test"), 80, [&] { TestUnitGPRS(unit, v); });
        stage(unit, QStringLiteral("Set PC Gateway"), 90, [&] { SetPCGateway(unit); });
        stage(unit, QStringLiteral("PC Connectivity Test"), 95, [&] { RunPCConnectivityTest(unit); });
        stage(unit, QStringLiteral("Complete"), 100, {});
        // A discarded record's lines would land in the new scan's log.
        if (!unit.discarded())
            log(unit.Serial(), QStringLiteral("Completed configuring unit"));
    }
    if (m_services.CancelRequested)
        log(QString(), QStringLiteral("Scan operation cancelled by user"));
}

void ConfigureUnitsPipeline::probeCellularSupport(CQarUnitInfo& unit, clsVerevo& v)
{
    // The PPP wait and the cellular test act only on a unit with cellular
    // support; the unit is asked only when one of them is to run.
    const clsCfgOptions& options = m_services.CfgOptions;
    if (!options.WaitForPPP() && !options.TestPPP())
        return;
    if (clsUnitQuerier* q = unit.cuq())
        unit.setGPRS(q->HasGPRS(unit.Serial(), v));
}

} // namespace ModQar
