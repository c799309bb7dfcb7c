#include "RecordingScanView.h"
#include "SimulatedClock.h"
#include "app/frmMain.h"
#include "unit/clsUnitQuerier.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <arpa/inet.h>

namespace {

struct IdResponse {
    QByteArray mac;
    QString SN, IPadd, UnitId, ProductId, ModelId;
};

// The discovery object as the scan sees it; answers are played from the
// clock so that they arrive inside the event loop as real datagrams do.
class FakeDiscovery final : public DiscoveryChannel {
public:
    explicit FakeDiscovery(SimulatedClock& clock)
        : m_clock(clock)
    { }
    void SetMac(const QByteArray& mac) override { macs << mac; }
    void SendQuery(const QString& id) override
    {
        queries << id;
        queryTimes << m_clock.monotonicMs();
    }
    void answer(const IdResponse& r) { emit RuraIDResponse(r.mac, r.SN, r.IPadd, r.UnitId, r.ProductId, r.ModelId); }
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
    int doubleClicks = 0;
    std::function<void()> duringPing;
    UnitInterfacePrefixes prefixes;
    bool cancelRequested = false;
    QList<const CQarUnitInfo*> queriersMadeFor;
    std::unique_ptr<frmMain> w;

    explicit Fixture(bool showStatusLog = false)
    {
        settings.PingTimeout = 750;
        settings.ShowStatusLog = showStatusLog;
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
                    return std::unique_ptr<DiscoveryChannel>(std::move(d));
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
            .settings = settings,
            .WizardMode = [this] { return mode; },
            .ShiftKeyDown = [this] { return shift; },
            .lvUnits_DblClick = [this] { ++doubleClicks; },
            .createQuerier =
                [this](CQarUnitInfo& unit) {
                    queriersMadeFor << &unit;
                    return std::make_unique<clsUnitQuerier>(clock, prefixes, settings.RebootTime, cancelRequested,
                        [](const QString&, const QString&) {}, [&unit] { return unit.Mac(); });
                },
        };
        w = std::make_unique<frmMain>(std::move(s));
        view.window = w.get();
        w->setScanResultsView(&view);
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

    void loadPutsTheStringTableIntoTheCaptions()
    {
        Fixture f;
        QStringList menus;
        for (QAction* a : f.w->menuBar()->actions())
            menus << a->text();
        QCOMPARE(menus, (QStringList { "&Scan", "&View" }));
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

    void logColumnsShareTheListsWidth()
    {
        Fixture f(true);
        f.w->resize(900, 600);
        f.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.w.get()));
        for (int width : { f.w->lvLog()->width(), 417 }) {
            f.w->lvLog()->resize(width, 200);
            QCoreApplication::processEvents();
            const double usable = 0.99 * f.w->lvLog()->width();
            QCOMPARE(f.w->lvLog()->columnWidth(0), int(usable * 0.10));
            QCOMPARE(f.w->lvLog()->columnWidth(1), int(usable * 0.10));
            QCOMPARE(f.w->lvLog()->columnWidth(2), int(usable * 0.80));
        }
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
        QVERIFY(f.w->stopScanToolButton()->isEnabled());
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

    void everyNewRecordGetsItsOwnCommandObject()
    {
        Fixture f;
        f.startScan();
        f.discovery->answer(unit("600", "198.51.100.60"));
        f.discovery->answerAt(200, unit("601", "198.51.100.61"));
        f.discovery->answerAt(400, unit("600", "198.51.100.60"));
        f.clock.advance(5000);
        const auto first = f.w->Units()->Item(QStringLiteral("600"));
        const auto second = f.w->Units()->Item(QStringLiteral("601"));
        QVERIFY(first->cuq() && second->cuq());
        QVERIFY(first->cuq() != second->cuq());
        QCOMPARE(f.queriersMadeFor, (QList<const CQarUnitInfo*> { first.get(), second.get() }));
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
        QTest::newRow("answers the ping")
            << QStringLiteral("198.51.100.80") << false << true << QStringLiteral("Yes") << 2 << true;
        QTest::newRow("no echo") << QStringLiteral("198.51.100.80") << false << false << QStringLiteral("No") << 1
                                 << true;
        QTest::newRow("0.0.0.0 is no address")
            << QStringLiteral("0.0.0.0") << false << true << QStringLiteral("No IP Address") << 0 << false;
        QTest::newRow("empty is no address")
            << QString() << false << true << QStringLiteral("No IP Address") << 0 << false;
        QTest::newRow("unreadable text counts as an address")
            << QStringLiteral("not-an-address") << false << false << QStringLiteral("No") << 1 << true;
        QTest::newRow("Shift held skips the ping")
            << QStringLiteral("198.51.100.80") << true << true << QStringLiteral("Skipped") << 0 << false;
        QTest::newRow("Shift held, no address")
            << QStringLiteral("0.0.0.0") << true << true << QStringLiteral("No IP Address") << 0 << false;
    }
    void livelinessByAddress()
    {
        QFETCH(QString, ip);
        QFETCH(bool, shift);
        QFETCH(bool, echoes);
        QFETCH(QString, pingable);
        QFETCH(int, liveliness);
        QFETCH(bool, pinged);
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
        QCOMPARE(f.pings.size(), pinged ? 1 : 0);
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
        f.startScan();
        f.clock.advance(5000);
        QCOMPARE(f.doubleClicks, answer ? 1 : 0);
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
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
