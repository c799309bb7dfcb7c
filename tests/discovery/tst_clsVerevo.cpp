#include "RecordingPrompts.h"
#include "SimulatedClock.h"
#include "UnitLan.h"
#include "discovery/RuraCodec.h"
#include "discovery/clsVerevo.h"
#include "discovery/encode_hash.h"

#include <QNetworkDatagram>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include <functional>
#include <memory>

namespace {
const QByteArray pcMac = QByteArray::fromHex("0050c2000001");
const QByteArray unitMac = QByteArray::fromHex("0050c2123456");

// A port nobody holds, for the probe program that binds one of its own.
quint16 freePort()
{
    QUdpSocket s;
    s.bind(QHostAddress::LocalHost, 0);
    return s.localPort();
}

QByteArray identityDatagram(const QByteArray& serial)
{
    QByteArray packet;
    RuraCodec::AppendRuraRecord(packet, QString(), RuraCodec::RuraIdRecord, true, true, {}, unitMac,
        { "198.51.100.7", serial, "1", "CV100", "Calvantor CV100-E3G" });
    return RuraCodec::Authenticate(packet, unitMac);
}

QByteArray responseDatagram(const QByteArray& text, const QByteArray& mac)
{
    QByteArray packet;
    RuraCodec::AppendRuraRecord(packet, QString(), RuraCodec::RuraCommandResponse, true, true, text);
    return RuraCodec::Authenticate(packet, mac);
}

// A discovery object bound as start-up binds it, on the PC's side of a bare
// LAN (see UnitLan); a peer socket on the far side standing in for the units,
// answering by broadcast as they do; and a simulated clock. The peer notes
// when each datagram of the PC's arrives and may answer it.
struct Rig {
    SimulatedClock clock;
    RecordingPrompts prompts;
    UnitLan lan;
    QString broadcast = QStringLiteral("198.51.100.255");
    std::pair<QString, QString> interfaceAddress;
    int ended = 0;
    QUdpSocket peer;
    QList<qint64> arrivals;
    QByteArrayList received;
    std::function<QByteArray(const QByteArray&)> answer;
    VerevoSocketOptions options;
    std::unique_ptr<clsVerevo> verevo;

    explicit Rig(VerevoSocketOptions opts = {})
    {
        if (!lan.up(QStringLiteral("198.51.100.1/24"), { QStringLiteral("198.51.100.2/24") }))
            qFatal("no LAN: %s", qPrintable(lan.lastError()));
        lan.inUnits([this] { peer.bind(QHostAddress::AnyIPv4, 7477); });
        QObject::connect(&peer, &QUdpSocket::readyRead, [this] {
            while (peer.hasPendingDatagrams()) {
                const QNetworkDatagram d = peer.receiveDatagram();
                // Its own answers come back to it.
                if (d.senderAddress() != QHostAddress(QStringLiteral("198.51.100.1")))
                    continue;
                arrivals << clock.monotonicMs();
                received << d.data();
                if (answer) {
                    const QByteArray reply = answer(d.data());
                    if (!reply.isEmpty())
                        peer.writeDatagram(reply, QHostAddress(QStringLiteral("198.51.100.255")), 7477);
                }
            }
        });
        options = opts;
        if (!options.outgoingInterface)
            options.outgoingInterface = [index = lan.pcInterfaceIndex()] { return index; };
        verevo = std::make_unique<clsVerevo>(
            clock, prompts, broadcast, [this] { return interfaceAddress; }, [this] { ++ended; }, options);
    }

    // Moves time in small steps so that datagrams in flight are read close to
    // the moment they were sent.
    void run(qint64 ms)
    {
        for (qint64 t = 0; t < ms; t += 10)
            clock.advance(10);
    }
};
} // namespace

class tst_clsVerevo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    void queryIsSentTwiceHalfASecondApart()
    {
        Rig rig;
        rig.verevo->SetMac(pcMac);
        rig.verevo->SendQuery(QString());
        rig.run(3000);
        QCOMPARE(rig.arrivals, (QList<qint64> { 0, 500 }));
        QCOMPARE(rig.received[0], rig.received[1]);
        const QByteArray& d = rig.received[0];
        QCOMPARE(d.size(), 21);
        QCOMPARE(d.left(5), QByteArray("\r\x01\x00\x00\x00", 5));
        QCOMPARE(d.right(16), encode_hash(d.left(5), pcMac));
    }

    void keyIsSpacesBeforeSetMac_data()
    {
        QTest::addColumn<QByteArray>("mac");
        QTest::addColumn<QByteArray>("key");
        QTest::newRow("never set") << QByteArray() << QByteArray(6, ' ');
        QTest::newRow("four bytes") << QByteArray("\x01\x02\x03\x04") << QByteArray(6, ' ');
        QTest::newRow("six bytes") << pcMac << pcMac;
    }
    void keyIsSpacesBeforeSetMac()
    {
        QFETCH(QByteArray, mac);
        QFETCH(QByteArray, key);
        Rig rig;
        if (!mac.isEmpty())
            rig.verevo->SetMac(mac);
        QVERIFY(rig.verevo->SendRuraCmds(rig.verevo->OpenCall(unitMac), QStringLiteral("417"), QStringList { "AT" }));
        rig.run(10);
        QCOMPARE(rig.received.size(), 1);
        const QByteArray& d = rig.received[0];
        QCOMPARE(d.left(d.size() - 16),
            QByteArray("417\r\x03\x00\x03"
                       "AT\r\x00",
                11));
        QCOMPARE(d.right(16), encode_hash(d.left(d.size() - 16), key));
    }

    void commandResends_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QList<qint64>>("sends");
        QTest::newRow("no answer: 0 s and 1 s only") << QByteArray() << QList<qint64> { 0, 1000 };
        QTest::newRow("any datagram with a CR answers")
            << QByteArray("417\r\x04\x00\x00\x00", 8) + QByteArray(16, 'z') << QList<qint64> { 0 };
        QTest::newRow("an authentic response answers") << responseDatagram("OK", unitMac) << QList<qint64> { 0 };
        QTest::newRow("20 bytes is no answer") << QByteArray(20, '\r') << QList<qint64> { 0, 1000 };
        QTest::newRow("no CR is no answer") << QByteArray(40, 'x') << QList<qint64> { 0, 1000 };
    }
    void commandResends()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QList<qint64>, sends);
        Rig rig;
        rig.answer = [&](const QByteArray&) { return reply; };
        QVERIFY(rig.verevo->SendRuraCmds(rig.verevo->OpenCall(unitMac), QStringLiteral("417"), QStringList { "AT" }));
        rig.run(5000);
        QCOMPARE(rig.arrivals, sends);
    }

    void oneDatagramCarriesAllCommands()
    {
        Rig rig;
        QVERIFY(
            rig.verevo->SendRuraCmds(rig.verevo->OpenCall(unitMac), QStringLiteral("417"), QStringList { "a", "bc" }));
        rig.run(10);
        QCOMPARE(rig.received.size(), 1);
        QCOMPARE(rig.received[0].left(16),
            QByteArray("417\r\x03\x00\x02"
                       "a\r\x03\x00\x03"
                       "bc\r\x00",
                16));
    }

    void emptyCommandListSendsNothing()
    {
        Rig rig;
        QVERIFY(rig.verevo->SendRuraCmds(rig.verevo->OpenCall(unitMac), QStringLiteral("417"), QStringList()));
        rig.run(3000);
        QVERIFY(rig.received.isEmpty());
    }

    void stopFromAnIdentityHandlerPreventsTheSecondQuery()
    {
        Rig rig;
        rig.answer = [](const QByteArray&) { return identityDatagram("417"); };
        QSignalSpy ids(rig.verevo.get(), &clsVerevo::RuraIDResponse);
        connect(rig.verevo.get(), &clsVerevo::RuraIDResponse, rig.verevo.get(), &clsVerevo::StopCurrentCommand);
        rig.verevo->SendQuery(QString());
        const qint64 returned = rig.clock.monotonicMs();
        rig.run(3000);
        QCOMPARE(rig.arrivals, QList<qint64> { 0 });
        QVERIFY(returned < 500);
        QCOMPARE(ids.size(), 1);
        QCOMPARE(ids[0][0].toByteArray(), unitMac);
        QCOMPARE(ids[0][1].toString(), QStringLiteral("417"));
        QCOMPARE(ids[0][2].toString(), QStringLiteral("198.51.100.7"));
        QCOMPARE(ids[0][3].toString(), QStringLiteral("1"));
        QCOMPARE(ids[0][4].toString(), QStringLiteral("CV100"));
        QCOMPARE(ids[0][5].toString(), QStringLiteral("Calvantor CV100-E3G"));
    }

    void stopEndsTheResend()
    {
        Rig rig;
        QVERIFY(rig.verevo->SendRuraCmds(rig.verevo->OpenCall(unitMac), QStringLiteral("417"), QStringList { "AT" }));
        rig.run(500);
        rig.verevo->StopCurrentCommand();
        rig.run(3000);
        QCOMPARE(rig.arrivals, QList<qint64> { 0 });
    }

    void newSendReplacesTheResend()
    {
        Rig rig;
        QVERIFY(
            rig.verevo->SendRuraCmds(rig.verevo->OpenCall(unitMac), QStringLiteral("417"), QStringList { "first" }));
        rig.run(600);
        QVERIFY(
            rig.verevo->SendRuraCmds(rig.verevo->OpenCall(unitMac), QStringLiteral("417"), QStringList { "second" }));
        rig.run(3000);
        QCOMPARE(rig.arrivals, (QList<qint64> { 0, 600, 1600 }));
        QVERIFY(rig.received[2].contains("second"));
    }

    void commandResponseNeedsTheTalkedToUnitsMac_data()
    {
        QTest::addColumn<QByteArray>("signedWith");
        QTest::addColumn<QByteArray>("replyKey");
        QTest::addColumn<bool>("raised");
        QTest::newRow("unit being talked to") << unitMac << unitMac << true;
        QTest::newRow("another unit") << QByteArray::fromHex("0050c2999999") << unitMac << false;
        QTest::newRow("no unit") << unitMac << QByteArray() << false;
    }
    void commandResponseNeedsTheTalkedToUnitsMac()
    {
        QFETCH(QByteArray, signedWith);
        QFETCH(QByteArray, replyKey);
        QFETCH(bool, raised);
        Rig rig;
        const QByteArray reply = responseDatagram("OK\r", signedWith);
        rig.answer = [&](const QByteArray&) { return reply; };
        QSignalSpy responses(rig.verevo.get(), &clsVerevo::RuraCMDResponse);
        const auto call = rig.verevo->OpenCall(replyKey);
        QVERIFY(rig.verevo->SendRuraCmds(call, QStringLiteral("417"), QStringList { "AT" }));
        rig.run(2000);
        QCOMPARE(responses.size(), raised ? 1 : 0);
        if (raised) {
            QCOMPARE(responses[0][0].toULongLong(), call);
            QCOMPARE(responses[0][1].toString(), QString::fromLatin1(reply.right(16)));
            QCOMPARE(responses[0][2].toString(), QStringLiteral("OK\r"));
        }
        // Silence or not, the datagram was an answer.
        QCOMPARE(rig.arrivals, QList<qint64> { 0 });
    }

    // What waited on the socket before a call opened cannot be its answer;
    // the unit's answer to the call's own datagram is.
    void replyQueuedBeforeACallIsNotItsAnswer()
    {
        Rig rig;
        rig.answer = [](const QByteArray&) { return responseDatagram("OK\r\n", unitMac); };
        QList<std::pair<quint64, QString>> credited;
        connect(rig.verevo.get(), &clsVerevo::RuraCMDResponse, this,
            [&](quint64 call, const QString&, const QString& text) {
                credited.append({ call, text });
            });
        // A call, answered, ended; then a stray copy of the answer arrives
        // before the next call opens.
        const auto first = rig.verevo->OpenCall(unitMac);
        QVERIFY(rig.verevo->SendRuraCmds(first, QStringLiteral("417"), QStringList { "AT" }));
        rig.run(10);
        rig.verevo->EndCall(first);
        QCOMPARE(credited.size(), 1);
        rig.peer.writeDatagram(
            responseDatagram("stray", unitMac), QHostAddress(QStringLiteral("198.51.100.255")), 7477);
        const auto second = rig.verevo->OpenCall(unitMac);
        QVERIFY(rig.verevo->SendRuraCmds(second, QStringLiteral("417"), QStringList { "AT" }));
        rig.run(10);
        rig.verevo->EndCall(second);
        QCOMPARE(credited,
            (QList<std::pair<quint64, QString>> {
                { first, QStringLiteral("OK\r\n") }, { second, QStringLiteral("OK\r\n") } }));
    }

    // A call hears its own unit only, whatever other call is open: the
    // unit's reply is nobody's while only a call to another unit waits, and
    // its call's once that opens.
    void callHearsItsOwnUnit()
    {
        Rig rig;
        rig.answer = [](const QByteArray&) { return responseDatagram("OK", unitMac); };
        QSignalSpy responses(rig.verevo.get(), &clsVerevo::RuraCMDResponse);
        const auto other = rig.verevo->OpenCall(QByteArray::fromHex("0050c2999999"));
        QVERIFY(rig.verevo->SendRuraCmds(other, QStringLiteral("417"), QStringList { "AT" }));
        rig.run(100);
        QCOMPARE(responses.size(), 0);
        const auto call = rig.verevo->OpenCall(unitMac);
        QVERIFY(rig.verevo->SendRuraCmds(call, QStringLiteral("417"), QStringList { "AT" }));
        rig.run(10);
        QCOMPARE(responses.size(), 1);
        QCOMPARE(responses[0][0].toULongLong(), call);
        rig.verevo->EndCall(call);
        rig.verevo->EndCall(other);
    }

    // Only a datagram that left can be answered: a send the kernel refused
    // leaves nothing owed, an unanswered one is owed for the grace.
    void onlyWhatLeftIsOwed_data()
    {
        QTest::addColumn<qint32>("outgoing"); // 0: the LAN's link
        QTest::addColumn<bool>("owed");
        QTest::newRow("sent, unanswered") << 0 << true;
        QTest::newRow("refused by the kernel") << 9999 << false;
    }
    void onlyWhatLeftIsOwed()
    {
        QFETCH(qint32, outgoing);
        QFETCH(bool, owed);
        VerevoSocketOptions o;
        if (outgoing != 0)
            o.outgoingInterface = [outgoing] { return outgoing; };
        Rig rig(o);
        const auto call = rig.verevo->OpenCall(unitMac);
        QVERIFY(rig.verevo->SendRuraCmds(call, QStringLiteral("417"), QStringList { "AT" }));
        rig.run(2000);
        rig.verevo->EndCall(call);
        QCOMPARE(rig.verevo->Owes(unitMac), owed);
        QCOMPARE(rig.received.size(), owed ? 2 : 0);
        if (owed)
            QCOMPARE(rig.verevo->OwedUntilMs(unitMac), rig.clock.monotonicMs() + ReplyLedger::LateGraceMs);
        rig.run(ReplyLedger::LateGraceMs);
        QVERIFY(!rig.verevo->Owes(unitMac));
    }

    void broadcastArithmetic_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("broadcast");
        QTest::newRow("class C") << "192.168.1.20"
                                 << "255.255.255.0"
                                 << "192.168.1.255";
        QTest::newRow("class B") << "10.0.5.7"
                                 << "255.255.0.0"
                                 << "10.0.255.255";
        QTest::newRow("narrow subnet") << "203.0.113.70"
                                       << "255.255.255.192"
                                       << "203.0.113.127";
        QTest::newRow("host mask") << "198.51.100.9"
                                   << "255.255.255.255"
                                   << "198.51.100.9";
        QTest::newRow("empty mask") << "192.168.1.20"
                                    << ""
                                    << "255.255.255.255";
        QTest::newRow("empty address") << ""
                                       << "255.255.255.0"
                                       << "255.255.255.255";
        QTest::newRow("both empty") << ""
                                    << ""
                                    << "255.255.255.255";
        QTest::newRow("address not an address") << "router"
                                                << "255.255.255.0"
                                                << "255.255.255.255";
    }
    void broadcastArithmetic()
    {
        QFETCH(QString, address);
        QFETCH(QString, mask);
        QFETCH(QString, broadcast);
        Rig rig;
        rig.interfaceAddress = { address, mask };
        rig.verevo->setInterface();
        QCOMPARE(rig.broadcast, broadcast);
    }

    void setInterfaceAimsLaterSends()
    {
        Rig rig;
        // Another network's broadcast, which the units never hear.
        rig.broadcast = QStringLiteral("203.0.113.255");
        QVERIFY(rig.verevo->SendRuraCmds(rig.verevo->OpenCall(unitMac), QStringLiteral("417"), QStringList { "AT" }));
        rig.run(2000);
        QVERIFY(rig.received.isEmpty());
        rig.interfaceAddress = { QStringLiteral("198.51.100.1"), QStringLiteral("255.255.255.0") };
        rig.verevo->setInterface();
        QCOMPARE(rig.broadcast, QStringLiteral("198.51.100.255"));
        QVERIFY(rig.verevo->SendRuraCmds(rig.verevo->OpenCall(unitMac), QStringLiteral("417"), QStringList { "AT" }));
        rig.run(10);
        QCOMPARE(rig.received.size(), 1);
    }

    void portHeldEndsTheQuery()
    {
        Rig rig;
        // Another program on the PC holds the port.
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::AnyIPv4, 7477, QAbstractSocket::DontShareAddress));
        rig.verevo->SendQuery(QString());
        rig.run(1000);
        QCOMPARE(rig.prompts.texts(),
            QStringList { "It appears that port 7477 is in use, therefore the wizard cannot continue." });
        QCOMPARE(rig.prompts.boxes[0].icon, UserPrompts::Icon::Critical);
        QVERIFY(rig.prompts.boxes[0].title.isEmpty());
        QCOMPARE(rig.ended, 1);
        QVERIFY(rig.received.isEmpty());
    }

    void otherBindErrorEndsTheQuery()
    {
        VerevoSocketOptions o;
        // No address of this PC's.
        o.bindAddress = QHostAddress(QStringLiteral("192.0.2.77"));
        Rig rig(o);
        rig.verevo->SendQuery(QString());
        QCOMPARE(rig.prompts.boxes.size(), 1);
        const QString text = rig.prompts.boxes[0].text;
        QVERIFY2(text.startsWith(QStringLiteral("Error: ")), qPrintable(text));
        QVERIFY(text.endsWith(
            QStringLiteral(" The Calvantor wizard will now terminate, apologies for any inconvenience!")));
        QVERIFY(text.size() > 90);
        QCOMPARE(rig.ended, 1);
    }

    void portHeldFailsACommandQuietly()
    {
        Rig rig;
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::AnyIPv4, 7477, QAbstractSocket::DontShareAddress));
        QVERIFY(!rig.verevo->SendRuraCmds(rig.verevo->OpenCall(unitMac), QStringLiteral("417"), QStringList { "AT" }));
        QVERIFY(!rig.verevo->errorString().isEmpty());
        QVERIFY(rig.prompts.boxes.isEmpty());
        QCOMPARE(rig.ended, 0);
        rig.run(2000);
        QVERIFY(rig.received.isEmpty());
    }

    void portHeldEndsTheProgram()
    {
        const quint16 port = freePort();
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::LocalHost, port, QAbstractSocket::DontShareAddress));
        QProcess probe;
        probe.start(QStringLiteral(VEREVO_PROBE), { QString::number(port) });
        QVERIFY(probe.waitForFinished(30000));
        const QString out = QString::fromLocal8Bit(probe.readAllStandardOutput());
        QCOMPARE(out,
            QStringLiteral("box: It appears that port 7477 is in use, therefore the wizard cannot continue.\nended\n"));
        QCOMPARE(probe.exitCode(), 3);
    }

    void freePortLetsTheProbeSend()
    {
        QProcess probe;
        probe.start(QStringLiteral(VEREVO_PROBE), { QString::number(freePort()) });
        QVERIFY(probe.waitForFinished(30000));
        QCOMPARE(QString::fromLocal8Bit(probe.readAllStandardOutput()), QStringLiteral("sent\n"));
        QCOMPARE(probe.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_clsVerevo)
#include "tst_clsVerevo.moc"
