// The cellular apply-and-test page on the real services and a simulated
// clock, with the unit played in-process by the simulator's command language.
#include "CellularPageRig.h"
#include "session/modTrmTypes.h"
#include "wizard/SatAnimation.h"

#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <limits>

namespace {
const QString kGoodSignal = QStringLiteral("The signal strength is currently: -67 dBm This is a good signal.");
const QString kSimPin = QStringLiteral(
    "The SIM is currently locked with a PIN number, please click Back and then re-enter your PIN number.");

QStringList withoutProbes(const QStringList& lines)
{
    QStringList out;
    for (const QString& l : lines)
        if (l != u"AT")
            out << l;
    return out;
}

QString success(const QString& address)
{
    return QStringLiteral("The GPRS test was successful! GPRS IP address = ") + address;
}

// The state every way out of startup leaves: the person may go on or back.
void verifyDone(const frmWiz10& page)
{
    QVERIFY(page.cmdBack->isEnabled());
    QVERIFY(page.cmdNext->isEnabled());
    QVERIFY(!page.Animation1->isVisibleTo(&page));
    QVERIFY(!page.Animation1->isPlaying());
    QCOMPARE(page.lblIP->text(), QString());
}
} // namespace

class tst_frmWiz10 : public QObject {
    Q_OBJECT
private slots:
    // The unit answers across a LAN of the test's own.
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    // The eight steps go out in order, each while its text shows; the link is
    // awaited through Idle and 0.0.0.0 to its address; only then the poll.
    void settingsPassAndLinkWait_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("ppp");
        QTest::addColumn<bool>("mux");
        QTest::newRow("KR5005: eight steps, PPP 3") << "Calvantor KR5005 Router"
                                                    << "PPP 3" << true;
        QTest::newRow("KR5004: no multiplexer step") << "Calvantor KR5004 Router"
                                                     << "PPP 1" << false;
        QTest::newRow("kr5004 in lower case still gets it") << "Calvantor kr5004 Router"
                                                            << "PPP 1" << true;
    }
    void settingsPassAndLinkWait()
    {
        QFETCH(QString, model);
        QFETCH(QString, ppp);
        QFETCH(bool, mux);
        SimulatedClock clock;
        CellularPageRig rig(clock);
        QVERIFY(rig.start(model));
        frmWiz09* settings = rig.openSettingsPage();
        QVERIFY(settings);
        // The option page probed the unit first, the model naming its link:
        // the reset question, then the link taken down.
        QCOMPARE(rig.probeBoxes.size(), 1);
        QVERIFY(rig.probeBoxes[0].question);
        QVERIFY(rig.watcher->lines().contains(ppp + QStringLiteral(" deact_rq")));
        frmWiz10* page = rig.applyAndTest(*settings);
        QVERIFY(page);
        QVERIFY(page->isVisible());

        // What went out, and what the page said while it did.
        QList<QPair<QString, QString>> expected {
            { "modemcc 0 apn \"internet\"", "Setting APN to internet" },
            { "modemcc 0 pin \"1234\"", "Setting PIN to 1234" },
            { ppp + " username \"web\"", "Setting username to web" },
            { ppp + " password \"secret\"", "Setting password to secret" },
        };
        if (mux)
            expected << qMakePair(QStringLiteral("muxoff"), QStringLiteral("Configuring MUX channels"))
                     << qMakePair(QStringLiteral("muxon"), QStringLiteral("Configuring MUX channels"));
        expected << qMakePair(QStringLiteral("config 0 save"), QStringLiteral("Saving the configuration"))
                 << qMakePair(QStringLiteral("reboot"), QStringLiteral("Rebooting the Calvantor"))
                 << qMakePair(ppp + " aodion on", QStringLiteral("Attempting to activate the GPRS connection"))
                 << qMakePair(QStringLiteral("def_route 0 ll_ent ppp"),
                        QStringLiteral("Attempting to activate the GPRS connection"));
        QList<QPair<QString, QString>> pass;
        for (const auto& s : rig.watcher->between(QStringLiteral("modemcc 0 apn"), ppp + " status"))
            if (s.line != u"AT")
                pass << qMakePair(s.line, s.info);
        QCOMPARE(pass, expected);
        for (const auto& s : rig.watcher->seen)
            if (s.line == u"AT")
                QCOMPARE(s.info, QStringLiteral("Rebooting the Calvantor"));

        // The wait saw the link Idle, then activating, then up.
        QStringList shown;
        for (const auto& s : rig.watcher->between(ppp + " status", QStringLiteral("modemcc 0 ?")))
            if (shown.isEmpty() || shown.last() != s.ip)
                shown << s.ip;
        QCOMPARE(shown, (QStringList { "", "Idle", "0.0.0.0" }));

        QVERIFY(rig.scan.prompts.boxes.isEmpty());
        QVERIFY(rig.scan.state.GPRSTestOK);
        QCOMPARE(page->lblInfo->text(), success(QStringLiteral("203.0.113.5")));
        QCOMPARE(page->focusWidget(), page->cmdNext);
        QCOMPARE(page->Label1->text(), QString());
        QCOMPARE(page->Label2->text(), QString());
        QCOMPARE(page->Label3->text(),
            QStringLiteral("As the GPRS test was successful, you can now click '&Next' to continue."));
        QVERIFY(!page->cmdRetry->isVisibleTo(page));
        QCOMPARE(page->lblInstuctions->text(), QString());
        verifyDone(*page);
        QCOMPARE(page->lblSignal->text(), kGoodSignal);
        QVERIFY(!page->TestFailed);
    }

    // A refused step says so in its box; the others still run, then the
    // person chooses whether to run the whole pass again.
    void refusedStepAndTheRetryQuestion_data()
    {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<int>("passes");
        QTest::newRow("No: on to the link wait") << QList<bool> { false } << 1;
        QTest::newRow("Yes, then No: the pass again") << QList<bool> { true, false } << 2;
    }
    void refusedStepAndTheRetryQuestion()
    {
        QFETCH(QList<bool>, answers);
        QFETCH(int, passes);
        SimulatedClock clock;
        CellularPageRig rig(clock);
        rig.config.refuse = QStringList { QStringLiteral("modemcc 0 apn") };
        QVERIFY(rig.start());
        rig.scan.prompts.answers = answers;
        frmWiz09* settings = rig.openSettingsPage();
        QVERIFY(settings);
        frmWiz10* page = rig.applyAndTest(*settings);
        QVERIFY(page);

        QList<RecordingPrompts::Box> expected;
        for (int i = 0; i < passes; ++i)
            expected << RecordingPrompts::Box { "Failed to set APN!", UserPrompts::Icon::Exclamation, "WARNING", false }
                     << RecordingPrompts::Box { "An error had occured, would you like to retry?",
                            UserPrompts::Icon::Question, "", true };
        QCOMPARE(rig.scan.prompts.boxes.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QCOMPARE(rig.scan.prompts.boxes[i].text, expected[i].text);
            QCOMPARE(rig.scan.prompts.boxes[i].icon, expected[i].icon);
            QCOMPARE(rig.scan.prompts.boxes[i].title, expected[i].title);
        }
        const QStringList lines = withoutProbes(rig.watcher->lines());
        QCOMPARE(lines.count(QStringLiteral("modemcc 0 apn \"internet\"")), passes);
        QCOMPARE(lines.count(QStringLiteral("PPP 3 aodion on")), passes);
        QCOMPARE(lines.count(QStringLiteral("reboot")), passes);
        // The link wait follows a failed pass too, and the link comes up.
        QVERIFY(lines.contains(QStringLiteral("PPP 3 status")));
        QCOMPARE(page->lblInfo->text(), success(QStringLiteral("203.0.113.5")));
    }

    // Each of the eight steps refused by the unit: the step's own text in a
    // "WARNING" exclamation box, every other step still sent, then the retry
    // question once the pass is through.
    void eachStepsFailureBox_data()
    {
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QString>("failure");
        QTest::newRow("1 APN") << "modemcc 0 apn"
                               << "Failed to set APN!";
        QTest::newRow("2 PIN") << "modemcc 0 pin"
                               << "Failed to set PIN!";
        QTest::newRow("3 user name") << "PPP 3 username"
                                     << "Failed to set username!";
        QTest::newRow("4 password") << "PPP 3 password"
                                    << "Failed to set password!";
        QTest::newRow("5 multiplexer") << "muxoff"
                                       << "Failed to configure MUX!";
        QTest::newRow("6 save") << "config 0 save"
                                << "Error whilst saving configuraiton!";
        QTest::newRow("7 restart refused: the unit never goes down") << "reboot"
                                                                     << "The Calvantor did not respond after reboot!";
        QTest::newRow("8 activation") << "PPP 3 aodion on"
                                      << "Failed to send activation command!";
    }
    void eachStepsFailureBox()
    {
        QFETCH(QString, refused);
        QFETCH(QString, failure);
        SimulatedClock clock;
        CellularPageRig rig(clock);
        rig.config.refuse = QStringList { refused };
        QVERIFY(rig.start());
        // No to the retry, and No to waiting longer for a link that can't come.
        rig.scan.prompts.answers = { false, false };
        frmWiz09* settings = rig.openSettingsPage();
        QVERIFY(settings);
        frmWiz10* page = rig.applyAndTest(*settings);
        QVERIFY(page);

        const QList<RecordingPrompts::Box>& boxes = rig.scan.prompts.boxes;
        QVERIFY2(boxes.size() >= 2, qPrintable(rig.scan.prompts.texts().join(" | ")));
        QCOMPARE(boxes[0].text, failure);
        QCOMPARE(boxes[0].icon, UserPrompts::Icon::Exclamation);
        QCOMPARE(boxes[0].title, QStringLiteral("WARNING"));
        QVERIFY(!boxes[0].question);
        QCOMPARE(boxes[1].text, QStringLiteral("An error had occured, would you like to retry?"));
        QVERIFY(boxes[1].question);
        for (qsizetype i = 1; i < boxes.size(); ++i)
            QVERIFY2(boxes[i].title != u"WARNING", qPrintable(boxes[i].text));

        const QStringList lines = rig.watcher->lines();
        for (const char* first : { "modemcc 0 apn \"internet\"", "modemcc 0 pin \"1234\"", "PPP 3 username \"web\"",
                 "PPP 3 password \"secret\"", "muxoff", "config 0 save", "reboot", "PPP 3 aodion on" })
            QVERIFY2(lines.count(QLatin1String(first)) == 1, first);
        verifyDone(*page);
    }

    void emptyAddressCountsAsSuccess()
    {
        SimulatedClock clock;
        CellularPageRig rig(clock);
        rig.config.replies
            = { { QStringLiteral("PPP 3 status"), QByteArrayLiteral("PPP 3: Up\r\nIP Address: \r\nOK\r\n") } };
        QVERIFY(rig.start());
        frmWiz09* settings = rig.openSettingsPage();
        QVERIFY(settings);
        frmWiz10* page = rig.applyAndTest(*settings);
        QVERIFY(page);
        QCOMPARE(page->lblInfo->text(), success(QString()));
        QVERIFY(rig.scan.state.GPRSTestOK);
    }

    // A link that never comes up: a question after each further minute,
    // counted right whatever the 32-bit tick counter does meanwhile; No ends
    // the wait as a failed test that still lets the person go on.
    void keepWaitingEveryMinute_data()
    {
        QTest::addColumn<qint32>("tickAtStart");
        constexpr qint32 top = std::numeric_limits<qint32>::max();
        QTest::newRow("tick counter far from its wrap") << qint32(1000);
        // The pass before the wait takes well under 40 s of the clock, so the
        // counter wraps inside the first minute of the wait.
        QTest::newRow("tick counter passes 2^31 - 1 in the first minute") << qint32(top - 40000);
        QTest::newRow("tick counter passes 0 in the first minute") << qint32(-40000);
    }
    void keepWaitingEveryMinute()
    {
        QFETCH(qint32, tickAtStart);
        SimulatedClock clock(12 * 3'600'000, tickAtStart);
        CellularPageRig rig(clock);
        rig.config.pppIdleMs = std::numeric_limits<int>::max();
        QVERIFY(rig.start());
        rig.scan.prompts.answers = { true, false };
        QList<qint64> asked;
        rig.scan.prompts.onBox = [&] { asked << clock.monotonicMs(); };
        rig.scan.state.GPRSTestOK = true; // an earlier visit's success
        frmWiz09* settings = rig.openSettingsPage();
        QVERIFY(settings);
        frmWiz10* page = rig.applyAndTest(*settings);
        QVERIFY(page);

        const QList<RecordingPrompts::Box>& boxes = rig.scan.prompts.boxes;
        QCOMPARE(boxes.size(), 2);
        const QString tail = QStringLiteral(
            " Under some circumstances it can take up to 5 minutes, click 'Yes' to wait another minute or 'No' to try "
            "something else?");
        QCOMPARE(boxes[0].text, "We have been waiting for more than 1 minute to connect." + tail);
        QCOMPARE(boxes[1].text, "We have been waiting for more than 2 minutes to connect." + tail);
        for (const auto& b : boxes) {
            QCOMPARE(b.title, QStringLiteral("Keep waiting?"));
            QCOMPARE(b.icon, UserPrompts::Icon::Information);
            QVERIFY(b.question);
        }
        // The wait starts with its first status query; each turn is the
        // reply plus a second's pause.
        const qint64 start = rig.watcher->between(QStringLiteral("PPP 3 status")).value(0).atMs;
        QVERIFY2(start < 40000, "the counter wrapped before the wait began");
        QVERIFY2(asked[0] - start > 60000 && asked[0] - start <= 61100, qPrintable(QString::number(asked[0] - start)));
        QVERIFY2(asked[1] - asked[0] > 60000 && asked[1] - asked[0] <= 61100,
            qPrintable(QString::number(asked[1] - asked[0])));

        QVERIFY(page->TestFailed);
        QCOMPARE(page->lblInfo->text(), QStringLiteral("The GPRS test has failed!"));
        QVERIFY(page->cmdRetry->isVisibleTo(page));
        QCOMPARE(page->cmdRetry->text(), QStringLiteral("&Rety"));
        QCOMPARE(page->lblInstuctions->text(),
            QStringLiteral("Click 'Retry', to reboot the Calvantor and try again or Click 'Back' to change the APN, "
                           "PIN, username or password."));
        verifyDone(*page);
        // A failed test never takes back an earlier success.
        QVERIFY(rig.scan.state.GPRSTestOK);
    }

    // Between the end of startup and leaving, one poll every 2 seconds, each
    // beginning 2 s after the one before has ended; none during startup.
    void pollEveryTwoSeconds()
    {
        SimulatedClock clock;
        CellularPageRig rig(clock);
        rig.config.late = { { QStringLiteral("modemstat"), 700 } };
        QVERIFY(rig.start());
        frmWiz09* settings = rig.openSettingsPage();
        QVERIFY(settings);
        QVERIFY(rig.applyAndTest(*settings));
        rig.run(9000);

        const QList<WatchingInterpreter::Seen> polls = rig.watcher->between(QStringLiteral("modemcc 0 ?"));
        QVERIFY(!rig.watcher->between(QStringLiteral("PPP 3 status"), QStringLiteral("modemcc 0 ?")).isEmpty());
        for (const auto& s : polls)
            QVERIFY2(!s.line.startsWith(u"PPP 3 status"), "the link was queried during the poll");
        QList<qint64> starts;
        for (qsizetype i = 0; i < polls.size(); ++i) {
            if (polls[i].line != u"modemcc 0 ?")
                continue;
            QCOMPARE(polls.value(i + 1).line, QStringLiteral("modemstat ?"));
            starts << polls[i].atMs;
        }
        QVERIFY(starts.size() >= 3);
        for (qsizetype i = 1; i < starts.size(); ++i)
            QVERIFY2(starts[i] - starts[i - 1] >= 2700 && starts[i] - starts[i - 1] <= 2800,
                qPrintable(QString::number(starts[i] - starts[i - 1])));
    }

    // Back, Next, Cancel's Yes and Retry pressed while a poll waits for its
    // reply: the page leaves the screen at once where it is left, and the
    // rest happens once the poll has its reply.
    void actionsWaitForThePollInFlight_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("Back") << "Back";
        QTest::newRow("Next") << "Next";
        QTest::newRow("Cancel, Yes") << "Cancel";
        QTest::newRow("Retry") << "Retry";
    }
    void actionsWaitForThePollInFlight()
    {
        QFETCH(QString, action);
        SimulatedClock clock;
        CellularPageRig rig(clock);
        rig.config.pppIdleMs = std::numeric_limits<int>::max();
        QVERIFY(rig.start());
        rig.scan.stub(PageId::Wiz11A);
        rig.scan.prompts.answers = { false };
        frmWiz09* settings = rig.openSettingsPage();
        QVERIFY(settings);
        QPointer<frmWiz10> page = rig.applyAndTest(*settings);
        QVERIFY(page && page->TestFailed);
        rig.config.late = { { QStringLiteral("modemstat"), 3000 } };

        QString signalAtUnload;
        qint64 unloadedAt = -1;
        connect(rig.scan.router.get(), &WizardRouter::pageUnloaded, this, [&](PageId id) {
            if (id == PageId::Wiz10 && page) {
                signalAtUnload = page->lblSignal->text();
                unloadedAt = clock.monotonicMs();
            }
        });
        qint64 replyDue = -1;
        bool clicked = false;
        rig.watcher->onLine = [&](const WatchingInterpreter::Seen& s) {
            if (s.line != u"modemstat ?" || clicked)
                return;
            clicked = true;
            replyDue = s.atMs + 3000;
            clock.schedule(500, [&] {
                QVERIFY(page->SigBusy());
                if (action == u"Back") {
                    page->cmdBack->click();
                    QCOMPARE(rig.scan.router->visiblePage()->id(), PageId::Wiz09);
                    QVERIFY(!page->isVisible());
                    QCOMPARE(rig.scan.router->page(PageId::Wiz10), page.data());
                } else if (action == u"Next") {
                    page->cmdNext->click();
                    QCOMPARE(rig.scan.router->visiblePage()->id(), PageId::Wiz11A);
                    QVERIFY(!page->isVisible());
                    QCOMPARE(rig.scan.router->page(PageId::Wiz10), page.data());
                } else if (action == u"Cancel") {
                    rig.scan.prompts.answers = { true };
                    page->cmdCancel->click();
                    QVERIFY(!page->isVisible());
                    QCOMPARE(rig.scan.ends, 0);
                } else {
                    rig.scan.prompts.answers = { false };
                    page->cmdRetry->click();
                    QVERIFY(!page->cmdRetry->isEnabled());
                    QCOMPARE(rig.watcher->lines().count(QStringLiteral("modemcc 0 apn \"internet\"")), 1);
                }
            });
        };
        rig.run(10000);
        QVERIFY(clicked);
        if (action == u"Back" || action == u"Next") {
            QVERIFY(unloadedAt >= replyDue);
            QCOMPARE(signalAtUnload, kGoodSignal);
            QVERIFY(!rig.scan.router->page(PageId::Wiz10));
        } else if (action == u"Cancel") {
            QCOMPARE(rig.scan.ends, 1);
            QCOMPARE(page->lblSignal->text(), kGoodSignal);
        } else {
            const QList<WatchingInterpreter::Seen> again = rig.watcher->between(QStringLiteral("modemstat ?")).mid(1);
            const auto apn = std::find_if(
                again.cbegin(), again.cend(), [](const auto& s) { return s.line == u"modemcc 0 apn \"internet\""; });
            QVERIFY(apn != again.cend());
            QVERIFY(apn->atMs >= replyDue);
            QVERIFY(page);
            QVERIFY(page->cmdRetry->isEnabled());
        }
    }

    // Next into a page whose startup waits long (the free-address search,
    // option 3 with a unit the PC can't ping): the page left behind sends
    // the unit nothing more, also when a poll was waiting for its reply as
    // Next was pressed.
    void nextIntoAWaitingStartupEndsThePoll_data()
    {
        QTest::addColumn<bool>("pollInFlight");
        QTest::addColumn<QStringList>("heardAfterNext");
        QTest::newRow("Next between two polls") << false << QStringList();
        // The poll in flight ends as every command whose reply is late: its
        // question is sent once more.
        QTest::newRow("Next while a poll waits for its reply") << true << QStringList { "modemstat ?" };
    }
    void nextIntoAWaitingStartupEndsThePoll()
    {
        QFETCH(bool, pollInFlight);
        QFETCH(QStringList, heardAfterNext);
        SimulatedClock clock;
        CellularPageRig rig(clock);
        rig.optionChosen = 3;
        rig.unitAnswersPing = false;
        QVERIFY(rig.start());
        QStringList heard;
        bool pollWasInFlight = false;
        rig.scan.router->registerPage(PageId::Wiz11C, [&](WizardRouter& r, QWidget* owner) -> WizardPage* {
            auto* next = new StubPage(PageId::Wiz11C, r, owner);
            next->onStartup = [&](StubPage&) {
                const qsizetype before = rig.watcher->seen.size();
                pollWasInFlight = rig.testPage() && rig.testPage()->SigBusy();
                // Ten polls' worth of time.
                modTrmTypes::WaitMs(clock, 25000);
                heard = rig.watcher->lines().mid(before);
            };
            return next;
        });
        frmWiz09* settings = rig.openSettingsPage();
        QVERIFY(settings);
        QCOMPARE(rig.scan.state.ConfigOption, qint16(3));
        QVERIFY(!rig.scan.state.PCCanPingUnit);
        QPointer<frmWiz10> page = rig.applyAndTest(*settings);
        QVERIFY(page && !page->TestFailed);
        QVERIFY(!page->SigBusy());

        if (pollInFlight) {
            rig.config.late = { { QStringLiteral("modemstat"), 3000 } };
            bool clicked = false;
            rig.watcher->onLine = [&](const WatchingInterpreter::Seen& s) {
                if (s.line != u"modemstat ?" || clicked)
                    return;
                clicked = true;
                clock.schedule(500, [&] { page->cmdNext->click(); });
            };
            rig.run(30000);
            QVERIFY(clicked);
        } else {
            page->cmdNext->click();
        }
        QCOMPARE(rig.scan.router->page(PageId::Wiz11C)->id(), PageId::Wiz11C);
        QCOMPARE(pollWasInFlight, pollInFlight);
        QCOMPARE(heard, heardAfterNext);
        rig.run(5000);
        QVERIFY(!rig.scan.router->page(PageId::Wiz10));
    }

    // The PIN that the SIM wants is not the one typed: the link never comes
    // up, the poll says why, Back leaves at once, and with the right PIN the
    // test passes.
    void wrongPinShownByThePollThenCorrected()
    {
        SimulatedClock clock;
        CellularPageRig rig(clock);
        rig.config.simPin = { { QString(), QStringLiteral("4321") } };
        QVERIFY(rig.start());
        rig.scan.prompts.answers = { false };
        frmWiz09* settings = rig.openSettingsPage();
        QVERIFY(settings);
        QPointer<frmWiz10> page = rig.applyAndTest(*settings);
        QVERIFY(page && page->TestFailed);
        QCOMPARE(page->lblSignal->text(), kSimPin);
        QVERIFY(!page->SigBusy());

        page->cmdBack->click();
        QVERIFY(!rig.scan.router->page(PageId::Wiz10));
        settings = qobject_cast<frmWiz09*>(rig.scan.router->visiblePage());
        QVERIFY(settings);
        QCOMPARE(settings->txtPIN->text(), QString());
        page = rig.applyAndTest(*settings, QStringLiteral("internet"), QStringLiteral("4321"));
        QVERIFY(page && !page->TestFailed);
        QCOMPARE(page->lblInfo->text(), success(QStringLiteral("203.0.113.5")));
        QCOMPARE(page->lblSignal->text(), kGoodSignal);
    }

    // The close box during the link wait ends the run there; the page's
    // wait returns without touching the page any more.
    void closeBoxDuringTheLinkWait()
    {
        SimulatedClock clock;
        CellularPageRig rig(clock);
        rig.config.pppIdleMs = std::numeric_limits<int>::max();
        QVERIFY(rig.start());
        frmWiz09* settings = rig.openSettingsPage();
        QVERIFY(settings);
        int statusLines = 0;
        rig.watcher->onLine = [&](const WatchingInterpreter::Seen& s) {
            if (s.line == u"PPP 3 status" && ++statusLines == 3)
                clock.schedule(200, [&] { rig.testPage()->close(); });
        };
        frmWiz10* page = rig.applyAndTest(*settings);
        QVERIFY(!page);
        QCOMPARE(rig.scan.ends, 1);
        QCOMPARE(statusLines, 3);
        QVERIFY(rig.scan.prompts.boxes.isEmpty());
    }
};

QTEST_MAIN(tst_frmWiz10)
#include "tst_frmWiz10.moc"
