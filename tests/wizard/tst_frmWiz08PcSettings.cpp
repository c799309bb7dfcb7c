// What the option page reads of the PC, from the PC namespace's real
// interface through the kernel backend: a PC set up by hand to use the unit
// as its gateway and DNS server, and a PC whose DHCP client (dhclient) took a
// lease from the LAN's server (dnsmasq) that names the unit for both.
#include "AddressRoad.h"
#include "PrivateEtc.h"
#include "wizard/frmWiz08.h"

#include <QFile>

#include <csignal>

using AddressRoad::BoxHand;

namespace {
// Stops the DHCP client the test started, by the pid it wrote.
struct ClientStop {
    QString pidFile;
    ~ClientStop()
    {
        QFile pid(pidFile);
        if (pid.open(QIODevice::ReadOnly)) {
            const qint64 n = pid.readAll().trimmed().toLongLong();
            if (n > 0)
                ::kill(pid_t(n), SIGTERM);
        }
    }
};
} // namespace

class tst_frmWiz08PcSettings : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    void pcPointsAtTheUnit_data()
    {
        QTest::addColumn<bool>("dhcp");
        QTest::newRow("static address, the unit as gateway and DNS server") << false;
        QTest::newRow("DHCP lease naming the unit") << true;
    }
    void pcPointsAtTheUnit()
    {
        QFETCH(bool, dhcp);
        AddressRoad::Bench bench;
        QVERIFY2(bench.build(), qPrintable(bench.lastError()));
        PrivateEtc etc;
        QVERIFY2(
            etc.start(dhcp ? "nameserver 203.0.113.53\n" : "nameserver 198.51.100.10\n"), qPrintable(etc.lastError()));
        QTemporaryDir& dir = bench.dir;
        ClientStop client { dir.filePath(QStringLiteral("dhclient.pid")) };
        if (dhcp) {
            QProcess* server = bench.lan.startOnUnitSide({ "dnsmasq", "--no-daemon", "--conf-file=/dev/null",
                "--interface=eth0", "--bind-interfaces", "--port=0", "--user=root",
                "--dhcp-range=198.51.100.100,198.51.100.110,255.255.255.0,10m", "--dhcp-option=3,198.51.100.10",
                "--dhcp-option=6,198.51.100.10", "--pid-file=" + dir.filePath(QStringLiteral("dnsmasq.pid")),
                "--dhcp-leasefile=" + dir.filePath(QStringLiteral("dnsmasq.leases")) });
            QVERIFY(server && server->state() != QProcess::NotRunning);
            QVERIFY(bench.lan.onPcSide(QStringLiteral("ip addr flush dev eth0")));
            // Returns once the client holds a lease and has gone to the background.
            QVERIFY(bench.lan.onPcSide(QStringLiteral("dhclient -4 -pf %1 -lf %2 eth0")
                                           .arg(client.pidFile, dir.filePath(QStringLiteral("dhclient.leases")))));
        } else {
            QVERIFY(bench.lan.onPcSide(QStringLiteral("ip route add default via 198.51.100.10")));
        }
        QVERIFY(bench.startUnits(AddressRoad::oneUnit({ "--lan-dhcp-server", dhcp ? "1" : "0" })));
        Journey::Run run;
        Journey::inEventLoop([&] {
            BoxHand hand;
            frmWiz08* page = AddressRoad::reachOptionPage(run);
            QVERIFY(page);
            const WizardState& s = run.program.wizardState();
            QCOMPARE(s.PCUsesDHCP, dhcp);
            QVERIFY(s.PCGatewayIsUnit);
            QVERIFY(s.PCDNSIsUnit);
            QCOMPARE(page->lblResults->text().split(QLatin1Char('\n')).value(1),
                dhcp ? QStringLiteral("This PC IS configured to use a DHCP server.")
                     : QStringLiteral("The PC is NOT configured to use a DHCP server."));
            QCOMPARE(hand.boxes.size(), 1);
            page->close();
        });
    }
};

QTEST_MAIN(tst_frmWiz08PcSettings)
#include "tst_frmWiz08PcSettings.moc"
