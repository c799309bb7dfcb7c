#include "app/frmMain.h"

#include "app/ModelNames.h"
#include "app/Module1.h"
#include "app/PacedTreeRows.h"
#include "app/frmTerminal2.h"
#include "net/IPHlpAPI.h"
#include "net/IcmpEcho.h"
#include "net/ModQar.h"
#include "net/ProblemLog.h"
#include "unit/clsUnitQuerier.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTime>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <arpa/inet.h>

namespace {
const QString kPingPayload = QStringLiteral("LIVELINESS CHECK");
// Anyone on the LAN can send identity records; past this many units a scan
// only counts what answers, so a flood cannot eat the PC's memory.
constexpr qsizetype kMaxUnitsPerScan = 10'000;

// Units pad their identity texts with blanks, CR LF or NULs at either end.
QString trimmed(QString text)
{
    return ModQar::TrimControlChars(text);
}

// The platform's dotted-address conversion, in network order: 0 for
// "0.0.0.0", INADDR_NONE for text it cannot read.
in_addr_t dottedAddress(const QString& ip)
{
    return ::inet_addr(ip.toLatin1().constData());
}
} // namespace

frmMain::frmMain(Services services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(std::move(services))
    , m_Timer1(m_services.clock)
    , m_clockPanels(m_services.clock)
{
    if (!m_services.PingAddress) {
        m_services.PingAddress = &IPHlpAPI::PingAddress;
        if (!m_services.pingProblem)
            m_services.pingProblem = &IcmpEcho::unavailableReason;
    }
    m_Timer1.setSingleShot(true);
    connect(&m_Timer1, &ClockTimer::timeout, this, &frmMain::statemachine);
    setWindowTitle(QStringLiteral("VelmarWizard"));
    resize(720, 540);
    Form_Load();
}

frmMain::~frmMain()
{
    setScanSlot(nullptr);
    m_cz = nullptr;
}

void frmMain::setVisible(bool visible)
{
    if (visible)
        ensureControls();
    QMainWindow::setVisible(visible);
}

void frmMain::ensureControls() const
{
    if (!m_controlsBuilt)
        const_cast<frmMain*>(this)->loadControls();
}

void frmMain::loadControls()
{
    m_controlsBuilt = true;
    buildControls();
    connectActions();
    Module1::LoadResStrings(this);
    SetUnitsLabelVisible(m_UnitsLabelVisible);
    ApplyStatusLogVisibility();
    refreshClockPanels();
}

void frmMain::buildControls()
{
    buildMenus();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    m_cmdStartScan = new QPushButton(QStringLiteral("Start search for Velmar units"), central);
    m_Label1 = new QLabel(QStringLiteral("Located Velmar Units"), central);
    m_lvUnits = new QTreeWidget(central);
    m_lvUnits->setRootIsDecorated(false);
    m_lvUnits->setUniformRowHeights(true);
    // The list has no rows of its own: a double click anywhere on it, or
    // Return while it has the focus, acts on the search page's chosen unit.
    m_lvUnits->viewport()->installEventFilter(this);
    m_lvUnits->installEventFilter(this);
    m_lvUnits->setHeaderLabels(
        { QStringLiteral("Serial Number"), QStringLiteral("Ethernet MAC"), QStringLiteral("Ethernet IP"),
            QStringLiteral("Unit ID"), QStringLiteral("Product ID"), QStringLiteral("Contacted") });
    m_Label5 = new QLabel(QStringLiteral("Status Log"), central);
    m_lvLog = new QTreeWidget(central);
    m_lvLog->setRootIsDecorated(false);
    // One line a row; without this every new entry measures all rows again.
    m_lvLog->setUniformRowHeights(true);
    m_lvLog->setHeaderLabels({ QStringLiteral("Serial"), QStringLiteral("Timestamp"), QStringLiteral("Description") });
    m_lvLog->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lvLog->header()->setStretchLastSection(false);
    // The columns share the width inside the frame and the scroll bar.
    m_lvLog->viewport()->installEventFilter(this);
    m_logRows = std::make_unique<PacedTreeRows>(
        *m_lvLog, m_services.clock, PacedTreeRows::End::Top, PacedTreeRows::Current::Newest);
    for (QWidget* w : { static_cast<QWidget*>(m_cmdStartScan), static_cast<QWidget*>(m_Label1),
             static_cast<QWidget*>(m_lvUnits), static_cast<QWidget*>(m_Label5), static_cast<QWidget*>(m_lvLog) })
        layout->addWidget(w);
    setCentralWidget(central);

    for (auto*& panel : m_panels) {
        panel = new QLabel(this);
        if (panel == m_panels[0])
            statusBar()->addWidget(panel, 1);
        else
            statusBar()->addPermanentWidget(panel);
    }
    m_panels[0]->setText(QStringLiteral("Status"));
    sizeLogColumns();
}

void frmMain::Form_Load()
{
    m_Units.reset();
    m_discovery = m_services.createDiscovery ? m_services.createDiscovery() : nullptr;
    setScanSlot(m_discovery.get());
    SetUnitsLabelVisible(false);
    m_cz = m_cVerevo;
    setScanSlot(nullptr);
}

QLabel* frmMain::statusPanel(int panel) const
{
    ensureControls();
    return panel >= 1 && panel <= 3 ? m_panels[panel - 1] : nullptr;
}

void frmMain::setScanSlot(clsVerevo* channel)
{
    if (m_idResponses)
        disconnect(m_idResponses);
    m_cVerevo = channel;
    if (channel)
        m_idResponses = connect(
            channel, &clsVerevo::RuraIDResponse, this, &frmMain::cVerevo_RuraIDResponse, Qt::DirectConnection);
}

void frmMain::lendDiscoveryToScan()
{
    // Twice in a row (two searches started together) must not empty both
    // slots: the second lend finds the object already where it belongs.
    if (!m_cz)
        return;
    setScanSlot(m_cz);
    m_cz = nullptr;
}

void frmMain::returnDiscoveryFromScan()
{
    if (!m_cVerevo)
        return;
    m_cz = m_cVerevo;
    setScanSlot(nullptr);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_controlsBuilt)
        return QMainWindow::eventFilter(watched, event);
    if (watched == m_lvLog->viewport() && event->type() == QEvent::Resize)
        sizeLogColumns();
    if (watched == m_lvUnits->viewport() && event->type() == QEvent::MouseButtonDblClick
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        lvUnits_DblClick();
        return true;
    }
    if (watched == m_lvUnits && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            lvUnits_DblClick();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::sizeLogColumns()
{
    // A tenth each for the serial number and the time, the rest for the
    // text; but never so narrow that a heading or the time is cut off.
    const double width = 0.99 * m_lvLog->viewport()->width();
    const QFontMetrics fm = m_lvLog->fontMetrics();
    const int time = fm.horizontalAdvance(QStringLiteral("00:00:00")) + 2 * fm.averageCharWidth();
    const int serial = qMax(int(width * 0.10), m_lvLog->header()->sectionSizeHint(0));
    const int stamp = std::max({ int(width * 0.10), m_lvLog->header()->sectionSizeHint(1), time });
    m_lvLog->setColumnWidth(0, serial);
    m_lvLog->setColumnWidth(1, stamp);
    m_lvLog->setColumnWidth(2, qMax(0, qMin(int(width * 0.80), int(width) - serial - stamp)));
}

void frmMain::SetUnitsLabelVisible(bool visible)
{
    m_UnitsLabelVisible = visible;
    if (m_controlsBuilt)
        m_Label1->setVisible(visible);
}

void frmMain::ApplyStatusLogVisibility()
{
    ensureControls();
    const bool show = m_services.settings.ShowStatusLog;
    m_mnuStatusLog->setChecked(show);
    m_lvLog->setVisible(show);
    m_Label5->setVisible(show);
}

void frmMain::DisableScanControls()
{
    ensureControls();
    m_mnumnuScan->setEnabled(false);
    m_tbScan->setEnabled(false);
    m_cmdStartScan->setEnabled(false);
}

void frmMain::EnableScanControls()
{
    ensureControls();
    m_mnumnuScan->setEnabled(true);
    m_tbScan->setEnabled(true);
    m_cmdStartScan->setEnabled(true);
}

void frmMain::AddLogEntry(const QString& serial, const QString& text)
{
    constexpr qint64 msPerDay = 86'400'000;
    qint64 intoDay = m_services.clock.localWallMs() % msPerDay;
    if (intoDay < 0)
        intoDay += msPerDay;
    const QString stamp = QTime::fromMSecsSinceStartOfDay(int(intoDay)).toString(QStringLiteral("HH:mm:ss"));
    ensureControls();

    // Newest first, and the newest the selected row, once the rows go in.
    m_logRows->add(new QTreeWidgetItem(QStringList { serial, stamp, text }));
    m_panels[0]->setText(text);
    QCoreApplication::processEvents();
}

void frmMain::StartScan()
{
    // A walk in progress lends its records to the page and pings between
    // events; starting over under it would hand the page a half-built list.
    if (m_ScanState == Processing)
        return;
    // Started from a control that did not lend the object first.
    if (!m_cVerevo && m_cz)
        lendDiscoveryToScan();

    m_ScanOptions.setInitialPing(true);
    m_ScanOptions.setMustHaveGPRS(false);
    SetUnitsLabelVisible(false);
    if (m_view)
        m_view->clearUnitRows();
    ensureControls();
    m_logRows->clear();
    discardUnits();
    m_unitsOverLimit = 0;
    m_pingChecked = false;
    if (m_cVerevo) {
        const InterfaceEntry* entry = m_services.interfaces.selected();
        m_cVerevo->SetMac(entry ? entry->Mac : QByteArray());
    }
    m_ScanState = Collecting;
    m_Timer1.start(5000);
    AddLogEntry(QString(), QStringLiteral("Scanning for Calvantor units"));
    DisableScanControls();
    if (m_cVerevo)
        m_cVerevo->SendQuery(QString());
}

void frmMain::cVerevo_RuraIDResponse(const QByteArray& mac, const QString& SN, const QString& IPadd,
    const QString& UnitId, const QString& ProductId, const QString& ModelId)
{
    if (m_ScanState != Collecting)
        return;
    if (!m_Units)
        m_Units = std::make_shared<CQarUnitInfos>();
    // The query goes out twice, so most units answer twice.
    if (m_Units->Item(SN))
        return;
    if (m_Units->Count() >= kMaxUnitsPerScan) {
        ++m_unitsOverLimit;
        return;
    }
    auto unit = std::make_shared<CQarUnitInfo>(m_services.createQuerier);
    unit->setSerial(SN);
    unit->setMac(mac);
    unit->setIp(IPadd);
    unit->setUnitID(trimmed(UnitId));
    unit->setProductID(trimmed(ProductId));
    unit->setModel(ModelNames::ExtractModelName(trimmed(ModelId)));
    (void)m_Units->Add(unit, SN);
}

void frmMain::statemachine()
{
    if (m_ScanState != Collecting)
        return;
    m_Timer1.stop();
    m_ScanState = Processing;
    if (m_unitsOverLimit > 0)
        AddLogEntry(QString(),
            QStringLiteral("%1 more units answered beyond the limit of %2 units a scan; they were not recorded")
                .arg(m_unitsOverLimit)
                .arg(kMaxUnitsPerScan));

    // Held for the whole walk: the log and the pings pump events, and the
    // records must stay put whatever runs meanwhile.
    const std::shared_ptr<CQarUnitInfos> units = m_Units;
    if (units) {
        for (const CQarUnitInfos::Record& unit : units->NewEnum()) {
            const bool shiftHeld = m_services.ShiftKeyDown ? m_services.ShiftKeyDown() : Module1::ShiftKeyDown();
            const bool accepted = ModelNames::IsSupportedModel(unit->model()) || shiftHeld
                || (m_services.WizardMode && m_services.WizardMode() != 0);
            if (!accepted) {
                units->Remove(unit->Serial());
                continue;
            }
            listUnit(unit, shiftHeld);
        }
    }

    AddLogEntry(QString(), QStringLiteral("Scan Complete"));
    m_ScanState = Idle;
    bool configureNow = false;
    if (m_view)
        configureNow = m_view->DisplayScanResults(QString(), m_Units);
    else
        returnDiscoveryFromScan();
    if (configureNow)
        lvUnits_DblClick();
    EnableScanControls();
}

void frmMain::listUnit(const CQarUnitInfos::Record& unit, bool shiftHeld)
{
    const QString serial = unit->Serial();
    const QString ip = unit->ip();
    std::shared_ptr<UnitListRow> row = m_view ? m_view->addUnitRow(serial) : nullptr;
    unit->setLi(row);
    SetUnitsLabelVisible(true);
    auto setColumn = [&row](UnitListRow::Column column, const QString& value) {
        if (row)
            row->setSubItem(column, value);
    };

    // "0.0.0.0" is no address; a text that does not convert is one, and the
    // ping resolves it as a host name.
    if (!ip.isEmpty() && dottedAddress(ip) != 0) {
        if (!m_ScanOptions.InitialPing()) {
            unit->Summary().setLiveliness(0);
            setColumn(UnitListRow::Pingable, QStringLiteral("No"));
        } else if (shiftHeld) {
            setColumn(UnitListRow::Pingable, QStringLiteral("Skipped"));
        } else {
            checkPingsPossible();
            const QString line
                = QStringLiteral("Pinging Unit SN: ") + serial + QStringLiteral(" with IP Address: ") + ip;
            AddLogEntry(serial, line);
            if (m_view)
                m_view->setStatusText(line);
            const qint32 timeout = m_services.settings.PingTimeout;
            const bool ok = IPHlpAPI::PingHost(ip, kPingPayload, timeout, m_services.PingAddress);
            unit->setContacted(ok);
            unit->Summary().setLiveliness(ok ? 2 : 1);
            setColumn(UnitListRow::Pingable, ok ? QStringLiteral("Yes") : QStringLiteral("No"));
        }
    } else {
        unit->Summary().setLiveliness(0);
        setColumn(UnitListRow::Pingable, QStringLiteral("No IP Address"));
    }

    unit->setContacted(false);
    AddLogEntry(serial, QStringLiteral("Querying SN: ") + serial + QStringLiteral(" With IP Address: ") + ip);
    setColumn(UnitListRow::Model, unit->model());
    setColumn(UnitListRow::EthernetIP, ip);
    setColumn(UnitListRow::UnitID, unit->UnitID());
}

void frmMain::discardUnits()
{
    // A page, a run or the Telnet item may still hold a record and be inside
    // one of its commands' waits: the record is ended, the wait comes back
    // as for a silent unit, and the record goes with its last holder.
    if (m_Units) {
        for (const CQarUnitInfos::Record& unit : m_Units->NewEnum())
            unit->discard();
    }
    m_Units.reset();
}

void frmMain::checkPingsPossible()
{
    if (m_pingChecked || !m_services.pingProblem)
        return;
    m_pingChecked = true;
    const QString why = m_services.pingProblem();
    if (why.isEmpty())
        return;
    // Every unit would show "No" with no reason; the log shows it each scan
    // (a scan empties the log), stderr once.
    if (!m_pingProblemPrinted)
        ProblemReport::report({}, why);
    m_pingProblemPrinted = true;
    AddLogEntry(QString(), why);
}
