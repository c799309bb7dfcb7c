#include "net/DhcpClientScan.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
bool write(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}
} // namespace

// Which processes of a /proc tree count as a DHCP client of eth0 (index 2).
class tst_DhcpClientScan : public QObject {
    Q_OBJECT
private slots:
    void findsTheInterfacesClient_data()
    {
        QTest::addColumn<QByteArray>("comm");
        QTest::addColumn<QByteArray>("cmdline");
        QTest::addColumn<QByteArray>("networkdLink");
        QTest::addColumn<bool>("found");
        // Whether it keeps leases on other links too, so that it is never stopped for eth0.
        QTest::addColumn<bool>("others");
        const QByteArray none;
        const auto row
            = [](const char* name, const char* comm, const QByteArray& cmdline, const QByteArray& link, bool found,
                  bool others) { QTest::newRow(name) << QByteArray(comm) << cmdline << link << found << others; };
        const auto args = [](std::initializer_list<const char*> words) {
            QByteArray out;
            for (const char* w : words)
                out += QByteArray(w) + '\0';
            return out;
        };
        row("ifupdown's dhclient", "dhclient",
            args({ "/sbin/dhclient", "-4", "-v", "-i", "-pf", "/run/dhclient.eth0.pid", "-lf",
                "/var/lib/dhcp/dhclient.eth0.leases", "eth0" }),
            none, true, false);
        row("dhclient of another interface", "dhclient", args({ "dhclient", "-pf", "/run/x.pid", "eth1" }), none, false,
            true);
        row("dhclient for every interface", "dhclient", args({ "dhclient" }), none, true, true);
        row("dhclient for this interface and another", "dhclient", args({ "dhclient", "eth0", "eth1" }), none, true,
            true);
        row("dhclient whose pid file is named like the interface", "dhclient",
            args({ "dhclient", "-pf", "eth0", "eth1" }), none, false, true);
        row("IPv6 dhclient", "dhclient", args({ "dhclient", "-6", "eth0" }), none, false, false);
        row("dhcpcd for the interface", "dhcpcd", args({ "dhcpcd", "-q", "eth0" }), none, true, false);
        row("dhcpcd for the interface with a hook left out", "dhcpcd",
            args({ "dhcpcd", "-4", "--nohook", "resolv.conf", "eth0" }), none, true, false);
        row("dhcpcd manager", "dhcpcd", args({ "dhcpcd", "-M" }), none, true, true);
        row("dhcpcd manager told of one interface", "dhcpcd", args({ "dhcpcd", "-M", "eth0" }), none, true, true);
        // What dhcpcd 9 shows in place of its arguments.
        row("dhcpcd 9 manager", "dhcpcd", args({ "dhcpcd: [manager] [ip4] [ip6]" }), none, true, true);
        row("dhcpcd 9 instance of the interface", "dhcpcd", args({ "dhcpcd: eth0 [ip4]" }), none, true, false);
        row("dhcpcd 9 instance of another interface", "dhcpcd", args({ "dhcpcd: eth1 [ip4]" }), none, false, false);
        row("dhcpcd 9 instance without IPv4", "dhcpcd", args({ "dhcpcd: eth0 [ip6]" }), none, false, false);
        row("dhcpcd 9 helper of the instance", "dhcpcd", args({ "dhcpcd: [privileged proxy] eth0 [ip4]" }), none, false,
            false);
        row("dhcpcd 9 packet filter of the interface", "dhcpcd", args({ "dhcpcd: [BPF ARP] eth0 192.0.2.7" }), none,
            false, false);
        row("networkd with a lease on the link", "systemd-network", args({ "/lib/systemd/systemd-networkd" }),
            "ADMIN_STATE=configured\nDHCP4_ADDRESS=192.0.2.7\n", true, true);
        row("networkd with a static link", "systemd-network", args({ "/lib/systemd/systemd-networkd" }),
            "ADMIN_STATE=configured\n", false, true);
        row("ended client not yet reaped", "dhclient", QByteArray(), none, false, false);
        row("another program", "dnsmasq", args({ "dnsmasq", "eth0" }), none, false, false);
    }
    void findsTheInterfacesClient()
    {
        QFETCH(QByteArray, comm);
        QFETCH(QByteArray, cmdline);
        QFETCH(QByteArray, networkdLink);
        QFETCH(bool, found);
        QFETCH(bool, others);
        QTemporaryDir dir;
        const QString proc = dir.path() + QStringLiteral("/proc");
        QVERIFY(write(proc + QStringLiteral("/4242/comm"), comm + '\n'));
        QVERIFY(write(proc + QStringLiteral("/4242/cmdline"), cmdline));
        QVERIFY(write(proc + QStringLiteral("/self/comm"), "x\n"));
        if (!networkdLink.isEmpty())
            QVERIFY(write(dir.path() + QStringLiteral("/netif/links/2"), networkdLink));
        const DhcpClientScan scan(proc, dir.path() + QStringLiteral("/netif"));
        const QList<DhcpClientScan::Client> clients = scan.clientsOf(QStringLiteral("eth0"), 2);
        QCOMPARE(clients.size(), found ? 1 : 0);
        if (found) {
            QCOMPARE(clients.first().pid, 4242);
            QCOMPARE(clients.first().servesOtherLinks, others);
        }
        // The program's own client is never a foreign one.
        QVERIFY(scan.clientsOf(QStringLiteral("eth0"), 2, { 4242 }).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_DhcpClientScan)
#include "tst_DhcpClientScan.moc"
