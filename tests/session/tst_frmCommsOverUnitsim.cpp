#include "NetLab.h"
#include "RecordingPrompts.h"
#include "UnitSimReady.h"
#include "net/SystemClock.h"
#include "session/clsTrm.h"
#include "session/frmComms.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

// A field engineer's round on a unit, against the simulator program on a
// bare LAN: the test moves into a PC namespace with one veth, and the unit
// answers telnet on port 23 from the far side, on real time.
class tst_frmCommsOverUnitsim : public QObject {
    Q_OBJECT
private slots:
    void maintenanceRound()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        NetLab lab;
        const NetLab::Cable lan = lab.cable(QStringLiteral("203.0.113.1/24"), QStringLiteral("203.0.113.2/24"));
        QVERIFY2(!lan.pc.isEmpty(), qPrintable(lab.lastError()));
        QProcess* sim = lab.start(lan.units,
            { QStringLiteral(UNITSIM_PATH), "--bind", "0.0.0.0", "--port", "7477", "--serial", "4711", "--ip",
                "203.0.113.2", "--product-id", "XY100", "--flash-add", "image1", "--call-result", "BUSY",
                "--call-delay", "500" });
        QVERIFY(unitsimReadyPort(*sim) == 7477);
        QVERIFY2(lab.enter(lan.pc), qPrintable(lab.lastError()));

        SystemClock clock;
        RecordingPrompts prompts;
        clsTrm trm(clock, prompts);
        trm.Setup();
        frmComms& w = *trm.window();
        QStringList status;
        connect(&trm, &clsTrm::StatusMessage, this, [&status](const QString& t) { status << t; });
        const QString unit = QStringLiteral("203.0.113.2");

        QVERIFY(
            w.ConnectAndCheckSerial(unit, QStringLiteral("admin"), QStringLiteral("admin"), QStringLiteral("4711")));
        QVERIFY(status.contains(QStringLiteral("Serial Number Correct")));
        QVERIFY(prompts.boxes.isEmpty());

        QVERIFY(w.ConnectIP(unit, QStringLiteral("23"), 60000));
        QVERIFY(w.LoginSession(QStringLiteral("admin"), QStringLiteral("admin")));
        QCOMPARE(w.ReadModelName(), QStringLiteral("XY100"));
        QVERIFY(w.MarkProtectedFilesReadOnly());
        const FlashListing files = w.ListFlashFiles();
        for (qint32 i = 0; i <= files.last(); ++i)
            QCOMPARE(files.readOnly[i], frmComms::IsProtectedFile(files.names[i]));
        QVERIFY(w.SetUnitTime(true, QString(), QString()));
        QVERIFY(!w.DialModem(QStringLiteral("5550100")));
        QVERIFY(w.TimedOut);

        // The new image goes into place, the flash passes its scan, the
        // unit restarts and drops the connection.
        status.clear();
        QSignalSpy closed(&trm, &clsTrm::Closed);
        QCOMPARE(w.ActivateFirmware(unit, QString(), QString(), FirmwareSwitches { false, true }), 1);
        QCOMPARE(
            status, (QStringList { "Updating image", "Scanning flash", "Scan result: PASS", "Rebooting remote unit" }));
        QVERIFY(closed.wait(5000));
        trm.CloseComm();
    }
};

QTEST_GUILESS_MAIN(tst_frmCommsOverUnitsim)
#include "tst_frmCommsOverUnitsim.moc"
