// The main window's batch side as a person uses it, with the program started
// as main() starts it on a bare LAN: the units are the simulator's across the
// namespaces, the PC's gateway and DNS server really change in the PC's
// namespace, the address search really pings, the checks really log in over
// telnet. The main window is hidden in a wizard run; the test shows it, the
// one thing no page does.
#include "AddressRoad.h"
#include "Journey.h"
#include "PersonAtDialogs.h"
#include "ScratchEtc.h"
#include "app/ModQarConfigureUnits.h"
#include "app/frmMain.h"
#include "unit/CQarUnitInfo.h"
#include "wizard/frmWiz01.h"
#include "wizard/frmWiz08.h"

#include <QAction>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QToolBar>

using Journey::Box;
using Journey::BoxAnswer;
using Journey::choose;
using Journey::Lan;

namespace {
const QByteArray kResolvConf = "nameserver 203.0.113.53\n";

// A double click as the window system delivers it, anywhere on the widget.
void doubleClick(QWidget* widget)
{
    QWidget* top = widget->window();
    QTest::mouseDClick(top->windowHandle(), Qt::LeftButton, {}, widget->mapTo(top, widget->rect().center()));
}

// Takes the PC's default route away again, if there is one.
void dropDefaultRoute()
{
    QProcess ip;
    ip.start(QStringLiteral("ip"), { "-4", "route", "flush", "exact", "0.0.0.0/0" });
    ip.waitForFinished(10000);
}

QString defaultRoute()
{
    QProcess ip;
    ip.start(QStringLiteral("ip"), { "-4", "route", "show", "default" });
    ip.waitForFinished(10000);
    return QString::fromLatin1(ip.readAllStandardOutput()).simplified();
}

// Every line the units heard since the log held offset bytes, as
// "<serial> <line>".
QStringList heard(const QString& path, qint64& offset)
{
    QFile log(path);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    log.seek(offset);
    const QByteArray text = log.readAll();
    offset += text.size();
    QStringList out;
    for (const QByteArray& line : text.split('\n')) {
        if (!line.isEmpty())
            out << QString::fromLatin1(line).replace(u'\t', u' ');
    }
    return out;
}

// What the steps of a run left in the units' command log: a word per step
// whose commands were heard, in the order of the stages. The address check
// and the cellular test both make a temporary profile ("user ?"); the test
// reads the link's state first.
QStringList stepsHeard(const QStringList& lines, const QString& serial)
{
    const QString p = serial + u' ';
    auto heardLine = [&](const QString& command) { return lines.contains(p + command); };
    const qsizetype firstStatus = lines.indexOf(p + QStringLiteral("ppp 1 status"));
    bool check = false;
    bool test = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i] == p + QStringLiteral("user ?"))
            (firstStatus < 0 || i < firstStatus ? check : test) = true;
    }
    QStringList out;
    if (std::any_of(lines.begin(), lines.end(), [&](const QString& l) { return l.startsWith(p + "eth 0 ipaddr"); }))
        out << QStringLiteral("address");
    if (check)
        out << QStringLiteral("check");
    if (heardLine(QStringLiteral("config 0 save")))
        out << QStringLiteral("save");
    if (heardLine(QStringLiteral("reboot")))
        out << QStringLiteral("reboot");
    if (heardLine(QStringLiteral("modemcc 0 apn ?")))
        out << QStringLiteral("cellular probe");
    if (firstStatus >= 0)
        out << QStringLiteral("link status");
    if (test)
        out << QStringLiteral("cellular test");
    return out;
}
} // namespace

class tst_JourneyConfigureUnits : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QVERIFY2(m_lan.build(Lan::Shape::Bare), qPrintable(m_lan.lastError()));
        QVERIFY2(m_etc.apply(kResolvConf), qPrintable(m_etc.lastError()));
        QVERIFY(m_logDir.isValid());
        m_commandLog = m_logDir.filePath(QStringLiteral("commands.log"));
        QVERIFY(startUnits({}));
        m_run = std::make_unique<Journey::Run>();
        // Short pings: a free address costs one time-out.
        m_run->store.setValue(QStringLiteral("Settings/PingTimeout"), QStringLiteral("300"));
        m_run->store.sync();
        Journey::inEventLoop([this] {
            m_run->program.start();
            auto* welcome = m_run->page<frmWiz01>();
            QVERIFY(welcome);
            QTest::mouseClick(welcome->cmdNext, Qt::LeftButton);
            m_search = Journey::waitForUnits(*m_run);
            QVERIFY(m_search);
            QCOMPARE(Journey::rowTexts(*m_search), (QStringList { "10", "11" }));
            m_main = m_run->program.mainWindow();
            m_main->show();
            QVERIFY(QTest::qWaitForWindowExposed(m_main));
        });
        QVERIFY(m_search && m_main);
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
        QVERIFY(m_search && m_main);
        Journey::inEventLoop([&] {
            // Back to the PC as it was before any run.
            dropDefaultRoute();
            QVERIFY(ScratchEtc::writeResolvConf(kResolvConf));
            heard(m_commandLog, m_logOffset);
            const auto unit = m_main->Units()->Item(QStringLiteral("11"));
            QVERIFY(unit);

            choose(*m_search, QStringLiteral("11"));
            PersonAtDialogs person;
            person.switches = switches;
            person.pcHost = Journey::kUnitAddress;
            person.answer = [gatewayYes](const QString&) { return gatewayYes; };
            doubleClick(m_main->lvUnits()->viewport());

            const QStringList lines = heard(m_commandLog, m_logOffset);
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
            QCOMPARE(person.seen[0].caption, QStringLiteral("Configuration options for unit SN: 11"));
            if (switches.contains(u'D')) {
                const PersonAtDialogs::Seen& summary = person.seen.last();
                QCOMPARE(summary.caption, QStringLiteral("Results Summary for unit with Serial Number: 11"));
                QVERIFY(summary.text.contains(QStringLiteral("Unit Serial Number: 11")));
            }
            // The log window tells the run's end; the stop button is greyed.
            QCOMPARE(m_main->lvLog()->topLevelItem(0)->text(2), QStringLiteral("Completed configuring unit"));
            QCOMPARE(m_main->lvLog()->topLevelItem(0)->text(0), QStringLiteral("11"));
            QVERIFY(!m_main->stopScanToolButton()->isEnabled());
            // The discovery object is back where it rests between runs.
            QVERIFY(m_main->cz() && !m_main->cVerevo());
            QVERIFY(!m_run->program.pipeline()->ProgressForm());
        });
        dropDefaultRoute();
    }

    // Tools, Telnet: a temporary login made on the chosen unit, a terminal
    // window connected with it, the login cleared while the window stays.
    void telnetFromTheToolsMenu()
    {
        QVERIFY(m_search && m_main);
        Journey::inEventLoop([&] {
            QStringList lines;
            const QStringList boxes = telnetByKeyboard(QStringLiteral("11"), lines);
            QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(u'|')));
            QWidget* terminal = m_main->TermForm();
            QVERIFY(terminal && terminal->isVisible());
            QVERIFY2(lines.contains(QStringLiteral("11 user 1 name TEMPUSER"))
                    && lines.endsWith(QStringLiteral("11 user 1 password \"\"")),
                qPrintable(lines.join(u'|')));
            QVERIFY(m_main->cz() && !m_main->cVerevo());
        });
    }

    // The units now say they are at 10.0.0.5 and .6: a scan from the Scan
    // menu lists them; the address step finds the LAN's first free address
    // by pinging, the unit takes it and answers there; the run ends in the
    // results window.
    void menuScanThenANewAddress()
    {
        QVERIFY(m_search && m_main);
        m_lan.stopUnits();
        QVERIFY(startUnits({ "--ip", "10.0.0.5" }));
        Journey::inEventLoop([&] {
            // The person turns to the main window and opens its Scan menu.
            m_main->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_main));
            QTest::keyClick(m_main, Qt::Key_S, Qt::AltModifier);
            QMenu* scanMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(scanMenu);
            QCOMPARE(scanMenu->activeAction(), m_main->mnumnuScan());
            QTest::keyClick(scanMenu, Qt::Key_Return);
            QVERIFY(!m_main->mnumnuScan()->isEnabled());
            QVERIFY(QTest::qWaitFor([&] { return m_main->mnumnuScan()->isEnabled(); }, 20000));
            QCOMPARE(Journey::rowTexts(*m_search), (QStringList { "10", "11" }));
            QCOMPARE(m_main->Units()->Item(QStringLiteral("10"))->ip(), QStringLiteral("10.0.0.5"));
            QVERIFY(m_main->cz() && m_main->cz()->verevo());

            choose(*m_search, QStringLiteral("10"));
            PersonAtDialogs person;
            person.switches = QStringLiteral("ID");
            // Keyboard: the list takes Return as its double click.
            m_main->lvUnits()->setFocus();
            QTest::keyClick(m_main->lvUnits(), Qt::Key_Return);

            const auto unit = m_main->Units()->Item(QStringLiteral("10"));
            const clsSummary& s = unit->Summary();
            QCOMPARE((QList<qint32> { s.IPAssignment(), s.NewIP(), s.IPCheck() }), (QList<qint32> { 2, 3, 4 }));
            QCOMPARE(unit->ip(), QStringLiteral("198.51.100.2"));
            QCOMPARE(m_search->lvUnits->topLevelItem(0)->text(2), QStringLiteral("198.51.100.2"));
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
        QVERIFY(m_main);
        Journey::inEventLoop([&] {
            frmWiz07* search = m_run->page<frmWiz07>();
            QVERIFY(search);
            AddressRoad::BoxHand boxes; // No to the reset question
            frmWiz08* options = AddressRoad::probe(*m_run, *search, QStringLiteral("10"));
            QVERIFY(options);
            QCOMPARE(m_run->program.wizardState().CurrentUnit->Serial(), QStringLiteral("10"));
            QTest::mouseClick(options->navButton(WizardPage::Nav::Back), Qt::LeftButton);
            m_search = Journey::waitForUnits(*m_run);
            QVERIFY(m_search);

            heard(m_commandLog, m_logOffset);
            choose(*m_search, QStringLiteral("11"));
            PersonAtDialogs person;
            person.switches = QStringLiteral("SD");
            doubleClick(m_main->lvUnits()->viewport());
            const auto unit = m_main->Units()->Item(QStringLiteral("11"));
            QCOMPARE(unit->Summary().SaveCfg(), 2);
            QCOMPARE(heard(m_commandLog, m_logOffset), QStringList { "11 config 0 save" });
            QCOMPARE(person.kinds(), (QStringList { "options", "summary" }));
            QCOMPARE(m_run->program.wizardState().CurrentUnit->Serial(), QStringLiteral("10"));
        });
    }

    // Telnet again, on unit 11, which the address run left outside the PC's
    // network: the first terminal goes before the new login, the connection
    // fails with its box, no terminal is left, and the login is cleared all
    // the same.
    void telnetToAUnitThePcCannotReach()
    {
        QVERIFY(m_search && m_main);
        Journey::inEventLoop([&] {
            QPointer<QWidget> first = m_main->TermForm();
            QStringList lines;
            const QStringList boxes = telnetByKeyboard(QStringLiteral("11"), lines);
            QCOMPARE(boxes, QStringList { QStringLiteral("Failed to connect to : 10.0.0.6") });
            QVERIFY(!first);
            QVERIFY(!m_main->TermForm());
            QVERIFY2(lines.contains(QStringLiteral("11 user 1 name TEMPUSER"))
                    && lines.endsWith(QStringLiteral("11 user 1 password \"\"")),
                qPrintable(lines.join(u'|')));
            QVERIFY(m_main->cz() && !m_main->cVerevo());
        });
    }

    // Exit from the File menu: the settings and the window's place are
    // written, and the program ends.
    void exitWritesTheSettings()
    {
        QVERIFY(m_main);
        Journey::inEventLoop([&] {
            m_run->program.settings().TestHost = QStringLiteral("typed.example");
            m_main->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_main));
            QTest::keyClick(m_main, Qt::Key_F, Qt::AltModifier);
            QMenu* fileMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(fileMenu);
            QTest::keyClick(fileMenu, Qt::Key_X);
            QCOMPARE(m_run->ends, 1);
            QVERIFY(m_main->unloaded());
        });
        QSettings written(m_run->store.fileName(), QSettings::IniFormat);
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
        heard(m_commandLog, m_logOffset);
        choose(*m_search, serial);
        m_main->activateWindow();
        if (!QTest::qWaitForWindowActive(m_main))
            return { QStringLiteral("the main window never became active") };
        QTest::keyClick(m_main, Qt::Key_T, Qt::AltModifier);
        QMenu* tools = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!tools)
            return { QStringLiteral("Alt+T opened no menu") };
        AddressRoad::BoxHand boxes;
        QTest::keyClick(tools, Qt::Key_T);
        lines = heard(m_commandLog, m_logOffset);
        return boxes.texts();
    }

    // The units come up with their PPP link on at once; a restart keeps a
    // unit silent for the simulator's 5 s, longer than one probe's round.
    bool startUnits(const QStringList& extra)
    {
        return m_lan.startUnits(QStringList { "--serial", "10", "--command-log", m_commandLog, "--ppp-on", "1",
                                    "--ppp-idle", "0", "--ppp-activating", "0", "--lan-dev", "eth0" }
            + extra);
    }

    Lan m_lan;
    ScratchEtc m_etc;
    QTemporaryDir m_logDir;
    QString m_commandLog;
    qint64 m_logOffset = 0;
    std::unique_ptr<Journey::Run> m_run;
    frmWiz07* m_search = nullptr;
    frmMain* m_main = nullptr;
};

QTEST_MAIN(tst_JourneyConfigureUnits)
#include "tst_JourneyConfigureUnits.moc"
