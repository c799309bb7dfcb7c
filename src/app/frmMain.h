#pragma once

#include "app/AppSettings.h"
#include "app/DiscoveryChannel.h"
#include "app/ScanResultsView.h"
#include "app/clsScanOptions.h"
#include "net/ClockTimer.h"
#include "net/InterfaceEntry.h"
#include "unit/CQarUnitInfos.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class clsUnitQuerier;
class QLabel;
class QPushButton;
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
        std::function<std::unique_ptr<DiscoveryChannel>()> createDiscovery;
        // IPHlpAPI::PingAddress when left empty.
        PingFunction PingAddress;
        // PingTimeout and ShowStatusLog are read here.
        AppSettings& settings;
        // 0 the Ethernet-and-cellular wizard, 1 the Ethernet-only one.
        std::function<qint32()> WizardMode;
        // Module1::ShiftKeyDown when left empty.
        std::function<bool()> ShiftKeyDown = {};
        // The Configure Units run on the unit chosen in the search page's list.
        std::function<void()> lvUnits_DblClick = {};
        // Gives each new unit record its command object; records stay without
        // one when left empty.
        std::function<std::unique_ptr<clsUnitQuerier>(CQarUnitInfo&)> createQuerier = {};
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

    // The last scan's units; empty until the first ID response of a scan.
    std::shared_ptr<CQarUnitInfos> Units() const { return m_Units; }
    qint32 ScanState() const { return m_ScanState; }
    clsScanOptions& ScanOptions() { return m_ScanOptions; }

    // The discovery object's two slots: ID responses reach the scan engine
    // only while the object is in cVerevo; between scans it rests in cz,
    // where the unit commands and the pages take it.
    DiscoveryChannel* cVerevo() const { return m_cVerevo; }
    DiscoveryChannel* cz() const { return m_cz; }
    // cVerevo := cz; cz := nothing (before a scan).
    void lendDiscoveryToScan();
    // cz := cVerevo; cVerevo := nothing (when the scan has been shown).
    void returnDiscoveryFromScan();

    // The search page while it exists; nullptr detaches it.
    void setScanResultsView(ScanResultsView* view) { m_view = view; }

    // The platform family the PC settings pages compare with 1, the value of
    // the Windows 95/98/Me family; this program never runs on that family.
    qint32 OSPlatform() const { return 2; }

    QTreeWidget* lvLog() const { return m_lvLog; }
    QTreeWidget* lvUnits() const { return m_lvUnits; }
    QLabel* statusPanel(int panel) const;
    QLabel* Label1() const { return m_Label1; }
    QLabel* Label5() const { return m_Label5; }
    QAction* mnumnuScan() const { return m_mnumnuScan; }
    QAction* mnuStatusLog() const { return m_mnuStatusLog; }
    QAction* scanToolButton() const { return m_tbScan; }
    QAction* stopScanToolButton() const { return m_tbStopScan; }
    QPushButton* cmdStartScan() const { return m_cmdStartScan; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void setScanSlot(DiscoveryChannel* channel);
    void sizeLogColumns();
    void cVerevo_RuraIDResponse(const QByteArray& mac, const QString& SN, const QString& IPadd, const QString& UnitId,
        const QString& ProductId, const QString& ModelId);
    void statemachine();
    void listUnit(const CQarUnitInfos::Record& unit, bool shiftHeld);

    Services m_services;
    qint32 m_ScanState = Idle;
    std::shared_ptr<CQarUnitInfos> m_Units;
    std::unique_ptr<DiscoveryChannel> m_discovery;
    DiscoveryChannel* m_cVerevo = nullptr;
    DiscoveryChannel* m_cz = nullptr;
    QMetaObject::Connection m_idResponses;
    ClockTimer m_Timer1;
    clsScanOptions m_ScanOptions;
    bool m_UnitsLabelVisible = false;
    ScanResultsView* m_view = nullptr;

    QTreeWidget* m_lvLog = nullptr;
    QTreeWidget* m_lvUnits = nullptr;
    QLabel* m_Label1 = nullptr;
    QLabel* m_Label5 = nullptr;
    QLabel* m_panels[3] = {};
    QPushButton* m_cmdStartScan = nullptr;
    QToolBar* m_tbToolBar = nullptr;
    QAction* m_mnumnuScan = nullptr;
    QAction* m_mnuStatusLog = nullptr;
    QAction* m_tbScan = nullptr;
    QAction* m_tbStopScan = nullptr;
};
