#include "AdapterEntries.h"
#include "NetLab.h"
#include "NetworkManagerLab.h"
#include "RecordingPrompts.h"
#include "net/ModQarWmi.h"
#include "net/NetworkManagerAdapterConfig.h"
#include "net/SystemClock.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QTest>

namespace {
const QByteArray pcMac = QByteArray::fromHex("020a959d7101");
} // namespace

// The NetworkManager backend against the real daemon, in namespaces of the
// test's own: the PC's end of a veth pair is managed by NetworkManager from a
// saved DHCP profile; the unit's end runs a DHCP server that answers offers
// after three seconds.
class tst_NetworkManagerDaemon : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (const QString why = NetworkManagerLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        m_pc = m_lab.addHost(QStringLiteral("nmpc"));
        m_unit = m_lab.addHost(QStringLiteral("nmunit"));
        QVERIFY2(!m_pc.isEmpty() && !m_unit.isEmpty(), qPrintable(m_lab.lastError()));
        QVERIFY2(m_lab.link(m_pc, QStringLiteral("lwnm0"), QString(), m_unit, QStringLiteral("lwnmu0"),
                     QStringLiteral("198.51.100.1/24"), QStringLiteral("02:0a:95:9d:71:01")),
            qPrintable(m_lab.lastError()));
        QVERIFY2(m_nm.startDhcpServer(m_unit, QStringLiteral("lwnmu0"), 3), qPrintable(m_nm.error()));
        QVERIFY2(m_nm.start(m_pc, QStringLiteral("lwnm0")), qPrintable(m_nm.error()));
        QFile profile(m_nm.profilePath());
        QVERIFY(profile.open(QIODevice::ReadOnly));
        m_profile = profile.readAll();
        m_config = std::make_unique<NetworkManagerAdapterConfig>(m_clock, m_nm.bus());
        QVERIFY(m_config->available());
    }

    void readsTheLease()
    {
        const InterfaceEntry pc = entryFor(pcMac);
        qint32 index = 0;
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_config, pc), 1);
        QVERIFY(inLeaseRange(ModQar::WmiGetIPAddress(*m_config, pc, index)));
        QCOMPARE(ModQar::WmiGetIPSubnet(*m_config, pc, index), QStringLiteral("255.255.255.0"));
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), QStringLiteral("198.51.100.1"));
        QCOMPARE(ModQar::WmiGetDnsServer(*m_config, pc), QStringLiteral("198.51.100.1"));
        // The daemon's loopback device is no adapter of the PC's.
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_config, entryFor(QByteArray(6, '\0'))), 2);
    }

    void gatewayAndDnsInDhcpMode()
    {
        const InterfaceEntry pc = entryFor(pcMac);
        QCOMPARE(ModQar::WmiSetGateways(*m_config, pc, QStringLiteral("198.51.100.2")), 0);
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), QStringLiteral("198.51.100.2"));
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_config, pc), 1);
        QCOMPARE(ModQar::WmiSetGateways(*m_config, pc, QStringLiteral("203.0.113.1")), 71);
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), QStringLiteral("198.51.100.2"));

        QCOMPARE(ModQar::WmiSetDnsServer(*m_config, pc, QStringLiteral("198.51.100.53")), 0);
        QCOMPARE(ModQar::WmiGetDnsServer(*m_config, pc), QStringLiteral("198.51.100.53"));
        RecordingPrompts prompts;
        QCOMPARE(ModQar::WmiClearWinsAndDns(*m_config, pc, prompts), 0);
        QVERIFY(prompts.boxes.isEmpty());
        // Cleared, the list is the one the lease brings.
        QTRY_COMPARE_WITH_TIMEOUT(ModQar::WmiGetDnsServer(*m_config, pc), QStringLiteral("198.51.100.1"), 15'000);
    }

    void staticAddressGatewayAndDns()
    {
        const InterfaceEntry pc = entryFor(pcMac);
        qint32 index = 0;
        QCOMPARE(
            ModQar::WmiEnableStatic(*m_config, pc, QStringLiteral("198.51.100.20"), QStringLiteral("255.255.255.0")),
            0);
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_config, pc), 0);
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, pc, index), QStringLiteral("198.51.100.20"));
        QCOMPARE(ModQar::WmiGetIPSubnet(*m_config, pc, index), QStringLiteral("255.255.255.0"));
        QCOMPARE(ModQar::WmiSetGateways(*m_config, pc, QStringLiteral("198.51.100.1")), 0);
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), QStringLiteral("198.51.100.1"));
        QCOMPARE(ModQar::WmiSetGateways(*m_config, pc, QStringLiteral("203.0.113.1")), 71);
        QCOMPARE(ModQar::WmiSetDnsServer(*m_config, pc, QStringLiteral("198.51.100.1")), 0);
        QCOMPARE(ModQar::WmiGetDnsServer(*m_config, pc), QStringLiteral("198.51.100.1"));

        // A new address on the same subnet keeps the gateway; metric 1 is
        // the default route's alone.
        QCOMPARE(
            ModQar::WmiEnableStatic(*m_config, pc, QStringLiteral("198.51.100.21"), QStringLiteral("255.255.255.0")),
            0);
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), QStringLiteral("198.51.100.1"));
        QString routes;
        QVERIFY(m_lab.sh(m_pc, QStringLiteral("ip -4 route show dev lwnm0"), &routes));
        QVERIFY2(routes.contains(QLatin1String("default via 198.51.100.1 proto static metric 1")), qPrintable(routes));
        QCOMPARE(routes.count(QLatin1String("metric 1 ")) + routes.count(QLatin1String("metric 1\n")), 1);
    }

    void enableDhcpAwaitsTheLease()
    {
        const InterfaceEntry pc = entryFor(pcMac);
        qint32 index = 0;
        m_nm.forgetLeases();
        QElapsedTimer took;
        took.start();
        QCOMPARE(ModQar::WmiEnableDhcp(*m_config, pc), 0);
        // The server answers the first offer after three seconds.
        QVERIFY2(took.elapsed() > 2500, qPrintable(QString::number(took.elapsed())));
        QVERIFY(inLeaseRange(ModQar::WmiGetIPAddress(*m_config, pc, index)));
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), QStringLiteral("198.51.100.1"));
        QCOMPARE(ModQar::WmiGetDnsServer(*m_config, pc), QStringLiteral("198.51.100.1"));
        QString routes;
        QVERIFY(m_lab.sh(m_pc, QStringLiteral("ip -4 route show dev lwnm0"), &routes));
        QVERIFY2(!routes.contains(QLatin1String("metric 1 ")) && !routes.contains(QLatin1String("metric 1\n")),
            qPrintable(routes));
    }

    void releaseAndRenewReachTheServer()
    {
        const InterfaceEntry pc = entryFor(pcMac);
        qint32 index = 0;
        RecordingPrompts prompts;
        // The PC settings page's four DHCP steps, in its order.
        QCOMPARE(ModQar::WmiEnableDhcp(*m_config, pc), 0);
        QCOMPARE(ModQar::WmiClearWinsAndDns(*m_config, pc, prompts), 0);
        QCOMPARE(ModQar::WmiReleaseDhcpLease(*m_config, pc), 0);
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_config, pc), 1);
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, pc, index), QString());
        const int seen = m_nm.dhcpRequestsSeen();
        QCOMPARE(ModQar::WmiRenewDhcpLease(*m_config, pc), 0);
        QVERIFY2(m_nm.dhcpRequestsSeen() > seen, qPrintable(QString::number(seen)));
        // What the final page reads right after.
        QVERIFY(inLeaseRange(ModQar::WmiGetIPAddress(*m_config, pc, index)));
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), QStringLiteral("198.51.100.1"));
        QCOMPARE(ModQar::WmiGetDnsServer(*m_config, pc), QStringLiteral("198.51.100.1"));
        QVERIFY(prompts.boxes.isEmpty());

        // A renew of a lease that is held asks the server too.
        const int before = m_nm.dhcpRequestsSeen();
        QCOMPARE(ModQar::WmiRenewDhcpLease(*m_config, pc), 0);
        QVERIFY(m_nm.dhcpRequestsSeen() > before);
        QVERIFY(inLeaseRange(ModQar::WmiGetIPAddress(*m_config, pc, index)));
    }

    void leaseCallsWithoutDhcpMode()
    {
        const InterfaceEntry pc = entryFor(pcMac);
        QCOMPARE(
            ModQar::WmiEnableStatic(*m_config, pc, QStringLiteral("198.51.100.20"), QStringLiteral("255.255.255.0")),
            0);
        QCOMPARE(ModQar::WmiReleaseDhcpLease(*m_config, pc), 100);
        QCOMPARE(ModQar::WmiRenewDhcpLease(*m_config, pc), 100);
        QCOMPARE(ModQar::WmiEnableDhcp(*m_config, pc), 0);
    }

    void ordinaryUserIsRefused_data()
    {
        QTest::addColumn<QString>("uid");
        // The daemon's own rule: without polkit, root alone changes a device.
        QTest::newRow("refused by the daemon") << QStringLiteral("65534");
        // The lab's bus keeps the device methods from the user "daemon".
        QTest::newRow("refused by the bus's policy") << QStringLiteral("1");
    }
    void ordinaryUserIsRefused()
    {
        QFETCH(QString, uid);
        QProcess probe;
        probe.start(QStringLiteral("setpriv"),
            { QStringLiteral("--reuid=") + uid, QStringLiteral("--regid=") + uid, QStringLiteral("--clear-groups"),
                QStringLiteral(NM_PROBE), m_nm.busAddress(), QString::fromLatin1(pcMac.toHex()),
                QStringLiteral("198.51.100.2") });
        QVERIFY(probe.waitForFinished(30'000));
        QCOMPARE(probe.readAllStandardOutput().trimmed(), QByteArray("91"));
    }

    // The PC settings page's DHCP road on a PC set up by hand before, whose
    // renew finds no server: the name server the connection had before the
    // road began comes back, though the road's second step had cleared it.
    void failedRoadPutsNameServersBack()
    {
        const InterfaceEntry pc = entryFor(pcMac);
        NetworkManagerAdapterConfig config(m_clock, m_nm.bus(), { 6'000 });
        QCOMPARE(
            ModQar::WmiEnableStatic(config, pc, QStringLiteral("198.51.100.20"), QStringLiteral("255.255.255.0")), 0);
        QCOMPARE(ModQar::WmiSetDnsServer(config, pc, QStringLiteral("198.51.100.53")), 0);
        QTRY_COMPARE_WITH_TIMEOUT(ModQar::WmiGetDnsServer(config, pc), QStringLiteral("198.51.100.53"), 15'000);
        RecordingPrompts prompts;
        QCOMPARE(ModQar::WmiEnableDhcp(config, pc), 0);
        QCOMPARE(ModQar::WmiClearWinsAndDns(config, pc, prompts), 0);
        QCOMPARE(ModQar::WmiReleaseDhcpLease(config, pc), 0);
        m_nm.stopDhcpServer();
        QCOMPARE(ModQar::WmiRenewDhcpLease(config, pc), 82);
        QTRY_COMPARE_WITH_TIMEOUT(ModQar::WmiGetDnsServer(config, pc), QStringLiteral("198.51.100.53"), 15'000);
        QCOMPARE(ModQar::WmiIsDhcpEnabled(config, pc), 1);
        // The server back, the next road ends with the lease's servers.
        QVERIFY2(m_nm.startDhcpServer(m_unit, QStringLiteral("lwnmu0"), 3), qPrintable(m_nm.error()));
        NetworkManagerAdapterConfig patient(m_clock, m_nm.bus());
        QCOMPARE(ModQar::WmiEnableDhcp(patient, pc), 0);
        QCOMPARE(ModQar::WmiClearWinsAndDns(patient, pc, prompts), 0);
        QCOMPARE(ModQar::WmiReleaseDhcpLease(patient, pc), 0);
        QCOMPARE(ModQar::WmiRenewDhcpLease(patient, pc), 0);
        QTRY_COMPARE_WITH_TIMEOUT(ModQar::WmiGetDnsServer(patient, pc), QStringLiteral("198.51.100.1"), 15'000);
        QVERIFY(prompts.boxes.isEmpty());
    }

    void savedProfileUntouched()
    {
        QFile profile(m_nm.profilePath());
        QVERIFY(profile.open(QIODevice::ReadOnly));
        QCOMPARE(profile.readAll(), m_profile);
    }

    void cleanupTestCase() { m_config.reset(); }

private:
    SystemClock m_clock;
    NetLab m_lab;
    NetworkManagerLab m_nm;
    QString m_pc, m_unit;
    QByteArray m_profile;
    std::unique_ptr<NetworkManagerAdapterConfig> m_config;
};

QTEST_GUILESS_MAIN(tst_NetworkManagerDaemon)
#include "tst_NetworkManagerDaemon.moc"
