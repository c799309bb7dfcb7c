#include "InNetns.h"
#include "NetLab.h"
#include "net/IcmpEcho.h"

#include <QTest>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

using IcmpEcho::SocketKind;

namespace {
const QByteArray label("LIVELINESS CHECK");
constexpr quint32 loopback = 0x7f000001;
constexpr quint32 peer = 0xc6336402; // 198.51.100.2

// The reply a host would send to request: type 0 and a fresh checksum.
QByteArray replyTo(QByteArray request)
{
    request[0] = 0;
    request[2] = 0;
    request[3] = 0;
    const quint16 sum = IcmpEcho::checksum(request);
    request[2] = char(sum >> 8);
    request[3] = char(sum & 0xff);
    return request;
}
} // namespace

namespace {
// Takes CAP_NET_RAW out of the calling thread's effective set.
bool dropNetRawForThisThread()
{
    __user_cap_header_struct header { _LINUX_CAPABILITY_VERSION_3, 0 };
    __user_cap_data_struct data[2] {};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    data[CAP_NET_RAW / 32].effective &= ~(1u << (CAP_NET_RAW % 32));
    return ::syscall(SYS_capset, &header, data) == 0;
}
} // namespace

class tst_IcmpEcho : public QObject {
    Q_OBJECT
private slots:
    void requestLayout()
    {
        const QByteArray m = IcmpEcho::buildRequest(0x1234, 0xabcd, label);
        QCOMPARE(m.size(), 8 + label.size());
        QCOMPARE(quint8(m[0]), quint8(8));
        QCOMPARE(quint8(m[1]), quint8(0));
        QCOMPARE(m.mid(4, 4), QByteArray::fromHex("1234abcd"));
        QCOMPARE(m.mid(8), label);
        // A message carrying its own checksum sums to zero.
        QCOMPARE(IcmpEcho::checksum(m), quint16(0));
        QCOMPARE(IcmpEcho::checksum(IcmpEcho::buildRequest(1, 2, QByteArrayLiteral("odd"))), quint16(0));
    }

    void checksumKnownValue()
    {
        // RFC 1071's example words 0001 f203 f4f5 f6f7 sum to ddf2; complement 220d.
        QCOMPARE(IcmpEcho::checksum(QByteArray::fromHex("0001f203f4f5f6f7")), quint16(0x220d));
    }

    void matchingReplies_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<bool>("checkId");
        QTest::addColumn<bool>("matches");
        const QByteArray good = replyTo(IcmpEcho::buildRequest(7, 9, label));
        QByteArray oneByte = good;
        oneByte[8 + 3] = 'x';
        QByteArray code = good;
        code[1] = 1;
        QTest::newRow("the reply") << good << true << true;
        QTest::newRow("data differs in one byte") << oneByte << true << false;
        QTest::newRow("data cut short") << good.left(good.size() - 1) << true << false;
        QTest::newRow("data longer") << good + 'x' << true << false;
        QTest::newRow("our own request") << IcmpEcho::buildRequest(7, 9, label) << true << false;
        QTest::newRow("another code") << code << true << false;
        QTest::newRow("another sequence") << replyTo(IcmpEcho::buildRequest(7, 10, label)) << true << false;
        QTest::newRow("another pinger") << replyTo(IcmpEcho::buildRequest(8, 9, label)) << true << false;
        QTest::newRow("identifier the kernel chose") << replyTo(IcmpEcho::buildRequest(8, 9, label)) << false << true;
        QTest::newRow("header only") << good.left(8) << true << false;
        QTest::newRow("truncated header") << good.left(5) << true << false;
    }
    void matchingReplies()
    {
        QFETCH(QByteArray, message);
        QFETCH(bool, checkId);
        QFETCH(bool, matches);
        QCOMPARE(IcmpEcho::isReplyTo(message, 7, 9, label, checkId), matches);
    }

    void ipHeaderIsSkipped_data()
    {
        QTest::addColumn<QByteArray>("packet");
        QTest::addColumn<QByteArray>("icmp");
        const QByteArray icmp = replyTo(IcmpEcho::buildRequest(1, 1, label));
        QByteArray plain(20, '\0');
        plain[0] = char(0x45);
        QByteArray options(24, '\0');
        options[0] = char(0x46);
        QByteArray ipv6(40, '\0');
        ipv6[0] = char(0x60);
        QByteArray overlong(20, '\0');
        overlong[0] = char(0x4f);
        QTest::newRow("20-byte header") << plain + icmp << icmp;
        QTest::newRow("header with options") << options + icmp << icmp;
        QTest::newRow("not IPv4") << ipv6 + icmp << QByteArray();
        QTest::newRow("header longer than packet") << overlong << QByteArray();
        QTest::newRow("too short") << QByteArray(10, '\x45') << QByteArray();
    }
    void ipHeaderIsSkipped()
    {
        QFETCH(QByteArray, packet);
        QFETCH(QByteArray, icmp);
        QCOMPARE(IcmpEcho::stripIpHeader(packet), icmp);
    }

    void rawSocketOnLoopback()
    {
        if (geteuid() != 0)
            QSKIP("a raw socket needs CAP_NET_RAW");
        QVERIFY(IcmpEcho::echo(loopback, label, 2000, SocketKind::Raw));
        // The raw socket also sees our own request on loopback; it is not the reply.
        QVERIFY(IcmpEcho::echo(loopback, QByteArray(), 2000, SocketKind::Raw));
    }

    // Whether datagram ICMP sockets are open to root is the namespace's
    // net.ipv4.ping_group_range; a lab namespace lets the test choose.
    void socketKinds_data()
    {
        QTest::addColumn<QString>("groupRange");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("answered");
        QTest::newRow("datagram allowed") << QStringLiteral("0 0") << int(SocketKind::Datagram) << true;
        QTest::newRow("datagram refused") << QStringLiteral("1 0") << int(SocketKind::Datagram) << false;
        QTest::newRow("automatic uses datagram") << QStringLiteral("0 0") << int(SocketKind::Automatic) << true;
        QTest::newRow("automatic falls back to raw") << QStringLiteral("1 0") << int(SocketKind::Automatic) << true;
        QTest::newRow("raw regardless") << QStringLiteral("1 0") << int(SocketKind::Raw) << true;
    }
    void socketKinds()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QFETCH(QString, groupRange);
        QFETCH(int, kind);
        QFETCH(bool, answered);
        NetLab lab;
        const QString pc = lab.addHost(QStringLiteral("pc"));
        const QString other = lab.addHost(QStringLiteral("peer"));
        QVERIFY2(lab.link(pc, QStringLiteral("veth0"), QStringLiteral("198.51.100.1/24"), other,
                     QStringLiteral("veth1"), QStringLiteral("198.51.100.2/24")),
            qPrintable(lab.lastError()));
        QVERIFY2(lab.sh(pc, QStringLiteral("sysctl -qw net.ipv4.ping_group_range='%1'").arg(groupRange)),
            qPrintable(lab.lastError()));
        const auto k = SocketKind(kind);
        const auto result = inNetns(pc, [k] {
            return std::pair { IcmpEcho::echo(loopback, label, 2000, k), IcmpEcho::echo(peer, label, 2000, k) };
        });
        QVERIFY(result);
        QCOMPARE(result->first, answered);
        QCOMPARE(result->second, answered);
    }

    // What a person is told when pings cannot work at all. Capabilities
    // belong to a thread, so the lab's worker thread may drop CAP_NET_RAW
    // alone.
    void unavailableReason_data()
    {
        QTest::addColumn<QString>("groupRange");
        QTest::addColumn<bool>("rawAllowed");
        QTest::addColumn<bool>("possible");
        QTest::newRow("datagram socket allowed") << QStringLiteral("0 0") << false << true;
        QTest::newRow("raw socket allowed") << QStringLiteral("1 0") << true << true;
        QTest::newRow("neither") << QStringLiteral("1 0") << false << false;
    }
    void unavailableReason()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QFETCH(QString, groupRange);
        QFETCH(bool, rawAllowed);
        QFETCH(bool, possible);
        NetLab lab;
        const QString pc = lab.addHost(QStringLiteral("pc"));
        QVERIFY2(lab.sh(pc, QStringLiteral("sysctl -qw net.ipv4.ping_group_range='%1'").arg(groupRange)),
            qPrintable(lab.lastError()));
        const auto result = inNetns(pc, [rawAllowed] {
            if (!rawAllowed && !dropNetRawForThisThread())
                return std::pair { false, QStringLiteral("capset failed") };
            return std::pair { true, IcmpEcho::unavailableReason() };
        });
        QVERIFY(result && result->first);
        const QString why = result->second;
        QCOMPARE(why.isEmpty(), possible);
        if (!possible) {
            QVERIFY2(
                why.startsWith(QStringLiteral("Pings cannot be sent, so every unit shows \"No\": ")), qPrintable(why));
            QVERIFY(why.contains(QStringLiteral("net.ipv4.ping_group_range")));
            QVERIFY(why.contains(QStringLiteral("CAP_NET_RAW")));
            QVERIFY(why.contains(QStringLiteral("setcap cap_net_raw+ep ") + QCoreApplication::applicationFilePath()));
            QVERIFY(!why.contains(QLatin1Char('\n')));
        }
    }
};

QTEST_MAIN(tst_IcmpEcho)
#include "tst_IcmpEcho.moc"
