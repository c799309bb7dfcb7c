#include "FakeNetworkManager.h"
#include "PrivateBus.h"
#include "RecordingPrompts.h"
#include "net/ModQarWmi.h"
#include "net/NetworkManagerAdapterConfig.h"
#include "net/SystemClock.h"

#include <QDBusArgument>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTest>

#include <arpa/inet.h>

namespace {
InterfaceEntry entryFor(const char* hex)
{
    InterfaceEntry e;
    e.Mac = QByteArray::fromHex(hex);
    return e;
}

FakeNetworkManager::Device device(const QString& name, const QString& hw, const QString& method)
{
    FakeNetworkManager::Device d;
    d.interface = name;
    d.hwAddress = hw;
    QVariantMap ipv4 { { QStringLiteral("method"), method } };
    // What an older profile carries beside the newer keys.
    ipv4[QStringLiteral("addresses")] = QVariant::fromValue(QList<uint> {});
    d.applied
        = { { QStringLiteral("connection"), { { QStringLiteral("id"), name } } }, { QStringLiteral("ipv4"), ipv4 } };
    return d;
}

QList<uint> dnsOf(const FakeNetworkManager::Device& d)
{
    const QVariant v = d.applied.value(QStringLiteral("ipv4")).value(QStringLiteral("dns"));
    return v.canConvert<QDBusArgument>() ? qdbus_cast<QList<uint>>(v.value<QDBusArgument>()) : v.value<QList<uint>>();
}
} // namespace

// The NetworkManager backend against a stand-in service on a private bus.
class tst_NetworkManagerAdapterConfig : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_bus = std::make_unique<PrivateBus>();
        if (m_bus->address().isEmpty())
            QSKIP(qPrintable(m_bus->error()));
        FakeNetworkManager::Device down
            = device(QStringLiteral("eth1"), QStringLiteral("02:0A:95:9D:68:17"), QStringLiteral("auto"));
        down.state = 30;
        FakeNetworkManager::Device unmanaged
            = device(QStringLiteral("eth2"), QStringLiteral("02:0A:95:9D:68:18"), QStringLiteral("auto"));
        unmanaged.managed = false;
        // The daemon shows loopback as an activated device of its own.
        FakeNetworkManager::Device loopback
            = device(QStringLiteral("lo"), QStringLiteral("00:00:00:00:00:00"), QStringLiteral("manual"));
        loopback.deviceType = 32;
        FakeNetworkManager::Device port
            = device(QStringLiteral("lwport0"), QStringLiteral("02:0A:95:9D:69:01"), QStringLiteral("auto"));
        FakeNetworkManager::Device bridge
            = device(QStringLiteral("lwbr0"), QStringLiteral("02:0A:95:9D:69:01"), QStringLiteral("auto"));
        bridge.deviceType = 13;
        bridge.ports = { 4 };
        m_fake = std::make_unique<FakeNetworkManager>(QList<FakeNetworkManager::Device> {
            device(QStringLiteral("eth0"), QStringLiteral("02:0a:95:9d:68:16"), QStringLiteral("auto")), down,
            unmanaged, loopback, port, bridge });
        QVERIFY2(m_fake->start(m_bus->address()), qPrintable(m_fake->error()));
        m_client = QDBusConnection::connectToBus(m_bus->address(), QStringLiteral("client"));
        QVERIFY(m_client.isConnected());
        m_config = std::make_unique<NetworkManagerAdapterConfig>(m_clock, m_client);
    }
    void cleanup()
    {
        m_config.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        m_fake.reset();
        m_bus.reset();
    }

    void readsComeFromNetworkManager()
    {
        QVERIFY(m_config->available());
        QCOMPARE(m_config->managedInterfaces(),
            (QSet<QString> { QStringLiteral("eth0"), QStringLiteral("eth1"), QStringLiteral("lo"),
                QStringLiteral("lwport0"), QStringLiteral("lwbr0") }));
        const InterfaceEntry pc = entryFor("020a959d6816");
        qint32 index = 0;
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_config, pc), 1);
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, pc, index), QStringLiteral("198.51.100.150"));
        QCOMPARE(ModQar::WmiGetIPSubnet(*m_config, pc, index), QStringLiteral("255.255.255.0"));
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), QStringLiteral("198.51.100.1"));
        QCOMPARE(ModQar::WmiGetDnsServer(*m_config, pc), QStringLiteral("198.51.100.1"));
    }

    void inactiveAndUnmanagedAreNoCandidates_data()
    {
        QTest::addColumn<QByteArray>("mac");
        QTest::newRow("disconnected device") << QByteArray("020a959d6817");
        QTest::newRow("unmanaged device") << QByteArray("020a959d6818");
        QTest::newRow("loopback") << QByteArray("000000000000");
    }
    void inactiveAndUnmanagedAreNoCandidates()
    {
        QFETCH(QByteArray, mac);
        const InterfaceEntry a = entryFor(mac.constData());
        qint32 index = 0;
        QCOMPARE(ModQar::WmiEnableDhcp(*m_config, a), -1);
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_config, a), 2);
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, a, index), QString());
        QVERIFY(m_fake->calls().isEmpty());
    }

    // The daemon activates a bridge's port too, with the bridge's MAC; the
    // port comes first in its list, as it was there before the bridge.
    void portOfABridgeIsNoCandidate()
    {
        QCOMPARE(ModQar::WmiSetDnsServer(*m_config, entryFor("020a959d6901"), QStringLiteral("198.51.100.53")), 0);
        QCOMPARE(m_fake->calls(),
            (QStringList { QStringLiteral("GetAppliedConnection(lwbr0)"), QStringLiteral("Reapply(lwbr0)") }));
    }

    void staticSettingsAreReapplied()
    {
        const InterfaceEntry pc = entryFor("020a959d6816");
        QCOMPARE(
            ModQar::WmiEnableStatic(*m_config, pc, QStringLiteral("198.51.100.10"), QStringLiteral("255.255.255.128")),
            0);
        FakeNetworkManager::Device d = m_fake->device(0);
        QVariantMap ipv4 = d.applied.value(QStringLiteral("ipv4"));
        QCOMPARE(ipv4.value(QStringLiteral("method")).toString(), QStringLiteral("manual"));
        QVERIFY(!ipv4.contains(QStringLiteral("addresses")));
        QCOMPARE(d.applied.value(QStringLiteral("connection")).value(QStringLiteral("id")).toString(),
            QStringLiteral("eth0"));
        qint32 index = 0;
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, pc, index), QStringLiteral("198.51.100.10"));
        QCOMPARE(ModQar::WmiGetIPSubnet(*m_config, pc, index), QStringLiteral("255.255.255.128"));
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_config, pc), 0);
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), QString());

        QCOMPARE(ModQar::WmiSetGateways(*m_config, pc, QStringLiteral("198.51.100.1")), 0);
        ipv4 = m_fake->device(0).applied.value(QStringLiteral("ipv4"));
        // The metric goes with the default route alone, not with every route.
        QVERIFY(!ipv4.contains(QStringLiteral("route-metric")));
        QCOMPARE(m_fake->device(0).routeData.size(), 1);
        QCOMPARE(m_fake->device(0).routeData.first().value(QStringLiteral("metric")).toUInt(), 1u);
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), QStringLiteral("198.51.100.1"));
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, pc, index), QStringLiteral("198.51.100.10"));

        QCOMPARE(ModQar::WmiSetDnsServer(*m_config, pc, QStringLiteral("203.0.113.53")), 0);
        d = m_fake->device(0);
        QCOMPARE(dnsOf(d), QList<uint> { htonl(QHostAddress(QStringLiteral("203.0.113.53")).toIPv4Address()) });
        QCOMPARE(d.applied.value(QStringLiteral("ipv4")).value(QStringLiteral("ignore-auto-dns")).toBool(), true);
        QCOMPARE(ModQar::WmiGetDnsServer(*m_config, pc), QStringLiteral("203.0.113.53"));

        RecordingPrompts prompts;
        QCOMPARE(ModQar::WmiClearWinsAndDns(*m_config, pc, prompts), 0);
        QVERIFY(prompts.boxes.isEmpty());
        QVERIFY(dnsOf(m_fake->device(0)).isEmpty());
        QCOMPARE(ModQar::WmiGetDnsServer(*m_config, pc), QStringLiteral("False"));
    }

    void gatewayBesideDhcp()
    {
        // The daemon refuses ipv4.gateway on a DHCP connection; the gateway
        // goes in as a default route of its own, ahead of the lease's.
        const InterfaceEntry pc = entryFor("020a959d6816");
        QCOMPARE(ModQar::WmiSetGateways(*m_config, pc, QStringLiteral("198.51.100.7")), 0);
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_config, pc), 1);
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), QStringLiteral("198.51.100.7"));
        QCOMPARE(ModQar::WmiSetGateways(*m_config, pc, QStringLiteral("203.0.113.1")), 71);
        QCOMPARE(ModQar::WmiSetGateways(*m_config, pc, QStringLiteral("198.51.100.150")), 71);
        // Enabling DHCP again gives the lease's gateway back.
        QCOMPARE(ModQar::WmiEnableDhcp(*m_config, pc), 0);
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), QStringLiteral("198.51.100.1"));
    }

    void staticKeepsGatewayStillOnLink_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("gateway");
        QTest::newRow("same subnet") << "198.51.100.20"
                                     << "198.51.100.1";
        QTest::newRow("other subnet") << "203.0.113.20"
                                      << "";
    }
    void staticKeepsGatewayStillOnLink()
    {
        QFETCH(QString, address);
        QFETCH(QString, gateway);
        const InterfaceEntry pc = entryFor("020a959d6816");
        QCOMPARE(
            ModQar::WmiEnableStatic(*m_config, pc, QStringLiteral("198.51.100.10"), QStringLiteral("255.255.255.0")),
            0);
        QCOMPARE(ModQar::WmiSetGateways(*m_config, pc, QStringLiteral("198.51.100.1")), 0);
        QCOMPARE(ModQar::WmiEnableStatic(*m_config, pc, address, QStringLiteral("255.255.255.0")), 0);
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), gateway);
    }

    void dhcpWaitsForTheLease()
    {
        const InterfaceEntry pc = entryFor("020a959d6816");
        QCOMPARE(
            ModQar::WmiEnableStatic(*m_config, pc, QStringLiteral("198.51.100.10"), QStringLiteral("255.255.255.0")),
            0);
        QCOMPARE(ModQar::WmiReleaseDhcpLease(*m_config, pc), 100);
        QCOMPARE(ModQar::WmiRenewDhcpLease(*m_config, pc), 100);
        m_fake->setLeaseDelay(0, 400);
        QElapsedTimer took;
        took.start();
        QCOMPARE(ModQar::WmiEnableDhcp(*m_config, pc), 0);
        QVERIFY2(took.elapsed() >= 350, qPrintable(QString::number(took.elapsed())));
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_config, pc), 1);
        qint32 index = 0;
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, pc, index), QStringLiteral("198.51.100.150"));
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), QStringLiteral("198.51.100.1"));
        QVERIFY(!m_fake->device(0).applied.value(QStringLiteral("ipv4")).contains(QStringLiteral("address-data")));

        // Release leaves the device without an address but in DHCP mode.
        QCOMPARE(ModQar::WmiReleaseDhcpLease(*m_config, pc), 0);
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_config, pc), 1);
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, pc, index), QString());
        const int before = m_fake->device(0).transactions;
        took.restart();
        QCOMPARE(ModQar::WmiRenewDhcpLease(*m_config, pc), 0);
        QVERIFY(took.elapsed() >= 350);
        QCOMPARE(m_fake->device(0).transactions, before + 1);
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, pc, index), QStringLiteral("198.51.100.150"));
        QVERIFY(!m_fake->device(0).applied.contains(QStringLiteral("user")));

        // A renew of a held lease asks the server again too.
        QCOMPARE(ModQar::WmiRenewDhcpLease(*m_config, pc), 0);
        QCOMPARE(m_fake->device(0).transactions, before + 2);
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, pc, index), QStringLiteral("198.51.100.150"));
    }

    void noLeaseByTheDeadline()
    {
        NetworkManagerAdapterConfig::Options options;
        options.leaseTimeoutMs = 300;
        NetworkManagerAdapterConfig config(m_clock, m_client, options);
        const InterfaceEntry pc = entryFor("020a959d6816");
        m_fake->setLeaseDelay(0, -1);
        QCOMPARE(ModQar::WmiRenewDhcpLease(config, pc), 82);
        // DHCP stays on and its client keeps asking.
        QCOMPARE(ModQar::WmiIsDhcpEnabled(config, pc), 1);
        QCOMPARE(ModQar::WmiEnableDhcp(config, pc), 0);
    }

    void refusedReapplyGivesCode_data()
    {
        QTest::addColumn<QString>("error");
        QTest::addColumn<qint32>("code");
        QTest::addColumn<QString>("routine");
        QTest::newRow("gateway, permission") << "org.freedesktop.NetworkManager.PermissionDenied" << 91 << "gateway";
        QTest::newRow("gateway, other failure")
            << "org.freedesktop.NetworkManager.Device.IncompatibleConnection" << 65 << "gateway";
        QTest::newRow("renew, permission") << "org.freedesktop.NetworkManager.PermissionDenied" << 91 << "renew";
        QTest::newRow("renew, other failure")
            << "org.freedesktop.NetworkManager.Device.IncompatibleConnection" << 82 << "renew";
        QTest::newRow("release, other failure")
            << "org.freedesktop.NetworkManager.Device.IncompatibleConnection" << 83 << "release";
        QTest::newRow("dhcp, permission") << "org.freedesktop.NetworkManager.PermissionDenied" << 91 << "dhcp";
    }
    void refusedReapplyGivesCode()
    {
        QFETCH(QString, error);
        QFETCH(qint32, code);
        QFETCH(QString, routine);
        m_fake->setReapplyError(0, error);
        const InterfaceEntry pc = entryFor("020a959d6816");
        qint32 got = -99;
        if (routine == QLatin1String("gateway"))
            got = ModQar::WmiSetGateways(*m_config, pc, QStringLiteral("198.51.100.7"));
        else if (routine == QLatin1String("renew"))
            got = ModQar::WmiRenewDhcpLease(*m_config, pc);
        else if (routine == QLatin1String("release"))
            got = ModQar::WmiReleaseDhcpLease(*m_config, pc);
        else
            got = ModQar::WmiEnableDhcp(*m_config, pc);
        QCOMPARE(got, code);
        qint32 index = 0;
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, pc, index), QStringLiteral("198.51.100.150"));
    }

    void serviceGoneIsMinusOne()
    {
        m_fake.reset();
        const InterfaceEntry pc = entryFor("020a959d6816");
        QVERIFY(!m_config->available());
        QCOMPARE(ModQar::WmiEnableDhcp(*m_config, pc), -1);
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_config, pc), -1);
        QCOMPARE(ModQar::WmiGetDnsServer(*m_config, pc), QStringLiteral("False"));
    }

private:
    SystemClock m_clock;
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<FakeNetworkManager> m_fake;
    QDBusConnection m_client { QString() };
    std::unique_ptr<NetworkManagerAdapterConfig> m_config;
};

QTEST_GUILESS_MAIN(tst_NetworkManagerAdapterConfig)
#include "tst_NetworkManagerAdapterConfig.moc"
