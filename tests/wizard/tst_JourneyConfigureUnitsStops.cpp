// Configure Units stopped by the person and failing steps, on the road a
// person takes: the program started as main() starts it on a bare LAN, the
// run started from the main window on a unit of the search page's list, the
// units the simulator's across the namespaces, the PC's own route and name
// server in its namespace. The waits that last minutes on a real clock (a
// unit that never comes back, a link that never comes up) are tried on the
// simulated clock by the pipeline's own test.
#include "ConfigureRoad.h"
#include "PersonAtDialogs.h"
#include "ProgressWatch.h"
#include "unit/CQarUnitInfo.h"

#include <QAction>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>

using namespace ConfigureRoad;
using Journey::choose;

namespace {
// The stages in order: what the unit hears in each (as stepsHeard names
// it), and the fields of the summary each one's step writes.
struct Stage {
    const char* label;
    const char* heard;
    QList<int> fields; // indexes into codes()
};
const QList<Stage> kStages = {
    { "IP Assignment", "check", { 0, 1, 2 } },
    { "GPRS Configuration", "cellular probe", { 3 } },
    { "Save config", "save", { 4 } },
    { "Reboot unit", "reboot", { 5 } },
    { "Wait for internet connection", "link status", { 6 } },
    { "GPRS Test", "cellular test", { 7 } },
    { "Set PC Gateway", nullptr, { 8, 9 } },
    { "PC Connectivity Test", nullptr, { 10 } },
    { "Complete", nullptr, {} },
};
// Every switch on, the address kept, the PC test answered.
const QList<qint32> kEverything = { 1, 0, 4, 0, 2, 2, 2, 3, 5, 5, 3 };

QList<qint32> codes(const clsSummary& s)
{
    return { s.IPAssignment(), s.NewIP(), s.IPCheck(), s.GPRS(), s.SaveCfg(), s.Reboot(), s.WaitForPPP(),
        s.ConnectivityTest(), s.SetGateway(), s.SetNameServer(), s.PCConnectivityTest() };
}

// The words of stepsHeard in its own order, for the stages before stop.
QStringList heardBefore(int stop)
{
    const QStringList order = { "check", "save", "reboot", "cellular probe", "link status", "cellular test" };
    QStringList ran;
    for (int i = 0; i < stop; ++i) {
        if (kStages[i].heard)
            ran << QString::fromLatin1(kStages[i].heard);
    }
    QStringList out;
    for (const QString& word : order) {
        if (ran.contains(word))
            out << word;
    }
    return out;
}
} // namespace

class tst_JourneyConfigureUnitsStops : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        m_b.setUp();
        QVERIFY(m_b.search && m_b.main);
    }

    void init()
    {
        // The PC as it was before any run.
        dropDefaultRoute();
        QVERIFY(ScratchEtc::writeResolvConf(kResolvConf));
        m_b.heardSince();
    }
    void cleanup() { dropDefaultRoute(); }

    // Every switch on; Cancel in the progress window as the stage shows:
    // that stage's step and every later one are skipped, their codes stay 0,
    // the unit hears nothing more, the PC keeps its route and name server
    // unless their stage had passed, no failure box or results window comes
    // up, and the log says the run was cancelled.
    void cancelAtEachStage_data()
    {
        QTest::addColumn<int>("stop");
        for (qsizetype i = 0; i < kStages.size(); ++i)
            QTest::newRow(kStages[i].label) << int(i);
    }
    void cancelAtEachStage()
    {
        QFETCH(int, stop);
        QVERIFY(m_b.search && m_b.main);
        Journey::inEventLoop([&] {
            choose(*m_b.search, QStringLiteral("11"));
            PersonAtDialogs person;
            person.pcHost = Journey::kUnitAddress;
            ProgressWatch watch;
            watch.cancelAt(QString::fromLatin1(kStages[stop].label));
            doubleClick(m_b.main->lvUnits()->viewport());
            QVERIFY(watch.cancelled);

            QList<qint32> expected = kEverything;
            for (qsizetype i = stop; i < kStages.size(); ++i) {
                for (int field : kStages[i].fields)
                    expected[field] = 0;
            }
            QCOMPARE(codes(m_b.main->Units()->Item(QStringLiteral("11"))->Summary()), expected);
            QCOMPARE(stepsHeard(m_b.heardSince(), QStringLiteral("11")), heardBefore(stop));

            const bool gatewaySet = stop > 6;
            QCOMPARE(defaultRoute().startsWith(QStringLiteral("default via 198.51.100.11")), gatewaySet);
            QCOMPARE(ScratchEtc::resolvConf() == kResolvConf, !gatewaySet);

            QStringList dialogs = { QStringLiteral("options") };
            if (stop > 5)
                dialogs << QStringLiteral("host");
            if (stop > 6)
                dialogs << QStringLiteral("box"); // the gateway question
            if (stop > 7)
                dialogs << QStringLiteral("host");
            QCOMPARE(person.kinds(), dialogs);
            QCOMPARE(m_b.main->lvLog()->topLevelItem(0)->text(2), QStringLiteral("Scan operation cancelled by user"));
            QCOMPARE(m_b.main->lvLog()->topLevelItem(1)->text(2), QStringLiteral("Completed configuring unit"));
            QVERIFY(!m_b.main->stopScanToolButton()->isEnabled());
            QVERIFY(m_b.main->cz() && !m_b.main->cVerevo());
        });
    }

    // The main window's stop button: greyed out before a run, live while one
    // runs, where a click cancels it as the progress window's Cancel does,
    // and greyed out again once it has ended.
    void stopButtonOfTheMainWindow()
    {
        QVERIFY(m_b.search && m_b.main);
        Journey::inEventLoop([&] {
            QAction* stop = m_b.main->stopScanToolButton();
            QWidget* button = m_b.main->tbToolBar()->widgetForAction(stop);
            QVERIFY(button);
            QVERIFY(!stop->isEnabled());
            choose(*m_b.search, QStringLiteral("11"));
            PersonAtDialogs person;
            person.pcHost = Journey::kUnitAddress;
            ProgressWatch watch;
            bool liveDuringTheRun = false;
            watch.onStage = [&](frmProgress&, const QString& label) {
                if (label == QLatin1String("Save config") && !liveDuringTheRun) {
                    liveDuringTheRun = stop->isEnabled();
                    QTest::mouseClick(button, Qt::LeftButton);
                }
            };
            doubleClick(m_b.main->lvUnits()->viewport());
            QVERIFY(liveDuringTheRun);

            // The steps before the stop ran; none after it did (a skipped
            // step leaves the code an earlier run gave it).
            const QList<qint32> got = codes(m_b.main->Units()->Item(QStringLiteral("11"))->Summary());
            QCOMPARE(got.mid(0, 3), kEverything.mid(0, 3));
            QCOMPARE(stepsHeard(m_b.heardSince(), QStringLiteral("11")), heardBefore(2));
            QCOMPARE(person.kinds(), QStringList { QStringLiteral("options") });
            QCOMPARE(m_b.main->lvLog()->topLevelItem(0)->text(2), QStringLiteral("Scan operation cancelled by user"));
            QVERIFY(!stop->isEnabled());
        });
    }

    // A step that fails: its code, its box titled with the serial number,
    // and the run going on to the PC's test. sim: the simulator's extra
    // arguments for this row (the units are started anew with them, and as
    // before afterwards).
    void failingSteps_data()
    {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<QString>("switches");
        QTest::addColumn<QString>("unitHost");
        QTest::addColumn<QString>("pcHost");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("box");
        QTest::newRow("save refused") << QStringList { "--refuse", "config 0 save" } << "SP" << QString()
                                      << Journey::kUnitAddress << 4 << 1 << "Error saving config";
        QTest::newRow("cellular host prompt cancelled")
            << QStringList {} << "TP" << QString() << Journey::kUnitAddress << 7 << 1 << QString();
        QTest::newRow("PC host prompt cancelled")
            << QStringList {} << "P" << QString() << QString() << 10 << 1 << QString();
        // Nothing on the LAN has this address: the PC's ping goes unanswered.
        QTest::newRow("PC ping unanswered") << QStringList {} << "P" << QString() << QStringLiteral("198.51.100.99")
                                            << 10 << 2 << "PC Connectivity test failed";
    }
    void failingSteps()
    {
        QFETCH(QStringList, sim);
        QFETCH(QString, switches);
        QFETCH(QString, unitHost);
        QFETCH(QString, pcHost);
        QFETCH(int, field);
        QFETCH(int, code);
        QFETCH(QString, box);
        QVERIFY(m_b.search && m_b.main);
        if (!sim.isEmpty()) {
            m_b.lan.stopUnits();
            QVERIFY(m_b.startUnits(sim));
        }
        const auto restart = qScopeGuard([&] {
            if (!sim.isEmpty()) {
                m_b.lan.stopUnits();
                m_b.startUnits({});
            }
        });
        Journey::inEventLoop([&] {
            choose(*m_b.search, QStringLiteral("11"));
            PersonAtDialogs person;
            person.switches = switches;
            person.unitHost = unitHost;
            person.pcHost = pcHost;
            doubleClick(m_b.main->lvUnits()->viewport());

            const QList<qint32> got = codes(m_b.main->Units()->Item(QStringLiteral("11"))->Summary());
            QCOMPARE(got[field], code);
            QStringList boxes;
            for (const PersonAtDialogs::Seen& seen : person.seen) {
                if (seen.kind == u"box")
                    boxes << seen.caption + QStringLiteral(" | ") + seen.text;
            }
            QCOMPARE(boxes, box.isEmpty() ? QStringList {} : QStringList { "Serial: 11 | " + box });
            // The run went on after the failure: the PC's test still ran.
            if (field != 10)
                QCOMPARE(got[10], 3);
            QCOMPARE(m_b.main->lvLog()->topLevelItem(0)->text(2), QStringLiteral("Completed configuring unit"));
        });
    }

private:
    Bench m_b;
};

QTEST_MAIN(tst_JourneyConfigureUnitsStops)
#include "tst_JourneyConfigureUnitsStops.moc"
