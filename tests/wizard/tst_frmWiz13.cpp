// The final page: its outcome text from a real ping of the unit and the real
// gateway and name server of the PC's adapter (see PcPageRig), and Browse
// against the units' web server, run in this process on the PC's loopback so
// that its hanging and refusing modes meet the program's HTTP client.
#include "PcPageRig.h"
#include "SimWebServer.h"
#include "SimulatedClock.h"
#include "app/Twips.h"
#include "app/frmSummary.h"
#include "wizard/frmWiz13.h"

#include <QApplication>
#include <QLabel>
#include <QNetworkReply>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

namespace {
const QString kP = QStringLiteral("\r\r");
const QString kCongratulations = QStringLiteral("Congratulations, you have successfully configured the Calvantor. ");
const QString kComplete = QStringLiteral("The wizard is now complete. ");
const QString kConnected = QStringLiteral("The Calvantor connected succesfully to the Internet or other WAN. ");
const QString kNotConnected
    = QStringLiteral("The Calvantor did NOT connect succesfully to the Internet or other WAN. ");
const QString kBoth = QStringLiteral("The PC is now using the Calvantor as its default gateway and DNS server. ");
const QString kDnsOnly
    = QStringLiteral("The PC is now using the Calvantor as its DNS server but not its default gateway. ");
const QString kGatewayOnly
    = QStringLiteral("The PC is now using the Calvantor as its default gateway but not its DNS server. ");
const QString kNeither
    = QStringLiteral("The PC is not now using the Calvantor as either its default gateway or DNS server. ");
const QString kShould = QStringLiteral(
    "This means that you should be able to route through the Calvantor to the Internet or other WAN right now. ");
const QString kWillNot = QStringLiteral(
    "This means that you will NOT be able to route through the Calvantor to the Internet or other WAN right now. ");
const QString kHint
    = QStringLiteral("You can configure the Calvantor further by clicking the 'Browse Calvantor' button below. ");
const QString kNoPing = QStringLiteral("As the PC cannot ping the Calvantor right now, it will not be possible to "
                                       "configure the Calvantor further by Ethernet at this stage. ");
// An address of the PC's subnet where nothing answers.
const QString kSilent = QStringLiteral("198.51.100.12");

// The program's HTTP client, noting each request as it is made, with the
// time of the wizard's clock.
class NotingHttp : public QNetworkAccessManager {
public:
    explicit NotingHttp(Clock& clock)
        : m_clock(clock)
    { }
    struct Sent {
        QString method;
        QUrl url;
        QByteArray body;
        qint64 atMs;
    };
    QList<Sent> sent;

protected:
    QNetworkReply* createRequest(Operation op, const QNetworkRequest& request, QIODevice* data) override
    {
        sent << Sent { op == PostOperation ? QStringLiteral("POST") : QStringLiteral("GET"), request.url(),
            data ? data->peek(data->size()) : QByteArray(), m_clock.monotonicMs() };
        return QNetworkAccessManager::createRequest(op, request, data);
    }

private:
    Clock& m_clock;
};

// The final page on a router of its own, with the units' web server on the
// PC's loopback and a clock chosen by the test.
struct BrowseStage {
    BrowseStage(Clock& c, SimWebMode mode, const QString& unitIp = QStringLiteral("127.0.0.1"))
        : clock(c)
        , http(c)
    {
        config.bindAddress = QHostAddress::LocalHost;
        config.webPort = 80;
        config.webMode = mode;
        server = std::make_unique<SimWebServer>(config);
        QString error;
        listening = server->listen(&error);
        interfaces.LanAdapterCount = 1;
        state.UnitIP = unitIp;
        state.ConfigOption = 1;
        WizardServices services;
        services.pingHost = [](const QString&, const QString&, qint32) { return true; };
        services.http = [this]() -> QNetworkAccessManager* { return &http; };
        services.store = &store;
        services.openUrl = [this](const QUrl& url) {
            opened << url;
            openedAtMs = clock.monotonicMs();
            return browserStarts;
        };
        router = std::make_unique<WizardRouter>(
            state, prompts, clock, [] { return false; }, [this] { ++ends; }, nullptr, std::move(services));
        router->registerPage(
            PageId::Wiz13, [](WizardRouter& r, QWidget* owner) -> WizardPage* { return new frmWiz13(r, owner); });
        router->registerPage(PageId::Wiz12A,
            [](WizardRouter& r, QWidget* owner) -> WizardPage* { return new StubPage(PageId::Wiz12A, r, owner); });
        page = static_cast<frmWiz13*>(router->open(PageId::Wiz13));
    }
    ~BrowseStage() { router.reset(); }

    QStringList methods() const
    {
        QStringList out;
        for (const auto& s : http.sent)
            out << s.method + u' ' + s.url.toString();
        return out;
    }

    Clock& clock;
    QTemporaryDir home;
    QSettings store { home.filePath(QStringLiteral("Linkwise.ini")), QSettings::IniFormat };
    SimConfig config;
    std::unique_ptr<SimWebServer> server;
    bool listening = false;
    NotingHttp http;
    UsableInterfaces interfaces;
    WizardState state { interfaces };
    RecordingPrompts prompts;
    QList<QUrl> opened;
    qint64 openedAtMs = -1;
    bool browserStarts = true;
    int ends = 0;
    std::unique_ptr<WizardRouter> router;
    frmWiz13* page = nullptr;
};
} // namespace

class tst_frmWiz13 : public QObject {
    Q_OBJECT

    PcPageRig m_rig;

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QVERIFY2(m_rig.build(), qPrintable(m_rig.lastError()));
    }

    // Every combination of the four facts, each made real: the unit answers
    // its ping or is silent, the PC's adapter has the unit or another host
    // as gateway and name server; the cellular test is the wizard's record.
    void outcome_data()
    {
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<bool>("gateway");
        QTest::addColumn<bool>("dns");
        QTest::addColumn<bool>("cellular");
        QTest::addColumn<QStringList>("pieces");
        const QString c = kCongratulations, w = kComplete;
        // clang-format off
        QTest::newRow("R G D W") << true  << true  << true  << true  << QStringList { c, kConnected,    kP, kBoth,        kP, kShould,  kP, kHint };
        QTest::newRow("R G D -") << true  << true  << true  << false << QStringList { w, kNotConnected, kP, kBoth,        kP, kWillNot, kP, kHint };
        QTest::newRow("R G - W") << true  << true  << false << true  << QStringList { w, kConnected,    kP, kGatewayOnly, kP, kWillNot, kP, kHint };
        QTest::newRow("R G - -") << true  << true  << false << false << QStringList { w, kNotConnected, kP, kGatewayOnly, kP, kWillNot, kP, kHint };
        QTest::newRow("R - D W") << true  << false << true  << true  << QStringList { w, kConnected,    kP, kDnsOnly,     kP, kWillNot, kP, kHint };
        QTest::newRow("R - D -") << true  << false << true  << false << QStringList { w, kNotConnected, kP, kDnsOnly,     kP, kWillNot, kP, kHint };
        QTest::newRow("R - - W") << true  << false << false << true  << QStringList { w, kConnected,    kP, kNeither,     kP, kWillNot, kP, kHint };
        QTest::newRow("R - - -") << true  << false << false << false << QStringList { w, kNotConnected, kP, kNeither,     kP, kWillNot, kP, kHint };
        QTest::newRow("- G D W") << false << true  << true  << true  << QStringList { w, kConnected,    kP, kBoth,        kP, kNoPing };
        QTest::newRow("- G D -") << false << true  << true  << false << QStringList { w, kNotConnected, kP, kBoth,        kP, kNoPing };
        QTest::newRow("- G - W") << false << true  << false << true  << QStringList { w, kConnected,    kP, kGatewayOnly, kP, kNoPing };
        QTest::newRow("- G - -") << false << true  << false << false << QStringList { w, kNotConnected, kP, kGatewayOnly, kP, kNoPing };
        QTest::newRow("- - D W") << false << false << true  << true  << QStringList { w, kConnected,    kP, kDnsOnly,     kP, kNoPing };
        QTest::newRow("- - D -") << false << false << true  << false << QStringList { w, kNotConnected, kP, kDnsOnly,     kP, kNoPing };
        QTest::newRow("- - - W") << false << false << false << true  << QStringList { w, kConnected,    kP, kNeither,     kP, kNoPing };
        QTest::newRow("- - - -") << false << false << false << false << QStringList { w, kNotConnected, kP, kNeither,     kP, kNoPing };
        // clang-format on
    }
    void outcome()
    {
        QFETCH(bool, reachable);
        QFETCH(bool, gateway);
        QFETCH(bool, dns);
        QFETCH(bool, cellular);
        QFETCH(QStringList, pieces);
        QVERIFY2(m_rig.resetPc(), qPrintable(m_rig.lastError()));
        const QString unit = reachable ? PcPageRig::kUnit : kSilent;
        const InterfaceEntry& pc = m_rig.interfaces.InterfaceList.first();
        QCOMPARE(ModQar::WmiSetGateways(*m_rig.adapters, pc, gateway ? unit : PcPageRig::kOther), 0);
        QCOMPARE(ModQar::WmiSetDnsServer(*m_rig.adapters, pc, dns ? unit : PcPageRig::kOther), 0);
        m_rig.state.UnitIP = unit;
        m_rig.state.GPRSTestOK = cellular;

        auto* page = static_cast<frmWiz13*>(m_rig.router->open(PageId::Wiz13));
        QVERIFY(!page->cmdBack->isEnabled() && !page->cmdNext->isEnabled());
        page->runStartup();
        QCOMPARE(page->outcomeText(), pieces.join(QString()));
        QCOMPARE(page->lblInstructions->text(), page->outcomeText().replace(kP, QStringLiteral("\n\n")));
        QCOMPARE(m_rig.state.UnitReachable, reachable);
        QCOMPARE(m_rig.state.PCGatewayIsUnit, gateway);
        QCOMPARE(m_rig.state.PCDNSIsUnit, dns);
        QCOMPARE(page->cmdConfigure->isEnabled(), reachable);
        QCOMPARE(page->lblResults->height(), Twips::toPx(reachable ? 3255 : 2655));
        QVERIFY(page->cmdBack->isEnabled() && page->cmdNext->isEnabled());
        QVERIFY(m_rig.prompts.boxes.isEmpty());
    }

    // A PC without a gateway or name server reads as neither being the unit.
    void nothingConfigured()
    {
        QVERIFY2(m_rig.resetPc(), qPrintable(m_rig.lastError()));
        RecordingPrompts quiet;
        QCOMPARE(ModQar::WmiClearWinsAndDns(*m_rig.adapters, m_rig.interfaces.InterfaceList.first(), quiet), 0);
        m_rig.state.UnitIP = PcPageRig::kUnit;
        auto* page = static_cast<frmWiz13*>(m_rig.router->open(PageId::Wiz13));
        page->runStartup();
        QVERIFY(page->outcomeText().contains(kNeither));
        QVERIFY(!m_rig.state.PCGatewayIsUnit && !m_rig.state.PCDNSIsUnit);
    }

    // Browse: the login page fetched, the form posted, then the unit's pages
    // in the browser; the server gives the default user a session.
    void browse()
    {
        SystemClock clock;
        BrowseStage stage(clock, SimWebMode::Normal);
        QVERIFY(stage.listening);
        QTest::mouseClick(stage.page->cmdConfigure, Qt::LeftButton);
        QCOMPARE(
            stage.methods(), (QStringList { "GET http://127.0.0.1/login.asp", "POST http://127.0.0.1/login.asp" }));
        QCOMPARE(stage.http.sent[1].body, QByteArray("username=username&password=zelvanok"));
        QCOMPARE(stage.opened, QList<QUrl> { QUrl(QStringLiteral("http://127.0.0.1/default.asp")) });
        QVERIFY(stage.prompts.boxes.isEmpty());
        QVERIFY(stage.page->cmdConfigure->isEnabled());
        // Each answer had its 300 ms before the next step.
        QVERIFY(stage.http.sent[1].atMs - stage.http.sent[0].atMs >= 300);
        QVERIFY(stage.openedAtMs - stage.http.sent[1].atMs >= 300);
        const auto& seen = stage.server->requests();
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[1].method, QByteArray("POST"));
        QCOMPARE(seen[1].body, QByteArray("username=username&password=zelvanok"));
    }

    // What keeps Browse from its end is named in a box with the
    // application's title; Browse is offered again.
    void browseFails_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("unitIp");
        QTest::addColumn<bool>("browserStarts");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QStringList>("requests");
        QTest::newRow("web server refuses")
            << int(SimWebMode::Refuse) << QStringLiteral("127.0.0.1") << true << QStringLiteral("Connection refused")
            << QStringList { "GET http://127.0.0.1/login.asp" };
        QTest::newRow("no unit address") << int(SimWebMode::Normal) << QStringLiteral("Error!") << true
                                         << QStringLiteral("URL is malformed") << QStringList();
        QTest::newRow("no browser") << int(SimWebMode::Normal) << QStringLiteral("127.0.0.1") << false
                                    << QStringLiteral(
                                           "The web browser could not be started for http://127.0.0.1/default.asp")
                                    << QStringList { "GET http://127.0.0.1/login.asp",
                                           "POST http://127.0.0.1/login.asp" };
    }
    void browseFails()
    {
        QFETCH(int, mode);
        QFETCH(QString, unitIp);
        QFETCH(bool, browserStarts);
        QFETCH(QString, box);
        QFETCH(QStringList, requests);
        SystemClock clock;
        BrowseStage stage(clock, SimWebMode(mode), unitIp);
        stage.browserStarts = browserStarts;
        QTest::mouseClick(stage.page->cmdConfigure, Qt::LeftButton);
        QCOMPARE(stage.prompts.texts(), QStringList { box });
        QCOMPARE(stage.prompts.boxes[0].icon, UserPrompts::Icon::Exclamation);
        QCOMPARE(stage.prompts.boxes[0].title, QString());
        QCOMPARE(stage.methods(), requests);
        QCOMPARE(stage.opened.isEmpty(), browserStarts);
        QVERIFY(stage.page->cmdConfigure->isEnabled());
        QCOMPARE(stage.router->current(), stage.page);
        QCOMPARE(stage.ends, 0);
    }

    // A web server that reads the requests and never answers: each request
    // has its twenty seconds (200 turns of a little over 100 ms each) and
    // 300 ms more, and the
    // first one is left running when the second goes out.
    void browseHangingServer()
    {
        SimulatedClock clock;
        BrowseStage stage(clock, SimWebMode::Hang);
        QVERIFY(stage.listening);
        QTest::mouseClick(stage.page->cmdConfigure, Qt::LeftButton);
        QCOMPARE(
            stage.methods(), (QStringList { "GET http://127.0.0.1/login.asp", "POST http://127.0.0.1/login.asp" }));
        const qint64 postAfter = stage.http.sent[1].atMs - stage.http.sent[0].atMs;
        QVERIFY2(postAfter >= 20'300 && postAfter <= 20'700, qPrintable(QString::number(postAfter)));
        const qint64 openAfter = stage.openedAtMs - stage.http.sent[1].atMs;
        QVERIFY2(openAfter >= 20'300 && openAfter <= 20'700, qPrintable(QString::number(openAfter)));
        QVERIFY(stage.prompts.boxes.isEmpty());
        QVERIFY(stage.page->cmdConfigure->isEnabled());
    }

    // The exit question, which the page has no Cancel button to ask: No
    // keeps the run and the page, Yes ends the run.
    void confirmExit_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("No: the page stays") << false;
        QTest::newRow("Yes: the run ends") << true;
    }
    void confirmExit()
    {
        QFETCH(bool, yes);
        SimulatedClock clock;
        BrowseStage stage(clock, SimWebMode::Normal);
        stage.page->runStartup();
        stage.prompts.answers = { yes };
        stage.page->ConfirmExit();
        QCOMPARE(stage.prompts.boxes.size(), 1);
        QCOMPARE(stage.prompts.boxes[0].text, WizardPage::exitQuestion());
        QCOMPARE(stage.prompts.boxes[0].icon, UserPrompts::Icon::Question);
        QVERIFY(stage.prompts.boxes[0].question);
        QCOMPARE(stage.ends, yes ? 1 : 0);
        if (!yes) {
            QCOMPARE(stage.router->visiblePage(), stage.page);
            QVERIFY(stage.page->cmdNext->isEnabled());
        }
    }

    // The results summary opened empty beside the page, which does not wait
    // for it; closed, it keeps its place in the settings store.
    void showSummary()
    {
        SimulatedClock clock;
        BrowseStage stage(clock, SimWebMode::Normal);
        stage.page->runStartup();
        bool waitedFor = false;
        QTimer::singleShot(0, stage.page, [&waitedFor] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                waitedFor = true;
                modal->close();
            }
        });
        stage.page->ShowSummary();
        QVERIFY(!waitedFor);
        auto* summary = stage.page->findChild<frmSummary*>();
        QVERIFY(summary);
        QVERIFY(summary->isVisible());
        QVERIFY(!summary->isModal());
        QCOMPARE(summary->windowTitle(), QStringLiteral("Results Summary"));
        QCOMPARE(summary->txtmsgs()->toPlainText(), QString());
        QVERIFY(!summary->unit());
        QVERIFY(stage.prompts.boxes.isEmpty());
        QVERIFY(!stage.store.contains(QStringLiteral("Settings/SummaryLeft")));
        QPointer<frmSummary> closing(summary);
        summary->close();
        QVERIFY(stage.store.contains(QStringLiteral("Settings/SummaryLeft")));
        WizardFixture::flushDeletes();
        QVERIFY(!closing);
        QCOMPARE(stage.ends, 0);
        QCOMPARE(stage.router->visiblePage(), stage.page);
    }

    // Back while Browse waits: the page goes, and with it the login; no
    // browser and no box follow.
    void backWhileBrowsing()
    {
        SimulatedClock clock;
        BrowseStage stage(clock, SimWebMode::Hang);
        stage.page->runStartup();
        QPointer<frmWiz13> page = stage.page;
        clock.schedule(5'000, [&stage] { QTest::mouseClick(stage.page->cmdBack, Qt::LeftButton); });
        QTest::mouseClick(page->cmdConfigure, Qt::LeftButton);
        QCOMPARE(stage.router->current()->id(), PageId::Wiz12A);
        QCOMPARE(stage.methods(), QStringList { "GET http://127.0.0.1/login.asp" });
        QVERIFY(stage.opened.isEmpty());
        QVERIFY(stage.prompts.boxes.isEmpty());
        QCOMPARE(stage.ends, 0);
        WizardFixture::flushDeletes();
        QVERIFY(!page);
    }
};

QTEST_MAIN(tst_frmWiz13)
#include "tst_frmWiz13.moc"
