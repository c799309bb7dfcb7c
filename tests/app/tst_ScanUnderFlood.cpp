#include "Heartbeat.h"
#include "NetLab.h"
#include "RecordingPrompts.h"
#include "RecordingScanView.h"
#include "UnitSimReady.h"
#include "discovery/clsVerevo.h"
#include "net/SystemClock.h"

#include <QProcess>
#include <QTest>
#include <QTreeWidget>

#include <net/if.h>

// A scan while a host on the LAN floods the discovery port: the window still
// ends while the flood goes on, the event loop keeps turning and the records
// stay bounded. How close to 5 s the window ends and how short the loop's
// gaps stay are speed figures, measured by bench_scan beside their goals.
// The flood stays inside the test's own namespaces.

class tst_ScanUnderFlood : public QObject {
    Q_OBJECT

    std::unique_ptr<NetLab> lab;
    QString units;

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        lab = std::make_unique<NetLab>();
        const NetLab::Cable lan = lab->cable(QStringLiteral("192.0.2.1/24"), QStringLiteral("192.0.2.2/24"));
        QVERIFY2(!lan.pc.isEmpty(), qPrintable(lab->lastError()));
        units = lan.units;
        QVERIFY2(lab->enter(lan.pc), qPrintable(lab->lastError()));
    }

    void cleanupTestCase() { lab.reset(); }

    void windowEndsOnTimeAndRecordsStayBounded_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("overflows");
        QTest::newRow("identity records of ever new units") << "identity" << true;
        QTest::newRow("garbage") << "garbage" << false;
    }
    void windowEndsOnTimeAndRecordsStayBounded()
    {
        QFETCH(QString, kind);
        QFETCH(bool, overflows);
        // Three real units; the same host floods for more than twice the
        // window, so a reader that never lets go would hold the loop, and
        // the window's end, for seconds past it.
        QProcess* sim = lab->start(units,
            { QStringLiteral(UNITSIM_PATH), "--bind", "0.0.0.0", "--port", "7477", "--count", "3", "--serial", "4711",
                "--ip", "192.0.2.2", "--telnet-port", "off", "--flood", "12000", "--flood-kind", kind });
        QVERIFY(sim && unitsimReadyPort(*sim) == 7477);

        SystemClock clock;
        RecordingPrompts prompts;
        QString broadcast = QStringLiteral("255.255.255.255");
        UsableInterfaces interfaces;
        auto adapter = std::make_shared<CAdapter>();
        adapter->setInterfaceIndex(qint32(if_nametoindex("eth0")));
        interfaces.InterfaceList << InterfaceEntry { QByteArray::fromHex("02005e0000a1"), adapter };
        AppSettings settings;
        RecordingView view;
        frmMain w(frmMain::Services {
            .clock = clock,
            .interfaces = interfaces,
            .createDiscovery =
                [&] {
                    VerevoSocketOptions o;
                    o.outgoingInterface = [&] { return interfaces.selected()->Adapter->InterfaceIndex(); };
                    return std::make_unique<clsVerevo>(
                        clock, prompts, broadcast, nullptr, [] {}, o);
                },
            .PingAddress = [](quint32, const QString&, qint32) { return true; },
            .settings = settings,
            .WizardMode = [] { return 1; },
            .ShiftKeyDown = [] { return false; },
        });
        view.window = &w;
        w.setScanResultsView(&view);

        // The walk lists the first unit as soon as the window has ended.
        qint64 windowEnd = -1;
        view.rowAdded = [&](const QString&) {
            if (windowEnd < 0)
                windowEnd = clock.monotonicMs();
        };

        Heartbeat heartbeat(clock);
        heartbeat.start();
        const qint64 start = clock.monotonicMs();
        w.lendDiscoveryToScan();
        w.StartScan();
        const qint64 deadline = start + 60'000;
        while (view.displays == 0 && clock.monotonicMs() < deadline)
            clock.waitForEvents(deadline);
        heartbeat.stop();
        sim->kill();

        QCOMPARE(view.displays, 1);
        qInfo("window ended after %lld ms, longest gap %lld ms, longest held by us %lld ms, %lld units recorded",
            windowEnd - start, heartbeat.longestGap(), heartbeat.longestBusyGap(),
            qlonglong(w.Units() ? w.Units()->Count() : 0));
        QVERIFY2(windowEnd - start >= 5000 && windowEnd - start < 8000,
            qPrintable(QStringLiteral("window ended after %1 ms").arg(windowEnd - start)));
        QVERIFY2(heartbeat.longestBusyGap() < 1000,
            qPrintable(QStringLiteral("the event loop was held for %1 ms").arg(heartbeat.longestBusyGap())));
        const auto found = w.Units();
        QVERIFY(found);
        for (const char* serial : { "4711", "4712", "4713" })
            QVERIFY2(found->Item(QString::fromLatin1(serial)), serial);
        QVERIFY(found->Count() <= 10'000);
        QStringList log;
        for (int i = 0; i < w.lvLog()->topLevelItemCount(); ++i)
            log << w.lvLog()->topLevelItem(i)->text(2);
        const QStringList overflow = log.filter(QStringLiteral("beyond the limit of 10000 units a scan"));
        if (overflows) {
            QCOMPARE(found->Count(), qsizetype(10'000));
            QCOMPARE(overflow.size(), 1);
        } else {
            QCOMPARE(found->Count(), qsizetype(3));
            QVERIFY(overflow.isEmpty());
        }
    }
};

QTEST_MAIN(tst_ScanUnderFlood)
#include "tst_ScanUnderFlood.moc"
