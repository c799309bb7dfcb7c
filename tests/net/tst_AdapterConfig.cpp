#include "FakeAdapterConfigBackend.h"
#include "FakeNetworkManager.h"
#include "PrivateBus.h"
#include "net/AdapterConfig.h"
#include "net/ModQarWmi.h"
#include "net/NetworkManagerAdapterConfig.h"
#include "net/SystemClock.h"

#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QSignalSpy>
#include <QTest>

namespace {
InterfaceEntry entryFor(const char* hex)
{
    InterfaceEntry e;
    e.Mac = QByteArray::fromHex(hex);
    return e;
}

FakeNetworkManager::Device nmDevice(const QString& name, const QString& hw, uint state)
{
    FakeNetworkManager::Device d;
    d.interface = name;
    d.hwAddress = hw;
    d.state = state;
    d.applied = { { QStringLiteral("ipv4"), { { QStringLiteral("method"), QStringLiteral("auto") } } } };
    return d;
}

FakeAdapterConfigBackend::Entry kernelEntry(const QString& name, const QString& mac, bool dhcp)
{
    FakeAdapterConfigBackend::Entry e;
    e.config = { name, mac };
    e.ipAddress = QStringList { QStringLiteral("203.0.113.7") };
    e.dhcp = dhcp;
    return e;
}
} // namespace

// The chooser: NetworkManager's devices to it, every other interface to the kernel.
class tst_AdapterConfig : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_bus = std::make_unique<PrivateBus>();
        if (m_bus->address().isEmpty())
            QSKIP(qPrintable(m_bus->error()));
        m_fake = std::make_unique<FakeNetworkManager>(QList<FakeNetworkManager::Device> {
            nmDevice(QStringLiteral("eth0"), QStringLiteral("02:0A:95:9D:68:16"), 100),
            nmDevice(QStringLiteral("eth1"), QStringLiteral("02:0A:95:9D:68:17"), 30) });
        QVERIFY2(m_fake->start(m_bus->address()), qPrintable(m_fake->error()));
        m_client = QDBusConnection::connectToBus(m_bus->address(), QStringLiteral("client"));
        m_nm = std::make_unique<NetworkManagerAdapterConfig>(m_clock, m_client);
        m_kernel.entries.clear();
        m_kernel.calls.clear();
        m_kernel.entries << kernelEntry(QStringLiteral("eth0"), QStringLiteral("02:0A:95:9D:68:16"), false)
                         << kernelEntry(QStringLiteral("eth1"), QStringLiteral("02:0A:95:9D:68:17"), true)
                         << kernelEntry(QStringLiteral("eth3"), QStringLiteral("02:0A:95:9D:68:19"), true);
    }
    void cleanup()
    {
        m_nm.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        m_fake.reset();
        m_bus.reset();
    }

    void managedDevicesGoToNetworkManager()
    {
        AdapterConfig config(m_nm.get(), m_kernel);
        const auto all = config.ipEnabledConfigurations();
        QVERIFY(all);
        QStringList ids;
        for (const auto& c : *all)
            ids << c.id;
        QCOMPARE(ids,
            (QStringList {
                QStringLiteral("nm:/org/freedesktop/NetworkManager/Devices/0"), QStringLiteral("kernel:eth3") }));
        QCOMPARE(ModQar::WmiEnableDhcp(config, entryFor("020a959d6816")), 0);
        QVERIFY(m_kernel.calls.isEmpty());
        QVERIFY(m_fake->calls().contains(QStringLiteral("Reapply(eth0)")));
        // Managed but not activated: neither backend offers it.
        QCOMPARE(ModQar::WmiEnableDhcp(config, entryFor("020a959d6817")), -1);
        QCOMPARE(ModQar::WmiEnableDhcp(config, entryFor("020a959d6819")), 0);
        QCOMPARE(m_kernel.calls, QStringList { QStringLiteral("EnableDHCP(eth3: )") });
    }

    void withoutNetworkManagerAllIsKernel()
    {
        stopNetworkManager();
        AdapterConfig config(m_nm.get(), m_kernel);
        QCOMPARE(ModQar::WmiIsDhcpEnabled(config, entryFor("020a959d6816")), 0);
        QCOMPARE(ModQar::WmiIsDhcpEnabled(config, entryFor("020a959d6817")), 1);
        AdapterConfig noManager(nullptr, m_kernel);
        qint32 index = 0;
        QCOMPARE(ModQar::WmiGetIPAddress(noManager, entryFor("020a959d6816"), index), QStringLiteral("203.0.113.7"));
    }

    void dhcpFlagForTheAdapterRecord()
    {
        AdapterConfig config(m_nm.get(), m_kernel);
        QVERIFY(config.dhcpEnabledFor(0, QStringLiteral("02:0a:95:9d:68:16")));
        QVERIFY(config.dhcpEnabledFor(0, QStringLiteral("02:0A:95:9D:68:19")));
        QVERIFY(!config.dhcpEnabledFor(0, QStringLiteral("02:0A:95:9D:68:17")));
        m_kernel.entries[2].dhcp = false;
        QVERIFY(!config.dhcpEnabledFor(0, QStringLiteral("02:0A:95:9D:68:19")));
        QVERIFY(!config.dhcpEnabledFor(0, QStringLiteral("02:0A:95:9D:68:99")));
    }

    // A VLAN on eth3 carries eth3's MAC: each adapter record asks about its
    // own link, through whichever backend owns it.
    void dhcpFlagOfTheLinkWithTheIndex()
    {
        m_kernel.entries[2].config.ifindex = 4;
        FakeAdapterConfigBackend::Entry vlan
            = kernelEntry(QStringLiteral("eth3.10"), QStringLiteral("02:0A:95:9D:68:19"), false);
        vlan.config.ifindex = 7;
        m_kernel.entries << vlan;
        AdapterConfig config(m_nm.get(), m_kernel);
        QVERIFY(config.dhcpEnabledFor(4, QStringLiteral("02:0A:95:9D:68:19")));
        QVERIFY(!config.dhcpEnabledFor(7, QStringLiteral("02:0A:95:9D:68:19")));
        // Without an index, the last with the MAC, as on the other platform.
        QVERIFY(!config.dhcpEnabledFor(0, QStringLiteral("02:0A:95:9D:68:19")));
        InterfaceEntry link = entryFor("020a959d6819");
        link.InterfaceIndex = 7;
        qint32 index = 0;
        QCOMPARE(ModQar::WmiEnableDhcp(config, link), 0);
        QCOMPARE(m_kernel.calls, QStringList { QStringLiteral("EnableDHCP(eth3.10: )") });
        QCOMPARE(ModQar::WmiGetIPAddress(config, link, index), QStringLiteral("203.0.113.7"));
    }

    // The manager is looked for when the layer is first used, once, and the
    // answer then routes every call as a manager given up front does.
    void networkManagerLookedForOnFirstUse()
    {
        int lookups = 0;
        AdapterConfig config(
            [&]() -> NetworkManagerAdapterConfig* {
                ++lookups;
                return m_nm.get();
            },
            m_kernel);
        QCOMPARE(lookups, 0);
        QCOMPARE(ModQar::WmiEnableDhcp(config, entryFor("020a959d6816")), 0);
        QVERIFY(m_fake->calls().contains(QStringLiteral("Reapply(eth0)")));
        QVERIFY(m_kernel.calls.isEmpty());
        QCOMPARE(ModQar::WmiEnableDhcp(config, entryFor("020a959d6819")), 0);
        QCOMPARE(lookups, 1);
        // Found none: every interface is the kernel's.
        AdapterConfig none([]() -> NetworkManagerAdapterConfig* { return nullptr; }, m_kernel);
        QCOMPARE(ModQar::WmiIsDhcpEnabled(none, entryFor("020a959d6817")), 1);
    }

private:
    // The bus drops the daemon's name once it sees the daemon's connection
    // close, which it may do after the client's next question: wait until
    // the client is told the name is gone.
    void stopNetworkManager()
    {
        const QString service = QStringLiteral("org.freedesktop.NetworkManager");
        QDBusServiceWatcher watcher(service, m_client, QDBusServiceWatcher::WatchForUnregistration);
        QSignalSpy gone(&watcher, &QDBusServiceWatcher::serviceUnregistered);
        m_fake.reset();
        if (m_client.interface()->isServiceRegistered(service).value())
            QVERIFY(gone.wait(10000));
    }

    SystemClock m_clock;
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<FakeNetworkManager> m_fake;
    QDBusConnection m_client { QString() };
    std::unique_ptr<NetworkManagerAdapterConfig> m_nm;
    FakeAdapterConfigBackend m_kernel;
};

QTEST_GUILESS_MAIN(tst_AdapterConfig)
#include "tst_AdapterConfig.moc"
