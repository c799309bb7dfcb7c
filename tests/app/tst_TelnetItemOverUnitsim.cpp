#include "NetLab.h"
#include "RecordingPrompts.h"
#include "RecordingScanView.h"
#include "UnitSimReady.h"
#include "app/AppWindows.h"
#include "app/frmTerminal2.h"
#include "discovery/clsVerevo.h"
#include "net/CAdapterHelper.h"
#include "net/ModQar.h"
#include "net/SystemClock.h"
#include "unit/clsUnitQuerier.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTest>

// The main window's Telnet item on a unit played by the simulator across a
// bare LAN (one link, an address each, no default route): a temporary login
// made over the discovery channel, the terminal window connected with it,
// the login cleared at once while the window stays connected.
namespace {
QByteArrayList linesOf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArrayList out;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (!l.isEmpty())
            out << l.mid(l.indexOf('\t') + 1);
    return out;
}
} // namespace

class tst_TelnetItemOverUnitsim : public QObject {
    Q_OBJECT
private slots:
    void terminalOnTheChosenUnit()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QTemporaryFile commandLog;
        QVERIFY(commandLog.open());
        NetLab lab;
        const NetLab::Cable lan = lab.cable(
            QStringLiteral("203.0.113.1/24"), QStringLiteral("203.0.113.2/24"), QStringLiteral("02:00:5e:00:00:a1"));
        QVERIFY2(!lan.pc.isEmpty(), qPrintable(lab.lastError()));
        QProcess* sim = lab.start(lan.units,
            { QStringLiteral(UNITSIM_PATH), "--bind", "0.0.0.0", "--port", "7477", "--serial", "4711", "--ip",
                "203.0.113.2", "--command-log", commandLog.fileName() });
        QVERIFY(sim && unitsimReadyPort(*sim) == 7477);
        QVERIFY2(lab.enter(lan.pc), qPrintable(lab.lastError()));

        // As start-up makes them: the usable interfaces, the discovery
        // object on the selected one, a command object with its terminal
        // session for each unit, and the windows' hooks.
        SystemClock clock;
        RecordingPrompts prompts;
        UsableInterfaces usable;
        CAdapterHelper adapters(QStringLiteral("/sys/class/net"), &prompts);
        QCOMPARE(ModQar::BuildInterfaceList(adapters, usable), 1);
        QString broadcast = QStringLiteral("255.255.255.255");
        AppSettings settings;
        UnitInterfacePrefixes prefixes;
        bool cancel = false;
        RecordingView view;
        view.selectSerial = QStringLiteral("4711");
        frmMain* main = nullptr;
        frmMain::Services services {
            .clock = clock,
            .interfaces = usable,
            .createDiscovery = [&]() -> std::unique_ptr<clsVerevo> {
                const VerevoSocketOptions socket = VerevoSocketOptions::outOfSelected(usable);
                return std::make_unique<clsVerevo>(
                    clock, prompts, broadcast,
                    [&usable] {
                        return std::pair { usable.selected()->Adapter->IPAddress(),
                            usable.selected()->Adapter->mask() };
                    },
                    [] {}, socket);
            },
            .PingAddress = [](quint32, const QString&, qint32) { return true; },
            .settings = settings,
            .WizardMode = [] { return 1; },
            .ShiftKeyDown = [] { return false; },
            .createQuerier =
                [&](CQarUnitInfo& unit) {
                    return std::make_unique<clsUnitQuerier>(
                        clock, prefixes, settings.RebootTime, cancel,
                        [&main](const QString& serial, const QString& text) { main->AddLogEntry(serial, text); },
                        [&unit] { return unit.Mac(); },
                        std::make_unique<clsTrm>(clock, prompts, TrmOptions { 23, nullptr, {} }));
                },
            .CancelRequested = &cancel,
            .prompts = &prompts,
        };
        AppWindows::fill(services, { .terminal = TrmOptions { 23, nullptr, {} } });
        frmMain w(std::move(services));
        main = &w;
        view.window = &w;
        w.setScanResultsView(&view);

        w.mnumnuScan()->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(view.displays, 1, 15000);
        QCOMPARE(view.rowTexts(), QStringList { "4711" });

        w.mnuViewTelnet()->trigger();
        auto* term = qobject_cast<frmTerminal2*>(w.TermForm());
        QVERIFY(term);
        QVERIFY(term->isVisible());
        QCOMPARE(term->windowTitle(), QStringLiteral("Remote Unit"));
        QVERIFY(term->clsrx() && term->clsrx()->Online());
        QCOMPARE(term->lblStatus->text(), QStringLiteral("Login succesful: "));
        // The profile was made for the login and cleared once the window had connected.
        const QByteArrayList lines = linesOf(commandLog.fileName());
        QVERIFY2(lines.contains("user 1 name TEMPUSER") && lines.endsWith("user 1 password \"\""),
            lines.join(" | ").constData());
        QVERIFY(w.cz());

        // The unit has no echo: what it answers is what shows.
        QTest::keyClicks(term->txtmsgs, QStringLiteral("ppp 1 status"));
        QTest::keyClick(term->txtmsgs, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(
            term->txtmsgs->toPlainText().contains(QStringLiteral("PPP 1: Idle\nIP Address:")), 10000);
        QTest::mouseClick(term->CommandButton1, Qt::LeftButton);
        QVERIFY(term->txtmsgs->toPlainText().endsWith(QStringLiteral("Serial#:4711\n")));

        QTest::mouseClick(term->cmdClose, Qt::LeftButton);
        QVERIFY(!term->isVisible());
        QVERIFY(!term->clsrx());
        QVERIFY2(prompts.boxes.isEmpty(), qPrintable(prompts.texts().join(u'|')));
    }
};

QTEST_MAIN(tst_TelnetItemOverUnitsim)
#include "tst_TelnetItemOverUnitsim.moc"
