// The simulated unit's Ethernet side, line by line as the wizard's address
// steps send it: which port faces the LAN, the factory address a reset brings
// back, "!" as a cleared value, and the DHCP discovery that needs an address.
#include "SimConfig.h"
#include "SimUnit.h"
#include "SimulatedClock.h"
#include "UnitCommandLanguage.h"

#include <QTest>

class tst_SimEthernet : public QObject {
    Q_OBJECT

private slots:
    // Each step: a line sent and a text its reply must hold; the line "wait"
    // lets the unit's restart pass instead.
    void lines_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("factory");
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("no address: no discovery until one is lent")
            << "Calvantor KR5004 Router"
            << "0.0.0.0"
            << ""
            << QStringList { "dhcpcli discover eth 0", "ERROR", "eth 0 ipaddr \"192.168.0.99\"", "OK",
                   "dhcpcli discover eth 0", "DHCP server discovered", "eth 0 ipaddr \"!\"", "OK", "eth 0 ipaddr ?",
                   "eth 0 ipaddr: \"\"", "dhcpcli discover eth 0", "ERROR" };
        QTest::newRow("KR5012 faces the LAN on eth 1")
            << "Calvantor KR5012 Router"
            << "198.51.100.10"
            << ""
            << QStringList { "eth 1 ipaddr ?", "198.51.100.10", "eth 0 ipaddr ?", "0.0.0.0", "dhcpcli discover eth 1",
                   "DHCP server discovered", "dhcpcli discover eth 0", "ERROR" };
        QTest::newRow("reset and restart bring the factory address")
            << "Calvantor KR5004 Router"
            << "198.51.100.10"
            << "192.168.0.99"
            << QStringList { "copy config.fac config.da0", "OK", "eth 0 ipaddr ?", "198.51.100.10", "reboot", "OK",
                   "wait", "", "eth 0 ipaddr ?", "192.168.0.99", "eth 0 mask ?", "255.255.255.0" };
        QTest::newRow("a saved configuration outlives a restart")
            << "Calvantor KR5004 Router"
            << "198.51.100.10"
            << "192.168.0.99"
            << QStringList { "eth 0 ipaddr \"198.51.100.20\"", "OK", "config 0 save", "Power Up Profile:", "reboot",
                   "OK", "wait", "", "eth 0 ipaddr ?", "198.51.100.20" };
    }
    void lines()
    {
        QFETCH(QString, model);
        QFETCH(QString, address);
        QFETCH(QString, factory);
        QFETCH(QStringList, steps);
        SimulatedClock clock;
        SimConfig config;
        config.lanDhcpServer = true;
        config.factoryAddress = factory;
        UnitCommandLanguage unit(clock, config);
        SimUnit sim(QStringLiteral("10"), QByteArray::fromHex("0050c2aa0010"), address, QStringLiteral("1"),
            QStringLiteral("CV100"), model);
        for (qsizetype i = 0; i + 1 < steps.size(); i += 2) {
            if (steps[i] == u"wait") {
                clock.advance(config.rebootDownMs);
                continue;
            }
            const QString reply = QString::fromLatin1(unit.execute(sim, steps[i].toLatin1()));
            QVERIFY2(reply.contains(steps[i + 1]), qPrintable(steps[i] + QStringLiteral(" -> ") + reply));
        }
    }
};

QTEST_GUILESS_MAIN(tst_SimEthernet)
#include "tst_SimEthernet.moc"
