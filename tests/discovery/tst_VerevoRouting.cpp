#include "NetLab.h"
#include "RecordingPrompts.h"
#include "UnitSimReady.h"
#include "discovery/clsVerevo.h"
#include "net/SystemClock.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>

#include <net/if.h>

// The discovery datagrams on a PC whose routing table does not lead to the
// units: a bare LAN (one veth, an address, no default route) and a default
// route through another link, as a VPN client sets up. The units answer from
// a namespace of their own; the test process moves into the PC's namespace.
namespace {
const QByteArray pcMac = QByteArray::fromHex("02005e0000a1");
const QByteArray unitMac = QByteArray::fromHex("0050c2aa0000");

struct Pc {
    SystemClock clock;
    RecordingPrompts prompts;
    QString broadcast;
    QStringList problems;
    std::unique_ptr<clsVerevo> verevo;

    Pc(const QString& destination, qint32 outgoing)
        : broadcast(destination)
    {
        VerevoSocketOptions o;
        if (outgoing > 0)
            o.outgoingInterface = [outgoing] { return outgoing; };
        o.problemLog = [this](const QString& text) { problems << text; };
        verevo = std::make_unique<clsVerevo>(
            clock, prompts, broadcast, nullptr, [] {}, o);
        verevo->SetMac(pcMac);
    }
};
} // namespace

class tst_VerevoRouting : public QObject {
    Q_OBJECT

    std::unique_ptr<NetLab> lab;
    QString pc;
    bool haveDummy = false;
    // Every command line the unit receives.
    QTemporaryFile commandLog;

    QByteArrayList commandsReceived()
    {
        QFile f(commandLog.fileName());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QByteArrayList lines = f.readAll().split('\n');
        lines.removeAll(QByteArray());
        return lines;
    }

    bool pcRun(const QString& command) { return lab->sh(pc, command); }

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        lab = std::make_unique<NetLab>();
        pc = lab->addHost(QStringLiteral("pc"));
        const QString units = lab->addHost(QStringLiteral("units"));
        const QString vpn = lab->addHost(QStringLiteral("vpn"));
        QVERIFY2(!pc.isEmpty() && !units.isEmpty() && !vpn.isEmpty(), qPrintable(lab->lastError()));
        QVERIFY2(lab->link(pc, QStringLiteral("eth0"), QStringLiteral("192.0.2.1/24"), units, QStringLiteral("eth0"),
                     QStringLiteral("192.0.2.2/24"), QString(), QStringLiteral("00:50:c2:aa:00:00")),
            qPrintable(lab->lastError()));
        // The far end of a tunnel: a link of its own with a peer that has no units.
        QVERIFY2(lab->link(pc, QStringLiteral("vpn1"), QStringLiteral("10.8.0.2/24"), vpn, QStringLiteral("eth0"),
                     QStringLiteral("10.8.0.1/24")),
            qPrintable(lab->lastError()));
        QVERIFY2(pcRun(QStringLiteral("ip tuntap add dev tun0 mode tun && ip addr add 10.9.0.2/24 dev tun0 && "
                                      "ip link set tun0 up")),
            qPrintable(lab->lastError()));
        haveDummy = pcRun(
            QStringLiteral("ip link add vpn0 type dummy && ip addr add 10.7.0.2/24 dev vpn0 && ip link set vpn0 up"));

        QVERIFY(commandLog.open());
        QProcess* sim = lab->start(units,
            { QStringLiteral(UNITSIM_PATH), "--bind", "0.0.0.0", "--port", "7477", "--serial", "4711", "--ip",
                "192.0.2.2", "--telnet-port", "off", "--mute", "config 0 save", "--command-log",
                commandLog.fileName() });
        QVERIFY(sim && unitsimReadyPort(*sim) == 7477);
        QVERIFY2(lab->enter(pc), qPrintable(lab->lastError()));
    }

    void cleanupTestCase() { lab.reset(); }

    void discoveryLeavesThroughTheSelectedLink_data()
    {
        QTest::addColumn<QString>("defaultRoute");
        QTest::addColumn<QString>("destination");
        QTest::newRow("bare LAN, limited broadcast") << QString() << "255.255.255.255";
        QTest::newRow("bare LAN, subnet broadcast") << QString() << "192.0.2.255";
        QTest::newRow("default through another link, limited broadcast") << "via 10.8.0.1 dev vpn1"
                                                                         << "255.255.255.255";
        QTest::newRow("default through another link, subnet broadcast") << "via 10.8.0.1 dev vpn1"
                                                                        << "192.0.2.255";
        QTest::newRow("default through a tun device") << "dev tun0"
                                                      << "255.255.255.255";
        QTest::newRow("default through a dummy device") << "dev vpn0"
                                                        << "255.255.255.255";
    }
    void discoveryLeavesThroughTheSelectedLink()
    {
        QFETCH(QString, defaultRoute);
        QFETCH(QString, destination);
        if (defaultRoute.contains(QStringLiteral("vpn0")) && !haveDummy)
            QSKIP("this kernel has no dummy links; the tun and veth rows cover the case");
        pcRun(QStringLiteral("ip route del default"));
        if (!defaultRoute.isEmpty())
            QVERIFY2(pcRun(QStringLiteral("ip route add default ") + defaultRoute), qPrintable(lab->lastError()));

        Pc p(destination, qint32(if_nametoindex("eth0")));
        QSignalSpy ids(p.verevo.get(), &clsVerevo::RuraIDResponse);
        p.verevo->SendQuery(QString());
        QVERIFY(ids.size() >= 1 || ids.wait(3000));
        QCOMPARE(ids[0][1].toString(), QStringLiteral("4711"));
        QCOMPARE(ids[0][0].toByteArray(), unitMac);

        // Commands take the same road, and the unit's answer comes back.
        QSignalSpy replies(p.verevo.get(), &clsVerevo::RuraCMDResponse);
        QVERIFY(p.verevo->SendRuraCmds(
            p.verevo->OpenCall(unitMac), QStringLiteral("4711"), QStringList { QStringLiteral("AT") }));
        QVERIFY(replies.wait(3000));
        QVERIFY2(replies[0][2].toString().contains(QStringLiteral("OK")), qPrintable(replies[0][2].toString()));
        QVERIFY2(p.problems.isEmpty(), qPrintable(p.problems.join(QLatin1Char('\n'))));
    }

    // The PC hears its own broadcast on the discovery port; that must not
    // count as the unit's answer and stop the resend.
    void unansweredCommandIsSentAgainAfterASecond()
    {
        pcRun(QStringLiteral("ip route del default"));
        Pc p(QStringLiteral("255.255.255.255"), qint32(if_nametoindex("eth0")));
        QSignalSpy replies(p.verevo.get(), &clsVerevo::RuraCMDResponse);
        const qsizetype before = commandsReceived().size();
        const qint64 start = p.clock.monotonicMs();
        QVERIFY(p.verevo->SendRuraCmds(
            p.verevo->OpenCall(unitMac), QStringLiteral("4711"), QStringList { QStringLiteral("config 0 save") }));

        QList<qint64> arrivals;
        while (p.clock.monotonicMs() - start < 3000) {
            p.clock.waitForEvents(qMin(p.clock.monotonicMs() + 20, start + 3000));
            while (commandsReceived().size() - before > arrivals.size())
                arrivals << p.clock.monotonicMs() - start;
        }
        QCOMPARE(arrivals.size(), 2);
        QVERIFY2(arrivals[0] < 200, qPrintable(QString::number(arrivals[0])));
        const qint64 gap = arrivals[1] - arrivals[0];
        QVERIFY2(gap > 800 && gap < 1300, qPrintable(QString::number(gap)));
        QCOMPARE(commandsReceived().mid(before), (QByteArrayList { "4711\tconfig 0 save", "4711\tconfig 0 save" }));
        QCOMPARE(replies.size(), 0);
    }

    void refusedSendIsReported()
    {
        pcRun(QStringLiteral("ip route del default"));
        // Without an outgoing interface the kernel has no route for the
        // limited broadcast on a bare LAN.
        Pc p(QStringLiteral("255.255.255.255"), 0);
        p.verevo->SendQuery(QString());
        QCOMPARE(p.problems.size(), 2);
        QVERIFY2(p.problems[0].startsWith(QStringLiteral("Discovery datagram to 255.255.255.255 port 7477 not sent: ")),
            qPrintable(p.problems[0]));
        QVERIFY(p.problems[0].size() > 60);
        QVERIFY(p.prompts.boxes.isEmpty());

        // A command that cannot leave says so too, once per attempt.
        p.problems.clear();
        QVERIFY(p.verevo->SendRuraCmds(
            p.verevo->OpenCall(unitMac), QStringLiteral("4711"), QStringList { QStringLiteral("AT") }));
        QTRY_COMPARE_WITH_TIMEOUT(p.problems.size(), 2, 3000);
    }

    void refusedSendReachesStderr()
    {
        pcRun(QStringLiteral("ip route del default"));
        QProcess probe;
        probe.start(QStringLiteral(VEREVO_PROBE), { QStringLiteral("7478"), QStringLiteral("255.255.255.255") });
        QVERIFY(probe.waitForFinished(30000));
        QCOMPARE(QString::fromLocal8Bit(probe.readAllStandardOutput()), QStringLiteral("sent\n"));
        const QString err = QString::fromLocal8Bit(probe.readAllStandardError());
        QVERIFY2(err.startsWith(QStringLiteral("linkwise: Discovery datagram to 255.255.255.255 port 7478 not sent: ")),
            qPrintable(err));
        QCOMPARE(err.count(QLatin1Char('\n')), 2);
    }
};

QTEST_GUILESS_MAIN(tst_VerevoRouting)
#include "tst_VerevoRouting.moc"
