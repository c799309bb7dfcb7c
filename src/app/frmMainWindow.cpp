// The main window's menus, toolbar, unit actions and unload.
#include "app/Module1.h"
#include "app/Twips.h"
#include "app/UnitLookup.h"
#include "app/frmMain.h"
#include "app/frmTerminal2.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTime>
#include <QToolBar>
#include <QTreeWidget>

#include <array>

namespace {
const QString kSettings = QStringLiteral("Settings");
const std::array<QString, 4> kPositionKeys = { QStringLiteral("MainLeft"), QStringLiteral("MainTop"),
    QStringLiteral("MainWidth"), QStringLiteral("MainHeight") };
constexpr qint64 kMsPerDay = 86'400'000;

QAction* addItem(QMenu* menu, const QString& caption, bool checked = false)
{
    QAction* a = menu->addAction(caption);
    if (checked) {
        a->setCheckable(true);
        a->setChecked(true);
    }
    return a;
}
} // namespace

void frmMain::buildMenus()
{
    // Captions that are numbers are string-table ids, replaced at load; the
    // others are the design texts and stay.
    QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("1000"));
    m_mnuFileExit = addItem(mnuFile, QStringLiteral("1001"));
    QMenu* mnuScan = menuBar()->addMenu(QStringLiteral("1002"));
    m_mnumnuScan = addItem(mnuScan, QStringLiteral("Start New Scan"));
    QMenu* mnuView = menuBar()->addMenu(QStringLiteral("1009"));
    m_mnuViewToolbar = addItem(mnuView, QStringLiteral("1010"), true);
    m_mnuViewStatusBar = addItem(mnuView, QStringLiteral("1011"), true);
    m_mnuStatusLog = addItem(mnuView, QStringLiteral("Status &Log"));
    m_mnuStatusLog->setCheckable(true);
    QMenu* mnuTools = menuBar()->addMenu(QStringLiteral("&Tools"));
    m_mnuInterface = addItem(mnuTools, QStringLiteral("&Select Interface"));
    m_mnuViewWebBrowser = addItem(mnuTools, QStringLiteral("1012"));
    m_mnuViewTelnet = addItem(mnuTools, QStringLiteral("2001"));
    m_mnuOptions = addItem(mnuTools, QStringLiteral("&Advanced Options"));
    QMenu* mnuHelp = menuBar()->addMenu(QStringLiteral("1013"));
    m_mnuHelpAbout = addItem(mnuHelp, QStringLiteral("1014"));

    m_tbToolBar = addToolBar(QStringLiteral("tbToolBar"));
    m_tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    m_tbToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_tbScan = m_tbToolBar->addAction(style()->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("Scan"));
    m_tbScan->setData(QStringLiteral("Scan"));
    m_tbScan->setToolTip(QStringLiteral("1018"));
    m_tbStopScan = m_tbToolBar->addAction(style()->standardIcon(QStyle::SP_BrowserStop), QStringLiteral("StopScan"));
    m_tbStopScan->setData(QStringLiteral("StopScan"));
    m_tbStopScan->setToolTip(QStringLiteral("Stop Current Scan Operation"));
}

void frmMain::connectActions()
{
    connect(m_mnuFileExit, &QAction::triggered, this, &QWidget::close);
    connect(m_mnumnuScan, &QAction::triggered, this, &frmMain::mnumnuScan_Click);
    connect(m_cmdStartScan, &QPushButton::clicked, this, &frmMain::mnumnuScan_Click);
    connect(m_tbToolBar, &QToolBar::actionTriggered, this, &frmMain::tbToolBar_ButtonClick);
    connect(m_mnuViewToolbar, &QAction::triggered, m_tbToolBar, &QWidget::setVisible);
    connect(m_mnuViewStatusBar, &QAction::triggered, statusBar(), &QWidget::setVisible);
    connect(m_mnuStatusLog, &QAction::triggered, this, [this](bool checked) {
        m_services.settings.ShowStatusLog = checked;
        ApplyStatusLogVisibility();
    });
    connect(m_mnuViewTelnet, &QAction::triggered, this, &frmMain::mnuViewTelnet_Click);

    // The windows of the Tools and Help menus belong to other parts of the
    // program; without them their items stay greyed out.
    auto hookUp = [this](QAction* item, const std::function<void(QWidget*)>& open) {
        item->setEnabled(bool(open));
        if (open)
            connect(item, &QAction::triggered, this, [this, open] { open(this); });
    };
    hookUp(m_mnuInterface, m_services.SelectInterface);
    hookUp(m_mnuOptions, m_services.AdvancedOptions);
    hookUp(m_mnuHelpAbout, m_services.About);
    m_mnuViewWebBrowser->setEnabled(bool(m_services.WebBrowser));
    if (m_services.WebBrowser)
        connect(m_mnuViewWebBrowser, &QAction::triggered, this, [this] { m_services.WebBrowser(); });
    m_mnuViewTelnet->setEnabled(bool(m_services.openTerminal));
    // Live only while a Configure Units run is under way (the run switches
    // it on and off): a flag raised outside a run would stay up and end the
    // wizard's later waits at once.
    m_tbStopScan->setEnabled(false);
}

void frmMain::mnumnuScan_Click()
{
    if (!m_cVerevo && m_cz)
        lendDiscoveryToScan();
    StartScan();
}

void frmMain::tbToolBar_ButtonClick(QAction* button)
{
    const QString key = button ? button->data().toString() : QString();
    if (key == QLatin1String("Scan"))
        mnumnuScan_Click();
    else if (key == QLatin1String("StopScan"))
        StopScan();
}

void frmMain::StopScan()
{
    if (m_services.CancelRequested)
        *m_services.CancelRequested = true;
}

void frmMain::writeWindowPosition()
{
    if (!m_services.store)
        return;
    const std::array<double, 4> twips = Twips::place(*this);
    QSettings& store = *m_services.store;
    store.beginGroup(kSettings);
    for (size_t i = 0; i < kPositionKeys.size(); ++i)
        store.setValue(kPositionKeys[i], QString::number(double(float(twips[i])), 'g', 7));
    store.endGroup();
}

void frmMain::refreshClockPanels()
{
    qint64 wall = m_services.clock.localWallMs();
    qint64 days = wall / kMsPerDay;
    qint64 intoDay = wall % kMsPerDay;
    if (intoDay < 0) {
        intoDay += kMsPerDay;
        --days;
    }
    const QLocale locale;
    m_panels[1]->setText(locale.toString(QDate(1970, 1, 1).addDays(days), QLocale::ShortFormat));
    m_panels[2]->setText(locale.toString(QTime::fromMSecsSinceStartOfDay(int(intoDay)), QLocale::ShortFormat));
}

void frmMain::showEvent(QShowEvent* event)
{
    refreshClockPanels();
    if (!m_clockPanels.isActive()) {
        connect(&m_clockPanels, &ClockTimer::timeout, this, &frmMain::refreshClockPanels, Qt::UniqueConnection);
        m_clockPanels.start(1000);
    }
    QMainWindow::showEvent(event);
}

void frmMain::hideEvent(QHideEvent* event)
{
    m_clockPanels.stop();
    QMainWindow::hideEvent(event);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (!m_unloaded)
        Form_Unload();
    event->accept();
}

void frmMain::Form_Unload()
{
    m_unloaded = true;
    unloadTerminal();
    discardUnits();

    // Releasing the discovery object closes its socket; while a unit action
    // still waits on it, that action releases it once it is back.
    setScanSlot(nullptr);
    m_cz = nullptr;
    m_Timer1.stop();
    m_discoveryLoans.end([this] { m_discovery.reset(); });

    // The rest are hidden rather than closed: a wizard page's close box ends
    // the program at once, which would skip writing the settings back.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        QWidget* w = *it;
        if (w == this || !w->isWindow() || w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip
            || w->windowType() == Qt::Desktop)
            continue;
        w->hide();
    }

    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        writeWindowPosition();
    if (m_services.store)
        Module1::SaveSettings(*m_services.store, m_services.settings);
    m_clockPanels.stop();

    if (m_services.endProgram)
        m_services.endProgram();
    else
        QCoreApplication::quit();
}

void frmMain::lendDiscovery(const std::function<void(clsVerevo*)>& use)
{
    const bool resting = m_cz != nullptr;
    clsVerevo* lent = resting ? m_cz : m_cVerevo;
    if (resting)
        m_cz = nullptr;
    else
        setScanSlot(nullptr);
    {
        const CallLifetime::Call loan(m_discoveryLoans);
        use(lent);
    }
    // The window unloaded while the object was lent: it has no slot to go
    // back to, and goes as the outermost loan closes.
    if (m_unloaded)
        return;
    if (resting)
        m_cz = lent;
    else
        setScanSlot(lent);
}

void frmMain::unloadTerminal()
{
    if (!m_TermForm)
        return;
    m_TermForm->unload();
    CallLifetime::release(std::move(m_TermForm));
}

std::shared_ptr<CQarUnitInfo> frmMain::chosenUnit(const QString& noSelection, UserPrompts::Icon icon)
{
    const std::shared_ptr<UnitListRow> sel = m_view ? m_view->selectedUnitRow() : nullptr;
    if (!sel) {
        if (m_services.prompts)
            m_services.prompts->message(noSelection, icon);
        return nullptr;
    }
    return UnitLookup::byRowText(m_Units, sel->text());
}

void frmMain::lvUnits_DblClick()
{
    if (!m_services.ConfigureUnits)
        return;
    std::shared_ptr<CQarUnitInfo> unit
        = chosenUnit(QStringLiteral("Select a unit from the List first"), UserPrompts::Icon::None);
    if (!unit)
        return;
    const QString serial = unit->Serial();
    auto one = std::make_shared<CQarUnitInfos>();
    (void)one->Add(unit, serial);
    lendDiscovery([&](clsVerevo* discovery) { m_services.ConfigureUnits(serial, one, discovery); });
}

void frmMain::mnuViewTelnet_Click()
{
    if (!m_services.openTerminal)
        return;
    unloadTerminal();
    const std::shared_ptr<CQarUnitInfo> unit
        = chosenUnit(QStringLiteral("Select a unit from the list first"), UserPrompts::Icon::Information);
    if (!unit)
        return;
    if (unit->ip().isEmpty()) {
        if (m_services.prompts)
            m_services.prompts->message(
                QStringLiteral("This unit does not have an IP address"), UserPrompts::Icon::Information);
        return;
    }
    lendDiscovery([&](clsVerevo* discovery) { m_TermForm = m_services.openTerminal(*unit, discovery); });
    // The window unloaded while the login and the connection waited.
    if (m_unloaded)
        unloadTerminal();
}
