// The main window's batch side as a person uses it, with the program started
// as main() starts it on a bare LAN: the units are the simulator's across the
// namespaces, the PC's gateway and DNS server really change in the PC's
// namespace, the address search really pings, the checks really log in over
// telnet. The main window is hidden in a wizard run; the test shows it, the
// one thing no page does.
#include "AddressRoad.h"
#include "ConfigureRoad.h"
#include "PersonAtDialogs.h"
#include "app/ModQarConfigureUnits.h"
#include "app/frmMain.h"
#include "app/frmTerminal2.h"
#include "unit/CQarUnitInfo.h"
#include "wizard/frmWiz08.h"

#include <QAction>
#include <QMenuBar>
#include <QPointer>
#include <QToolBar>

using Journey::choose;

using namespace ConfigureRoad;

class tst_JourneyConfigureUnits : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        m_b.setUp();
        QVERIFY(m_b.search && m_b.main);
    }

    // One run per row on unit 11, with the switches the person ticks: the
    // steps the unit heard, the PC's default route and name server, the
    // codes, and the results window when it was asked for.
    void switchTable_data()
    {
        QTest::addColumn<QString>("switches");
        QTest::addColumn<bool>("gatewayYes");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("pcChanged");
        QTest::addColumn<QList<qint32>>("codes"); // from IPAssignment to PCConnectivityTest
        QTest::newRow("every switch on") << "ISRWTGPCD" << true
                                         << QStringList { "check", "save", "reboot", "cellular probe", "link status",
                                                "cellular test" }
                                         << true << QList<qint32> { 1, 0, 4, 0, 2, 2, 2, 3, 5, 5, 3 };
        QTest::newRow("only the summary")
            << "D" << true << QStringList {} << false << QList<qint32> { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 };
        QTest::newRow("address only") << "I" << true << QStringList { "check" } << false
                                      << QList<qint32> { 1, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0 };
        QTest::newRow("save and reboot") << "SR" << true << QStringList { "save", "reboot" } << false
                                         << QList<qint32> { 0, 0, 0, 0, 2, 2, 0, 0, 0, 0, 0 };
        QTest::newRow("the cellular link: wait and test")
            << "WTD" << true << QStringList { "cellular probe", "link status", "cellular test" } << false
            << QList<qint32> { 0, 0, 0, 0, 0, 0, 2, 3, 0, 0, 0 };
        QTest::newRow("gateway declined")
            << "G" << false << QStringList {} << false << QList<qint32> { 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0 };
        QTest::newRow("gateway and the PC's test")
            << "GP" << true << QStringList {} << true << QList<qint32> { 0, 0, 0, 0, 0, 0, 0, 0, 5, 5, 3 };
        QTest::newRow("cellular settings alone, which no step reads")
            << "C" << true << QStringList {} << false << QList<qint32> { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 };
    }
    void switchTable()
    {
        QFETCH(QString, switches);
        QFETCH(bool, gatewayYes);
        QFETCH(QStringList, steps);
        QFETCH(bool, pcChanged);
        QFETCH(QList<qint32>, codes);
        QVERIFY(m_b.search && m_b.main);
        Journey::inEventLoop([&] {
            // Back to the PC as it was before any run.
            dropDefaultRoute();
            QVERIFY(ScratchEtc::writeResolvConf(kResolvConf));
            m_b.heardSince();
            const auto unit = m_b.main->Units()->Item(QStringLiteral("11"));
            QVERIFY(unit);

            choose(*m_b.search, QStringLiteral("11"));
            PersonAtDialogs person;
            person.switches = switches;
            person.pcHost = Journey::kUnitAddress;
            person.answer = [gatewayYes](const QString&) { return gatewayYes; };
            doubleClick(m_b.main->lvUnits()->viewport());

            const QStringList lines = m_b.heardSince();
            QCOMPARE(stepsHeard(lines, QStringLiteral("11")), steps);
            QVERIFY2(std::none_of(lines.begin(), lines.end(), [](const QString& l) { return l.startsWith("10 "); }),
                qPrintable(lines.join(u'|')));
            const clsSummary& s = unit->Summary();
            QCOMPARE(
                (QList<qint32> { s.IPAssignment(), s.NewIP(), s.IPCheck(), s.GPRS(), s.SaveCfg(), s.Reboot(),
                    s.WaitForPPP(), s.ConnectivityTest(), s.SetGateway(), s.SetNameServer(), s.PCConnectivityTest() }),
                codes);
            const QString route = defaultRoute();
            const QByteArray dns = ScratchEtc::resolvConf();
            if (pcChanged) {
                QVERIFY2(route.startsWith(QStringLiteral("default via 198.51.100.11 dev eth0")), qPrintable(route));
                QVERIFY2(dns.contains("nameserver 198.51.100.11"), dns.constData());
                QVERIFY(!dns.contains("203.0.113.53"));
            } else {
                QCOMPARE(route, QString());
                QCOMPARE(dns, kResolvConf);
            }

            // The dialogs in the order of the stages that ask.
            QStringList expectedDialogs = { QStringLiteral("options") };
            if (switches.contains(u'T'))
                expectedDialogs << QStringLiteral("host");
            if (switches.contains(u'G'))
                expectedDialogs << QStringLiteral("box");
            if (switches.contains(u'P'))
                expectedDialogs << QStringLiteral("host");
            if (switches.contains(u'D'))
                expectedDialogs << QStringLiteral("summary");
            QCOMPARE(person.kinds(), expectedDialogs);
            // Each host prompt says who will try to reach the host.
            QStringList prompts;
            for (const PersonAtDialogs::Seen& seen : std::as_const(person.seen)) {
                if (seen.kind == u"host")
                    prompts << seen.text;
            }
            QStringList expectedPrompts;
            if (switches.contains(u'T'))
                expectedPrompts << QStringLiteral(
                    "Enter the name of the remote unit that the Velmar unit should attempt to communicate with.");
            if (switches.contains(u'P'))
                expectedPrompts << QStringLiteral("Enter the name of the remote unit that the PC should attempt to "
                                                  "communicate with through the Calvantor Unit.");
            QCOMPARE(prompts, expectedPrompts);
            QCOMPARE(person.seen[0].caption, QStringLiteral("Configuration options for unit SN: 11"));
            if (switches.contains(u'D')) {
                const PersonAtDialogs::Seen& summary = person.seen.last();
                QCOMPARE(summary.caption, QStringLiteral("Results Summary for unit with Serial Number: 11"));
                QVERIFY(summary.text.contains(QStringLiteral("Unit Serial Number: 11")));
            }
            // The log window tells the run's end; the stop button is greyed.
            QCOMPARE(m_b.main->lvLog()->topLevelItem(0)->text(2), QStringLiteral("Completed configuring unit"));
            QCOMPARE(m_b.main->lvLog()->topLevelItem(0)->text(0), QStringLiteral("11"));
            QVERIFY(!m_b.main->stopScanToolButton()->isEnabled());
            // The discovery object is back where it rests between runs.
            QVERIFY(m_b.main->cz() && !m_b.main->cVerevo());
            QVERIFY(!m_b.run->program.pipeline()->ProgressForm());
        });
        dropDefaultRoute();
    }

    // Tools, Telnet: a temporary login made on the chosen unit, a terminal
    // window connected with it, the login cleared while the window stays.
    void telnetFromTheToolsMenu()
    {
        QVERIFY(m_b.search && m_b.main);
        Journey::inEventLoop([&] {
            QStringList lines;
            const QStringList boxes = telnetByKeyboard(QStringLiteral("11"), lines);
            QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(u'|')));
            QWidget* terminal = m_b.main->TermForm();
            QVERIFY(terminal && terminal->isVisible());
            QVERIFY2(lines.contains(QStringLiteral("11 user 1 name TEMPUSER"))
                    && lines.endsWith(QStringLiteral("11 user 1 password \"\"")),
                qPrintable(lines.join(u'|')));
            QVERIFY(m_b.main->cz() && !m_b.main->cVerevo());
        });
    }

    // The units now say they are at 10.0.0.5 and .6: a scan from the Scan
    // menu lists them; the address step finds the LAN's first free address
    // by pinging, the unit takes it and answers there; the run ends in the
    // results window.
    void menuScanThenANewAddress()
    {
        QVERIFY(m_b.search && m_b.main);
        m_b.lan.stopUnits();
        QVERIFY(m_b.startUnits({ "--ip", "10.0.0.5" }));
        Journey::inEventLoop([&] {
            // The person turns to the main window and opens its Scan menu.
            m_b.main->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_b.main));
            QTest::keyClick(m_b.main, Qt::Key_S, Qt::AltModifier);
            QMenu* scanMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(scanMenu);
            QCOMPARE(scanMenu->activeAction(), m_b.main->mnumnuScan());
            QTest::keyClick(scanMenu, Qt::Key_Return);
            QVERIFY(!m_b.main->mnumnuScan()->isEnabled());
            QVERIFY(QTest::qWaitFor([&] { return m_b.main->mnumnuScan()->isEnabled(); }, 20000));
            QCOMPARE(Journey::rowTexts(*m_b.search), (QStringList { "10", "11" }));
            QCOMPARE(m_b.main->Units()->Item(QStringLiteral("10"))->ip(), QStringLiteral("10.0.0.5"));
            QVERIFY(m_b.main->cz());

            choose(*m_b.search, QStringLiteral("10"));
            PersonAtDialogs person;
            person.switches = QStringLiteral("ID");
            // Keyboard: the list takes Return as its double click.
            m_b.main->lvUnits()->setFocus();
            QTest::keyClick(m_b.main->lvUnits(), Qt::Key_Return);

            const auto unit = m_b.main->Units()->Item(QStringLiteral("10"));
            const clsSummary& s = unit->Summary();
            QCOMPARE((QList<qint32> { s.IPAssignment(), s.NewIP(), s.IPCheck() }), (QList<qint32> { 2, 3, 4 }));
            QCOMPARE(unit->ip(), QStringLiteral("198.51.100.2"));
            QCOMPARE(m_b.search->lvUnits->topLevelItem(0)->text(2), QStringLiteral("198.51.100.2"));
            QCOMPARE(person.kinds(), (QStringList { "options", "box", "box", "summary" }));
            QCOMPARE(person.seen[1].text,
                QStringLiteral("Unit with serial number: 10 has an IP Address (10.0.0.5)\n"
                               "that is not of the same network as this PC.\nFind a new address for this unit?"));
            QCOMPARE(person.seen[1].caption, QStringLiteral("Linkwise"));
            QCOMPARE(person.seen[2].text,
                QStringLiteral("IP Address: 198.51.100.2 appears to be free.\n"
                               "Use this address for unit with serial number: 10?"));
            QVERIFY(person.seen[3].text.contains(QStringLiteral("LAN IP address: 198.51.100.2")));
            QVERIFY(person.seen[3].text.contains(
                QStringLiteral("New IP address was assigned successfully (198.51.100.2)")));
        });
    }

    // The wizard's chosen unit is 10: the search page's Next took it and the
    // option page probed it; Back leads to a new search. A run on 11 from the
    // main window still hears 11's replies, and the wizard keeps its choice.
    void runOnAUnitThatIsNotTheWizardsChoice()
    {
        QVERIFY(m_b.main);
        Journey::inEventLoop([&] {
            frmWiz07* search = m_b.run->page<frmWiz07>();
            QVERIFY(search);
            AddressRoad::BoxHand boxes; // No to the reset question
            frmWiz08* options = AddressRoad::probe(*m_b.run, *search, QStringLiteral("10"));
            QVERIFY(options);
            QCOMPARE(m_b.run->program.wizardState().CurrentUnit->Serial(), QStringLiteral("10"));
            QTest::mouseClick(options->navButton(WizardPage::Nav::Back), Qt::LeftButton);
            m_b.search = Journey::waitForUnits(*m_b.run);
            QVERIFY(m_b.search);

            m_b.heardSince();
            choose(*m_b.search, QStringLiteral("11"));
            PersonAtDialogs person;
            person.switches = QStringLiteral("SD");
            doubleClick(m_b.main->lvUnits()->viewport());
            const auto unit = m_b.main->Units()->Item(QStringLiteral("11"));
            QCOMPARE(unit->Summary().SaveCfg(), 2);
            QCOMPARE(m_b.heardSince(), QStringList { "11 config 0 save" });
            QCOMPARE(person.kinds(), (QStringList { "options", "summary" }));
            QCOMPARE(m_b.run->program.wizardState().CurrentUnit->Serial(), QStringLiteral("10"));
        });
    }

    // Telnet again, on unit 11, which the address run left outside the PC's
    // network: the first terminal goes before the new login, the connection
    // fails with its box, no terminal is left, and the login is cleared all
    // the same.
    void telnetToAUnitThePcCannotReach()
    {
        QVERIFY(m_b.search && m_b.main);
        Journey::inEventLoop([&] {
            QPointer<QWidget> first = m_b.main->TermForm();
            QStringList lines;
            const QStringList boxes = telnetByKeyboard(QStringLiteral("11"), lines);
            QCOMPARE(boxes, QStringList { QStringLiteral("Failed to connect to : 10.0.0.6") });
            QVERIFY(!first);
            QVERIFY(!m_b.main->TermForm());
            QVERIFY2(lines.contains(QStringLiteral("11 user 1 name TEMPUSER"))
                    && lines.endsWith(QStringLiteral("11 user 1 password \"\"")),
                qPrintable(lines.join(u'|')));
            QVERIFY(m_b.main->cz() && !m_b.main->cVerevo());
        });
    }

    // Serials that are no 32-bit number: the unit actions reach the unit of
    // the selected row by its text, from a double click and from Telnet.
    void unitActionsOnSerialsThatAreNoNumber_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("letters inside") << "61A00"
                                        << "61A001";
        QTest::newRow("beyond 32 bits") << "4294967296"
                                        << "4294967297";
    }
    void unitActionsOnSerialsThatAreNoNumber()
    {
        QFETCH(QString, first);
        QFETCH(QString, chosen);
        QVERIFY(m_b.search && m_b.main);
        m_b.lan.stopUnits();
        QVERIFY(m_b.startUnits({ "--serial", first }));
        Journey::inEventLoop([&] {
            m_b.main->mnumnuScan()->trigger();
            QVERIFY(QTest::qWaitFor([&] { return m_b.main->mnumnuScan()->isEnabled(); }, 20000));
            QCOMPARE(Journey::rowTexts(*m_b.search), (QStringList { first, chosen }));

            m_b.heardSince();
            choose(*m_b.search, chosen);
            PersonAtDialogs person;
            person.switches = QStringLiteral("SD");
            doubleClick(m_b.main->lvUnits()->viewport());
            QCOMPARE(person.kinds(), (QStringList { "options", "summary" }));
            QCOMPARE(person.seen[0].caption, QStringLiteral("Configuration options for unit SN: ") + chosen);
            QCOMPARE(person.seen[1].caption, QStringLiteral("Results Summary for unit with Serial Number: ") + chosen);
            QCOMPARE(m_b.heardSince(), QStringList { chosen + QStringLiteral(" config 0 save") });

            QStringList lines;
            const QStringList boxes = telnetByKeyboard(chosen, lines);
            QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(u'|')));
            QVERIFY(m_b.main->TermForm() && m_b.main->TermForm()->isVisible());
            QVERIFY2(lines.contains(chosen + QStringLiteral(" user 1 name TEMPUSER")), qPrintable(lines.join(u'|')));
        });
    }

    // Exit from the File menu: the settings and the window's place are
    // written, and the program ends.
    void exitWritesTheSettings()
    {
        QVERIFY(m_b.main);
        Journey::inEventLoop([&] {
            m_b.run->program.settings().TestHost = QStringLiteral("typed.example");
            m_b.main->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_b.main));
            QTest::keyClick(m_b.main, Qt::Key_F, Qt::AltModifier);
            QMenu* fileMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(fileMenu);
            QTest::keyClick(fileMenu, Qt::Key_X);
            QCOMPARE(m_b.run->ends, 1);
            QVERIFY(m_b.main->unloaded());
        });
        QSettings written(m_b.run->store.fileName(), QSettings::IniFormat);
        QCOMPARE(written.value(QStringLiteral("Settings/TestHostname")).toString(), QStringLiteral("typed.example"));
        QCOMPARE(written.value(QStringLiteral("Settings/PingTimeout")).toString(), QStringLiteral("300"));
        for (const char* key : { "MainLeft", "MainTop", "MainWidth", "MainHeight" })
            QVERIFY2(written.contains(QStringLiteral("Settings/") + QLatin1String(key)), key);
    }

private:
    // Tools, Telnet by the keyboard on the unit of this serial, every box
    // answered; the boxes' texts and the lines the unit heard meanwhile.
    QStringList telnetByKeyboard(const QString& serial, QStringList& lines)
    {
        m_b.heardSince();
        choose(*m_b.search, serial);
        m_b.main->activateWindow();
        if (!QTest::qWaitForWindowActive(m_b.main))
            return { QStringLiteral("the main window never became active") };
        QTest::keyClick(m_b.main, Qt::Key_T, Qt::AltModifier);
        QMenu* tools = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!tools)
            return { QStringLiteral("Alt+T opened no menu") };
        AddressRoad::BoxHand boxes;
        QTest::keyClick(tools, Qt::Key_T);
        lines = m_b.heardSince();
        return boxes.texts();
    }

    Bench m_b;
};

QTEST_MAIN(tst_JourneyConfigureUnits)
#include "tst_JourneyConfigureUnits.moc"
