// The Configure Units run against simulated units in this process, on a
// simulated clock: the long waits (a restart, the PPP link) cost nothing.
#include "PipelineRig.h"

#include <QTest>

using pipeline::Switches;

namespace {
const QString kSerial = simunits::serial;
const QString kOther = simunits::otherSerial;
const QString kStepTitle = QStringLiteral("Serial: ") + simunits::serial;

// Stage labels in order, with the fields each stage's step writes.
struct Stage {
    const char* label;
    QList<int> fields; // indexes into pipeline::codes()
};
const QList<Stage> kStages = {
    { "IP Assignment", { 1, 2, 3 } },
    { "GPRS Configuration", {} },
    { "Save config", { 5 } },
    { "Reboot unit", { 6 } },
    { "Wait for internet connection", { 7 } },
    { "GPRS Test", { 8 } },
    { "Set PC Gateway", { 9, 10 } },
    { "PC Connectivity Test", { 11 } },
    { "Complete", {} },
};

// What a run with every switch on leaves: the address kept and confirmed,
// saved, rebooted, the link up and tested, the PC test answered. Loopback
// can't be a gateway, so that change fails while the DNS change is made.
const QList<qint32> kAllDone = { 0, 1, 0, 4, 0, 2, 2, 2, 3, 2, 5, 3 };
const QList<qint32> kNothing = { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 };

QStringList stageList(int units)
{
    QStringList out;
    const QList<int> percents = { 10, 20, 30, 50, 70, 80, 90, 95, 100 };
    for (int u = 0; u < units; ++u) {
        for (qsizetype i = 0; i < kStages.size(); ++i)
            out << QString::fromLatin1(kStages[i].label) + QStringLiteral(" ") + QString::number(percents[i]);
    }
    return out;
}

// A rig where every step succeeds and the person answers as expected: Yes to
// the gateway question, a host at both prompts.
void everythingAnswers(PipelineRig& rig)
{
    rig.sim.prompts.answers = { true };
    rig.sim.hostPrompt.script = { QStringLiteral("gprs.example"), QStringLiteral("pc.example") };
    rig.answering << QStringLiteral("pc.example");
}
} // namespace

class tst_ConfigureUnits : public QObject {
    Q_OBJECT

private slots:
    // The units answer across a LAN of the test's own.
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    // The run as a whole, every switch on, two units: each stage in order with
    // its percentage, the codes, the log's closing lines, the summaries.
    void everySwitchOnTwoUnits()
    {
        PipelineRig rig;
        ProgressWatch watch;
        rig.start({ kSerial, kOther });
        rig.sim.prompts.answers = { true, true };
        rig.sim.hostPrompt.script = { QStringLiteral("gprs.example"), QStringLiteral("pc.example"),
            QStringLiteral("gprs.example"), QStringLiteral("pc.example") };
        rig.answering << QStringLiteral("pc.example");
        rig.state.CancelRequested = true; // left over from an earlier run
        rig.settings.PingTimeout = 275;
        rig.configure();

        QCOMPARE(watch.windows, 1);
        QCOMPARE(watch.stages, stageList(2));
        QVERIFY(!rig.run->ProgressForm());
        QCOMPARE(pipeline::codes(rig.unit()->Summary()), kAllDone);
        QCOMPARE(pipeline::codes(rig.unit(kOther)->Summary()), kAllDone);
        QVERIFY(rig.unit()->IPOK());
        QVERIFY(rig.unit()->GPRS());
        QCOMPARE(rig.summariesShown, (QStringList { kSerial, kOther }));
        QCOMPARE(rig.summaryCodes.value(1), kAllDone);
        QCOMPARE(rig.log.count(QStringLiteral("Completed configuring unit")), 2);
        QVERIFY(!rig.log.contains(QStringLiteral("Scan operation cancelled by user")));
        QCOMPARE(rig.stepBoxes(), QStringList {});
        // The stop button is live while the run is and greyed out after it.
        QCOMPARE(rig.stopStates, (QList<bool> { true, false }));
        // Each unit heard its own commands, also the one the replies of
        // which the discovery object would not take outside a command.
        QVERIFY(rig.linesTo(kOther).contains(QStringLiteral("config 0 save")));
        // The PC's prompt says what the PC will do; the unit's keeps its own.
        const QString pcPrompt = QStringLiteral("Enter the name of the remote unit that the PC should attempt to "
                                                "communicate with through the Calvantor Unit.");
        QCOMPARE(rig.sim.hostPrompt.promptTexts, (QStringList { pcPrompt, pcPrompt }));
        QCOMPARE(rig.sim.hostPrompt.captions.size(), 4);
        QCOMPARE(rig.sim.hostPrompt.captions.value(2), QStringLiteral("Serial number: ") + kOther + u' ');
        // The last host typed is the host of the run from now on.
        QCOMPARE(rig.settings.TestHost, QStringLiteral("pc.example"));
        QCOMPARE(rig.pinged, (QStringList { "pc.example", "pc.example" }));
        // The PC's own echo: the liveliness label, the run's time-out.
        QCOMPARE(rig.hostEchoes.size(), 2);
        for (const PipelineRig::Echo& echo : std::as_const(rig.hostEchoes)) {
            QCOMPARE(echo.payload, QStringLiteral("LIVELINESS CHECK"));
            QCOMPARE(echo.timeoutMs, 275);
        }
    }

    // The log of one unit's run, as the person reads it: the pipeline's own
    // lines in order, between the unit commands' detail lines.
    void pipelineLinesInOrder()
    {
        PipelineRig rig;
        rig.start();
        everythingAnswers(rig);
        rig.configure();
        const QStringList own = { "Searching for free IP address", "Existing IP address is OK",
            "Checking IP address: 10.0.0.1 in unit: 1000", "Saving Settings in unit: 1000", "Rebooting unit: 1000",
            "Waiting For PPP connection on unit", "Testing GPRS Connection", "Testing PC Connectivity",
            "Completed configuring unit" };
        QStringList seen;
        for (const QString& line : std::as_const(rig.log)) {
            if (own.contains(line))
                seen << line;
        }
        QCOMPARE(seen, own);
        QCOMPARE(rig.logSerials.count(kSerial), rig.logSerials.size());
    }

    // Cancel at each stage boundary: that stage's step and every later one,
    // of this unit and the next, are skipped; the stages still pass, each
    // unit is still completed, and no step's failure box appears.
    void cancelAtEachStage_data()
    {
        QTest::addColumn<int>("stage");
        for (qsizetype i = 0; i < kStages.size(); ++i)
            QTest::newRow(kStages[i].label) << int(i);
    }
    void cancelAtEachStage()
    {
        QFETCH(int, stage);
        PipelineRig rig;
        ProgressWatch watch;
        rig.start({ kSerial, kOther });
        everythingAnswers(rig);
        watch.cancelAt(QString::fromLatin1(kStages[stage].label));
        rig.configure();

        QVERIFY(watch.cancelled);
        QVERIFY(rig.state.CancelRequested);
        QList<qint32> expected = kAllDone;
        for (qsizetype i = stage; i < kStages.size(); ++i) {
            for (int field : kStages[i].fields)
                expected[field] = 0;
        }
        QCOMPARE(pipeline::codes(rig.unit()->Summary()), expected);
        QCOMPARE(pipeline::codes(rig.unit(kOther)->Summary()), kNothing);
        QVERIFY(rig.linesTo(kOther).isEmpty());
        QCOMPARE(watch.stages, stageList(2));
        QCOMPARE(rig.log.count(QStringLiteral("Completed configuring unit")), 2);
        QCOMPARE(rig.log.last(), QStringLiteral("Scan operation cancelled by user"));
        QCOMPARE(rig.logSerials.last(), QString());
        QCOMPARE(rig.stepBoxes(), QStringList {});
        QVERIFY(rig.summariesShown.isEmpty());
        QVERIFY(!rig.run->ProgressForm());
        QCOMPARE(rig.stopStates.last(), false);
    }

    // Cancel while the unit restarts: the restart's wait ends early and
    // counts as failed, without a box; nothing after it runs.
    void cancelDuringTheRestart()
    {
        PipelineRig rig;
        rig.start({ kSerial, kOther });
        everythingAnswers(rig);
        rig.onLog = [&rig](const QString& line) {
            if (line == QLatin1String("Rebooting") && rig.run->ProgressForm())
                QTest::mouseClick(rig.run->ProgressForm()->CancelButton(), Qt::LeftButton);
        };
        rig.configure();
        const QList<qint32> expected = { 0, 1, 0, 4, 0, 2, 1, 0, 0, 0, 0, 0 };
        QCOMPARE(pipeline::codes(rig.unit()->Summary()), expected);
        QCOMPARE(pipeline::codes(rig.unit(kOther)->Summary()), kNothing);
        QVERIFY(rig.log.contains(QStringLiteral("Reboot failed")));
        QCOMPARE(rig.stepBoxes(), QStringList {});
        QVERIFY(rig.summariesShown.isEmpty());
    }

    // Each step that fails: its code, its box titled with the serial number,
    // and the run going on with the next stage.
    void failingSteps_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("logLine");
        QTest::newRow("save refused") << "save" << 5 << 1 << "Error saving config"
                                      << "Saving Settings in unit: 1000";
        QTest::newRow("unit does not come back") << "reboot" << 6 << 1 << "Error rebooting unit"
                                                 << "Rebooting unit: 1000";
        QTest::newRow("link never comes up") << "link" << 7 << 1 << "Wireless connection failed"
                                             << "Waiting For PPP connection on unit";
        QTest::newRow("cellular host prompt cancelled") << "gprs-prompt" << 8 << 1 << QString() << QString();
        QTest::newRow("cellular ping unanswered") << "gprs-ping" << 8 << 2 << "Connectivity test failed"
                                                  << "Testing GPRS Connection";
        QTest::newRow("PC host prompt cancelled") << "pc-prompt" << 11 << 1 << QString() << QString();
        QTest::newRow("PC ping unanswered") << "pc-ping" << 11 << 2 << "PC Connectivity test failed"
                                            << "Testing PC Connectivity";
        QTest::newRow("telnet login refused at the address check")
            << "login" << 3 << 2 << QString() << "Checking IP address: 10.0.0.1 in unit: 1000";
    }
    void failingSteps()
    {
        QFETCH(QString, fault);
        QFETCH(int, field);
        QFETCH(int, code);
        QFETCH(QString, box);
        QFETCH(QString, logLine);
        PipelineRig rig;
        // The step under test, then the PC's test to show that the run goes on.
        rig.switches = Switches::none();
        rig.switches.TestPCConnectivity = true;
        QList<std::optional<QString>> hosts = { QStringLiteral("pc.example") };
        if (fault == u"save") {
            rig.sim.config.refuse << QStringLiteral("config 0 save");
            rig.switches.SaveConfig = true;
        } else if (fault == u"reboot") {
            rig.sim.config.rebootDownMs = 10 * 60 * 1000;
            rig.switches.Reboot = true;
        } else if (fault == u"link") {
            rig.sim.config.pppOn = false;
            rig.switches.WaitForPPP = true;
        } else if (fault == u"gprs-ping" || fault == u"gprs-prompt") {
            rig.sim.config.pingUnreachable << QStringLiteral("gprs.example");
            rig.switches.TestPPP = true;
            hosts.prepend(
                fault == u"gprs-ping" ? std::optional<QString>(QStringLiteral("gprs.example")) : std::nullopt);
        } else if (fault == u"login") {
            rig.sim.config.telnetRefuseLogin = true;
            rig.switches.ConfirmIP = true;
        } else if (fault == u"pc-prompt") {
            hosts.clear();
        }
        rig.start();
        rig.sim.hostPrompt.script = hosts;
        if (fault != u"pc-ping")
            rig.answering << QStringLiteral("pc.example");
        const qint64 before = rig.sim.clock.monotonicMs();
        rig.configure();

        const QList<qint32> got = pipeline::codes(rig.unit()->Summary());
        QCOMPARE(got[field], code);
        QCOMPARE(rig.stepBoxes(), box.isEmpty() ? QStringList {} : QStringList { kStepTitle + " | " + box });
        for (const RecordingPrompts::Box& b : std::as_const(rig.sim.prompts.boxes)) {
            if (b.title.startsWith(QLatin1String("Serial: ")))
                QCOMPARE(b.icon, UserPrompts::Icon::Exclamation);
        }
        if (!logLine.isEmpty())
            QVERIFY(rig.log.contains(logLine));
        // The run goes on after a failure: the last step still ran.
        if (field != 11)
            QCOMPARE(got[11], 3);
        if (fault == u"link")
            QVERIFY(rig.sim.clock.monotonicMs() - before >= 180'000);
        if (fault == u"gprs-prompt")
            QVERIFY(!rig.log.contains(QStringLiteral("Testing GPRS Connection")));
        if (fault == u"pc-prompt")
            QVERIFY(!rig.log.contains(QStringLiteral("Testing PC Connectivity")));
        if (fault == u"login")
            QVERIFY(!rig.unit()->IPOK());
    }

    // A unit without a modem: the wait and the cellular test are not run,
    // and nothing is asked or logged for them.
    void unitWithoutCellularSupport()
    {
        PipelineRig rig;
        rig.sim.config.gprs = false;
        rig.start();
        rig.switches = Switches::none();
        rig.switches.WaitForPPP = rig.switches.TestPPP = true;
        rig.configure();
        QVERIFY(!rig.unit()->GPRS());
        QCOMPARE(pipeline::codes(rig.unit()->Summary()), kNothing);
        QVERIFY(rig.sim.hostPrompt.captions.isEmpty());
        QVERIFY(!rig.log.contains(QStringLiteral("Waiting For PPP connection on unit")));
        QCOMPARE(rig.linesTo(kSerial), QStringList { "modemcc 0 apn ?" });
    }

    // The address step, from the unit's address and the person's answers.
    void addressStep_data()
    {
        QTest::addColumn<QString>("unitIp");
        QTest::addColumn<QString>("pcMask");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<bool>("cancelWhileSearching");
        QTest::addColumn<QString>("refuse");
        QTest::addColumn<QList<qint32>>("expected"); // IPAssignment, NewIP, IPCheck
        QTest::addColumn<QString>("finalIp");
        QTest::addColumn<QStringList>("boxes");
        const QString otherNet = QStringLiteral("Unit with serial number: 1000 has an IP Address (192.168.7.5)\r"
                                                "that is not of the same network as this PC.\r"
                                                "Find a new address for this unit?");
        const QString noAddress
            = QStringLiteral("Unit with serial number: 1000 has no IP Address.\rFind a new address for this unit?");
        const QString offer2 = QStringLiteral(
            "IP Address: 10.0.0.2 appears to be free.\rUse this address for unit with serial number: 1000?");
        const QString offer3 = QStringLiteral(
            "IP Address: 10.0.0.3 appears to be free.\rUse this address for unit with serial number: 1000?");
        QTest::newRow("in the PC's network") << "10.0.0.1"
                                             << "255.0.0.0" << QList<bool> {} << false << QString()
                                             << QList<qint32> { 1, 0, 4 } << "10.0.0.1" << QStringList {};
        QTest::newRow("in the network of an interface not chosen, declined")
            << "172.16.0.5"
            << "255.0.0.0" << QList<bool> { false } << false << QString() << QList<qint32> { 0, 0, 0 } << "172.16.0.5"
            << QStringList { QStringLiteral("Unit with serial number: 1000 has an IP Address (172.16.0.5)\r"
                                            "that is not of the same network as this PC.\r"
                                            "Find a new address for this unit?") };
        QTest::newRow("another network, declined")
            << "192.168.7.5"
            << "255.0.0.0" << QList<bool> { false } << false << QString() << QList<qint32> { 0, 0, 0 } << "192.168.7.5"
            << QStringList { otherNet };
        QTest::newRow("no address, declined") << "0.0.0.0"
                                              << "255.0.0.0" << QList<bool> { false } << false << QString()
                                              << QList<qint32> { 0, 0, 0 } << "0.0.0.0" << QStringList { noAddress };
        QTest::newRow("another network, first free address taken")
            << "192.168.7.5"
            << "255.0.0.0" << QList<bool> { true, true } << false << QString() << QList<qint32> { 2, 3, 4 }
            << "10.0.0.2" << QStringList { otherNet, offer2 };
        QTest::newRow("no address, one candidate passed over")
            << "0.0.0.0"
            << "255.0.0.0" << QList<bool> { true, false, true } << false << QString() << QList<qint32> { 3, 3, 4 }
            << "10.0.0.3" << QStringList { noAddress, offer2, offer3 };
        QTest::newRow("no free address in the network")
            << "192.168.7.5"
            << "255.255.255.252" << QList<bool> { true } << false << QString() << QList<qint32> { 2, 1, 0 }
            << "192.168.7.5"
            << QStringList { otherNet, "Unable to locate a free IP address\rfor unit with serial number: 1000." };
        QTest::newRow("the unit refuses the address")
            << "192.168.7.5"
            << "255.0.0.0" << QList<bool> { true, true } << false << QStringLiteral("eth 0 ipaddr")
            << QList<qint32> { 2, 2, 0 } << "192.168.7.5"
            << QStringList { otherNet, offer2, "Failed to set ethernet address for unit with serial number: 1000" };
        QTest::newRow("cancel pressed during the search, candidate passed over")
            << "192.168.7.5"
            << "255.0.0.0" << QList<bool> { true, false } << true << QString() << QList<qint32> { 2, 0, 0 }
            << "192.168.7.5" << QStringList { otherNet, offer2 };
    }
    void addressStep()
    {
        QFETCH(QString, unitIp);
        QFETCH(QString, pcMask);
        QFETCH(QList<bool>, answers);
        QFETCH(bool, cancelWhileSearching);
        QFETCH(QString, refuse);
        QFETCH(QList<qint32>, expected);
        QFETCH(QString, finalIp);
        QFETCH(QStringList, boxes);
        PipelineRig rig;
        if (!refuse.isEmpty())
            rig.sim.config.refuse << refuse;
        // Addresses from 10.0.0.3 up belong to nobody; the PC (10.0.0.9)
        // and the first address answer.
        rig.answering << QStringLiteral("10.0.0.1") << QStringLiteral("10.0.0.9") << QStringLiteral("10.0.0.10");
        rig.pcAdapter().setMask(pcMask);
        rig.start();
        rig.unit()->setIp(unitIp);
        rig.switches = Switches::none();
        rig.switches.ConfirmIP = true;
        rig.sim.prompts.answers = answers;
        ProgressWatch watch;
        if (cancelWhileSearching) {
            // The person presses Cancel while the search pings: the click
            // waits in the queue until the run next handles events.
            watch.onStage = [](frmProgress& progress, const QString& label) {
                if (label == QLatin1String("IP Assignment"))
                    QMetaObject::invokeMethod(progress.CancelButton(), "click", Qt::QueuedConnection);
            };
        }
        rig.configure();

        const clsSummary& s = rig.unit()->Summary();
        QCOMPARE((QList<qint32> { s.IPAssignment(), s.NewIP(), s.IPCheck() }), expected);
        QCOMPARE(rig.sim.prompts.texts(), boxes);
        for (const RecordingPrompts::Box& b : std::as_const(rig.sim.prompts.boxes)) {
            QVERIFY2(b.title.isEmpty(), qPrintable(b.title));
            // Questions ask; the two failures warn.
            const bool failure = b.text.startsWith(QLatin1String("Unable to locate"))
                || b.text.startsWith(QLatin1String("Failed to set"));
            QCOMPARE(b.icon, failure ? UserPrompts::Icon::Exclamation : UserPrompts::Icon::Question);
        }
        QCOMPARE(rig.unit()->ip(), finalIp);
        QCOMPARE(rig.unit()->IPOK(), expected[2] == 4);
        const bool moved = expected[1] == 3;
        QCOMPARE(rig.unit()->li()->subItem(UnitListRow::EthernetIP), moved ? finalIp : QString());
        if (moved) {
            // The unit gets the PC's own mask with its new address.
            const QStringList lines = rig.linesTo(kSerial);
            QVERIFY(lines.contains(QStringLiteral("eth 0 ipaddr \"") + finalIp + u'"'));
            QVERIFY(lines.contains(QStringLiteral("eth 0 mask \"255.0.0.0\"")));
        }
        const bool checked = expected[2] != 0;
        QCOMPARE(rig.log.contains(QStringLiteral("Checking IP address: ") + finalIp + QStringLiteral(" in unit: 1000")),
            checked);
        QCOMPARE(rig.log.contains(QStringLiteral("Existing IP address is OK")), expected[0] == 1);
    }

    // The gateway step: the question, then the PC's gateway and DNS server
    // through the adapter layer, each result mapped to the summary's code.
    void gatewayStep_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("adapterKnown");
        QTest::addColumn<int>("gatewayResult");
        QTest::addColumn<int>("dnsResult");
        QTest::addColumn<QList<qint32>>("expected");
        QTest::addColumn<bool>("manualBox");
        QTest::newRow("declined") << false << true << 0 << 0 << QList<qint32> { 1, 1 } << false;
        QTest::newRow("both done") << true << true << 0 << 0 << QList<qint32> { 5, 5 } << false;
        QTest::newRow("both done, restart needed") << true << true << 1 << 1 << QList<qint32> { 4, 4 } << false;
        QTest::newRow("gateway not supported") << true << true << 64 << 0 << QList<qint32> { 3, 5 } << true;
        QTest::newRow("DNS not supported") << true << true << 0 << 64 << QList<qint32> { 5, 3 } << true;
        QTest::newRow("refused by the service") << true << true << 91 << 65 << QList<qint32> { 2, 2 } << false;
        QTest::newRow("no such adapter") << true << false << 0 << 0 << QList<qint32> { 2, 2 } << false;
    }
    void gatewayStep()
    {
        QFETCH(bool, yes);
        QFETCH(bool, adapterKnown);
        QFETCH(int, gatewayResult);
        QFETCH(int, dnsResult);
        QFETCH(QList<qint32>, expected);
        QFETCH(bool, manualBox);
        PipelineRig rig;
        rig.start();
        rig.unit()->setIp(QStringLiteral("198.51.100.10"));
        if (!adapterKnown)
            rig.adapters.entries[0].config.macAddress = QStringLiteral("02:00:5E:00:00:FF");
        rig.adapters.codes[QStringLiteral("SetGateways")] = gatewayResult;
        rig.adapters.codes[QStringLiteral("SetDNSServerSearchOrder")] = dnsResult;
        rig.switches = Switches::none();
        rig.switches.SetGateway = true;
        rig.sim.prompts.answers = { yes };
        rig.configure();

        const clsSummary& s = rig.unit()->Summary();
        QCOMPARE((QList<qint32> { s.SetGateway(), s.SetNameServer() }), expected);
        QStringList boxes = { QStringLiteral("The Wizard is about to assign the IP address of the Calvantor\r"
                                             "unit (198.51.100.10) to this PC so that the unit will become\r"
                                             "this PC's Gateway.\rDo you want to perform this operation?") };
        if (manualBox)
            boxes << QStringLiteral("The wizard was not able to assign the Calvantor unit address\r"
                                    "to this PC. Go to Control Panel->Network and\r"
                                    "set the address '198.51.100.10' into the Gateway and\r"
                                    "DNS server fields of the TCP/IP configuration.");
        QCOMPARE(rig.sim.prompts.texts(), boxes);
        QCOMPARE(rig.sim.prompts.boxes[0].icon, UserPrompts::Icon::Question);
        if (manualBox)
            QCOMPARE(rig.sim.prompts.boxes[1].icon, UserPrompts::Icon::None);
        // On the adapter of the chosen interface (eth0), not the first one listed.
        const QStringList changes = { QStringLiteral("SetGateways(eth0: 198.51.100.10/1)"),
            QStringLiteral("SetDNSServerSearchOrder(eth0: 198.51.100.10)") };
        QCOMPARE(rig.adapters.calls, yes && adapterKnown ? changes : QStringList {});
        // No log line and no "Serial: " box of its own.
        QCOMPARE(rig.stepBoxes(), QStringList {});
        QVERIFY(rig.linesTo(kSerial).isEmpty());
    }

    // The run's own edges: a cancelled options dialog, no units, every
    // switch off but the summary.
    void optionsCancelledDoesNothing()
    {
        PipelineRig rig;
        ProgressWatch watch;
        rig.start();
        rig.optionsOk = false;
        rig.configure();
        QCOMPARE(rig.optionDialogs, 1);
        QCOMPARE(watch.windows, 0);
        QVERIFY(rig.log.isEmpty());
        QVERIFY(rig.sim.language->received().isEmpty());
        QCOMPARE(rig.stopStates, QList<bool> { false });
        QVERIFY(rig.summariesShown.isEmpty());
    }

    void noUnits_data()
    {
        QTest::addColumn<bool>("collection");
        QTest::newRow("no collection") << false;
        QTest::newRow("an empty one") << true;
    }
    void noUnits()
    {
        QFETCH(bool, collection);
        PipelineRig rig;
        ProgressWatch watch;
        rig.start();
        rig.units = collection ? std::make_shared<CQarUnitInfos>() : nullptr;
        rig.configure();
        QCOMPARE(watch.windows, 1);
        QVERIFY(watch.stages.isEmpty());
        QVERIFY(!rig.run->ProgressForm());
        QVERIFY(rig.log.isEmpty());
        QVERIFY(rig.summariesShown.isEmpty());
        QCOMPARE(rig.stopStates.last(), false);
    }

    void onlyTheSummary()
    {
        PipelineRig rig;
        ProgressWatch watch;
        rig.start();
        rig.switches = Switches::none();
        rig.switches.DisplaySummary = true;
        rig.unit()->Summary().setLiveliness(2); // the scan's, kept
        rig.configure();
        QCOMPARE(watch.stages, stageList(1));
        QCOMPARE(rig.log, QStringList { "Completed configuring unit" });
        QVERIFY(rig.sim.language->received().isEmpty());
        QCOMPARE(rig.summaryCodes, (QList<QList<qint32>> { { 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 } }));
        QVERIFY(rig.sim.prompts.boxes.isEmpty());
    }

    // A second run asked for while one is under way (the run's waits keep the
    // main window responsive) is ignored; the first goes on undisturbed.
    void secondRunDuringARunIsIgnored()
    {
        PipelineRig rig;
        rig.start();
        rig.switches = Switches::none();
        rig.switches.SaveConfig = true;
        bool asked = false;
        rig.onLog = [&](const QString& line) {
            if (line == QLatin1String("Saving config") && !asked) {
                asked = true;
                rig.configure();
            }
        };
        rig.configure();
        QVERIFY(asked);
        QCOMPARE(rig.optionDialogs, 1);
        QCOMPARE(rig.unit()->Summary().SaveCfg(), 2);
        QCOMPARE(rig.log.count(QStringLiteral("Completed configuring unit")), 1);
        QVERIFY(!rig.run->running());
    }

    // Each unit is configured with the Ethernet prefix of its own model,
    // whatever the wizard's option page picked for the unit it chose; the
    // wizard's value is left as it was.
    void ethernetPrefixFromTheModel_data()
    {
        QTest::addColumn<QString>("wizardPrefix");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("sent");
        QTest::newRow("not chosen yet, ordinary model") << QString() << "KR5004"
                                                        << "eth 0 ipaddr \"10.0.0.2\"";
        QTest::newRow("not chosen yet, second LAN port") << QString() << "KR5012"
                                                         << "eth 1 ipaddr \"10.0.0.2\"";
        QTest::newRow("a KR5012 chosen, a KR5004 configured") << "eth 1"
                                                              << "KR5004"
                                                              << "eth 0 ipaddr \"10.0.0.2\"";
        QTest::newRow("a KR5004 chosen, a KR5012 configured") << "eth 0"
                                                              << "Calvantor kr5012 Router"
                                                              << "eth 1 ipaddr \"10.0.0.2\"";
    }
    void ethernetPrefixFromTheModel()
    {
        QFETCH(QString, wizardPrefix);
        QFETCH(QString, model);
        QFETCH(QString, sent);
        PipelineRig rig;
        rig.sim.prefixes.EthIf = wizardPrefix;
        rig.answering << QStringLiteral("10.0.0.1");
        rig.start();
        rig.unit()->setIp(QStringLiteral("192.168.7.5"));
        rig.unit()->setModel(model);
        rig.switches = Switches::none();
        rig.switches.ConfirmIP = true;
        rig.sim.prompts.answers = { true, true };
        rig.configure();
        QVERIFY2(rig.linesTo(kSerial).contains(sent), qPrintable(rig.linesTo(kSerial).join(u'|')));
        QCOMPARE(rig.unit()->Summary().NewIP(), 3);
        QCOMPARE(rig.sim.prefixes.EthIf, wizardPrefix);
    }

    // The run's replies are taken from the unit configured, not only from
    // the one the wizard has chosen.
    void unitThatIsNotTheWizardsCurrentUnit()
    {
        PipelineRig rig;
        rig.start({ kSerial, kOther });
        rig.switches = Switches::none();
        rig.switches.SaveConfig = true;
        auto one = std::make_shared<CQarUnitInfos>();
        auto other = rig.unit(kOther);
        (void)one->Add(other, kOther);
        rig.run->ConfigureUnits(kOther, one, rig.sim.verevo.get());
        QCOMPARE(rig.unit(kOther)->Summary().SaveCfg(), 2);
        QCOMPARE(rig.linesTo(kOther), QStringList { "config 0 save" });
        QVERIFY(rig.linesTo(kSerial).isEmpty());
        QCOMPARE(rig.stepBoxes(), QStringList {});
    }
};

QTEST_MAIN(tst_ConfigureUnits)
#include "tst_ConfigureUnits.moc"
