#pragma once

#include "app/AppSettings.h"
#include "app/PacedTreeRows.h"
#include "app/ScanResultsView.h"
#include "app/clsScanOptions.h"
#include "discovery/clsVerevo.h"
#include "net/CallLifetime.h"
#include "net/ClockTimer.h"
#include "net/InterfaceEntry.h"
#include "net/UserPrompts.h"
#include "unit/CQarUnitInfos.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QCloseEvent;
class clsUnitQuerier;
class frmTerminal2;
class QLabel;
class QPushButton;
class QSettings;
class QToolBar;
class QTreeWidget;

// The program's main window. It is loaded hidden at start and lives until the
// program ends; while hidden it carries the scan engine, the program-wide log
// and the one discovery object.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // host-order IPv4 address, payload, time-out in ms; true when the echo
    // came back with the payload.
    using PingFunction = std::function<bool(quint32, const QString&, qint32)>;

    // What the window borrows from the rest of the program.
    struct Services {
        Clock& clock;
        UsableInterfaces& interfaces;
        // Makes the discovery object as the window loads.
        std::function<std::unique_ptr<clsVerevo>()> createDiscovery;
        // The echo behind the scan's ping, which resolves a unit's address
        // text as IPHlpAPI::PingHost does; IPHlpAPI::PingAddress when left empty.
        PingFunction PingAddress;
        // Why no ping can be sent at all (IcmpEcho::unavailableReason with the
        // real echo), empty when pings work; asked before a scan's first ping.
        std::function<QString()> pingProblem = {};
        // PingTimeout and ShowStatusLog are read here.
        AppSettings& settings;
        // 0 the Ethernet-and-cellular wizard, 1 the Ethernet-only one.
        std::function<qint32()> WizardMode;
        // Module1::ShiftKeyDown when left empty.
        std::function<bool()> ShiftKeyDown = {};
        // Makes the command object of each unit record as the record is
        // made; records stay without one when left empty.
        std::function<std::unique_ptr<clsUnitQuerier>(CQarUnitInfo&)> createQuerier = {};
        // The per-user store (group "Settings") that the unload writes the
        // settings and the window position to; nothing reads the position
        // back. Nothing is written without one.
        QSettings* store = nullptr;
        // The program-wide cancel flag that the stop action raises; nothing
        // is raised without one. The stop action starts greyed out; the
        // Configure Units run makes it live while it runs.
        bool* CancelRequested = nullptr;
        // Message boxes of the unit actions; without one they stay silent.
        UserPrompts* prompts = nullptr;

        // Windows of the rest of the program. An action whose hook is left
        // empty is disabled.
        // The Configure Units run: serial number, a collection holding that
        // one unit, the discovery object lent for the run.
        std::function<void(const QString&, const std::shared_ptr<CQarUnitInfos>&, clsVerevo*)> ConfigureUnits = {};
        // Logs in to the unit with a temporary profile and opens a terminal
        // window on it; the profile is cleared again once the window has
        // connected. Returns the window, or nullptr when the login failed.
        std::function<std::unique_ptr<frmTerminal2>(CQarUnitInfo&, clsVerevo*)> openTerminal = {};
        // The modal dialogs of the Tools and Help menus, owned by this window.
        std::function<void(QWidget*)> SelectInterface = {};
        std::function<void(QWidget*)> AdvancedOptions = {};
        std::function<void(QWidget*)> About = {};
        std::function<void()> WebBrowser = {};
        // Ends the program once the window has unloaded; QCoreApplication::quit
        // when left empty.
        std::function<void()> endProgram = {};
    };

    enum { Idle = 0, Collecting = 1, Processing = 2 };

    explicit frmMain(Services services, QWidget* parent = nullptr);
    ~frmMain() override;

    void StartScan();
    void AddLogEntry(const QString& serial, const QString& text);

    void SetUnitsLabelVisible(bool visible);
    bool UnitsLabelVisible() const { return m_UnitsLabelVisible; }
    void ApplyStatusLogVisibility();
    void DisableScanControls();
    void EnableScanControls();

    // The Configure Units run on the unit chosen in the search page's list.
    void lvUnits_DblClick();
    // cancel flag := True; the scan itself does not read it.
    void StopScan();
    // The terminal opened by the Telnet item, or nullptr.
    frmTerminal2* TermForm() const { return m_TermForm.get(); }
    // True once the window has unloaded (Exit or the close box).
    bool unloaded() const { return m_unloaded; }

    // The last scan's units; empty until the first ID response of a scan.
    std::shared_ptr<CQarUnitInfos> Units() const { return m_Units; }
    qint32 ScanState() const { return m_ScanState; }
    clsScanOptions& ScanOptions() { return m_ScanOptions; }

    // The discovery object's two slots: ID responses reach the scan engine
    // only while the object is in cVerevo; between scans it rests in cz,
    // where the unit commands and the pages take it.
    clsVerevo* cVerevo() const { return m_cVerevo; }
    clsVerevo* cz() const { return m_cz; }
    // cVerevo := cz; cz := nothing (before a scan). Does nothing when the
    // object is already lent.
    void lendDiscoveryToScan();
    // cz := cVerevo; cVerevo := nothing (when the scan has been shown). Does
    // nothing when the object is already back.
    void returnDiscoveryFromScan();

    // The search page while it exists; nullptr detaches it.
    void setScanResultsView(ScanResultsView* view) { m_view = view; }
    ScanResultsView* scanResultsView() const { return m_view; }

    // The platform family the PC settings pages compare with 1, the value of
    // the Windows 95/98/Me family; this program never runs on that family.
    qint32 OSPlatform() const { return 2; }

    // The window's controls are built when it is first shown or first
    // asked for; every accessor below builds them.
    void setVisible(bool visible) override;

    // The log list with every entry made so far.
    QTreeWidget* lvLog() const
    {
        ensureControls();
        m_logRows->flush();
        return m_lvLog;
    }
    QTreeWidget* lvUnits() const { return built(m_lvUnits); }
    QLabel* statusPanel(int panel) const;
    QLabel* Label1() const { return built(m_Label1); }
    QLabel* Label5() const { return built(m_Label5); }
    QAction* mnuFileExit() const { return built(m_mnuFileExit); }
    QAction* mnumnuScan() const { return built(m_mnumnuScan); }
    QAction* mnuViewToolbar() const { return built(m_mnuViewToolbar); }
    QAction* mnuViewStatusBar() const { return built(m_mnuViewStatusBar); }
    QAction* mnuStatusLog() const { return built(m_mnuStatusLog); }
    QAction* mnuInterface() const { return built(m_mnuInterface); }
    QAction* mnuViewWebBrowser() const { return built(m_mnuViewWebBrowser); }
    QAction* mnuViewTelnet() const { return built(m_mnuViewTelnet); }
    QAction* mnuOptions() const { return built(m_mnuOptions); }
    QAction* mnuHelpAbout() const { return built(m_mnuHelpAbout); }
    QToolBar* tbToolBar() const { return built(m_tbToolBar); }
    QAction* scanToolButton() const { return built(m_tbScan); }
    QAction* stopScanToolButton() const { return built(m_tbStopScan); }
    QPushButton* cmdStartScan() const { return built(m_cmdStartScan); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The window stays hidden through the wizard, so its controls cost
    // nothing until someone shows it or reaches for one of them.
    void ensureControls() const;
    // The control a member names, built first when need be.
    template<typename Control> Control* built(Control* const& control) const
    {
        ensureControls();
        return control;
    }
    void loadControls();
    void buildControls();
    void buildMenus();
    void connectActions();
    void Form_Load();
    void Form_Unload();
    void writeWindowPosition();
    void refreshClockPanels();
    void mnumnuScan_Click();
    void tbToolBar_ButtonClick(QAction* button);
    void mnuViewTelnet_Click();
    // The record behind the search page's selected row; shows noSelection
    // when no row is selected.
    std::shared_ptr<CQarUnitInfo> chosenUnit(const QString& noSelection, UserPrompts::Icon icon);
    // Runs use with the discovery object taken from its slot, then puts it back there.
    void lendDiscovery(const std::function<void(clsVerevo*)>& use);
    void setScanSlot(clsVerevo* channel);
    void sizeLogColumns();
    void cVerevo_RuraIDResponse(const QByteArray& mac, const QString& SN, const QString& IPadd, const QString& UnitId,
        const QString& ProductId, const QString& ModelId);
    void statemachine();
    void listUnit(const CQarUnitInfos::Record& unit, bool shiftHeld);
    // Says once a scan, before its first ping, when no ping can be sent.
    void checkPingsPossible();
    // Unloads the terminal window; it goes once its own wait, if one runs, is back.
    void unloadTerminal();
    // The records of the last scan are discarded: their commands end.
    void discardUnits();

    Services m_services;
    qint32 m_ScanState = Idle;
    std::shared_ptr<CQarUnitInfos> m_Units;
    std::unique_ptr<clsVerevo> m_discovery;
    clsVerevo* m_cVerevo = nullptr;
    clsVerevo* m_cz = nullptr;
    QMetaObject::Connection m_idResponses;
    ClockTimer m_Timer1;
    clsScanOptions m_ScanOptions;
    bool m_UnitsLabelVisible = false;
    ScanResultsView* m_view = nullptr;
    // Units of this scan that answered after the record limit was reached.
    qint64 m_unitsOverLimit = 0;
    // Whether this scan has asked if pings can be sent; whether stderr has
    // been told that they cannot.
    bool m_pingChecked = false;
    bool m_pingProblemPrinted = false;
    std::unique_ptr<frmTerminal2> m_TermForm;
    // The discovery object is lent to unit actions that wait, one inside
    // another at times; the unload leaves it to the outermost to release.
    CallLifetime m_discoveryLoans;
    ClockTimer m_clockPanels;
    bool m_unloaded = false;
    bool m_controlsBuilt = false;

    QTreeWidget* m_lvLog = nullptr;
    std::unique_ptr<PacedTreeRows> m_logRows;
    QTreeWidget* m_lvUnits = nullptr;
    QLabel* m_Label1 = nullptr;
    QLabel* m_Label5 = nullptr;
    QLabel* m_panels[3] = {};
    QPushButton* m_cmdStartScan = nullptr;
    QToolBar* m_tbToolBar = nullptr;
    QAction* m_mnuFileExit = nullptr;
    QAction* m_mnumnuScan = nullptr;
    QAction* m_mnuViewToolbar = nullptr;
    QAction* m_mnuViewStatusBar = nullptr;
    QAction* m_mnuStatusLog = nullptr;
    QAction* m_mnuInterface = nullptr;
    QAction* m_mnuViewWebBrowser = nullptr;
    QAction* m_mnuViewTelnet = nullptr;
    QAction* m_mnuOptions = nullptr;
    QAction* m_mnuHelpAbout = nullptr;
    QAction* m_tbScan = nullptr;
    QAction* m_tbStopScan = nullptr;
};
