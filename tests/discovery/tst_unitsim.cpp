#include "RecordingPrompts.h"
#include "UnitLan.h"
#include "UnitSimReady.h"
#include "discovery/RuraCodec.h"
#include "discovery/clsVerevo.h"
#include "discovery/encode_hash.h"
#include "net/IPHlpAPI.h"
#include "net/SystemClock.h"

#include <QFile>
#include <QNetworkDatagram>
#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>
#include <QUdpSocket>

#include <functional>
#include <memory>

namespace {
const QByteArray firstMac = QByteArray::fromHex("0050c2aa0000");
const QString pcCidr = QStringLiteral("198.51.100.1/24");
const QString unitCidr = QStringLiteral("198.51.100.2/24");

// The simulator as a child process on the far side of a bare LAN, and a
// discovery object on the PC's side bound as start-up binds it. Waits block
// in the event loop on real time: the peer is another process.
struct SimRig {
    SystemClock clock;
    RecordingPrompts prompts;
    UnitLan lan;
    QString broadcast;
    QProcess sim;
    QByteArray simLog;
    std::unique_ptr<clsVerevo> verevo;

    // unitSide: the address of the units' end of the cable, none when empty.
    bool start(QStringList args, const QString& unitSide = unitCidr)
    {
        if (!lan.up(pcCidr, { unitSide })) {
            qWarning("%s", qPrintable(lan.lastError()));
            return false;
        }
        broadcast = lan.pcBroadcast();
        sim.setProcessChannelMode(QProcess::SeparateChannels);
        QObject::connect(&sim, &QProcess::readyReadStandardError, [this] { simLog += sim.readAllStandardError(); });
        sim.start(QStringLiteral("ip"),
            QStringList { "netns", "exec", lan.unitNamespace(), QStringLiteral(UNITSIM_PATH), "--bind", "0.0.0.0",
                "--port", "7477", "--telnet-port", "off", "--web-port", "off", "--verbose", "--mac",
                "00:50:c2:aa:00:00" }
                + args);
        if (unitsimReadyPort(sim) != 7477)
            return false;
        VerevoSocketOptions o;
        o.outgoingInterface = [index = lan.pcInterfaceIndex()] { return index; };
        verevo = std::make_unique<clsVerevo>(
            clock, prompts, broadcast, nullptr, [] {}, o);
        return true;
    }

    ~SimRig()
    {
        if (sim.state() != QProcess::NotRunning) {
            sim.kill();
            sim.waitForFinished();
        }
    }

    bool waitFor(const std::function<bool()>& done, qint64 timeoutMs = 20000)
    {
        const qint64 deadline = clock.monotonicMs() + timeoutMs;
        while (!done()) {
            if (clock.monotonicMs() >= deadline)
                return false;
            clock.waitForEvents(deadline);
        }
        return true;
    }

    // Waits until the simulator has logged line (times times), then lets
    // datagrams already on their way be read.
    bool waitForLog(const QByteArray& line, int times = 1)
    {
        const bool seen = waitFor([&] { return simLog.count(line) >= times; });
        for (int i = 0; i < 5; ++i)
            clock.waitForEvents(clock.monotonicMs() + 20);
        return seen;
    }
};

QByteArray nthMac(int n)
{
    QByteArray m = firstMac;
    m[5] = char(n);
    return m;
}
} // namespace

class tst_unitsim : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    void queryIsAnsweredByEveryUnit_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("one unit") << 1;
        QTest::newRow("forty units") << 40;
    }
    void queryIsAnsweredByEveryUnit()
    {
        QFETCH(int, count);
        SimRig rig;
        QVERIFY(rig.start({ "--count", QString::number(count), "--serial", "5000", "--ip", "198.51.100.20", "--model",
            "Calvantor CV100-E3G", "--spread", "100" }));
        QSignalSpy ids(rig.verevo.get(), &clsVerevo::RuraIDResponse);
        QHash<QString, QList<QVariant>> bySerial;
        connect(rig.verevo.get(), &clsVerevo::RuraIDResponse, this,
            [&](const QByteArray& mac, const QString& sn, const QString& ip, const QString& unitId,
                const QString& productId, const QString& model) {
                bySerial.insert(sn, { mac, ip, unitId, productId, model });
            });
        rig.verevo->SendQuery(QString());
        QVERIFY(rig.waitFor([&] { return bySerial.size() == count; }));
        for (int i = 0; i < count; ++i) {
            const QList<QVariant> r = bySerial.value(QString::number(5000 + i));
            QCOMPARE(r.size(), 5);
            QCOMPARE(r[0].toByteArray(), nthMac(i));
            QCOMPARE(r[1].toString(), QStringLiteral("198.51.100.%1").arg(20 + i));
            QCOMPARE(r[4].toString(), QStringLiteral("Calvantor CV100-E3G"));
        }
    }

    void queryForOneSerialIsAnsweredByThatUnit()
    {
        SimRig rig;
        QVERIFY(rig.start({ "--count", "5", "--serial", "300" }));
        QSignalSpy ids(rig.verevo.get(), &clsVerevo::RuraIDResponse);
        rig.verevo->SendQuery(QStringLiteral("302"));
        QVERIFY(rig.waitForLog("unitsim: 302 sent"));
        QVERIFY(rig.waitFor([&] { return ids.size() == 2; }));
        QCOMPARE(ids[0][1].toString(), QStringLiteral("302"));
        QCOMPARE(ids[1][1].toString(), QStringLiteral("302"));
    }

    void commandToOneSerialIsAnsweredAndAuthenticated()
    {
        SimRig rig;
        QVERIFY(rig.start({ "--count", "5", "--serial", "2000" }));
        QSignalSpy responses(rig.verevo.get(), &clsVerevo::RuraCMDResponse);
        const auto call = rig.verevo->OpenCall(nthMac(2));
        QVERIFY(rig.verevo->SendRuraCmds(call, QStringLiteral("2002"), QStringList { "config 0 save", "AT" }));
        QVERIFY(rig.waitFor([&] { return responses.size() == 2; }));
        QCOMPARE(responses[0][2].toString(), QStringLiteral("Power Up Profile: config.da0\r\nOK\r\n"));
        QCOMPARE(responses[1][2].toString(), QStringLiteral("OK\r\n"));
        QCOMPARE(responses[0][1].toString().size(), 16);
        QCOMPARE(responses[0][0].toULongLong(), call);
        QVERIFY(!rig.simLog.contains("unitsim: 2001 sent"));
    }

    void responseOfAnotherUnitIsDropped()
    {
        SimRig rig;
        QVERIFY(rig.start({ "--count", "5", "--serial", "2000" }));
        QSignalSpy responses(rig.verevo.get(), &clsVerevo::RuraCMDResponse);
        QVERIFY(
            rig.verevo->SendRuraCmds(rig.verevo->OpenCall(nthMac(2)), QStringLiteral("2003"), QStringList { "AT" }));
        QVERIFY(rig.waitForLog("unitsim: 2003 sent"));
        QCOMPARE(responses.size(), 0);
    }

    void faults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("command");
        QTest::addColumn<int>("raised");
        QTest::newRow("wrong authenticator drops a response") << "wrong-auth" << true << 0;
        QTest::newRow("identity records are not authenticated") << "wrong-auth" << false << 2;
        QTest::newRow("20-byte answer ignored") << "short" << false << 0;
        QTest::newRow("answer without CR ignored") << "no-cr" << false << 0;
        QTest::newRow("overrunning length is cut") << "overrun" << false << 2;
        QTest::newRow("overrunning response is cut") << "overrun" << true << 1;
    }
    void faults()
    {
        QFETCH(QString, fault);
        QFETCH(bool, command);
        QFETCH(int, raised);
        SimRig rig;
        QVERIFY(rig.start({ "--serial", "700", "--fault", fault }));
        QSignalSpy ids(rig.verevo.get(), &clsVerevo::RuraIDResponse);
        QSignalSpy responses(rig.verevo.get(), &clsVerevo::RuraCMDResponse);
        if (command)
            QVERIFY(
                rig.verevo->SendRuraCmds(rig.verevo->OpenCall(nthMac(0)), QStringLiteral("700"), QStringList { "AT" }));
        else
            rig.verevo->SendQuery(QString());
        // A query is answered twice, once per send.
        QVERIFY(rig.waitForLog("unitsim: 700 sent", command ? 1 : 2));
        QCOMPARE(int(command ? responses.size() : ids.size()), raised);
    }

    void silentUnitSendsNothing()
    {
        SimRig rig;
        QVERIFY(rig.start({ "--serial", "700", "--fault", "silence" }));
        rig.verevo->SendQuery(QString());
        QVERIFY(rig.waitForLog("unitsim: 700 keeps silent"));
        QVERIFY(!rig.simLog.contains(" sent "));
    }

    void configFileIsRead()
    {
        QTemporaryFile file;
        QVERIFY(file.open());
        file.write("# two units\nserial=88\ncount=2\nproduct-id=PX9\n");
        file.close();
        SimRig rig;
        QVERIFY(rig.start(QStringList { "--config", file.fileName() }));
        QHash<QString, QString> products;
        connect(rig.verevo.get(), &clsVerevo::RuraIDResponse, this,
            [&](const QByteArray&, const QString& sn, const QString&, const QString&, const QString& productId,
                const QString&) { products.insert(sn, productId); });
        rig.verevo->SendQuery(QString());
        QVERIFY(rig.waitFor([&] { return products.size() == 2; }));
        QCOMPARE(products.value(QStringLiteral("89")), QStringLiteral("PX9"));
    }

    // A unit answers as the protocol has it: by broadcast from port 7477 to
    // port 7477, to everyone on the link, which the PC hears on its own port
    // whatever address it asked from.
    void answerIsABroadcastFromThePort_data()
    {
        QTest::addColumn<bool>("command");
        QTest::newRow("identity") << false;
        QTest::newRow("command response") << true;
    }
    void answerIsABroadcastFromThePort()
    {
        QFETCH(bool, command);
        SimRig rig;
        QVERIFY(rig.start({ "--serial", "700" }));
        rig.verevo.reset();
        // A socket as the program's, bound before anything is sent.
        QUdpSocket pc;
        QVERIFY2(pc.bind(QHostAddress::AnyIPv4, 7477, QAbstractSocket::DontShareAddress), qPrintable(pc.errorString()));
        QByteArray packet;
        RuraCodec::AppendRuraRecord(packet, command ? QStringLiteral("700") : QString(),
            command ? RuraCodec::RuraCommand : RuraCodec::RuraQuery, true, true, "AT");
        QCOMPARE(
            pc.writeDatagram(RuraCodec::Authenticate(packet, QByteArray(6, ' ')), QHostAddress(rig.broadcast), 7477),
            qint64(packet.size() + RuraCodec::AuthenticatorSize));
        QNetworkDatagram answer;
        QVERIFY(rig.waitFor([&] {
            while (pc.hasPendingDatagrams()) {
                const QNetworkDatagram d = pc.receiveDatagram();
                // Our own broadcast comes back too.
                if (d.senderAddress() != QHostAddress(QStringLiteral("198.51.100.1")))
                    answer = d;
            }
            return answer.isValid();
        }));
        QCOMPARE(answer.senderAddress(), QHostAddress(QStringLiteral("198.51.100.2")));
        QCOMPARE(answer.senderPort(), 7477);
        QCOMPARE(answer.destinationAddress(), QHostAddress(QStringLiteral("255.255.255.255")));
        QCOMPARE(answer.destinationPort(), 7477);
    }

    // A unit with no address of its own, or in another network than the
    // PC's, hears only the limited broadcast of a PC that has not chosen its
    // interface yet; it answers everyone on the link, so the PC hears it.
    void unitOffThePcsNetwork_data()
    {
        QTest::addColumn<QString>("unitSide");
        QTest::newRow("no address") << QString();
        QTest::newRow("another network") << "10.9.9.2/24";
    }
    void unitOffThePcsNetwork()
    {
        QFETCH(QString, unitSide);
        SimRig rig;
        QVERIFY(rig.start({ "--serial", "700" }, unitSide));
        QSignalSpy ids(rig.verevo.get(), &clsVerevo::RuraIDResponse);
        // The network's own broadcast reaches neither.
        rig.verevo->SendQuery(QString());
        rig.waitFor([] { return false; }, 800);
        QVERIFY(!rig.simLog.contains("from"));
        // Before an interface is chosen the program sends to everyone.
        rig.broadcast = QStringLiteral("255.255.255.255");
        rig.verevo->SendQuery(QString());
        QVERIFY(rig.waitForLog("unitsim: 700 sent", 2));
        QCOMPARE(rig.simLog.count("to 255.255.255.255"), 2);
        QCOMPARE(ids.size(), 2);
    }

    // The simulator says "sent" only for what the kernel took; a link that
    // went down before the answer left is logged as such.
    void unsentAnswerIsNotLoggedAsSent()
    {
        SimRig rig;
        QVERIFY(rig.start({ "--serial", "700", "--delay", "1000" }));
        rig.verevo->SendQuery(QString());
        QVERIFY(rig.waitForLog("bytes from", 2));
        QVERIFY(rig.lan.onUnitSide(QStringLiteral("ip link set eth0 down")));
        QVERIFY(rig.waitForLog("unitsim: 700 could not send", 2));
        QVERIFY(!rig.simLog.contains("unitsim: 700 sent"));
    }

    // The faults of an answer's carriage, as the PC's socket sees them.
    void carriageFaults_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArrayList>("responses");
        QTest::addColumn<int>("atLeastMs"); // the first response no sooner
        QTest::newRow("twice") << QStringList { "--twice", "AT" } << QByteArrayList { "OK\r\n", "OK\r\n" } << 0;
        QTest::newRow("one line a datagram") << QStringList { "--split", "config 0 save=300" }
                                             << QByteArrayList { "Power Up Profile: config.da0\r\n", "OK\r\n" } << 0;
        QTest::newRow("only the resend answered")
            << QStringList { "--resend-only", "AT" } << QByteArrayList { "OK\r\n" } << 900;
    }
    void carriageFaults()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArrayList, responses);
        QFETCH(int, atLeastMs);
        SimRig rig;
        QVERIFY(rig.start(QStringList { "--serial", "700" } + args));
        QSignalSpy got(rig.verevo.get(), &clsVerevo::RuraCMDResponse);
        const qint64 t0 = rig.clock.monotonicMs();
        qint64 first = -1;
        connect(rig.verevo.get(), &clsVerevo::RuraCMDResponse, this, [&] {
            if (first < 0)
                first = rig.clock.monotonicMs() - t0;
        });
        const QString line = args.contains(QStringLiteral("--split")) ? QStringLiteral("config 0 save") : "AT";
        QVERIFY(rig.verevo->SendRuraCmds(rig.verevo->OpenCall(nthMac(0)), QStringLiteral("700"), QStringList { line }));
        QVERIFY(rig.waitFor([&] { return got.size() >= responses.size(); }));
        rig.waitFor([] { return false; }, 500);
        QByteArrayList texts;
        for (const QList<QVariant>& r : std::as_const(got))
            texts << r[2].toString().toLatin1();
        QCOMPARE(texts, responses);
        QVERIFY2(first >= atLeastMs, qPrintable(QString::number(first)));
    }

    // A unit that takes a new address tells the LAN at once, as a real one
    // does. A PC that has just pinged that address in vain (the free-address
    // search did) still has its look-up of the address's link address open,
    // one broadcast a second, three in all, and it gives up a second after
    // the last: a ping sent within that second, to the unit that took the
    // address meanwhile, would be dropped with the look-up. The unit's word
    // reaches a PC as Debian sets it up, which learns no new neighbours from
    // unasked-for ARP but lets it complete what it asked.
    void newAddressIsAnnounced()
    {
        SimRig rig;
        QVERIFY(rig.start({ "--serial", "700", "--ip", "198.51.100.75", "--lan-dev", "eth0" }, "198.51.100.75/24"));
        for (const char* setting : { "arp_accept", "drop_gratuitous_arp" }) {
            QFile f(QStringLiteral("/proc/sys/net/ipv4/conf/eth0/") + QLatin1String(setting));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll().trimmed(), QByteArray("0"));
        }
        QSignalSpy told(rig.verevo.get(), &clsVerevo::RuraCMDResponse);
        const quint32 free = QHostAddress(QStringLiteral("198.51.100.3")).toIPv4Address();
        // A time-out between two and three seconds ends the search's ping
        // within that last second.
        QVERIFY(!IPHlpAPI::PingAddress(free, QStringLiteral("ADDRESS CHECK"), 2500));
        QVERIFY(rig.verevo->SendRuraCmds(
            rig.verevo->OpenCall(nthMac(0)), QStringLiteral("700"), QStringList { "eth 0 ipaddr \"198.51.100.3\"" }));
        QVERIFY(rig.waitFor([&] { return told.size() == 1; }));
        QCOMPARE(told[0][2].toString(), QStringLiteral("OK\r\n"));
        QVERIFY(IPHlpAPI::PingAddress(free, QStringLiteral("LIVELINESS CHECK"), 1000));
    }

    void badSettingIsRefused()
    {
        QProcess sim;
        sim.start(QStringLiteral(UNITSIM_PATH), { "--fault", "sometimes" });
        QVERIFY(sim.waitForFinished(30000));
        QCOMPARE(sim.exitCode(), 2);
        QVERIFY(sim.readAllStandardError().contains("fault"));
    }
};

QTEST_GUILESS_MAIN(tst_unitsim)
#include "tst_unitsim.moc"
