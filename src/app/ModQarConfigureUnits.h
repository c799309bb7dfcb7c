#pragma once

#include "app/AppSettings.h"
#include "app/clsCfgOptions.h"
#include "net/InterfaceEntry.h"
#include "net/UserPrompts.h"
#include "unit/CQarUnitInfos.h"
#include "unit/HostPrompt.h"
#include "unit/UnitLog.h"

#include <QString>

#include <functional>
#include <memory>

class AdapterConfigBackend;
class CQarUnitInfo;
class QSettings;
class QWidget;
class clsVerevo;
class frmProgress;

namespace ModQar {

// What a Configure Units run borrows from the program. The program owns every
// object named here and keeps it alive for as long as the pipeline lives.
struct ConfigureUnitsServices {
    // PPPWaitTime, PingTimeout and TestHost (which a host prompt replaces).
    AppSettings& settings;
    // The run's nine switches, offered again to the next run.
    clsCfgOptions& CfgOptions;
    // The program-wide cancel flag: cleared as a run starts, raised by the
    // progress window and the main window's stop button.
    bool& CancelRequested;
    // The selected PC interface: its adapter's address and mask are the PC's
    // network; its entry is where the gateway and DNS server are set.
    UsableInterfaces& interfaces;
    // Where the PC's gateway and DNS server are changed; without one the
    // change fails as for a PC without that adapter.
    AdapterConfigBackend* adapters = nullptr;
    UserPrompts& prompts;
    // The host prompt of the two connectivity tests; without one every
    // prompt counts as cancelled.
    HostPrompt* hostPrompt = nullptr;
    // The program-wide log: the unit's serial number and a line.
    UnitLog log;
    // One ICMP echo to a host name or dotted address: host, payload, time-out
    // in ms; IPHlpAPI::PingHost when left empty.
    std::function<bool(const QString&, const QString&, qint32)> pingHost = {};
    // The free-address search: PC address, PC mask, last rejected candidate
    // (host order); FindFreeAddress with PingTimeout when left empty.
    std::function<qint32(const QString&, const QString&, qint32)> findFreeAddress = {};
    // The options dialog for one run: serial number and the record to edit;
    // a new frmCfgOptions when left empty.
    std::function<bool(const QString&, clsCfgOptions&)> getCfgOptions = {};
    // Shows one unit's results modally; ShowUnitSummary when left empty.
    std::function<void(const std::shared_ptr<CQarUnitInfo>&)> showUnitSummary = {};
    // The store of the results window's position (ShowUnitSummary only).
    QSettings* store = nullptr;
    // The window the person works in: the run's windows open over it.
    std::function<QWidget*()> owner = {};
    // The main window's toolbar button that raises the cancel flag.
    std::function<void(bool)> setStopEnabled = {};
};

// The Configure Units pipeline: the nine stages of a run over a collection of
// units, with its options dialog, progress window and results windows. One
// per program; it holds the progress window of the run under way.
class ConfigureUnitsPipeline {
public:
    explicit ConfigureUnitsPipeline(ConfigureUnitsServices services);
    ~ConfigureUnitsPipeline();
    ConfigureUnitsPipeline(const ConfigureUnitsPipeline&) = delete;
    ConfigureUnitsPipeline& operator=(const ConfigureUnitsPipeline&) = delete;

    // Asks for the switches, runs every unit of units through the stages
    // with the discovery object v, then shows each unit's results. A call
    // made while a run is under way (from a window the run's waits keep
    // responsive) is ignored.
    void ConfigureUnits(const QString& serial, const std::shared_ptr<CQarUnitInfos>& units, clsVerevo* v);
    void RunConfigureSteps(const QString& serial, const std::shared_ptr<CQarUnitInfos>& units, clsVerevo& v);

    void AssignUnitAddress(CQarUnitInfo& unit, clsVerevo& v);
    void CheckUnitAddress(CQarUnitInfo& unit, clsVerevo& v);
    qint32 CheckSerialAtAddress(CQarUnitInfo& unit, clsVerevo& v);
    void SaveUnitConfig(CQarUnitInfo& unit, clsVerevo& v);
    void RebootUnit(CQarUnitInfo& unit, clsVerevo& v);
    void WaitForUnitPPP(CQarUnitInfo& unit, clsVerevo& v);
    void TestUnitGPRS(CQarUnitInfo& unit, clsVerevo& v);
    void SetPCGateway(CQarUnitInfo& unit);
    void RunPCConnectivityTest(CQarUnitInfo& unit);

    // The progress window while a run is under way, else nullptr.
    frmProgress* ProgressForm() const { return m_ProgressForm.get(); }
    bool running() const { return m_running; }

    // Texts the person reads in the run's boxes and prompts.
    static QString pcHostPrompt();

private:
    // Sets the progress window to the stage, then runs step unless the
    // person has cancelled.
    void stage(const CQarUnitInfo& unit, const QString& label, qint32 percent, const std::function<void()>& step);
    // The person cancelled, or a new scan discarded the unit's record while
    // the run waited on it: the run goes on as after a cancel, for that unit.
    bool stopped(const CQarUnitInfo& unit) const;
    // Fills the unit's cellular flag when a later step needs it.
    void probeCellularSupport(CQarUnitInfo& unit, clsVerevo& v);
    // Asks for the test host; false when the person cancelled.
    bool askTestHost(const QString& serial, const QString& promptText);
    // The common shape of the save, reboot, wait and test steps once they are
    // to run: the log line, the call, its code, and the box on failure.
    void runStep(CQarUnitInfo& unit, void (clsSummary::*setCode)(qint32), qint32 success, qint32 failure,
        const QString& logLine, const QString& failureText, const std::function<bool()>& call);
    // The exclamation box of a failed step, unless the run has stopped.
    void stepFailed(const CQarUnitInfo& unit, const QString& text);
    // Searches free addresses until one is accepted; the accepted address,
    // or an empty text (NewIP tells why).
    QString searchFreeAddress(CQarUnitInfo& unit);
    // Shows a new progress window, over the window the run started from.
    void showProgressWindow(QWidget* over);
    void log(const QString& serial, const QString& text) const;

    ConfigureUnitsServices m_services;
    std::unique_ptr<frmProgress> m_ProgressForm;
    bool m_running = false;
};

} // namespace ModQar
