#include "NetLab.h"
#include "RecordingPrompts.h"
#include "RecordingScanView.h"
#include "UnitLan.h"
#include "UnitSimReady.h"
#include "discovery/clsVerevo.h"
#include "net/SystemClock.h"

#include <QProcess>
#include <QTest>

#include <arpa/inet.h>

// The scan against the unit simulator in another process across a bare LAN:
// real datagrams, real time (the peer does not follow a simulated clock).
namespace {

quint32 hostOrder(const char* dotted)
{
    return ntohl(inet_addr(dotted));
}

struct Rig {
    SystemClock clock;
    RecordingPrompts prompts;
    QString broadcast;
    VerevoSocketOptions socket;
    std::pair<QString, QString> pcAddress;
    UsableInterfaces interfaces;
    AppSettings settings;
    RecordingView view;
    QList<quint32> pinged;
    QSet<quint32> answering;
    qint32 mode = 0;
    bool realPing = false;
    std::unique_ptr<frmMain> w;

    void build()
    {
        interfaces.InterfaceList << InterfaceEntry { QByteArray::fromHex("02005e0000a1"), nullptr };
        settings.PingTimeout = 300;
        frmMain::Services s {
            .clock = clock,
            .interfaces = interfaces,
            .createDiscovery =
                [this] {
                    return std::make_unique<clsVerevo>(
                        clock, prompts, broadcast, [this] { return pcAddress; }, [] {}, socket);
                },
            .PingAddress =
                [this](quint32 a, const QString&, qint32) {
                    pinged << a;
                    return answering.contains(a);
                },
            .settings = settings,
            .WizardMode = [this] { return mode; },
            .ShiftKeyDown = [] { return false; },
        };
        if (realPing)
            s.PingAddress = {};
        w = std::make_unique<frmMain>(std::move(s));
        view.window = w.get();
        w->setScanResultsView(&view);
    }

    bool scan()
    {
        w->lendDiscoveryToScan();
        w->StartScan();
        const qint64 deadline = clock.monotonicMs() + 15000;
        while (view.displays == 0 && clock.monotonicMs() < deadline)
            clock.waitForEvents(deadline);
        return view.displays == 1;
    }
};

quint16 readyPort(QProcess& sim)
{
    return unitsimReadyPort(sim, 10000);
}

} // namespace

class tst_frmMainOverUnitsim : public QObject {
    Q_OBJECT
private slots:
    // Three units played by one simulator on the far side of a bare LAN; the
    // pings are the test's.
    void scanOfThreeUnits()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        UnitLan lan;
        QVERIFY2(lan.up(QStringLiteral("198.51.100.1/24"), { QStringLiteral("198.51.100.2/24") }),
            qPrintable(lan.lastError()));
        QProcess* sim
            = lan.startInUnits({ QStringLiteral(UNITSIM_PATH), "--bind", "0.0.0.0", "--port", "7477", "--count", "3",
                "--serial", "61000", "--ip", "198.51.100.10", "--model", "Calvantor KR5004 Router", "--unit-id",
                "Depot", "--product-id", "CV100", "--spread", "300", "--telnet-port", "off", "--web-port", "off" });
        QVERIFY(sim && readyPort(*sim) == 7477);

        Rig rig;
        rig.broadcast = lan.pcBroadcast();
        rig.socket.outgoingInterface = [index = lan.pcInterfaceIndex()] { return index; };
        rig.answering << hostOrder("198.51.100.11");
        rig.build();
        QVERIFY(rig.w->cz());

        QVERIFY(rig.scan());
        QCOMPARE(rig.view.rowTexts(), (QStringList { "61000", "61001", "61002" }));
        const auto units = rig.w->Units();
        QCOMPARE(units->Count(), qsizetype(3));
        const auto second = units->Item(QStringLiteral("61001"));
        QCOMPARE(second->model(), QStringLiteral("KR5004"));
        QCOMPARE(second->ip(), QStringLiteral("198.51.100.11"));
        QCOMPARE(second->UnitID(), QStringLiteral("Depot"));
        QCOMPARE(second->ProductID(), QStringLiteral("CV100"));
        QCOMPARE(second->Mac(), QByteArray::fromHex("0050c2aa0001"));
        QCOMPARE(second->Summary().Liveliness(), 2);
        QCOMPARE(units->Item(QStringLiteral("61000"))->Summary().Liveliness(), 1);
        QCOMPARE(rig.pinged,
            (QList<quint32> { hostOrder("198.51.100.10"), hostOrder("198.51.100.11"), hostOrder("198.51.100.12") }));
        QVERIFY(rig.prompts.boxes.isEmpty());
        QCOMPARE(rig.w->cz(), rig.view.heldDuringDisplay);
    }

    void scanAcrossNamespaces()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        NetLab lab;
        const NetLab::Cable lan = lab.cable(QStringLiteral("203.0.113.1/24"), QStringLiteral("203.0.113.2/24"));
        QVERIFY2(!lan.pc.isEmpty(), qPrintable(lab.lastError()));
        QProcess* sim = lab.start(lan.units,
            { QStringLiteral(UNITSIM_PATH), "--bind", "0.0.0.0", "--port", "7477", "--count", "2", "--serial", "4711",
                "--ip", "203.0.113.2", "--model", "Velmar Systems. Velmar XY100 Box" });
        QVERIFY(sim);
        QVERIFY(readyPort(*sim) == 7477);
        QVERIFY2(lab.enter(lan.pc), qPrintable(lab.lastError()));

        Rig rig;
        rig.broadcast = QStringLiteral("255.255.255.255");
        rig.pcAddress = { QStringLiteral("203.0.113.1"), QStringLiteral("255.255.255.0") };
        rig.mode = 1; // the Ethernet-only wizard lists any model
        rig.realPing = true; // 203.0.113.2 answers from the units' side; .3 is nobody
        rig.build();
        rig.w->cz()->setInterface();
        QCOMPARE(rig.broadcast, QStringLiteral("203.0.113.255"));

        QVERIFY(rig.scan());
        QCOMPARE(rig.view.rowTexts(), (QStringList { "4711", "4712" }));
        QCOMPARE(rig.w->Units()->Item(QStringLiteral("4711"))->model(), QStringLiteral("XY100"));
        QCOMPARE(rig.view.rows[0]->subItem(UnitListRow::Pingable), QStringLiteral("Yes"));
        QCOMPARE(rig.view.rows[1]->subItem(UnitListRow::Pingable), QStringLiteral("No"));
        QVERIFY(rig.prompts.boxes.isEmpty());
    }
};

QTEST_MAIN(tst_frmMainOverUnitsim)
#include "tst_frmMainOverUnitsim.moc"
