#include "InNetns.h"
#include "NetLab.h"
#include "net/IPHlpAPI.h"

#include <QElapsedTimer>
#include <QTest>

#include <arpa/inet.h>

namespace {
const QString label = QStringLiteral("LIVELINESS CHECK");
constexpr quint32 loopback = 0x7f000001;
constexpr quint32 peer = 0xc6336402; // 198.51.100.2
constexpr quint32 nobody = 0xc633644d; // 198.51.100.77
// How far past its time-out a ping may return: scheduling, not waiting.
constexpr qint64 marginMs = 300;

struct Lab {
    NetLab net;
    QString pc;
    QString peer;
    bool up = false;

    Lab()
    {
        pc = net.addHost(QStringLiteral("pc"));
        peer = net.addHost(QStringLiteral("peer"));
        up = !pc.isEmpty() && !peer.isEmpty()
            && net.link(pc, QStringLiteral("veth0"), QStringLiteral("198.51.100.1/24"), peer, QStringLiteral("veth1"),
                QStringLiteral("198.51.100.2/24"));
    }
};
} // namespace

class tst_IPHlpAPI : public QObject {
    Q_OBJECT
private slots:
    void loopbackEchoesThePayload_data()
    {
        QTest::addColumn<QString>("payload");
        QTest::newRow("liveliness label") << label;
        QTest::newRow("address label") << QStringLiteral("ADDRESS CHECK");
        QTest::newRow("three characters") << QStringLiteral("abc");
        QTest::newRow("long") << QString(1400, QLatin1Char('x'));
        QTest::newRow("empty") << QString();
    }
    void loopbackEchoesThePayload()
    {
        if (geteuid() != 0)
            QSKIP("an ICMP socket needs root or a ping group here");
        QFETCH(QString, payload);
        QVERIFY(IPHlpAPI::PingAddress(loopback, payload, 2000));
    }

    void hostNamesAndDottedTexts()
    {
        if (geteuid() != 0)
            QSKIP("an ICMP socket needs root or a ping group here");
        QVERIFY(IPHlpAPI::PingHost(QStringLiteral("127.0.0.1"), label, 2000));
        QVERIFY(IPHlpAPI::PingHost(QStringLiteral("localhost"), label, 2000));
    }

    void zeroAndAllOnesNeverSend()
    {
        QElapsedTimer t;
        t.start();
        QVERIFY(!IPHlpAPI::PingAddress(0, label, 5000));
        QVERIFY(!IPHlpAPI::PingAddress(0xffffffffu, label, 5000));
        QVERIFY(t.elapsed() < 1000);
    }

    void oversizedPayloadIsFalse()
    {
        QVERIFY(!IPHlpAPI::PingAddress(loopback, QString(70000, QLatin1Char('x')), 1000));
    }

    // In a namespace of its own the echo counter of the kernel shows what went out.
    void unknownNameSendsNothingOneEchoOtherwise()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        Lab lab;
        QVERIFY2(lab.up, qPrintable(lab.net.lastError()));
        const auto sent = inNetns(lab.pc, [] {
            const qint64 before = outEchos();
            QElapsedTimer t;
            t.start();
            const bool unknown = IPHlpAPI::PingHost(QStringLiteral("no-such-host.invalid"), label, 3000);
            const qint64 unknownMs = t.elapsed();
            const qint64 afterUnknown = outEchos();
            const bool answered = IPHlpAPI::PingAddress(peer, label, 3000);
            return std::tuple { before, unknown, unknownMs, afterUnknown, answered, outEchos() };
        });
        QVERIFY(sent);
        const auto [before, unknown, unknownMs, afterUnknown, answered, after] = *sent;
        QVERIFY(before >= 0);
        QVERIFY(!unknown);
        QVERIFY2(unknownMs < 3000, qPrintable(QString::number(unknownMs)));
        QCOMPARE(afterUnknown, before);
        QVERIFY(answered);
        QCOMPARE(after, before + 1);
    }

    void silentPeerIsFalseWithinTheTimeout_data()
    {
        QTest::addColumn<quint32>("target");
        QTest::addColumn<bool>("ignoreEchoes");
        QTest::addColumn<qint32>("timeoutMs");
        QTest::newRow("peer ignores echoes") << peer << true << 700;
        QTest::newRow("nobody holds the address") << nobody << false << 700;
        QTest::newRow("zero time-out") << nobody << false << 0;
    }
    void silentPeerIsFalseWithinTheTimeout()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QFETCH(quint32, target);
        QFETCH(bool, ignoreEchoes);
        QFETCH(qint32, timeoutMs);
        Lab lab;
        QVERIFY2(lab.up, qPrintable(lab.net.lastError()));
        // The peer answers before it is told to keep quiet.
        QCOMPARE(inNetns(lab.pc, [] { return IPHlpAPI::PingAddress(peer, label, 3000); }), std::optional<bool>(true));
        if (ignoreEchoes)
            QVERIFY2(lab.net.sh(lab.peer, QStringLiteral("sysctl -qw net.ipv4.icmp_echo_ignore_all=1")),
                qPrintable(lab.net.lastError()));
        const auto outcome = inNetns(lab.pc, [&] {
            QElapsedTimer t;
            t.start();
            const bool ok = IPHlpAPI::PingAddress(target, label, timeoutMs);
            return std::pair { ok, t.elapsed() };
        });
        QVERIFY(outcome);
        QVERIFY(!outcome->first);
        QVERIFY2(outcome->second <= timeoutMs + marginMs, qPrintable(QString::number(outcome->second)));
        QVERIFY2(outcome->second >= timeoutMs - 50, qPrintable(QString::number(outcome->second)));
    }

    void ipToString_data()
    {
        QTest::addColumn<QString>("dotted");
        QTest::newRow("subnet broadcast") << QStringLiteral("192.168.1.255");
        QTest::newRow("lab host") << QStringLiteral("198.51.100.2");
        QTest::newRow("zero") << QStringLiteral("0.0.0.0");
        QTest::newRow("all ones") << QStringLiteral("255.255.255.255");
    }
    void ipToString()
    {
        QFETCH(QString, dotted);
        QCOMPARE(IPHlpAPI::IPToString(inet_addr(dotted.toLatin1().constData())), dotted);
    }

    void ipToStringByteOrder() { QCOMPARE(IPHlpAPI::IPToString(htonl(0xc0a801ffu)), QStringLiteral("192.168.1.255")); }
};

QTEST_MAIN(tst_IPHlpAPI)
#include "tst_IPHlpAPI.moc"
