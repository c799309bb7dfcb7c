#include "NetLab.h"
#include "RecordingPrompts.h"
#include "SysfsFixture.h"
#include "net/CAdapterHelper.h"

#include <QNetworkInterface>
#include <QTest>

namespace {
SysfsFixture::Iface iface(const QString& name, int index, int arphrd = 1, int addrLen = 6)
{
    SysfsFixture::Iface i;
    i.name = name;
    i.index = index;
    i.arphrd = arphrd;
    i.addrLen = addrLen;
    if (addrLen == 0)
        i.address.clear();
    return i;
}
} // namespace

class tst_CAdapterHelper : public QObject {
    Q_OBJECT
private slots:
    void adaptersCarryFirstAddressAndMac()
    {
        SysfsFixture fx;
        fx.add(iface(QStringLiteral("eth0"), 2));
        auto wl = iface(QStringLiteral("wlan0"), 3);
        wl.address = QStringLiteral("a4:5e:60:01:02:0f");
        wl.dirs = { QStringLiteral("phy80211") };
        fx.add(wl);
        fx.add(iface(QStringLiteral("ppp0"), 4, 512, 0));
        fx.add(iface(QStringLiteral("lo"), 1, 772));
        const Ipv4AddressSource addresses = [] {
            return QList<Ipv4Assignment> {
                { QStringLiteral("lo"), QStringLiteral("127.0.0.1"), QStringLiteral("255.0.0.0") },
                { QStringLiteral("wlan0"), QStringLiteral("198.51.100.7"), QStringLiteral("255.255.255.0") },
                { QStringLiteral("wlan0"), QStringLiteral("203.0.113.9"), QStringLiteral("255.255.255.128") },
                { QStringLiteral("ppp0"), QStringLiteral("203.0.113.1"), QStringLiteral("255.255.255.255") },
            };
        };
        CAdapterHelper helper(fx.root(), nullptr, addresses);
        const auto list = helper.Adapters();
        QCOMPARE(list->Count(), 4);

        const auto eth = list->Item(QStringLiteral("2"));
        QVERIFY(eth);
        QCOMPARE(eth->IPAddress(), QStringLiteral("0.0.0.0"));
        QCOMPARE(eth->mask(), QString());
        QCOMPARE(eth->InterfaceType(), 6);
        QCOMPARE(eth->AdapterAddress(), QStringLiteral("00:0A:95:9D:68:16"));
        QCOMPARE(eth->AdapterAddressByte(), QByteArray::fromHex("000a959d6816"));
        QVERIFY(!eth->DHCPEnabled());

        const auto wlan = list->Item(QStringLiteral("3"));
        QCOMPARE(wlan->InterfaceType(), 71);
        QCOMPARE(wlan->InterfaceName(), QStringLiteral("wlan0"));
        QCOMPARE(wlan->IPAddress(), QStringLiteral("198.51.100.7"));
        QCOMPARE(wlan->mask(), QStringLiteral("255.255.255.0"));
        QCOMPARE(wlan->AdapterAddress(), QStringLiteral("A4:5E:60:01:02:0F"));

        const auto ppp = list->Item(QStringLiteral("4"));
        QCOMPARE(ppp->InterfaceType(), 23);
        QCOMPARE(ppp->AdapterAddress(), QString());
        QVERIFY(ppp->AdapterAddressByte().isEmpty());

        QCOMPARE(list->Item(1)->InterfaceType(), 24);
        QCOMPARE(list->Item(1)->IPAddress(), QStringLiteral("127.0.0.1"));
    }

    void linkSwitchedOffIsNoAdapter_data()
    {
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QString>("operstate");
        QTest::addColumn<bool>("listed");
        QTest::newRow("up and running") << QStringLiteral("0x1003") << QStringLiteral("up") << true;
        // A cable pulled is no reason to hide the adapter: the person plugs it in.
        QTest::newRow("up without carrier") << QStringLiteral("0x1003") << QStringLiteral("lowerlayerdown") << true;
        QTest::newRow("administratively down") << QStringLiteral("0x1002") << QStringLiteral("down") << false;
        QTest::newRow("down, no other flag") << QStringLiteral("0x0") << QStringLiteral("down") << false;
    }
    void linkSwitchedOffIsNoAdapter()
    {
        QFETCH(QString, flags);
        QFETCH(QString, operstate);
        QFETCH(bool, listed);
        SysfsFixture fx;
        auto eth = iface(QStringLiteral("eth0"), 2);
        eth.flags = flags;
        eth.operstate = operstate;
        fx.add(eth);
        fx.add(iface(QStringLiteral("eth1"), 3));
        // The down link still holds its address, as "ip link set down" leaves it.
        CAdapterHelper helper(fx.root(), nullptr, [] {
            return QList<Ipv4Assignment> {
                { QStringLiteral("eth0"), QStringLiteral("198.51.100.7"), QStringLiteral("255.255.255.0") },
                { QStringLiteral("eth1"), QStringLiteral("203.0.113.9"), QStringLiteral("255.255.255.0") },
            };
        });
        const auto list = helper.Adapters();
        QCOMPARE(bool(list->Item(QStringLiteral("2"))), listed);
        QVERIFY(list->Item(QStringLiteral("3")));
        QCOMPARE(list->Count(), listed ? 2 : 1);
    }

    void enslavedLinkIsNoAdapter_data()
    {
        QTest::addColumn<QString>("master");
        QTest::addColumn<bool>("listed");
        QTest::newRow("bridge port") << QStringLiteral("br0") << false;
        QTest::newRow("bond member") << QStringLiteral("bond0") << false;
        QTest::newRow("plain link under a VLAN") << QString() << true;
    }
    void enslavedLinkIsNoAdapter()
    {
        QFETCH(QString, master);
        QFETCH(bool, listed);
        SysfsFixture fx;
        auto eth = iface(QStringLiteral("eth0"), 2);
        eth.master = master;
        if (master.isEmpty())
            eth.uppers = { QStringLiteral("eth0.10") };
        fx.add(eth);
        // The upper link carries the lower one's MAC, as on a real PC.
        auto upper = iface(master.isEmpty() ? QStringLiteral("eth0.10") : master, 3);
        fx.add(upper);
        // An address on the port as well: traffic to it is still its master's.
        CAdapterHelper helper(fx.root(), nullptr, [] {
            return QList<Ipv4Assignment> {
                { QStringLiteral("eth0"), QStringLiteral("198.51.100.7"), QStringLiteral("255.255.255.0") },
            };
        });
        const auto list = helper.Adapters();
        QCOMPARE(bool(list->Item(QStringLiteral("2"))), listed);
        QVERIFY(list->Item(QStringLiteral("3")));
    }

    void dhcpComesFromTheHook()
    {
        SysfsFixture fx;
        fx.add(iface(QStringLiteral("eth0"), 2));
        auto other = iface(QStringLiteral("eth1"), 3);
        other.address = QStringLiteral("02:00:00:00:00:01");
        fx.add(other);
        QStringList asked;
        CAdapterHelper helper(
            fx.root(), nullptr, [] { return QList<Ipv4Assignment> {}; },
            [&asked](qint32 ifindex, const QString& mac) {
                asked << QStringLiteral("%1 %2").arg(ifindex).arg(mac);
                return mac == QLatin1String("00:0A:95:9D:68:16");
            });
        const auto list = helper.Adapters();
        // Listing asks nothing: the flag is read when someone wants it, once.
        QVERIFY(asked.isEmpty());
        QVERIFY(list->Item(QStringLiteral("2"))->DHCPEnabled());
        QVERIFY(!list->Item(QStringLiteral("3"))->DHCPEnabled());
        QVERIFY(list->Item(QStringLiteral("2"))->DHCPEnabled());
        // Each adapter is asked about by its own index, so that a link sharing
        // its MAC (a VLAN on it) does not answer for it.
        QCOMPARE(asked, (QStringList { QStringLiteral("2 00:0A:95:9D:68:16"), QStringLiteral("3 02:00:00:00:00:01") }));
    }

    void unreadableListSaysSo()
    {
        RecordingPrompts prompts;
        CAdapterHelper helper(QStringLiteral("/nonexistent/class/net"), &prompts);
        QCOMPARE(helper.Adapters()->Count(), 0);
        QCOMPARE(prompts.texts(), QStringList { QStringLiteral("IP Helper is not supported by this system.") });
        QVERIFY(prompts.boxes[0].title.isEmpty());
        // Without a prompter nothing is shown, and the list stays empty.
        CAdapterHelper quiet(QStringLiteral("/nonexistent/class/net"));
        QCOMPARE(quiet.Adapters()->Count(), 0);
    }

    void setterReplacesTheCurrentList()
    {
        CAdapterHelper helper(QStringLiteral("/nonexistent"));
        auto mine = std::make_shared<CAdapters>();
        helper.setAdapters(mine);
        // A read is always fresh; it does not hand back what was set.
        QVERIFY(helper.Adapters() != mine);
    }

    // The kernel's own list, in a namespace that holds loopback, a veth up
    // with two addresses and a veth pair left down: the adapters as the lab
    // made them, each with its first address. (The test's thread stays in
    // that namespace; the tests before it read fixtures only.)
    void theKernelsOwnList()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        NetLab lab;
        const NetLab::Cable lan = lab.cable(
            QStringLiteral("192.0.2.1/24"), QStringLiteral("192.0.2.2/24"), QStringLiteral("02:00:5e:00:00:a1"));
        QVERIFY2(!lan.pc.isEmpty(), qPrintable(lab.lastError()));
        QVERIFY2(
            lab.run(lan.pc, { "ip", "addr", "add", "198.51.100.7/25", "dev", "eth0" }), qPrintable(lab.lastError()));
        QVERIFY2(lab.run(lan.pc, { "ip", "link", "add", "spare0", "type", "veth", "peer", "name", "spare1" }),
            qPrintable(lab.lastError()));
        QVERIFY2(lab.enter(lan.pc), qPrintable(lab.lastError()));

        CAdapterHelper helper;
        const auto list = helper.Adapters();
        QCOMPARE(list->Count(), 2);
        const auto lo = list->Item(QString::number(QNetworkInterface::interfaceIndexFromName(QStringLiteral("lo"))));
        QVERIFY(lo);
        QCOMPARE(lo->InterfaceName(), QStringLiteral("lo"));
        QCOMPARE(lo->InterfaceType(), 24);
        QCOMPARE(lo->IPAddress(), QStringLiteral("127.0.0.1"));
        QCOMPARE(lo->mask(), QStringLiteral("255.0.0.0"));
        const auto eth = list->Item(QString::number(QNetworkInterface::interfaceIndexFromName(QStringLiteral("eth0"))));
        QVERIFY(eth);
        QCOMPARE(eth->InterfaceName(), QStringLiteral("eth0"));
        QCOMPARE(eth->InterfaceType(), 6);
        QCOMPARE(eth->IPAddress(), QStringLiteral("192.0.2.1"));
        QCOMPARE(eth->mask(), QStringLiteral("255.255.255.0"));
        QCOMPARE(eth->AdapterAddress(), QStringLiteral("02:00:5E:00:00:A1"));
        QCOMPARE(eth->AdapterAddressByte(), QByteArray::fromHex("02005e0000a1"));
        // The pair that was never switched on is no adapter.
        QVERIFY(!list->Item(QString::number(QNetworkInterface::interfaceIndexFromName(QStringLiteral("spare0")))));
    }
};

QTEST_MAIN(tst_CAdapterHelper)
#include "tst_CAdapterHelper.moc"
