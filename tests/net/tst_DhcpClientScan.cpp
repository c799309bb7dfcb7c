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
        const QByteArray none;
        QTest::newRow("ifupdown's dhclient") << QByteArray("dhclient")
                                             << QByteArray("/sbin/dhclient\0-4\0-v\0-i\0-pf\0/run/dhclient.eth0.pid\0"
                                                           "-lf\0/var/lib/dhcp/dhclient.eth0.leases\0eth0\0",
                                                    95)
                                             << none << true;
        QTest::newRow("dhclient of another interface")
            << QByteArray("dhclient") << QByteArray("dhclient\0-pf\0/run/x.pid\0eth1\0", 29) << none << false;
        QTest::newRow("dhclient for every interface")
            << QByteArray("dhclient") << QByteArray("dhclient\0", 9) << none << true;
        QTest::newRow("dhclient whose pid file is named like the interface")
            << QByteArray("dhclient") << QByteArray("dhclient\0-pf\0eth0\0eth1\0", 23) << none << false;
        QTest::newRow("IPv6 dhclient") << QByteArray("dhclient") << QByteArray("dhclient\0-6\0eth0\0", 17) << none
                                       << false;
        QTest::newRow("dhcpcd for the interface")
            << QByteArray("dhcpcd") << QByteArray("dhcpcd\0-q\0eth0\0", 15) << none << true;
        QTest::newRow("dhcpcd manager") << QByteArray("dhcpcd") << QByteArray("dhcpcd\0-M\0", 10) << none << true;
        QTest::newRow("networkd with a lease on the link")
            << QByteArray("systemd-network") << QByteArray("/lib/systemd/systemd-networkd\0", 30)
            << QByteArray("ADMIN_STATE=configured\nDHCP4_ADDRESS=192.0.2.7\n") << true;
        QTest::newRow("networkd with a static link")
            << QByteArray("systemd-network") << QByteArray("/lib/systemd/systemd-networkd\0", 30)
            << QByteArray("ADMIN_STATE=configured\n") << false;
        QTest::newRow("ended client not yet reaped") << QByteArray("dhclient") << QByteArray() << none << false;
        QTest::newRow("another program") << QByteArray("dnsmasq") << QByteArray("dnsmasq\0eth0\0", 13) << none << false;
    }
    void findsTheInterfacesClient()
    {
        QFETCH(QByteArray, comm);
        QFETCH(QByteArray, cmdline);
        QFETCH(QByteArray, networkdLink);
        QFETCH(bool, found);
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
        if (found)
            QCOMPARE(clients.first().pid, 4242);
        // The program's own client is never a foreign one.
        QVERIFY(scan.clientsOf(QStringLiteral("eth0"), 2, { 4242 }).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_DhcpClientScan)
#include "tst_DhcpClientScan.moc"
