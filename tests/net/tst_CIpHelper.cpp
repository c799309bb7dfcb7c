#include "NetLab.h"
#include "RecordingPrompts.h"
#include "SysfsFixture.h"
#include "net/CIpHelper.h"

#include <QNetworkInterface>
#include <QTest>

Q_DECLARE_METATYPE(SysfsFixture::Iface)

namespace {
Ipv4AddressSource fixedAddresses(QList<Ipv4Assignment> list)
{
    return [list] { return list; };
}

void writeStat(const SysfsFixture& fx, const QString& iface, const QString& counter, const QString& value)
{
    QFile f(fx.root() + QLatin1Char('/') + iface + QStringLiteral("/statistics/") + counter);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(value.toLatin1() + '\n');
}
} // namespace

class tst_CIpHelper : public QObject {
    Q_OBJECT
private slots:
    void rowsCarryTheKernelsValues()
    {
        SysfsFixture fx;
        fx.add({ .name = QStringLiteral("eth0"), .index = 2, .mtu = 9000, .speed = QStringLiteral("100") });
        QTemporaryDir drivers;
        QVERIFY(QDir().mkpath(drivers.path() + QStringLiteral("/e1000e")));
        QVERIFY(QDir().mkpath(fx.root() + QStringLiteral("/eth0/device")));
        QVERIFY(
            QFile::link(drivers.path() + QStringLiteral("/e1000e"), fx.root() + QStringLiteral("/eth0/device/driver")));
        writeStat(fx, QStringLiteral("eth0"), QStringLiteral("rx_bytes"), QStringLiteral("6000000000"));
        writeStat(fx, QStringLiteral("eth0"), QStringLiteral("tx_bytes"), QStringLiteral("1234"));
        writeStat(fx, QStringLiteral("eth0"), QStringLiteral("rx_packets"), QStringLiteral("100"));
        writeStat(fx, QStringLiteral("eth0"), QStringLiteral("multicast"), QStringLiteral("30"));
        writeStat(fx, QStringLiteral("eth0"), QStringLiteral("tx_packets"), QStringLiteral("40"));
        writeStat(fx, QStringLiteral("eth0"), QStringLiteral("rx_errors"), QStringLiteral("3"));
        writeStat(fx, QStringLiteral("eth0"), QStringLiteral("tx_errors"), QStringLiteral("4"));
        writeStat(fx, QStringLiteral("eth0"), QStringLiteral("rx_dropped"), QStringLiteral("5"));
        writeStat(fx, QStringLiteral("eth0"), QStringLiteral("tx_dropped"), QStringLiteral("6"));
        writeStat(fx, QStringLiteral("eth0"), QStringLiteral("rx_nohandler"), QStringLiteral("7"));

        CIpHelper helper(fx.root(), nullptr, fixedAddresses({}));
        const auto rows = helper.Interfaces();
        QCOMPARE(rows->Count(), 1);
        const auto r = rows->Item(QStringLiteral("2"));
        QVERIFY(r);
        QCOMPARE(r->InterfaceName(), QStringLiteral("eth0"));
        QCOMPARE(r->InterfaceIndex(), 2);
        QCOMPARE(r->InterfaceType(), 6);
        QCOMPARE(r->MaximumTransmissionUnit(), 9000);
        QCOMPARE(r->Speed(), 100'000'000);
        QCOMPARE(r->OperationalStatus(), 1);
        QCOMPARE(r->AdminStatus(), 1);
        QCOMPARE(r->AdapterAddress(), QStringLiteral("00-0A-95-9D-68-16"));
        // A device no hardware database names (this one is no PCI or USB
        // device) is described by the interface's name.
        QCOMPARE(r->InterfaceDescription(), QStringLiteral("eth0"));
        // 6000000000 does not fit: its low 32 bits stay, bit for bit.
        QCOMPARE(r->OctetsReceived(), qint32(quint32(6000000000ull & 0xffffffffu)));
        QCOMPARE(r->OctetsSent(), 1234);
        QCOMPARE(r->UnicastPacketsReceived(), 70);
        QCOMPARE(r->NonunicastPacketsReceived(), 30);
        QCOMPARE(r->UnicastPacketsSent(), 40);
        QCOMPARE(r->IncomingErrors(), 3);
        QCOMPARE(r->OutgoingErrors(), 4);
        QCOMPARE(r->DiscardedIncomingPackets(), 5);
        QCOMPARE(r->DiscardedOutgoingPackets(), 6);
        QCOMPARE(r->UnknownProtocolPackets(), 7);
        QCOMPARE(r->LastChange(), qint64(0));
        // The sums use the full counters.
        QCOMPARE(helper.BytesReceived(), qint64(6000000000));
        QCOMPARE(helper.BytesSent(), qint64(1234));
    }

    void kindsOfInterface_data()
    {
        QTest::addColumn<SysfsFixture::Iface>("iface");
        QTest::addColumn<qint32>("type");
        QTest::addColumn<QString>("mac");
        QTest::addColumn<qint32>("oper");
        QTest::addColumn<qint32>("admin");
        QTest::addColumn<qint32>("speed");

        using I = SysfsFixture::Iface;
        QTest::newRow("wired") << I { .name = QStringLiteral("eth0") } << 6 << QStringLiteral("00-0A-95-9D-68-16") << 1
                               << 1 << 1'000'000'000;
        QTest::newRow("wireless by wireless/")
            << I { .name = QStringLiteral("wlan0"), .dirs = { QStringLiteral("wireless") } } << 71
            << QStringLiteral("00-0A-95-9D-68-16") << 1 << 1 << 1'000'000'000;
        QTest::newRow("wireless by phy80211")
            << I { .name = QStringLiteral("wlp2s0"), .dirs = { QStringLiteral("phy80211") } } << 71
            << QStringLiteral("00-0A-95-9D-68-16") << 1 << 1 << 1'000'000'000;
        QTest::newRow("wireless by DEVTYPE") << I { .name = QStringLiteral("wlx0"),
            .extra = { { QStringLiteral("uevent"), QStringLiteral("DEVTYPE=wlan\nINTERFACE=wlx0") } } }
                                             << 71 << QStringLiteral("00-0A-95-9D-68-16") << 1 << 1 << 1'000'000'000;
        QTest::newRow("ppp, zero-length MAC") << I { .name = QStringLiteral("ppp0"),
            .arphrd = 512,
            .addrLen = 0,
            .address = QString(),
            .operstate = QStringLiteral("unknown"),
            .flags = QStringLiteral("0x10d1"),
            .speed = QString() } << 23 << QString()
                                              << 4 << 1 << 0;
        QTest::newRow("loopback") << I { .name = QStringLiteral("lo"),
            .arphrd = 772,
            .address = QStringLiteral("00:00:00:00:00:00"),
            .operstate = QStringLiteral("unknown"),
            .flags = QStringLiteral("0x9"),
            .speed = QString() } << 24
                                  << QStringLiteral("00-00-00-00-00-00") << 4 << 1 << 0;
        QTest::newRow("down, speed refused") << I { .name = QStringLiteral("eth1"),
            .operstate = QStringLiteral("down"),
            .flags = QStringLiteral("0x1002"),
            .speed = QString() } << 6 << QStringLiteral("00-0A-95-9D-68-16")
                                             << 2 << 2 << 0;
        QTest::newRow("unknown speed -1") << I { .name = QStringLiteral("eth2"), .speed = QStringLiteral("-1") } << 6
                                          << QStringLiteral("00-0A-95-9D-68-16") << 1 << 1 << 0;
        QTest::newRow("10 Gb/s tops out") << I { .name = QStringLiteral("eth3"), .speed = QStringLiteral("10000") } << 6
                                          << QStringLiteral("00-0A-95-9D-68-16") << 1 << 1 << -1;
        QTest::newRow("tunnel is other") << I {
            .name = QStringLiteral("tun0"), .arphrd = 65534, .addrLen = 0, .address = QString()
        } << 1 << QString() << 1 << 1 << 1'000'000'000;
    }
    void kindsOfInterface()
    {
        QFETCH(SysfsFixture::Iface, iface);
        QFETCH(qint32, type);
        QFETCH(QString, mac);
        QFETCH(qint32, oper);
        QFETCH(qint32, admin);
        QFETCH(qint32, speed);
        SysfsFixture fx;
        iface.index = 7;
        fx.add(iface);
        CIpHelper helper(fx.root(), nullptr, fixedAddresses({}));
        const auto r = helper.Interfaces()->Item(QStringLiteral("7"));
        QVERIFY(r);
        QCOMPARE(r->InterfaceType(), type);
        QCOMPARE(r->AdapterAddress(), mac);
        QCOMPARE(r->AdapterAddressByte().size(), mac.isEmpty() ? 0 : 6);
        QCOMPARE(r->OperationalStatus(), oper);
        QCOMPARE(r->AdminStatus(), admin);
        QCOMPARE(r->Speed(), speed);
        // No driver link in the fixture: the interface's own name describes it,
        // or its DEVTYPE.
        QVERIFY(r->InterfaceDescription().contains(iface.name));
    }

    void rowsComeInIndexOrderAndAliasDescribes()
    {
        SysfsFixture fx;
        fx.add({ .name = QStringLiteral("aaa"), .index = 9 });
        fx.add({ .name = QStringLiteral("zzz"),
            .index = 3,
            .extra = { { QStringLiteral("ifalias"), QStringLiteral("Uplink  port") } } });
        fx.add({ .name = QStringLiteral("lo"), .index = 1, .arphrd = 772 });
        // Half a directory, as when an interface goes away during the read.
        QDir().mkpath(fx.root() + QStringLiteral("/gone"));
        CIpHelper helper(fx.root(), nullptr, fixedAddresses({}));
        const auto rows = helper.Interfaces();
        QStringList names;
        for (const auto& r : *rows)
            names << r->InterfaceName();
        QCOMPARE(names, (QStringList { QStringLiteral("lo"), QStringLiteral("zzz"), QStringLiteral("aaa") }));
        QCOMPARE(rows->Item(1)->InterfaceName(), QStringLiteral("lo"));
        QCOMPARE(rows->Item(QStringLiteral("3"))->InterfaceDescription(), QStringLiteral("Uplink  port"));
        QVERIFY(!rows->Item(QStringLiteral("4")));
    }

    void eachReadIsFresh()
    {
        SysfsFixture fx;
        fx.add({ .name = QStringLiteral("eth0"), .index = 2 });
        CIpHelper helper(fx.root(), nullptr, fixedAddresses({}));
        const auto first = helper.Interfaces();
        fx.add({ .name = QStringLiteral("eth1"), .index = 3 });
        const auto second = helper.Interfaces();
        QVERIFY(first != second);
        QCOMPARE(first->Count(), 1);
        QCOMPARE(second->Count(), 2);
    }

    void sumsAreZeroBeforeAFill()
    {
        CIpHelper helper(QStringLiteral("/nonexistent"));
        QCOMPARE(helper.BytesReceived(), qint64(0));
        QCOMPARE(helper.BytesSent(), qint64(0));
    }

    void unreadableTableSaysSoEveryTime()
    {
        RecordingPrompts prompts;
        CIpHelper helper(QStringLiteral("/nonexistent/class/net"), &prompts);
        QCOMPARE(helper.Interfaces()->Count(), 0);
        QCOMPARE(helper.Interfaces()->Count(), 0);
        QCOMPARE(prompts.texts(), QStringList(2, QStringLiteral("IP Helper is not supported by this system.")));
        QCOMPARE(prompts.boxes[0].icon, UserPrompts::Icon::None);
        QVERIFY(prompts.boxes[0].title.isEmpty()); // the application title
        QVERIFY(!prompts.boxes[0].question);
    }

    void emptyTableIsNoError()
    {
        RecordingPrompts prompts;
        QTemporaryDir empty;
        CIpHelper helper(empty.path(), &prompts);
        QCOMPARE(helper.Interfaces()->Count(), 0);
        QVERIFY(prompts.boxes.isEmpty());
    }

    // The kernel's own table, in a namespace that holds loopback and one
    // veth with a known MTU and MAC: each row as the lab made it, and the
    // byte counters grow by what crosses the link. (The test's thread stays
    // in that namespace; the tests before it read fixtures only.)
    void theKernelsOwnTable()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        NetLab lab;
        const NetLab::Cable lan = lab.cable(
            QStringLiteral("192.0.2.1/24"), QStringLiteral("192.0.2.2/24"), QStringLiteral("02:00:5e:00:00:a1"));
        QVERIFY2(!lan.pc.isEmpty(), qPrintable(lab.lastError()));
        QVERIFY2(lab.run(lan.pc, { "ip", "link", "set", "eth0", "mtu", "1400" }), qPrintable(lab.lastError()));
        QVERIFY2(lab.enter(lan.pc), qPrintable(lab.lastError()));

        CIpHelper helper;
        const auto rows = helper.Interfaces();
        QCOMPARE(rows->Count(), 2);
        const auto lo = rows->Item(QString::number(QNetworkInterface::interfaceIndexFromName(QStringLiteral("lo"))));
        const auto eth = rows->Item(QString::number(QNetworkInterface::interfaceIndexFromName(QStringLiteral("eth0"))));
        QVERIFY(lo && eth);
        QCOMPARE(lo->InterfaceName(), QStringLiteral("lo"));
        QCOMPARE(lo->InterfaceType(), 24);
        QCOMPARE(eth->InterfaceName(), QStringLiteral("eth0"));
        QCOMPARE(eth->InterfaceType(), 6);
        QCOMPARE(eth->MaximumTransmissionUnit(), 1400);
        QCOMPARE(eth->AdapterAddress(), QStringLiteral("02-00-5E-00-00-A1"));
        QCOMPARE(eth->OperationalStatus(), 1);

        // Ten echoes of 1000 bytes each way.
        const qint64 received = helper.BytesReceived();
        const qint64 sent = helper.BytesSent();
        QVERIFY2(lab.run(lan.units, { "ping", "-q", "-f", "-c", "10", "-s", "1000", "192.0.2.1" }),
            qPrintable(lab.lastError()));
        helper.Interfaces();
        QVERIFY2(helper.BytesReceived() - received >= 10 * 1000, qPrintable(QString::number(helper.BytesReceived())));
        QVERIFY2(helper.BytesSent() - sent >= 10 * 1000, qPrintable(QString::number(helper.BytesSent())));
    }
};

QTEST_MAIN(tst_CIpHelper)
#include "tst_CIpHelper.moc"
