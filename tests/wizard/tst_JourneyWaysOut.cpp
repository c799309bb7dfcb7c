// Every wait that lets events run, cut short in every way a person or a unit
// can cut it there, with the program started as main() starts it on a bare
// LAN and the units played by the simulator across the namespaces. Each row
// checks that the program is alive and answers, that the person sees what
// that ending shows, and that nothing of what was ended goes on: no window,
// session or connection left, no line sent to the unit afterwards.
#include "AddressRoad.h"
#include "ConfigureRoad.h"
#include "Heartbeat.h"
#include "PersonAtDialogs.h"
#include "app/ModQarConfigureUnits.h"
#include "app/frmMain.h"
#include "app/frmProgress.h"
#include "app/frmTerminal2.h"
#include "session/clsTrm.h"
#include "unit/CQarUnitInfo.h"
#include "wizard/frmwiz11C.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>

using namespace ConfigureRoad;

namespace {
const QString kUnit = QStringLiteral("11");
const QString kUnitAddress = QStringLiteral("198.51.100.11");

// A hand that looks every few milliseconds, from inside whatever wait is
// running, for the moment `when` names and then takes the way out once, as
// a person's click lands in the middle of a wait. It also keeps hold of the
// terminal window it saw, and that window's session, to see them go.
class Hand : public QObject {
public:
    Hand(std::function<bool()> when, std::function<void()> act)
        : m_when(std::move(when))
        , m_act(std::move(act))
    {
        connect(&m_poll, &QTimer::timeout, this, &Hand::look);
        m_poll.start(10);
    }

    QPointer<frmTerminal2> window;
    QPointer<clsTrm> session;
    bool acted = false;
    QElapsedTimer sinceAct;

    // The terminal window on screen, if there is one.
    static frmTerminal2* terminal()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* t = qobject_cast<frmTerminal2*>(w); t && t->isVisible())
                return t;
        }
        return nullptr;
    }

private:
    void look()
    {
        if (m_inside)
            return;
        if (frmTerminal2* t = terminal(); t && !window) {
            window = t;
            session = t->clsrx();
        }
        if (acted || !m_when())
            return;
        acted = true;
        sinceAct.start();
        // The act may wait in turn; the timer goes on firing inside it.
        m_inside = true;
        m_act();
        m_inside = false;
    }

    std::function<bool()> m_when;
    std::function<void()> m_act;
    QTimer m_poll;
    bool m_inside = false;
};

bool statusIs(const QString& text)
{
    frmTerminal2* t = Hand::terminal();
    return t && t->lblStatus->text() == text;
}
} // namespace

class tst_JourneyWaysOut : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QVERIFY2(m_lan.build(Journey::Lan::Shape::Bare), qPrintable(m_lan.lastError()));
        QVERIFY2(m_etc.apply(kResolvConf), qPrintable(m_etc.lastError()));
        QVERIFY(m_dir.isValid());
    }

    // wait: what is waiting; way: how it is cut short; unitsim: how the
    // units behave; boxes: what the person is shown. The rows a person meets
    // come first: the wizard's pages, then the main window's Telnet and its
    // terminal, then what only a scan started beside them reaches. The main
    // window's Exit ends the program and comes last.
    void waysOut_data()
    {
        QTest::addColumn<QString>("wait");
        QTest::addColumn<QString>("way");
        QTest::addColumn<QStringList>("unitsim");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("free-address search, its close box") << "free-address search"
                                                            << "close box" << QStringList {} << QStringList {};
        QTest::newRow("free-address search, Cancel and Yes")
            << "free-address search"
            << "Cancel Yes" << QStringList {} << QStringList { WizardPage::exitQuestion() };
        QTest::newRow("terminal login, the unit refuses the password and hangs up")
            << "terminal login"
            << "unit" << QStringList { "--telnet-login", "refuse-hangup" } << QStringList {};
        QTest::newRow("terminal login, Close")
            << "terminal login"
            << "Close" << QStringList { "--telnet-login", "silent" } << QStringList {};
        QTest::newRow("terminal login, its close box")
            << "terminal login"
            << "close box" << QStringList { "--telnet-login", "silent" } << QStringList {};
        QTest::newRow("terminal connection, its close box") << "terminal connection"
                                                            << "close box" << QStringList {} << QStringList {};
        QTest::newRow("Get Serial Number, Close") << "Get Serial Number"
                                                  << "Close" << QStringList { "--mute", "ATI5" } << QStringList {};
        QTest::newRow("Get Serial Number, the unit hangs up half-way through its answer")
            << "Get Serial Number"
            << "unit" << QStringList { "--telnet-hang-up", "ATI5" } << QStringList {};
        QTest::newRow("Get Serial Number pressed during the login")
            << "terminal login"
            << "Get Serial Number" << QStringList { "--telnet-user-prompt", "0" } << QStringList {};
        QTest::newRow("Get Serial Number, Telnet again")
            << "Get Serial Number"
            << "Telnet" << QStringList { "--mute", "ATI5" } << QStringList {};
        QTest::newRow("Configure Units' reboot wait, the progress window's Cancel")
            << "reboot wait"
            << "progress Cancel" << QStringList {} << QStringList {};
        QTest::newRow("Telnet's temporary login, a new scan")
            << "temporary login"
            << "new scan" << QStringList { "--late", "user ?=3000" } << QStringList {};
        QTest::newRow("Configure Units' address check, a new scan")
            << "address check"
            << "new scan" << QStringList { "--telnet-login", "silent" } << QStringList {};
        QTest::newRow("Get Serial Number, the main window's Exit")
            << "Get Serial Number"
            << "Exit" << QStringList { "--mute", "ATI5" } << QStringList {};
    }
    void waysOut()
    {
        QFETCH(QString, wait);
        QFETCH(QString, way);
        QFETCH(QStringList, unitsim);
        QFETCH(QStringList, boxes);
        QVERIFY(units(unitsim));
        if (wait == u"free-address search")
            freeAddressSearch(way, boxes);
        else
            mainWindowWait(wait, way, boxes);
    }

private:
    // The wizard's free-address page on the Shift road from the search page,
    // its search cut short; each row is a program of its own, which it ends.
    void freeAddressSearch(const QString& way, const QStringList& boxes)
    {
        Journey::Run run;
        Journey::inEventLoop([&] {
            frmWiz07* search = AddressRoad::reachSearch(run);
            QVERIFY(search);
            Journey::choose(*search, QStringLiteral("10"));
            Heartbeat beat(run.clock);
            beat.start();
            AddressRoad::BoxHand hand({ QMessageBox::Yes });
            QPointer<WizardPage> page;
            int endsInWait = -1;
            QObject::connect(&run.router(), &WizardRouter::pageShown, qApp, [&](PageId id) {
                if (id != PageId::Wiz11C)
                    return;
                page = run.router().page(id);
                // The first candidate's echo is still awaited (1 s).
                QTimer::singleShot(200, page, [&] {
                    if (way == u"close box")
                        page->close();
                    else
                        QTest::mouseClick(page->navButton(WizardPage::Nav::Cancel), Qt::LeftButton);
                    endsInWait = run.ends;
                });
            });
            run.shift = true;
            QTest::mouseClick(search->cmdNext, Qt::LeftButton);
            run.shift = false;
            // The run ended there and then, not when the search was done; a
            // page closed by its frame goes once its search is back.
            QCOMPARE(endsInWait, 1);
            if (way == u"close box")
                QTRY_VERIFY(page.isNull());
            QCOMPARE(run.ends, 1);
            QCOMPARE(hand.texts(), boxes);
            QVERIFY2(beat.longestGap() < 2500, qPrintable(QString::number(beat.longestGap())));
            // Nothing was set on the unit.
            QVERIFY(!AddressRoad::commandsTo(m_log, QStringLiteral("10")).join(u'|').contains(u"ipaddr"));
        });
    }

    // The main window's unit actions, on unit 11 of the search page.
    void mainWindowWait(const QString& wait, const QString& way, const QStringList& boxes)
    {
        QVERIFY(mainWindowReady());
        Journey::inEventLoop([&] {
            Heartbeat beat(m_run->clock);
            beat.start();
            AddressRoad::BoxHand boxHand;
            heardSince();
            Journey::choose(*m_search, kUnit);
            if (wait == u"terminal login" || wait == u"terminal connection" || wait == u"temporary login")
                terminalOpening(wait, way);
            else if (wait == u"Get Serial Number")
                serialNumber(way);
            else if (wait == u"reboot wait")
                rebootWait();
            else
                addressCheck();
            QCOMPARE(boxHand.texts(), boxes);
            QVERIFY2(beat.longestGap() < 2500, qPrintable(QString::number(beat.longestGap())));
            // Nothing more reaches the unit over its terminal or its channel.
            QVERIFY2(waitForNoTerminalConnection(), "a telnet connection is still open at the unit");
            heardSince();
            QTest::qWait(300);
            QCOMPARE(heardSince(), QStringList {});
        });
        // A scan started beside the action ran while the discovery object was
        // lent and listed nothing; the person scans again.
        if (way == u"new scan")
            QVERIFY(scanAgain());
    }

    // Telnet from the Tools menu, its login, connection or temporary profile
    // cut short; or Get Serial Number pressed during the login.
    void terminalOpening(const QString& wait, const QString& way)
    {
        if (wait == u"terminal connection") {
            // The unit's address answers nothing: the connection stays pending.
            QVERIFY(m_lan.onPcSide(QStringLiteral("ip neigh replace %1 lladdr 02:00:00:00:00:99 dev eth0 nud permanent")
                                       .arg(kUnitAddress)));
        }
        const QString status = wait == u"terminal connection" ? QStringLiteral("Initiating IP Connection")
                                                              : QStringLiteral("Login in: ");
        bool scanned = false;
        Hand hand(
            [&] {
                if (way == u"unit")
                    return false;
                return wait == u"temporary login" ? heard(kUnit + QStringLiteral(" user ?")) : statusIs(status);
            },
            [&] {
                frmTerminal2* t = Hand::terminal();
                if (way == u"Close")
                    QTest::mouseClick(t->cmdClose, Qt::LeftButton);
                else if (way == u"close box")
                    t->close();
                else if (way == u"Get Serial Number")
                    QTest::mouseClick(t->CommandButton1, Qt::LeftButton);
                else if (way == u"new scan") {
                    m_main->mnumnuScan()->trigger();
                    scanned = true;
                }
            });
        openTelnet();
        if (wait == u"terminal connection")
            QVERIFY(m_lan.onPcSide(QStringLiteral("ip neigh del %1 dev eth0").arg(kUnitAddress)));
        const QStringList lines = heardSince();

        if (way == u"Get Serial Number") {
            // The request waited for the login and was answered after it.
            QVERIFY(hand.acted);
            QVERIFY(m_main->TermForm() && m_main->TermForm()->clsrx()->Online());
            QTRY_VERIFY(m_main->TermForm()->txtmsgs->toPlainText().endsWith(QStringLiteral("Serial#:11\n")));
            QVERIFY(m_main->TermForm()->CommandButton1->isEnabled());
            QVERIFY(lines.endsWith(kUnit + QStringLiteral(" user 1 password \"\"")));
            closeTerminal();
            return;
        }
        if (way == u"unit")
            QVERIFY(!hand.acted);
        else
            QVERIFY(hand.acted);
        // Back as soon as the way out was taken, not at a deadline.
        if (hand.acted)
            QVERIFY2(hand.sinceAct.elapsed() < 2000, qPrintable(QString::number(hand.sinceAct.elapsed())));
        QVERIFY(!m_main->TermForm());
        QVERIFY(!Hand::terminal());
        QTRY_VERIFY(hand.window.isNull());
        QTRY_VERIFY(hand.session.isNull());
        if (way == u"new scan") {
            QVERIFY(scanned);
            // The profile was asked for and nothing after: the record was
            // discarded under the wait, and its object sent nothing more.
            QCOMPARE(lines, QStringList { kUnit + QStringLiteral(" user ?") });
            QVERIFY(!m_main->Units() || !m_main->Units()->Item(kUnit));
        } else {
            // The login was made and cleared again.
            QVERIFY2(lines.contains(kUnit + QStringLiteral(" user 1 name TEMPUSER"))
                    && lines.endsWith(kUnit + QStringLiteral(" user 1 password \"\"")),
                qPrintable(lines.join(u'|')));
        }
        QVERIFY(m_main->cz() && !m_main->cVerevo());
    }

    // A terminal open on the unit, its Get Serial Number cut short.
    void serialNumber(const QString& way)
    {
        openTelnet();
        frmTerminal2* term = m_main->TermForm();
        QVERIFY(term && term->clsrx() && term->clsrx()->Online());
        heardSince();
        const QPointer<frmTerminal2> first = term;
        const QPointer<clsTrm> session = term->clsrx();
        Hand hand([&] { return !first || !first->CommandButton1->isEnabled(); },
            [&] {
                if (way == u"Close")
                    QTest::mouseClick(first->cmdClose, Qt::LeftButton);
                else if (way == u"Telnet")
                    m_main->mnuViewTelnet()->trigger();
                else if (way == u"Exit")
                    m_main->mnuFileExit()->trigger();
            });
        QTest::mouseClick(term->CommandButton1, Qt::LeftButton);
        // The unit may hang up before the hand has looked.
        QVERIFY(hand.acted || way == u"unit");
        if (way == u"Close" || way == u"Exit")
            QVERIFY2(hand.sinceAct.elapsed() < 2000, qPrintable(QString::number(hand.sinceAct.elapsed())));
        // The ended window wrote nothing, and its session went.
        if (first)
            QVERIFY(!first->txtmsgs->toPlainText().contains(QStringLiteral("Serial#:")));
        QTRY_VERIFY(session.isNull());
        if (way == u"Telnet") {
            // The first window went, the second is connected and stays.
            QTRY_VERIFY(first.isNull());
            frmTerminal2* second = m_main->TermForm();
            QVERIFY(second && second->isVisible() && second->clsrx() && second->clsrx()->Online());
            QVERIFY(heardSince().endsWith(kUnit + QStringLiteral(" user 1 password \"\"")));
            closeTerminal();
        } else if (way == u"Exit") {
            QCOMPARE(m_run->ends, 1);
            QVERIFY(!m_main->TermForm());
            QTRY_VERIFY(first.isNull());
        } else {
            QVERIFY(first && !first->isVisible());
        }
    }

    // Configure Units on the unit, only its address step: the check's
    // telnet login waits on a unit that says nothing, and a scan is started
    // from the main window meanwhile.
    void addressCheck()
    {
        bool scanned = false;
        Hand hand([&] { return heard(kUnit + QStringLiteral(" user 1 access 0")); },
            [&] {
                // Into the login's wait for the unit's first prompt.
                QTest::qWait(500);
                m_main->mnumnuScan()->trigger();
                scanned = true;
            });
        const std::shared_ptr<CQarUnitInfo> unit = m_main->Units()->Item(kUnit);
        QVERIFY(unit);
        PersonAtDialogs person;
        person.switches = QStringLiteral("ID");
        doubleClick(m_main->lvUnits()->viewport());
        QVERIFY(scanned);
        QVERIFY2(hand.sinceAct.elapsed() < 2500, qPrintable(QString::number(hand.sinceAct.elapsed())));
        // The run went on as after a cancel: no failure box, no results window.
        QCOMPARE(person.kinds(), QStringList { "options" });
        QVERIFY(unit->discarded());
        QVERIFY(!m_run->program.pipeline()->running());
        const QStringList lines = heardSince();
        QVERIFY2(lines.endsWith(kUnit + QStringLiteral(" user 1 access 0")), qPrintable(lines.join(u'|')));
    }

    // Configure Units with the reboot only, cancelled in the progress window
    // while the run waits for the unit to come back.
    void rebootWait()
    {
        Hand hand([&] { return heard(kUnit + QStringLiteral(" reboot")); },
            [&] {
                frmProgress* progress = m_run->program.pipeline()->ProgressForm();
                QPushButton* cancel = nullptr;
                for (QPushButton* b : progress ? progress->findChildren<QPushButton*>() : QList<QPushButton*> {})
                    if (b->text() == u"Cancel")
                        cancel = b;
                QVERIFY(cancel && cancel->isVisible());
                QTest::mouseClick(cancel, Qt::LeftButton);
            });
        const std::shared_ptr<CQarUnitInfo> unit = m_main->Units()->Item(kUnit);
        QVERIFY(unit);
        PersonAtDialogs person;
        person.switches = QStringLiteral("RD");
        doubleClick(m_main->lvUnits()->viewport());
        QVERIFY(hand.acted);
        // The wait ended at its next look at the flag, not after the unit's restart.
        QVERIFY2(hand.sinceAct.elapsed() < 3000, qPrintable(QString::number(hand.sinceAct.elapsed())));
        // A failed step after a cancel shows no box, and no results window opens.
        QCOMPARE(person.kinds(), QStringList { "options" });
        QCOMPARE(unit->Summary().Reboot(), 1);
        QVERIFY(!m_run->program.pipeline()->running());
        QVERIFY(!m_run->program.pipeline()->ProgressForm());
    }

    void openTelnet()
    {
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main));
        QTest::keyClick(m_main, Qt::Key_T, Qt::AltModifier);
        QMenu* tools = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(tools);
        QTest::keyClick(tools, Qt::Key_T);
    }

    void closeTerminal()
    {
        frmTerminal2* term = m_main->TermForm();
        QVERIFY(term);
        const QPointer<clsTrm> session = term->clsrx();
        QTest::mouseClick(term->cmdClose, Qt::LeftButton);
        QVERIFY(!term->isVisible());
        QTRY_VERIFY(session.isNull());
    }

    // True once the unit's side has no telnet connection open.
    bool waitForNoTerminalConnection()
    {
        return AddressRoad::waitUntil(
            [this] {
                QString out;
                m_lan.onUnitSide(QStringLiteral("ss -Htn state established '( sport = :23 )'"), &out);
                return out.trimmed().isEmpty();
            },
            5000);
    }

    // Restarts the simulator when the row wants its units to behave otherwise.
    bool units(const QStringList& extra)
    {
        if (m_unitsUp && extra == m_unitsArgs)
            return true;
        m_lan.stopUnits();
        m_unitsArgs = extra;
        m_unitsUp = m_lan.startUnits(QStringList { "--serial", "10", "--command-log", m_log } + extra);
        return m_unitsUp;
    }

    // The program as main() starts it, up to the search page listing the
    // units, with the main window shown (the one thing no page does).
    bool mainWindowReady()
    {
        if (m_run)
            return m_search && m_main && m_run->ends == 0;
        m_run = std::make_unique<Journey::Run>();
        bool ok = false;
        Journey::inEventLoop([&] {
            m_run->program.start();
            auto* welcome = m_run->page<frmWiz01>();
            QVERIFY(welcome);
            QTest::mouseClick(welcome->cmdNext, Qt::LeftButton);
            m_search = Journey::waitForUnits(*m_run);
            QVERIFY(m_search);
            m_main = m_run->program.mainWindow();
            m_main->show();
            QVERIFY(QTest::qWaitForWindowExposed(m_main));
            ok = true;
        });
        return ok;
    }

    bool scanAgain()
    {
        bool ok = false;
        Journey::inEventLoop([&] {
            // The scan of the row first runs to its end.
            QVERIFY(QTest::qWaitFor([&] { return m_main->mnumnuScan()->isEnabled(); }, 20000));
            m_main->mnumnuScan()->trigger();
            QVERIFY(!m_main->mnumnuScan()->isEnabled());
            QVERIFY(QTest::qWaitFor([&] { return m_main->mnumnuScan()->isEnabled(); }, 20000));
            QCOMPARE(Journey::rowTexts(*m_search), (QStringList { "10", "11" }));
            ok = true;
        });
        return ok;
    }

    // Whether the units heard this line since the row began (it stays seen).
    bool heard(const QString& line)
    {
        m_seen += ConfigureRoad::heard(m_log, m_peekOffset);
        return m_seen.contains(line);
    }
    // What the units heard since the last call.
    QStringList heardSince()
    {
        QStringList out = ConfigureRoad::heard(m_log, m_offset);
        m_peekOffset = m_offset;
        m_seen.clear();
        return out;
    }

    Journey::Lan m_lan;
    ScratchEtc m_etc;
    QTemporaryDir m_dir;
    QString m_log = m_dir.filePath(QStringLiteral("commands.log"));
    qint64 m_offset = 0;
    qint64 m_peekOffset = 0;
    QStringList m_seen;
    QStringList m_unitsArgs;
    bool m_unitsUp = false;
    std::unique_ptr<Journey::Run> m_run;
    frmWiz07* m_search = nullptr;
    frmMain* m_main = nullptr;
};

QTEST_MAIN(tst_JourneyWaysOut)
#include "tst_JourneyWaysOut.moc"
