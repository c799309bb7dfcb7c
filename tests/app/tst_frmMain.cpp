#include "RecordingPrompts.h"
#include "RecordingScanView.h"
#include "SimulatedClock.h"
#include "StandInDiscovery.h"
#include "app/Twips.h"
#include "app/frmMain.h"
#include "app/frmTerminal2.h"
#include "unit/clsUnitQuerier.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

#include <algorithm>
#include <arpa/inet.h>

namespace {

struct IdResponse {
    QByteArray mac;
    QString SN, IPadd, UnitId, ProductId, ModelId;
};

// The discovery object as the scan sees it; answers are played from the
// clock so that they arrive inside the event loop as real datagrams do.
class FakeDiscovery final : public StandInDiscovery {
public:
    explicit FakeDiscovery(SimulatedClock& clock)
        : StandInDiscovery(clock)
        , m_clock(clock)
    { }
    void SetMac(const QByteArray& mac) override { macs << mac; }
    void SendQuery(const QString& id) override
    {
        queries << id;
        queryTimes << m_clock.monotonicMs();
    }
    void answer(const IdResponse& r) { raiseIdentity(r.mac, r.SN, r.IPadd, r.UnitId, r.ProductId, r.ModelId); }
    void answerAt(qint64 delayMs, const IdResponse& r)
    {
        m_clock.schedule(delayMs, [this, r] { answer(r); });
    }

    QList<QByteArray> macs;
    QStringList queries;
    QList<qint64> queryTimes;

private:
    SimulatedClock& m_clock;
};

struct Ping {
    quint32 address;
    QString payload;
    qint32 timeout;
    QString rowModelWhilePinging;
};

const QByteArray kPcMac = QByteArray::fromHex("02005e0000a1");

struct ConfigureRun {
    QString serial;
    QStringList unitSerials;
    clsVerevo* discovery;
    clsVerevo* czDuring;
};

struct TerminalOpen {
    QString serial;
    clsVerevo* discovery;
    clsVerevo* czDuring;
    bool earlierTerminalGone;
};

struct FixtureOptions {
    bool showStatusLog = false;
    // Leaves every hook of the later windows empty.
    bool noHooks = false;
    // Written to group "Settings" of the store before the window loads.
    QMap<QString, QString> stored = {};
};

class Fixture {
public:
    SimulatedClock clock { 10 * 3'600'000 + 23 * 60'000 + 45'000 };
    UsableInterfaces interfaces;
    FakeDiscovery* discovery = nullptr;
    RecordingView view;
    QList<Ping> pings;
    QSet<quint32> answering;
    bool shift = false;
    qint32 mode = 0;
    AppSettings settings;
    QList<ConfigureRun> configureRuns;
    QList<TerminalOpen> terminals;
    QPointer<QWidget> lastTerminal;
    bool loginSucceeds = true;
    QStringList dialogsOpened;
    QList<QWidget*> dialogOwners;
    int ends = 0;
    RecordingPrompts prompts;
    QTemporaryDir dir;
    QString iniPath = dir.filePath(QStringLiteral("Linkwise.ini"));
    std::unique_ptr<QSettings> store;
    std::function<void()> duringPing;
    std::function<void()> duringConfigure;
    UnitInterfacePrefixes prefixes;
    bool cancelRequested = false;
    QList<const CQarUnitInfo*> queriersMadeFor;
    QString pingProblem;
    int pingChecks = 0;
    std::unique_ptr<frmMain> w;

    explicit Fixture(bool showStatusLog = false)
        : Fixture(FixtureOptions { .showStatusLog = showStatusLog })
    { }
    explicit Fixture(const FixtureOptions& options)
    {
        {
            QSettings seed(iniPath, QSettings::IniFormat);
            seed.beginGroup(QStringLiteral("Settings"));
            for (auto it = options.stored.cbegin(); it != options.stored.cend(); ++it)
                seed.setValue(it.key(), it.value());
            seed.endGroup();
        }
        store = std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
        settings.PingTimeout = 750;
        settings.ShowStatusLog = options.showStatusLog;
        interfaces.InterfaceList << InterfaceEntry { QByteArray::fromHex("02005e0000ff"), nullptr }
                                 << InterfaceEntry { kPcMac, nullptr };
        interfaces.SelectedInterface = 1;
        frmMain::Services s {
            .clock = clock,
            .interfaces = interfaces,
            .createDiscovery =
                [this] {
                    auto d = std::make_unique<FakeDiscovery>(clock);
                    discovery = d.get();
                    return std::unique_ptr<clsVerevo>(std::move(d));
                },
            .PingAddress =
                [this](quint32 a, const QString& payload, qint32 timeout) {
                    QString model;
                    if (!view.rows.isEmpty())
                        model = view.rows.last()->subItem(UnitListRow::Model);
                    pings << Ping { a, payload, timeout, model };
                    if (duringPing)
                        duringPing();
                    return answering.contains(a);
                },
            .pingProblem =
                [this] {
                    ++pingChecks;
                    return pingProblem;
                },
            .settings = settings,
            .WizardMode = [this] { return mode; },
            .ShiftKeyDown = [this] { return shift; },
            .createQuerier =
                [this](CQarUnitInfo& unit) {
                    queriersMadeFor << &unit;
                    return std::make_unique<clsUnitQuerier>(
                        clock, prefixes, settings.RebootTime, cancelRequested, [](const QString&, const QString&) {},
                        [&unit] { return unit.Mac(); });
                },
            .store = store.get(),
            .CancelRequested = &cancelRequested,
            .prompts = &prompts,
            .ConfigureUnits =
                [this](const QString& serial, const std::shared_ptr<CQarUnitInfos>& units, clsVerevo* d) {
                    QStringList serials;
                    for (const auto& u : *units)
                        serials << u->Serial();
                    configureRuns << ConfigureRun { serial, serials, d, w->cz() };
                    if (duringConfigure)
                        duringConfigure();
                },
            .openTerminal = [this](CQarUnitInfo& unit, clsVerevo* d) -> std::unique_ptr<frmTerminal2> {
                terminals << TerminalOpen { unit.Serial(), d, w->cz(), lastTerminal.isNull() };
                if (!loginSucceeds)
                    return nullptr;
                auto terminal = std::make_unique<frmTerminal2>(nullptr, prompts);
                lastTerminal = terminal.get();
                return terminal;
            },
            .SelectInterface = [this](QWidget* owner) { opened(QStringLiteral("interface"), owner); },
            .AdvancedOptions = [this](QWidget* owner) { opened(QStringLiteral("options"), owner); },
            .About = [this](QWidget* owner) { opened(QStringLiteral("about"), owner); },
            .WebBrowser = [this] { opened(QStringLiteral("browser"), nullptr); },
            .endProgram = [this] { ++ends; },
        };
        if (options.noHooks) {
            s.CancelRequested = nullptr;
            s.ConfigureUnits = {};
            s.openTerminal = {};
            s.SelectInterface = {};
            s.AdvancedOptions = {};
            s.About = {};
            s.WebBrowser = {};
        }
        w = std::make_unique<frmMain>(std::move(s));
        view.window = w.get();
        w->setScanResultsView(&view);
    }

    void opened(const QString& which, QWidget* owner)
    {
        dialogsOpened << which;
        dialogOwners << owner;
    }

    // A scan that lists the given units, with the search page's row of
    // selectSerial selected afterwards (none when empty).
    void scanUnits(const QList<IdResponse>& answers, const QString& selectSerial);

    QString storedText(const QString& key) const
    {
        QSettings reread(iniPath, QSettings::IniFormat);
        return reread.value(QStringLiteral("Settings/") + key).toString();
    }
    bool stored(const QString& key) const
    {
        QSettings reread(iniPath, QSettings::IniFormat);
        return reread.contains(QStringLiteral("Settings/") + key);
    }

    // As the search page starts a scan.
    void startScan()
    {
        w->lendDiscoveryToScan();
        w->StartScan();
    }

    QStringList logColumn(int column) const
    {
        QStringList out;
        for (int i = 0; i < w->lvLog()->topLevelItemCount(); ++i)
            out << w->lvLog()->topLevelItem(i)->text(column);
        return out;
    }
};

quint32 hostOrder(const char* dotted)
{
    return ntohl(inet_addr(dotted));
}

IdResponse unit(const QString& sn, const QString& ip, const QString& model = QStringLiteral("Calvantor KR5004 Router"))
{
    return { QByteArray::fromHex("00a0c6112233"), sn, ip, QStringLiteral("U-") + sn, QStringLiteral("P-") + sn, model };
}

void Fixture::scanUnits(const QList<IdResponse>& answers, const QString& selectSerial)
{
    startScan();
    for (const IdResponse& r : answers)
        discovery->answer(r);
    clock.advance(5000);
    view.selectSerial = selectSerial;
}

QAction* menuItem(const frmMain& w, const QString& name)
{
    const QHash<QString, QAction*> items {
        { "mnuFileExit", w.mnuFileExit() },
        { "mnumnuScan", w.mnumnuScan() },
        { "mnuViewToolbar", w.mnuViewToolbar() },
        { "mnuViewStatusBar", w.mnuViewStatusBar() },
        { "mnuStatusLog", w.mnuStatusLog() },
        { "mnuInterface", w.mnuInterface() },
        { "mnuViewWebBrowser", w.mnuViewWebBrowser() },
        { "mnuViewTelnet", w.mnuViewTelnet() },
        { "mnuOptions", w.mnuOptions() },
        { "mnuHelpAbout", w.mnuHelpAbout() },
        { "StopScan", w.stopScanToolButton() },
    };
    return items.value(name);
}

const QStringList kSettingKeys { "APN", "PPPPhonenum", "RebootTime", "PPPWaitTime", "GPRSPPP", "ShowStatusLog",
    "CfgDir", "GPRSCfgFile", "TestHostname", "PingTimeout" };
const QStringList kWindowKeys { "MainLeft", "MainTop", "MainWidth", "MainHeight" };

} // namespace

class tst_frmMain : public QObject {
    Q_OBJECT
private slots:
    void loadParksTheDiscoveryObjectAndHidesTheUnitsLabel()
    {
        Fixture f;
        QVERIFY(f.discovery);
        QCOMPARE(f.w->cz(), f.discovery);
        QVERIFY(!f.w->cVerevo());
        QVERIFY(!f.w->Units());
        QCOMPARE(f.w->ScanState(), int(frmMain::Idle));
        QVERIFY(!f.w->UnitsLabelVisible());
        QVERIFY(!f.w->Label1()->isVisibleTo(f.w.get()));
        QCOMPARE(f.w->OSPlatform() == 1, false);
    }

    // Two searches started together (a double click) or a scan handed back
    // twice leave the one object in one of its slots.
    void lendingTwiceKeepsTheObjectInASlot()
    {
        Fixture f;
        f.w->lendDiscoveryToScan();
        f.w->lendDiscoveryToScan();
        QCOMPARE(f.w->cVerevo(), f.discovery);
        QVERIFY(!f.w->cz());
        f.w->returnDiscoveryFromScan();
        f.w->returnDiscoveryFromScan();
        QCOMPARE(f.w->cz(), f.discovery);
        QVERIFY(!f.w->cVerevo());
    }

    void loadPutsTheStringTableIntoTheCaptions()
    {
        Fixture f;
        // The controls wait for their first use; asking for one builds them all.
        QVERIFY(f.w->mnuFileExit());
        QStringList menus;
        for (QAction* a : f.w->menuBar()->actions())
            menus << a->text();
        QCOMPARE(menus, (QStringList { "&File", "&Scan", "&View", "&Tools", "&Help" }));
        QCOMPARE(f.w->mnumnuScan()->text(), QStringLiteral("Start New Scan"));
        QCOMPARE(f.w->mnuStatusLog()->text(), QStringLiteral("Status &Log"));
        QCOMPARE(f.w->scanToolButton()->toolTip(), QStringLiteral("Scan"));
        QCOMPARE(f.w->stopScanToolButton()->toolTip(), QStringLiteral("Stop Current Scan Operation"));
    }

    void statusLogVisibilityFollowsTheSetting_data()
    {
        QTest::addColumn<bool>("show");
        QTest::newRow("shown") << true;
        QTest::newRow("hidden") << false;
    }
    void statusLogVisibilityFollowsTheSetting()
    {
        QFETCH(bool, show);
        Fixture f(show);
        QCOMPARE(f.w->mnuStatusLog()->isChecked(), show);
        QCOMPARE(f.w->lvLog()->isVisibleTo(f.w.get()), show);
        QCOMPARE(f.w->Label5()->isVisibleTo(f.w.get()), show);
    }

    void addLogEntryPutsTheNewestFirst()
    {
        Fixture f;
        f.w->AddLogEntry(QString(), QStringLiteral("first"));
        f.clock.advance(61'000);
        f.w->AddLogEntry(QStringLiteral("4711"), QStringLiteral("second"));
        QCOMPARE(f.logColumn(2), (QStringList { "second", "first" }));
        QCOMPARE(f.logColumn(0), (QStringList { "4711", "" }));
        QCOMPARE(f.logColumn(1), (QStringList { "10:24:46", "10:23:45" }));
        QCOMPARE(f.w->lvLog()->currentItem(), f.w->lvLog()->topLevelItem(0));
        QCOMPARE(f.w->statusPanel(1)->text(), QStringLiteral("second"));
    }

    // The hidden window's controls come with the first show or the first
    // log line; either way they are built once and the log loses nothing.
    void showingTheWindowBuildsItOnceAndKeepsTheLog()
    {
        Fixture f;
        f.w->AddLogEntry(QString(), QStringLiteral("while hidden"));
        f.w->show();
        f.w->AddLogEntry(QStringLiteral("4711"), QStringLiteral("while shown"));
        f.w->hide();
        f.w->show();
        QCOMPARE(f.w->menuBar()->actions().size(), 5);
        QCOMPARE(f.w->tbToolBar()->actions().size(), 2);
        QCOMPARE(f.logColumn(2), (QStringList { "while shown", "while hidden" }));
        QCOMPARE(f.w->statusPanel(1)->text(), QStringLiteral("while shown"));
        QVERIFY(!f.w->statusPanel(2)->text().isEmpty());
    }

    void showingTheWindowFirstBuildsItsControls()
    {
        Fixture f;
        f.w->show();
        QStringList menus;
        for (QAction* a : f.w->menuBar()->actions())
            menus << a->text();
        QCOMPARE(menus, (QStringList { "&File", "&Scan", "&View", "&Tools", "&Help" }));
        QVERIFY(!f.w->Label1()->isVisible());
    }

    // A tenth each for serial and time and eight tenths for the text, of 99 %
    // of the list's inner width; a narrow list still shows the headings and
    // the time whole, and the columns stay within the list, also once it
    // needs a scroll bar.
    void logColumnsShareTheListsWidth()
    {
        Fixture f(true);
        f.w->resize(1400, 600);
        f.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.w.get()));
        QTreeWidget* log = f.w->lvLog();
        const double usable = 0.99 * log->viewport()->width();
        QCOMPARE(log->columnWidth(0), int(usable * 0.10));
        QCOMPARE(log->columnWidth(1), int(usable * 0.10));
        QCOMPARE(log->columnWidth(2), int(usable * 0.80));

        log->resize(300, 120);
        for (int i = 0; i < 40; ++i)
            f.w->AddLogEntry(QStringLiteral("2101"), QStringLiteral("line"));
        QCOMPARE(f.w->lvLog()->topLevelItemCount(), 40);
        QCoreApplication::processEvents();
        QVERIFY(log->verticalScrollBar()->isVisible());
        const QFontMetrics fm = log->fontMetrics();
        QVERIFY(log->columnWidth(0) >= fm.horizontalAdvance(QStringLiteral("Serial")));
        QVERIFY(log->columnWidth(1) >= fm.horizontalAdvance(QStringLiteral("Timestamp")));
        QVERIFY(log->columnWidth(1) > fm.horizontalAdvance(QStringLiteral("23:59:59")));
        QVERIFY(log->columnWidth(0) + log->columnWidth(1) + log->columnWidth(2) <= log->viewport()->width());
    }

    void startScanKeysAndQueriesAndClearsThePreviousScan()
    {
        Fixture f;
        f.startScan();
        f.discovery->answer(unit("101", "198.51.100.11"));
        f.clock.advance(5000);
        QVERIFY(f.w->Units());
        f.w->ScanOptions().setInitialPing(false);
        f.w->ScanOptions().setMustHaveGPRS(true);

        f.startScan();
        QCOMPARE(f.discovery->macs, (QList<QByteArray> { kPcMac, kPcMac }));
        QCOMPARE(f.discovery->queries, (QStringList { "", "" }));
        QVERIFY(!f.w->Units());
        QVERIFY(f.view.rows.isEmpty());
        QCOMPARE(f.view.clears, 2);
        QCOMPARE(f.logColumn(2), (QStringList { "Scanning for Calvantor units" }));
        QVERIFY(f.w->ScanOptions().InitialPing());
        QVERIFY(!f.w->ScanOptions().MustHaveGPRS());
        QCOMPARE(f.w->ScanState(), int(frmMain::Collecting));
        QVERIFY(!f.w->UnitsLabelVisible());
        QCOMPARE(f.w->cVerevo(), f.discovery);
    }

    void scanControlsAreDisabledWhileScanning()
    {
        Fixture f;
        f.startScan();
        QVERIFY(!f.w->mnumnuScan()->isEnabled());
        QVERIFY(!f.w->scanToolButton()->isEnabled());
        QVERIFY(!f.w->cmdStartScan()->isEnabled());
        f.clock.advance(5000);
        QVERIFY(f.w->mnumnuScan()->isEnabled());
        QVERIFY(f.w->scanToolButton()->isEnabled());
        QVERIFY(f.w->cmdStartScan()->isEnabled());
    }

    void collectionWindowIs5000Ms()
    {
        Fixture f;
        f.startScan();
        f.discovery->answerAt(4999, unit("201", "198.51.100.21"));
        f.discovery->answerAt(5001, unit("202", "198.51.100.22"));
        f.clock.advance(4999);
        QCOMPARE(f.view.displays, 0);
        QCOMPARE(f.w->ScanState(), int(frmMain::Collecting));
        f.clock.advance(1);
        QCOMPARE(f.view.displays, 1);
        QCOMPARE(f.w->ScanState(), int(frmMain::Idle));
        f.clock.advance(10);
        QCOMPARE(f.view.rowTexts(), (QStringList { "201" }));
        QCOMPARE(f.w->Units()->Count(), qsizetype(1));
        QVERIFY(!f.w->Units()->Item(QStringLiteral("202")));
    }

    void startScanDuringCollectionStartsTheWindowAgain()
    {
        Fixture f;
        f.startScan();
        f.discovery->answer(unit("301", "198.51.100.31"));
        f.clock.advance(3000);
        f.w->StartScan();
        QVERIFY(!f.w->Units());
        f.clock.advance(4999);
        QCOMPARE(f.view.displays, 0);
        f.discovery->answer(unit("302", "198.51.100.32"));
        f.clock.advance(1);
        QCOMPARE(f.view.displays, 1);
        QCOMPARE(f.view.rowTexts(), (QStringList { "302" }));
    }

    void discoveryObjectRestsInCzAfterTheScan()
    {
        Fixture f;
        f.startScan();
        QCOMPARE(f.w->cVerevo(), f.discovery);
        QVERIFY(!f.w->cz());
        f.clock.advance(5000);
        QCOMPARE(f.view.heldDuringDisplay, f.discovery);
        QCOMPARE(f.w->cz(), f.discovery);
        QVERIFY(!f.w->cVerevo());
    }

    void answersOutsideTheWindowAreIgnored()
    {
        Fixture f;
        f.discovery->answer(unit("401", "198.51.100.41")); // before any scan, resting in cz
        QVERIFY(!f.w->Units());
        f.startScan();
        f.clock.advance(5000);
        f.discovery->answer(unit("402", "198.51.100.42")); // late
        QVERIFY(!f.w->Units());
        QCOMPARE(f.view.displays, 1);
        QVERIFY(!f.view.shownUnits);
    }

    void modelGate_data()
    {
        QTest::addColumn<qint32>("mode");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QString>("modelId");
        QTest::addColumn<bool>("listed");
        QTest::newRow("cellular mode, supported model") << 0 << false << QStringLiteral("KR5004") << true;
        QTest::newRow("cellular mode, model from maker text")
            << 0 << false << QStringLiteral("Velmar Systems. Velmar KR5001 Router") << true;
        QTest::newRow("cellular mode, foreign model") << 0 << false << QStringLiteral("XY100") << false;
        QTest::newRow("cellular mode, empty model") << 0 << false << QString() << false;
        QTest::newRow("cellular mode, foreign model, Shift held") << 0 << true << QStringLiteral("XY100") << true;
        QTest::newRow("Ethernet mode, foreign model") << 1 << false << QStringLiteral("XY100") << true;
        QTest::newRow("Ethernet mode, empty model") << 1 << false << QString() << true;
    }
    void modelGate()
    {
        QFETCH(qint32, mode);
        QFETCH(bool, shift);
        QFETCH(QString, modelId);
        QFETCH(bool, listed);
        Fixture f;
        f.mode = mode;
        f.shift = shift;
        f.startScan();
        f.discovery->answer(unit("500", "198.51.100.50", QStringLiteral("Calvantor KR5002 Unit")));
        f.discovery->answer(unit("501", "198.51.100.51", modelId));
        f.discovery->answer(unit("502", "198.51.100.52", QStringLiteral("KR-9")));
        f.clock.advance(5000);
        const QStringList expected = listed ? QStringList { "500", "501", "502" } : QStringList { "500", "502" };
        QCOMPARE(f.view.rowTexts(), expected);
        QCOMPARE(f.w->Units()->Count(), expected.size());
        QCOMPARE(bool(f.w->Units()->Item(QStringLiteral("501"))), listed);
        QCOMPARE(f.logColumn(0).contains(QStringLiteral("501")), listed);
        QCOMPARE(f.view.shownUnits, f.w->Units());
    }

    void duplicateSerialKeepsTheFirstAnswer()
    {
        Fixture f;
        f.startScan();
        f.discovery->answer(unit("600", "198.51.100.60"));
        IdResponse again = unit("600", "198.51.100.99", QStringLiteral("Calvantor KR5005 x"));
        again.UnitId = QStringLiteral("other");
        f.discovery->answerAt(500, again);
        f.clock.advance(5000);
        QCOMPARE(f.w->Units()->Count(), qsizetype(1));
        const auto rec = f.w->Units()->Item(QStringLiteral("600"));
        QCOMPARE(rec->ip(), QStringLiteral("198.51.100.60"));
        QCOMPARE(rec->UnitID(), QStringLiteral("U-600"));
        QCOMPARE(rec->model(), QStringLiteral("KR5004"));
        QCOMPARE(f.view.rowTexts(), (QStringList { "600" }));
        QCOMPARE(f.pings.size(), 1);
    }

    void noPingPossibleIsSaidOnceAScan_data()
    {
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<int>("checks");
        const QString why = QStringLiteral("Pings cannot be sent: test");
        QTest::newRow("pings possible") << QString() << QStringList { "198.51.100.1", "198.51.100.2" } << 1;
        QTest::newRow("no ICMP socket") << why << QStringList { "198.51.100.1", "198.51.100.2" } << 1;
        QTest::newRow("nothing to ping") << why << QStringList { "0.0.0.0", "" } << 0;
    }
    void noPingPossibleIsSaidOnceAScan()
    {
        QFETCH(QString, problem);
        QFETCH(QStringList, addresses);
        QFETCH(int, checks);
        Fixture f;
        f.mode = 1;
        f.pingProblem = problem;
        for (int scan = 1; scan <= 2; ++scan) {
            f.startScan();
            for (int i = 0; i < addresses.size(); ++i)
                f.discovery->answer(unit(QString::number(500 + i), addresses[i]));
            f.clock.advance(5000);
            QCOMPARE(f.pingChecks, checks * scan);
            // Newest first: the reason stands just before the first ping's line.
            QStringList log = f.logColumn(2);
            std::reverse(log.begin(), log.end());
            const bool said = checks > 0 && !problem.isEmpty();
            QCOMPARE(log.count(problem), said ? 1 : 0);
            if (said)
                QCOMPARE(
                    log.mid(1, 2), (QStringList { problem, "Pinging Unit SN: 500 with IP Address: 198.51.100.1" }));
            // The pings are still tried; the units show what they answered.
            QCOMPARE(f.pings.size(), checks * 2 * scan);
        }
    }

    void recordsOfOneScanAreBounded_data()
    {
        QTest::addColumn<int>("answering");
        QTest::addColumn<int>("recorded");
        QTest::addColumn<QString>("overflowLine");
        QTest::newRow("at the limit") << 10'000 << 10'000 << QString();
        QTest::newRow("beyond it") << 10'007 << 10'000
                                   << "7 more units answered beyond the limit of 10000 units a scan; they were "
                                      "not recorded";
    }
    void recordsOfOneScanAreBounded()
    {
        QFETCH(int, answering);
        QFETCH(int, recorded);
        QFETCH(QString, overflowLine);
        Fixture f;
        f.mode = 1;
        f.startScan();
        for (int i = 0; i < answering; ++i)
            f.discovery->answer(unit(QString::number(100'000 + i), QStringLiteral("0.0.0.0")));
        // A unit already recorded that answers again is no extra unit.
        f.discovery->answer(unit(QStringLiteral("100000"), QStringLiteral("0.0.0.0")));
        f.clock.advance(5000);
        QCOMPARE(f.w->Units()->Count(), qsizetype(recorded));
        QVERIFY(f.w->Units()->Item(QStringLiteral("109999")));
        QVERIFY(!f.w->Units()->Item(QStringLiteral("110000")));
        const QStringList log = f.logColumn(2);
        QCOMPARE(log.filter(QStringLiteral("beyond the limit")),
            overflowLine.isEmpty() ? QStringList() : QStringList { overflowLine });
        // Right after the opening line: the walk's lines come after it.
        if (!overflowLine.isEmpty())
            QCOMPARE(log[log.size() - 2], overflowLine);
    }

    // A record comes with its own command object, made for it as the unit
    // is first recorded; a unit answering again makes no second one.
    void everyRecordComesWithItsOwnCommandObject()
    {
        Fixture f;
        f.startScan();
        f.discovery->answer(unit("600", "198.51.100.60"));
        QCOMPARE(f.queriersMadeFor.size(), 1);
        f.discovery->answerAt(200, unit("601", "198.51.100.61"));
        f.discovery->answerAt(400, unit("600", "198.51.100.60"));
        f.clock.advance(5000);
        const auto first = f.w->Units()->Item(QStringLiteral("600"));
        const auto second = f.w->Units()->Item(QStringLiteral("601"));
        QCOMPARE(f.queriersMadeFor, (QList<const CQarUnitInfo*> { first.get(), second.get() }));
        QVERIFY(first->cuq() && second->cuq());
        QVERIFY(first->cuq() != second->cuq());
        QCOMPARE(f.queriersMadeFor.size(), 2);
    }

    void recordIsBuiltFromTheAnswer()
    {
        Fixture f;
        f.startScan();
        f.discovery->answer({ QByteArray::fromHex("00a0c6445566"), QStringLiteral("700"),
            QStringLiteral("198.51.100.70"), QStringLiteral("  Depot 7\r\n"), QString::fromLatin1("\tPID-9\0", 7),
            QStringLiteral(" Calvantor KR5003 Router \r\n") });
        f.clock.advance(5000);
        const auto rec = f.w->Units()->Item(QStringLiteral("700"));
        QCOMPARE(rec->Serial(), QStringLiteral("700"));
        QCOMPARE(rec->Mac(), QByteArray::fromHex("00a0c6445566"));
        QCOMPARE(rec->ip(), QStringLiteral("198.51.100.70"));
        QCOMPARE(rec->UnitID(), QStringLiteral("Depot 7"));
        QCOMPARE(rec->ProductID(), QStringLiteral("PID-9"));
        QCOMPARE(rec->model(), QStringLiteral("KR5003"));
        QVERIFY(!rec->Contacted());
        const auto row = f.view.rows.value(0);
        QCOMPARE(rec->li(), std::static_pointer_cast<UnitListRow>(row));
        QCOMPARE(row->subItem(UnitListRow::Model), QStringLiteral("KR5003"));
        QCOMPARE(row->subItem(UnitListRow::EthernetIP), QStringLiteral("198.51.100.70"));
        QCOMPARE(row->subItem(UnitListRow::UnitID), QStringLiteral("Depot 7"));
        QVERIFY(f.w->UnitsLabelVisible());
    }

    void livelinessByAddress_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<bool>("echoes");
        QTest::addColumn<QString>("pingable");
        QTest::addColumn<int>("liveliness");
        QTest::addColumn<bool>("pinged");
        // Where the echo went; empty when none was sent.
        QTest::addColumn<QString>("echoTo");
        QTest::newRow("answers the ping") << QStringLiteral("198.51.100.80") << false << true << QStringLiteral("Yes")
                                          << 2 << true << QStringLiteral("198.51.100.80");
        QTest::newRow("no echo") << QStringLiteral("198.51.100.80") << false << false << QStringLiteral("No") << 1
                                 << true << QStringLiteral("198.51.100.80");
        QTest::newRow("0.0.0.0 is no address")
            << QStringLiteral("0.0.0.0") << false << true << QStringLiteral("No IP Address") << 0 << false << QString();
        QTest::newRow("empty is no address")
            << QString() << false << true << QStringLiteral("No IP Address") << 0 << false << QString();
        QTest::newRow("a host name is resolved before the echo")
            << QStringLiteral("localhost") << false << false << QStringLiteral("No") << 1 << true
            << QStringLiteral("127.0.0.1");
        QTest::newRow("unknown name counts as an address, sends nothing")
            << QStringLiteral("not-an-address.invalid") << false << false << QStringLiteral("No") << 1 << true
            << QString();
        QTest::newRow("Shift held skips the ping")
            << QStringLiteral("198.51.100.80") << true << true << QStringLiteral("Skipped") << 0 << false << QString();
        QTest::newRow("Shift held, no address")
            << QStringLiteral("0.0.0.0") << true << true << QStringLiteral("No IP Address") << 0 << false << QString();
    }
    void livelinessByAddress()
    {
        QFETCH(QString, ip);
        QFETCH(bool, shift);
        QFETCH(bool, echoes);
        QFETCH(QString, pingable);
        QFETCH(int, liveliness);
        QFETCH(bool, pinged);
        QFETCH(QString, echoTo);
        Fixture f;
        f.shift = shift;
        if (echoes)
            f.answering << hostOrder("198.51.100.80");
        f.startScan();
        f.discovery->answer(unit("800", ip));
        f.clock.advance(5000);
        const auto rec = f.w->Units()->Item(QStringLiteral("800"));
        QCOMPARE(rec->Summary().Liveliness(), liveliness);
        QCOMPARE(f.view.rows.value(0)->subItem(UnitListRow::Pingable), pingable);
        QCOMPARE(f.pings.size(), echoTo.isEmpty() ? 0 : 1);
        if (!echoTo.isEmpty())
            QCOMPARE(f.pings[0].address, hostOrder(qPrintable(echoTo)));
        const QStringList log = f.logColumn(2);
        QCOMPARE(log.contains(QStringLiteral("Pinging Unit SN: 800 with IP Address: ") + ip), pinged);
        QVERIFY(log.contains(QStringLiteral("Querying SN: 800 With IP Address: ") + ip));
        QCOMPARE(f.view.statusTexts.size(), pinged ? 1 : 0);
        QVERIFY(!rec->Contacted());
    }

    void eachUnitIsPingedOnceWithTheLivelinessLabel()
    {
        Fixture f;
        f.answering << hostOrder("198.51.100.91");
        f.startScan();
        f.discovery->answer(unit("901", "198.51.100.91"));
        f.discovery->answer(unit("902", "203.0.113.92"));
        f.clock.advance(5000);
        QCOMPARE(f.pings.size(), 2);
        QCOMPARE(f.pings[0].address, hostOrder("198.51.100.91"));
        QCOMPARE(f.pings[1].address, hostOrder("203.0.113.92"));
        for (const Ping& p : f.pings) {
            QCOMPARE(p.payload, QStringLiteral("LIVELINESS CHECK"));
            QCOMPARE(p.timeout, 750);
            // While the ping runs the row shows its serial number alone.
            QVERIFY(p.rowModelWhilePinging.isEmpty());
        }
        QCOMPARE(f.view.statusTexts,
            (QStringList { "Pinging Unit SN: 901 with IP Address: 198.51.100.91",
                "Pinging Unit SN: 902 with IP Address: 203.0.113.92" }));
        QCOMPARE(f.w->Units()->Item(QStringLiteral("901"))->Summary().Liveliness(), 2);
        QCOMPARE(f.w->Units()->Item(QStringLiteral("902"))->Summary().Liveliness(), 1);
    }

    void logOfATwoUnitScan()
    {
        Fixture f;
        f.answering << hostOrder("198.51.100.11") << hostOrder("198.51.100.12");
        f.startScan();
        f.discovery->answerAt(100, unit("1001", "198.51.100.11"));
        f.discovery->answerAt(200, unit("1002", "198.51.100.12"));
        f.clock.advance(5000);
        QCOMPARE(f.logColumn(2),
            (QStringList {
                "2 Calvantor Units Located",
                "Scan Complete",
                "Querying SN: 1002 With IP Address: 198.51.100.12",
                "Pinging Unit SN: 1002 with IP Address: 198.51.100.12",
                "Querying SN: 1001 With IP Address: 198.51.100.11",
                "Pinging Unit SN: 1001 with IP Address: 198.51.100.11",
                "Scanning for Calvantor units",
            }));
        QCOMPARE(f.logColumn(0), (QStringList { "", "", "1002", "1002", "1001", "1001", "" }));
        QCOMPARE(f.w->statusPanel(1)->text(), QStringLiteral("2 Calvantor Units Located"));
    }

    void noUnitHandsOverNoCollection()
    {
        Fixture f;
        f.startScan();
        f.clock.advance(5000);
        QCOMPARE(f.view.displays, 1);
        QVERIFY(!f.view.shownUnits);
        QCOMPARE(f.logColumn(2),
            (QStringList { "No Calvantor units Located", "Scan Complete", "Scanning for Calvantor units" }));
        QVERIFY(!f.w->UnitsLabelVisible());
        QVERIFY(f.pings.isEmpty());
    }

    void allUnitsRefusedLeavesAnEmptyCollection()
    {
        Fixture f;
        f.startScan();
        f.discovery->answer(unit("1101", "198.51.100.110", QStringLiteral("XY100")));
        f.discovery->answer(unit("1102", "198.51.100.111", QStringLiteral("Calvantor ZZ9 Router")));
        f.clock.advance(5000);
        QVERIFY(f.view.shownUnits);
        QCOMPARE(f.view.shownUnits->Count(), qsizetype(0));
        QVERIFY(f.view.rows.isEmpty());
        QVERIFY(f.pings.isEmpty());
        QCOMPARE(f.logColumn(2),
            (QStringList { "No Calvantor units Located", "Scan Complete", "Scanning for Calvantor units" }));
    }

    void pageAskingForConfigurationRunsTheDoubleClick_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("page says configure") << true;
        QTest::newRow("page says no") << false;
    }
    void pageAskingForConfigurationRunsTheDoubleClick()
    {
        QFETCH(bool, answer);
        Fixture f;
        f.view.answer = answer;
        f.view.selectSerial = QStringLiteral("1101");
        f.startScan();
        f.discovery->answer(unit("1101", "198.51.100.111"));
        f.clock.advance(5000);
        QCOMPARE(f.configureRuns.size(), answer ? 1 : 0);
        if (answer)
            QCOMPARE(f.configureRuns[0].serial, QStringLiteral("1101"));
    }

    void scanFromTheMainWindowsOwnControlsLendsTheObject()
    {
        // Started without the page lending the object first (the main window's
        // own controls): it must still be listening, and rest again afterwards.
        Fixture f;
        f.w->StartScan();
        QCOMPARE(f.w->cVerevo(), f.discovery);
        f.discovery->answer(unit("1201", "198.51.100.121"));
        f.clock.advance(5000);
        QCOMPARE(f.view.rowTexts(), (QStringList { "1201" }));
        QCOMPARE(f.w->cz(), f.discovery);
    }

    void withoutASearchPageTheObjectStillGoesBackToRest()
    {
        Fixture f;
        f.w->setScanResultsView(nullptr);
        f.startScan();
        f.discovery->answer(unit("1301", "198.51.100.131"));
        f.clock.advance(5000);
        QCOMPARE(f.w->cz(), f.discovery);
        QVERIFY(!f.w->cVerevo());
        QVERIFY(!f.w->Units()->Item(QStringLiteral("1301"))->li());
        QCOMPARE(f.logColumn(2).first(), QStringLiteral("Scan Complete"));
    }

    void startScanDuringTheWalkIsRefused()
    {
        Fixture f;
        // A stray click while the walk pumps events between pings.
        f.duringPing = [&f] { f.w->StartScan(); };
        f.startScan();
        f.discovery->answer(unit("1401", "198.51.100.141"));
        f.discovery->answer(unit("1402", "198.51.100.142"));
        f.clock.advance(5000);
        QCOMPARE(f.view.rowTexts(), (QStringList { "1401", "1402" }));
        QCOMPARE(f.w->Units()->Count(), qsizetype(2));
        QCOMPARE(f.discovery->queries.size(), 1);
        QCOMPARE(f.view.displays, 1);
        QCOMPARE(f.w->ScanState(), int(frmMain::Idle));
        QCOMPARE(f.logColumn(2).last(), QStringLiteral("Scanning for Calvantor units"));
    }

    void menuItemCaptions_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("checkable");
        QTest::addColumn<bool>("checked");
        QTest::newRow("Exit from the table") << "mnuFileExit"
                                             << "E&xit" << false << false;
        QTest::newRow("Start New Scan kept") << "mnumnuScan"
                                             << "Start New Scan" << false << false;
        QTest::newRow("Toolbar from the table, ticked") << "mnuViewToolbar"
                                                        << "&Toolbar" << true << true;
        QTest::newRow("Status Bar from the table, ticked") << "mnuViewStatusBar"
                                                           << "Status &Bar" << true << true;
        QTest::newRow("Status Log kept") << "mnuStatusLog"
                                         << "Status &Log" << true << false;
        QTest::newRow("Select Interface kept") << "mnuInterface"
                                               << "&Select Interface" << false << false;
        QTest::newRow("Web Browser from the table") << "mnuViewWebBrowser"
                                                    << "&Web Browser" << false << false;
        QTest::newRow("Telnet from the table") << "mnuViewTelnet"
                                               << "&Telnet" << false << false;
        QTest::newRow("Advanced Options kept") << "mnuOptions"
                                               << "&Advanced Options" << false << false;
        QTest::newRow("About with its trailing blank") << "mnuHelpAbout"
                                                       << "&About " << false << false;
    }
    void menuItemCaptions()
    {
        QFETCH(QString, item);
        QFETCH(QString, caption);
        QFETCH(bool, checkable);
        QFETCH(bool, checked);
        Fixture f;
        QAction* a = menuItem(*f.w, item);
        QVERIFY(a);
        QCOMPARE(a->text(), caption);
        QCOMPARE(a->isCheckable(), checkable);
        QCOMPARE(a->isChecked(), checked);
    }

    void designOfTheWindow()
    {
        Fixture f;
        QCOMPARE(f.w->windowTitle(), QStringLiteral("VelmarWizard"));
        QCOMPARE(f.w->cmdStartScan()->text(), QStringLiteral("Start search for Velmar units"));
        QStringList columns;
        for (int c = 0; c < f.w->lvUnits()->columnCount(); ++c)
            columns << f.w->lvUnits()->headerItem()->text(c);
        QCOMPARE(columns,
            (QStringList { "Serial Number", "Ethernet MAC", "Ethernet IP", "Unit ID", "Product ID", "Contacted" }));
        QCOMPARE(f.w->lvUnits()->topLevelItemCount(), 0);
        QCOMPARE(f.w->tbToolBar()->actions(), (QList<QAction*> { f.w->scanToolButton(), f.w->stopScanToolButton() }));
        QCOMPARE(f.w->statusPanel(1)->text(), QStringLiteral("Status"));
        // 10:23:45 on the first day of the simulated clock.
        QCOMPARE(f.w->statusPanel(2)->text(), QLocale().toString(QDate(1970, 1, 1), QLocale::ShortFormat));
        QCOMPARE(f.w->statusPanel(3)->text(), QLocale().toString(QTime(10, 23, 45), QLocale::ShortFormat));
    }

    void viewToggles_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("toolbar") << "mnuViewToolbar";
        QTest::newRow("status bar") << "mnuViewStatusBar";
    }
    void viewToggles()
    {
        QFETCH(QString, item);
        Fixture f;
        QAction* a = menuItem(*f.w, item);
        QWidget* bar = item == QLatin1String("mnuViewToolbar") ? static_cast<QWidget*>(f.w->tbToolBar())
                                                               : static_cast<QWidget*>(f.w->statusBar());
        QVERIFY(bar->isVisibleTo(f.w.get()));
        a->trigger();
        QVERIFY(!a->isChecked());
        QVERIFY(!bar->isVisibleTo(f.w.get()));
        a->trigger();
        QVERIFY(a->isChecked());
        QVERIFY(bar->isVisibleTo(f.w.get()));
    }

    void statusLogItemTogglesTheLogAndTheSetting_data()
    {
        QTest::addColumn<bool>("initially");
        QTest::newRow("hidden, then shown") << false;
        QTest::newRow("shown, then hidden") << true;
    }
    void statusLogItemTogglesTheLogAndTheSetting()
    {
        QFETCH(bool, initially);
        Fixture f(initially);
        f.w->mnuStatusLog()->trigger();
        QCOMPARE(f.settings.ShowStatusLog, !initially);
        QCOMPARE(f.w->mnuStatusLog()->isChecked(), !initially);
        QCOMPARE(f.w->lvLog()->isVisibleTo(f.w.get()), !initially);
        QCOMPARE(f.w->Label5()->isVisibleTo(f.w.get()), !initially);
        f.w->close();
        QCOMPARE(f.storedText(QStringLiteral("ShowStatusLog")),
            initially ? QStringLiteral("False") : QStringLiteral("True"));
    }

    // The stop button belongs to a Configure Units run: before one, and
    // during a scan, it is greyed out, and a click on it raises nothing that
    // the wizard's later waits would find.
    void stopIsGreyedOutsideARun()
    {
        Fixture f;
        f.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.w.get()));
        QWidget* button = f.w->tbToolBar()->widgetForAction(f.w->stopScanToolButton());
        QVERIFY(button);
        QVERIFY(!f.w->stopScanToolButton()->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!f.cancelRequested);
        f.startScan();
        QVERIFY(!f.w->stopScanToolButton()->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
        f.discovery->answer(unit("1501", "198.51.100.151"));
        f.clock.advance(5000);
        QCOMPARE(f.view.rowTexts(), (QStringList { "1501" }));
        QVERIFY(!f.w->stopScanToolButton()->isEnabled());
        QVERIFY(!f.cancelRequested);
    }

    void ownScanControlsStartAScan_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("start button") << "button";
        QTest::newRow("Scan menu") << "menu";
        QTest::newRow("toolbar Scan") << "toolbar";
    }
    void ownScanControlsStartAScan()
    {
        QFETCH(QString, control);
        Fixture f;
        QCOMPARE(f.w->cz(), f.discovery);
        if (control == QLatin1String("button"))
            QTest::mouseClick(f.w->cmdStartScan(), Qt::LeftButton);
        else if (control == QLatin1String("menu"))
            f.w->mnumnuScan()->trigger();
        else
            f.w->scanToolButton()->trigger();
        QCOMPARE(f.w->ScanState(), int(frmMain::Collecting));
        QCOMPARE(f.w->cVerevo(), f.discovery);
        QVERIFY(!f.w->cz());
        QCOMPARE(f.discovery->queries.size(), 1);
        QVERIFY(!f.w->cmdStartScan()->isEnabled());
        QVERIFY(!f.w->mnumnuScan()->isEnabled());
        QVERIFY(!f.w->scanToolButton()->isEnabled());
        f.discovery->answer(unit("1601", "198.51.100.161"));
        f.clock.advance(5000);
        QCOMPARE(f.view.rowTexts(), (QStringList { "1601" }));
        QCOMPARE(f.w->cz(), f.discovery);
        QVERIFY(f.w->cmdStartScan()->isEnabled());
    }

    void itemsOfLaterWindows_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("opens");
        QTest::newRow("Select Interface") << "mnuInterface"
                                          << "interface";
        QTest::newRow("Advanced Options") << "mnuOptions"
                                          << "options";
        QTest::newRow("About") << "mnuHelpAbout"
                               << "about";
        QTest::newRow("Web Browser") << "mnuViewWebBrowser"
                                     << "browser";
        QTest::newRow("Telnet") << "mnuViewTelnet"
                                << "";
        QTest::newRow("Stop") << "StopScan"
                              << "";
    }
    void itemsOfLaterWindows()
    {
        QFETCH(QString, item);
        QFETCH(QString, opens);
        {
            Fixture f(FixtureOptions { .noHooks = true });
            QAction* a = menuItem(*f.w, item);
            QVERIFY(!a->isEnabled());
            a->trigger();
            QVERIFY(f.dialogsOpened.isEmpty());
            QVERIFY(f.prompts.boxes.isEmpty());
            QVERIFY(!f.cancelRequested);
        }
        if (opens.isEmpty())
            return;
        Fixture f;
        QAction* a = menuItem(*f.w, item);
        QVERIFY(a->isEnabled());
        a->trigger();
        QCOMPARE(f.dialogsOpened, QStringList { opens });
        QCOMPARE(f.dialogOwners.first(), opens == QLatin1String("browser") ? nullptr : f.w.get());
    }

    void doubleClickWithoutThePipelineDoesNothing()
    {
        Fixture f(FixtureOptions { .noHooks = true });
        f.scanUnits({ unit("1701", "198.51.100.171") }, QStringLiteral("1701"));
        f.w->lvUnits_DblClick();
        f.view.selectSerial.clear();
        f.w->lvUnits_DblClick();
        QVERIFY(f.prompts.boxes.isEmpty());
        QCOMPARE(f.w->cz(), f.discovery);
    }

    // The position keys are written at unload and read back by nothing: a
    // stored set, whole or not, leaves the window where it was built.
    void windowPositionIsNotReadBack_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::newRow("all four keys") << QStringList { "1500", "900", "9000", "6000" };
        QTest::newRow("one key missing") << QStringList { "1500", "900", "9000" };
    }
    void windowPositionIsNotReadBack()
    {
        QFETCH(QStringList, values);
        FixtureOptions options;
        for (qsizetype i = 0; i < values.size(); ++i)
            options.stored[kWindowKeys[i]] = values[i];
        Fixture f(options);
        QCOMPARE(f.w->geometry(), Fixture().w->geometry());
    }

    // The window's own list never has rows; a double click anywhere on it,
    // or Return while it has the focus, runs Configure Units on the unit
    // chosen in the search page. Other clicks and keys do nothing.
    void theEmptyListStartsTheRun_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<int>("runs");
        QTest::newRow("double click") << "double click" << 1;
        QTest::newRow("Return") << "Return" << 1;
        QTest::newRow("Enter on the keypad") << "Enter" << 1;
        QTest::newRow("single click") << "click" << 0;
        QTest::newRow("Space") << "Space" << 0;
    }
    void theEmptyListStartsTheRun()
    {
        QFETCH(QString, gesture);
        QFETCH(int, runs);
        Fixture f;
        f.scanUnits({ unit("1911", "198.51.100.191") }, QStringLiteral("1911"));
        f.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.w.get()));
        QTreeWidget* list = f.w->lvUnits();
        QCOMPARE(list->topLevelItemCount(), 0);
        QWidget* top = f.w.get();
        const QPoint centre = list->viewport()->mapTo(top, list->viewport()->rect().center());
        list->setFocus();
        if (gesture == u"double click")
            QTest::mouseDClick(top->windowHandle(), Qt::LeftButton, {}, centre);
        else if (gesture == u"click")
            QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, centre);
        else if (gesture == u"Return")
            QTest::keyClick(list, Qt::Key_Return);
        else if (gesture == u"Enter")
            QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
        else
            QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(f.configureRuns.size(), runs);
        if (runs)
            QCOMPARE(f.configureRuns[0].unitSerials, QStringList { "1911" });
    }

    void unloadWritesTheSettingsAndEndsTheProgram_data()
    {
        QTest::addColumn<bool>("viaExit");
        QTest::newRow("Exit menu") << true;
        QTest::newRow("close box") << false;
    }
    void unloadWritesTheSettingsAndEndsTheProgram()
    {
        QFETCH(bool, viaExit);
        Fixture f;
        f.settings.APN = QStringLiteral("lab.apn");
        f.settings.RebootTime = 75;
        f.settings.PingTimeout = 1250;
        f.settings.TestHost = QStringLiteral("198.51.100.1");
        f.w->move(40, 30);
        f.w->resize(600, 400);
        QVERIFY(!f.stored(QStringLiteral("APN")));
        if (viaExit)
            f.w->mnuFileExit()->trigger();
        else
            f.w->close();
        QVERIFY(f.w->unloaded());
        QCOMPARE(f.ends, 1);
        QVERIFY(!f.w->cz());
        QVERIFY(!f.w->cVerevo());
        QStringList values;
        for (const QString& key : kSettingKeys)
            values << f.storedText(key);
        QCOMPARE(values,
            (QStringList {
                "lab.apn", "*99#", "75", "180", "1", "False", "files", "gprscfg.da0", "198.51.100.1", "1250" }));
        const double tpp = Twips::twipsPerPixel(f.w->logicalDpiX());
        QCOMPARE(f.storedText(QStringLiteral("MainLeft")).toDouble(), qRound(40 * tpp) * 1.0);
        QCOMPARE(f.storedText(QStringLiteral("MainTop")).toDouble(), qRound(30 * tpp) * 1.0);
        QCOMPARE(f.storedText(QStringLiteral("MainWidth")).toDouble(), qRound(600 * tpp) * 1.0);
        QCOMPARE(f.storedText(QStringLiteral("MainHeight")).toDouble(), qRound(400 * tpp) * 1.0);
    }

    void unloadOfAMaximisedOrMinimisedWindowSkipsThePosition_data()
    {
        QTest::addColumn<int>("state");
        QTest::newRow("maximised") << int(Qt::WindowMaximized);
        QTest::newRow("minimised") << int(Qt::WindowMinimized);
    }
    void unloadOfAMaximisedOrMinimisedWindowSkipsThePosition()
    {
        QFETCH(int, state);
        Fixture f;
        f.w->setWindowState(Qt::WindowStates(state));
        f.w->close();
        for (const QString& key : kWindowKeys)
            QVERIFY2(!f.stored(key), qPrintable(key));
        QCOMPARE(f.storedText(QStringLiteral("PingTimeout")), QStringLiteral("750"));
        QCOMPARE(f.ends, 1);
    }

    void unloadCanHappenOnlyOnce()
    {
        Fixture f;
        f.w->close();
        f.w->mnuFileExit()->trigger();
        QCOMPARE(f.ends, 1);
    }

    // The unload ends the discovery object at once when no unit action
    // holds it, else as the outermost one holding it returns; an action run
    // from inside another holds it too.
    void unloadEndsTheDiscoveryObjectOnceTheLastLoanIsBack_data()
    {
        QTest::addColumn<int>("depth");
        QTest::newRow("nothing lent") << 0;
        QTest::newRow("lent to a Configure Units run") << 1;
        QTest::newRow("lent to a run inside another") << 2;
    }
    void unloadEndsTheDiscoveryObjectOnceTheLastLoanIsBack()
    {
        QFETCH(int, depth);
        Fixture f;
        f.scanUnits({ unit("2501", "198.51.100.251") }, QStringLiteral("2501"));
        const QPointer<clsVerevo> object(f.discovery);
        QList<bool> alive;
        int runs = 0;
        f.duringConfigure = [&] {
            if (++runs < depth)
                f.w->lvUnits_DblClick();
            else
                f.w->close();
            alive << !object.isNull();
        };
        if (depth == 0)
            f.w->close();
        else
            f.w->lvUnits_DblClick();
        alive << !object.isNull();
        QList<bool> expected(depth, true);
        expected << false;
        QCOMPARE(alive, expected);
        QCOMPARE(f.configureRuns.size(), depth);
        QCOMPARE(f.ends, 1);
        QVERIFY(!f.w->cz());
        QVERIFY(!f.w->cVerevo());
    }

    void doubleClickWithoutASelectedRowAsks()
    {
        Fixture f;
        f.scanUnits({ unit("1801", "198.51.100.181") }, QString());
        f.w->lvUnits_DblClick();
        QCOMPARE(f.prompts.texts(), QStringList { "Select a unit from the List first" });
        QCOMPARE(f.prompts.boxes[0].icon, UserPrompts::Icon::None);
        QVERIFY(f.prompts.boxes[0].title.isEmpty());
        QVERIFY(f.configureRuns.isEmpty());
    }

    void doubleClickRunsThePipelineOnTheChosenUnit()
    {
        Fixture f;
        f.scanUnits({ unit("1901", "198.51.100.191"), unit("1902", "198.51.100.192") }, QStringLiteral("1902"));
        QCOMPARE(f.w->cz(), f.discovery);
        f.w->lvUnits_DblClick();
        QCOMPARE(f.configureRuns.size(), 1);
        QCOMPARE(f.configureRuns[0].serial, QStringLiteral("1902"));
        QCOMPARE(f.configureRuns[0].unitSerials, QStringList { "1902" });
        QCOMPARE(f.configureRuns[0].discovery, f.discovery);
        QVERIFY(!f.configureRuns[0].czDuring);
        QCOMPARE(f.w->cz(), f.discovery);
        QVERIFY(f.prompts.boxes.isEmpty());
    }

    // Both unit actions find the record by the exact text of the selected
    // row: serials that are no 32-bit number reach their unit, and a row
    // whose text reads as the same number as another's does not.
    void theSelectedRowsOwnTextFindsTheUnit_data()
    {
        QTest::addColumn<QStringList>("serials");
        QTest::addColumn<QString>("selected");
        QTest::newRow("letters inside the serial") << QStringList { "61", "61A00" } << "61A00";
        QTest::newRow("a serial beyond 32 bits") << QStringList { "0", "4294967296" } << "4294967296";
        QTest::newRow("leading zeros are another serial") << QStringList { "0061000", "61000" } << "61000";
        QTest::newRow("and find their own row") << QStringList { "61000", "0061000" } << "0061000";
    }
    void theSelectedRowsOwnTextFindsTheUnit()
    {
        QFETCH(QStringList, serials);
        QFETCH(QString, selected);
        Fixture f;
        QList<IdResponse> answers;
        for (qsizetype i = 0; i < serials.size(); ++i)
            answers << unit(serials[i], QStringLiteral("198.51.100.%1").arg(50 + i));
        f.scanUnits(answers, selected);
        QCOMPARE(f.view.rowTexts(), serials);
        f.w->lvUnits_DblClick();
        f.w->mnuViewTelnet()->trigger();
        QCOMPARE(f.configureRuns.size(), 1);
        QCOMPARE(f.configureRuns[0].serial, selected);
        QCOMPARE(f.configureRuns[0].unitSerials, QStringList { selected });
        QCOMPARE(f.terminals.size(), 1);
        QCOMPARE(f.terminals[0].serial, selected);
        QVERIFY(f.prompts.boxes.isEmpty());
    }

    void rowOfAnEarlierScanFindsNoUnit()
    {
        Fixture f;
        f.scanUnits({ unit("2001", "198.51.100.201") }, QStringLiteral("2001"));
        const auto earlierRow = f.view.selectedUnitRow();
        f.scanUnits({ unit("2002", "198.51.100.202") }, QString());
        // The page still holds the old row selected.
        f.view.rows.prepend(std::static_pointer_cast<RecordedRow>(earlierRow));
        f.view.selectSerial = QStringLiteral("2001");
        f.w->lvUnits_DblClick();
        f.w->mnuViewTelnet()->trigger();
        QVERIFY(f.configureRuns.isEmpty());
        QVERIFY(f.terminals.isEmpty());
        QVERIFY(f.prompts.boxes.isEmpty());
    }

    void telnetWithoutASelectedRowInforms()
    {
        Fixture f;
        f.scanUnits({ unit("2101", "198.51.100.211") }, QString());
        f.w->mnuViewTelnet()->trigger();
        QCOMPARE(f.prompts.texts(), QStringList { "Select a unit from the list first" });
        QCOMPARE(f.prompts.boxes[0].icon, UserPrompts::Icon::Information);
        QVERIFY(f.terminals.isEmpty());
    }

    void telnetOnAUnitWithoutAddressInforms()
    {
        Fixture f;
        f.scanUnits({ unit("2201", QString()) }, QStringLiteral("2201"));
        f.w->mnuViewTelnet()->trigger();
        QCOMPARE(f.prompts.texts(), QStringList { "This unit does not have an IP address" });
        QCOMPARE(f.prompts.boxes[0].icon, UserPrompts::Icon::Information);
        QVERIFY(f.terminals.isEmpty());
        QVERIFY(!f.w->TermForm());
    }

    void telnetTwiceReplacesTheTerminal()
    {
        Fixture f;
        f.scanUnits({ unit("2301", "198.51.100.231") }, QStringLiteral("2301"));
        f.w->mnuViewTelnet()->trigger();
        QPointer<QWidget> first = f.lastTerminal;
        QVERIFY(first);
        QCOMPARE(f.w->TermForm(), first.data());
        QCOMPARE(f.terminals[0].discovery, f.discovery);
        QVERIFY(!f.terminals[0].czDuring);
        QCOMPARE(f.w->cz(), f.discovery);
        f.w->mnuViewTelnet()->trigger();
        QCOMPARE(f.terminals.size(), 2);
        QVERIFY(f.terminals[1].earlierTerminalGone);
        QVERIFY(!first);
        QCOMPARE(f.w->TermForm(), f.lastTerminal.data());
        // The unload takes the terminal with it.
        QPointer<QWidget> second = f.lastTerminal;
        f.w->close();
        QVERIFY(!second);
    }

    void failedLoginOpensNoTerminalAndReturnsTheObject()
    {
        Fixture f;
        f.loginSucceeds = false;
        f.scanUnits({ unit("2401", "198.51.100.241") }, QStringLiteral("2401"));
        f.w->mnuViewTelnet()->trigger();
        QCOMPARE(f.terminals.size(), 1);
        QVERIFY(!f.w->TermForm());
        QCOMPARE(f.w->cz(), f.discovery);
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
