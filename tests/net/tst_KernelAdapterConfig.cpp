#include "AdapterEntries.h"
#include "NetLab.h"
#include "RecordingPrompts.h"
#include "net/KernelAdapterConfig.h"
#include "net/ModQarWmi.h"
#include "net/SystemClock.h"

#include <QFile>
#include <QHostAddress>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/mount.h>

namespace {
const QByteArray pcMac = QByteArray::fromHex("020a959d6816");
const QByteArray downMac = QByteArray::fromHex("020a959d6817");
} // namespace

// The kernel backend on a real veth pair: this process lives in the PC's
// namespace; the unit's end runs a DHCP server.
class tst_KernelAdapterConfig : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QVERIFY(m_dir.isValid());
        m_pc = m_lab.addHost(QStringLiteral("pc"));
        m_unit = m_lab.addHost(QStringLiteral("unit"));
        QVERIFY2(!m_pc.isEmpty() && !m_unit.isEmpty(), qPrintable(m_lab.lastError()));
        QVERIFY2(m_lab.link(m_pc, QStringLiteral("lwpc0"), QString(), m_unit, QStringLiteral("lwu0"),
                     QStringLiteral("198.51.100.1/24"), QStringLiteral("02:0a:95:9d:68:16")),
            qPrintable(m_lab.lastError()));
        QVERIFY2(m_lab.link(m_pc, QStringLiteral("lwpc1"), QStringLiteral("203.0.113.5/24"), m_unit,
                     QStringLiteral("lwu1"), QString(), QStringLiteral("02:0a:95:9d:68:17")),
            qPrintable(m_lab.lastError()));
        QVERIFY(m_lab.run(m_pc,
            { QStringLiteral("ip"), QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("lwpc1"),
                QStringLiteral("down") }));
        QVERIFY2(m_lab.enter(m_pc), qPrintable(m_lab.lastError()));
        // The DHCP client's script rewrites /etc/resolv.conf: give this mount
        // namespace a throw-away layer over /etc so the machine's file stays.
        // /etc stays layered until the namespace dies: a client that outlived
        // its test would otherwise write through to the real file.
        m_layer = m_dir.path() + QStringLiteral("/layer");
        const QByteArray layer = QFile::encodeName(m_layer);
        QVERIFY(QDir().mkpath(m_layer));
        QCOMPARE(::mount("tmpfs", layer.constData(), "tmpfs", 0, nullptr), 0);
        QVERIFY(QDir().mkpath(m_layer + QStringLiteral("/up")));
        QVERIFY(QDir().mkpath(m_layer + QStringLiteral("/work")));
        const QByteArray options = "lowerdir=/etc,upperdir=" + layer + "/up,workdir=" + layer + "/work";
        QCOMPARE(::mount("overlay", "/etc", "overlay", 0, options.constData()), 0);
        // The script follows a symlinked resolv.conf out of /etc: make it a
        // plain file of the layer.
        QFile::remove(QStringLiteral("/etc/resolv.conf"));
        QFile layered(QStringLiteral("/etc/resolv.conf"));
        QVERIFY(layered.open(QIODevice::WriteOnly));
        layered.close();

        KernelAdapterConfig::Paths paths;
        paths.runDir = m_dir.path() + QStringLiteral("/run");
        paths.resolvConf = m_dir.path() + QStringLiteral("/resolv.conf");
        paths.useResolved = false;
        paths.leaseTimeoutMs = 30'000;
        m_resolvConf = paths.resolvConf;
        QFile seed(m_resolvConf);
        QVERIFY(seed.open(QIODevice::WriteOnly));
        seed.write("search lab.test\nnameserver 203.0.113.53\n");
        seed.close();
        m_config = std::make_unique<KernelAdapterConfig>(m_clock, paths);
    }

    void linkDownIsNoCandidate()
    {
        const InterfaceEntry down = entryFor(downMac);
        qint32 index = 0;
        QCOMPARE(
            ModQar::WmiEnableStatic(*m_config, down, QStringLiteral("203.0.113.6"), QStringLiteral("255.255.255.0")),
            -1);
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_config, down), 2);
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, down, index), QString());
        QString out;
        QVERIFY(m_lab.sh(m_pc, QStringLiteral("ip -4 -o addr show dev lwpc1"), &out));
        QVERIFY2(out.contains(QLatin1String("203.0.113.5/24")), qPrintable(out));
    }

    void staticAddressGatewayAndDns()
    {
        const InterfaceEntry pc = entryFor(pcMac);
        qint32 index = 0;
        QCOMPARE(
            ModQar::WmiEnableStatic(*m_config, pc, QStringLiteral("198.51.100.10"), QStringLiteral("255.255.255.0")),
            0);
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, pc, index), QStringLiteral("198.51.100.10"));
        QCOMPARE(ModQar::WmiGetIPSubnet(*m_config, pc, index), QStringLiteral("255.255.255.0"));
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_config, pc), 0);
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), QString());

        QCOMPARE(
            ModQar::WmiEnableStatic(*m_config, pc, QStringLiteral("198.51.100.20"), QStringLiteral("255.255.255.128")),
            0);
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, pc, index), QStringLiteral("198.51.100.20"));
        QCOMPARE(ModQar::WmiGetIPSubnet(*m_config, pc, index), QStringLiteral("255.255.255.128"));
        index = 1;
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, pc, index), QString());

        QCOMPARE(ModQar::WmiSetGateways(*m_config, pc, QStringLiteral("198.51.100.1")), 0);
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), QStringLiteral("198.51.100.1"));
        QString routes;
        QVERIFY(m_lab.sh(m_pc, QStringLiteral("ip -4 route show default"), &routes));
        QVERIFY2(
            routes.contains(QLatin1String("via 198.51.100.1 dev lwpc0")) && routes.contains(QLatin1String("metric 1")),
            qPrintable(routes));
        QCOMPARE(ModQar::WmiSetGateways(*m_config, pc, QStringLiteral("203.0.113.1")), 71);
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), QStringLiteral("198.51.100.1"));

        QCOMPARE(ModQar::WmiSetDnsServer(*m_config, pc, QStringLiteral("198.51.100.1")), 0);
        QCOMPARE(ModQar::WmiGetDnsServer(*m_config, pc), QStringLiteral("198.51.100.1"));
        QFile conf(m_resolvConf);
        QVERIFY(conf.open(QIODevice::ReadOnly));
        QCOMPARE(conf.readAll(), QByteArray("search lab.test\nnameserver 198.51.100.1\n"));
        conf.close();

        RecordingPrompts prompts;
        QCOMPARE(ModQar::WmiClearWinsAndDns(*m_config, pc, prompts), 0);
        QVERIFY(prompts.boxes.isEmpty());
        QCOMPARE(ModQar::WmiGetDnsServer(*m_config, pc), QStringLiteral("False"));
    }

    void malformedAddressChangesNothing()
    {
        const InterfaceEntry pc = entryFor(pcMac);
        QCOMPARE(
            ModQar::WmiEnableStatic(*m_config, pc, QStringLiteral("198.51.100.10"), QStringLiteral("255.255.255.0")),
            0);
        qint32 index = 0;
        QCOMPARE(
            ModQar::WmiEnableStatic(*m_config, pc, QStringLiteral("198.51.100.300"), QStringLiteral("255.255.255.0")),
            70);
        QCOMPARE(ModQar::WmiEnableStatic(*m_config, pc, QStringLiteral("198.51.100.11"), QString()), -1);
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, pc, index), QStringLiteral("198.51.100.10"));
    }

    void dhcpLeaseReleaseAndRenew()
    {
        const InterfaceEntry pc = entryFor(pcMac);
        QCOMPARE(ModQar::WmiReleaseDhcpLease(*m_config, pc), 100);
        startDhcpServer();

        qint32 index = 0;
        QCOMPARE(ModQar::WmiEnableDhcp(*m_config, pc), 0);
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_config, pc), 1);
        QTRY_VERIFY_WITH_TIMEOUT(inLeaseRange(ModQar::WmiGetIPAddress(*m_config, pc, index)), 30'000);
        const QString leased = ModQar::WmiGetIPAddress(*m_config, pc, index);
        QCOMPARE(ModQar::WmiGetIPSubnet(*m_config, pc, index), QStringLiteral("255.255.255.0"));
        // The client's script adds the route just after the address.
        QTRY_COMPARE_WITH_TIMEOUT(ModQar::WmiGetDefaultGateway(*m_config, pc), QStringLiteral("198.51.100.1"), 10'000);

        QCOMPARE(ModQar::WmiReleaseDhcpLease(*m_config, pc), 0);
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, pc, index), QString());
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), QString());
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_config, pc), 1);

        QCOMPARE(ModQar::WmiRenewDhcpLease(*m_config, pc), 0);
        QVERIFY(inLeaseRange(ModQar::WmiGetIPAddress(*m_config, pc, index)));

        QCOMPARE(
            ModQar::WmiEnableStatic(*m_config, pc, QStringLiteral("198.51.100.10"), QStringLiteral("255.255.255.0")),
            0);
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_config, pc), 0);
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, pc, index), QStringLiteral("198.51.100.10"));
        QCOMPARE(ModQar::WmiRenewDhcpLease(*m_config, pc), 100);
        QVERIFY(!leased.isEmpty());
    }

    // The PC settings page's DHCP road, on the resolv.conf that the DHCP
    // client's script writes too: its second step clears the name servers of
    // the whole PC, and a road that ends without a lease puts back those the
    // PC had before the road began.
    void failedDhcpRoadPutsNameServersBack_data()
    {
        QTest::addColumn<bool>("clientRuns");
        QTest::newRow("renew finds no server") << true;
        QTest::newRow("DHCP client can't run") << false;
    }
    void failedDhcpRoadPutsNameServersBack()
    {
        QFETCH(bool, clientRuns);
        KernelAdapterConfig::Paths paths;
        paths.runDir = m_dir.path() + QStringLiteral("/road");
        paths.resolvConf = QStringLiteral("/etc/resolv.conf");
        paths.useResolved = false;
        paths.leaseTimeoutMs = 4'000;
        if (!clientRuns)
            paths.dhclient = m_dir.path() + QStringLiteral("/no-such-dhclient");
        KernelAdapterConfig config(m_clock, paths);
        const InterfaceEntry pc = entryFor(pcMac);
        QCOMPARE(
            ModQar::WmiEnableStatic(config, pc, QStringLiteral("198.51.100.10"), QStringLiteral("255.255.255.0")), 0);
        const QByteArray seed = "search lab.test\nnameserver 203.0.113.53\nnameserver 203.0.113.54\n";
        QFile layered(paths.resolvConf);
        QVERIFY(layered.open(QIODevice::WriteOnly | QIODevice::Truncate));
        layered.write(seed);
        layered.close();
        startDhcpServer();

        RecordingPrompts prompts;
        QCOMPARE(ModQar::WmiEnableDhcp(config, pc), clientRuns ? 0 : 81);
        // The lease's server, as the client's script writes it.
        if (clientRuns)
            QTRY_COMPARE_WITH_TIMEOUT(ModQar::WmiGetDnsServer(config, pc), QStringLiteral("198.51.100.1"), 10'000);
        QCOMPARE(ModQar::WmiClearWinsAndDns(config, pc, prompts), 0);
        QCOMPARE(ModQar::WmiGetDnsServer(config, pc), QStringLiteral("False"));
        QCOMPARE(ModQar::WmiReleaseDhcpLease(config, pc), clientRuns ? 0 : 100);
        stopDhcpServer();
        QCOMPARE(ModQar::WmiRenewDhcpLease(config, pc), clientRuns ? 82 : 100);
        QCOMPARE(nameServerLines(paths.resolvConf),
            (QStringList { QStringLiteral("nameserver 203.0.113.53"), QStringLiteral("nameserver 203.0.113.54") }));
        QCOMPARE(ModQar::WmiGetDnsServer(config, pc), QStringLiteral("203.0.113.53"));
        QVERIFY(prompts.boxes.isEmpty());
        // The client left asking in the background ends with a static address.
        QCOMPARE(
            ModQar::WmiEnableStatic(config, pc, QStringLiteral("198.51.100.10"), QStringLiteral("255.255.255.0")), 0);
        QVERIFY(!config.dhcpMode(QStringLiteral("lwpc0")));
    }

    void staticKeepsGatewayStillOnLink()
    {
        const InterfaceEntry pc = entryFor(pcMac);
        QCOMPARE(
            ModQar::WmiEnableStatic(*m_config, pc, QStringLiteral("198.51.100.10"), QStringLiteral("255.255.255.0")),
            0);
        QCOMPARE(ModQar::WmiSetGateways(*m_config, pc, QStringLiteral("198.51.100.1")), 0);
        // Same subnet: the gateway stays, as on the other platform.
        QCOMPARE(
            ModQar::WmiEnableStatic(*m_config, pc, QStringLiteral("198.51.100.11"), QStringLiteral("255.255.255.0")),
            0);
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), QStringLiteral("198.51.100.1"));
        // A subnet the gateway is not on: it goes.
        QCOMPARE(
            ModQar::WmiEnableStatic(*m_config, pc, QStringLiteral("203.0.113.11"), QStringLiteral("255.255.255.0")), 0);
        QCOMPARE(ModQar::WmiGetDefaultGateway(*m_config, pc), QString());
    }

    void foreignClientIsSeenAndStopped()
    {
        const InterfaceEntry pc = entryFor(pcMac);
        QCOMPARE(
            ModQar::WmiEnableStatic(*m_config, pc, QStringLiteral("198.51.100.10"), QStringLiteral("255.255.255.0")),
            0);
        startDhcpServer();
        // A client started the way ifupdown starts it, with files of its own.
        const QString pidFile = m_dir.path() + QStringLiteral("/ifup.lwpc0.pid");
        QVERIFY(m_lab.run(m_pc,
            { QStringLiteral("dhclient"), QStringLiteral("-4"), QStringLiteral("-v"), QStringLiteral("-pf"), pidFile,
                QStringLiteral("-lf"), m_dir.path() + QStringLiteral("/ifup.lwpc0.leases"), QStringLiteral("lwpc0") }));
        // The client writes its pid file once it has gone into the background.
        QFile pid(pidFile);
        QTRY_VERIFY_WITH_TIMEOUT(pid.size() > 0, 10'000);
        QVERIFY(pid.open(QIODevice::ReadOnly));
        const qint64 foreign = pid.readAll().trimmed().toLongLong();
        m_foreign = foreign;
        QVERIFY(foreign > 0 && ::kill(pid_t(foreign), 0) == 0);
        QString addresses;
        QVERIFY(m_lab.sh(m_pc, QStringLiteral("ip -4 -o addr show dev lwpc0"), &addresses));
        QVERIFY2(addresses.contains(QLatin1String("dynamic")), qPrintable(addresses));
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_config, pc), 1);

        QCOMPARE(
            ModQar::WmiEnableStatic(*m_config, pc, QStringLiteral("198.51.100.10"), QStringLiteral("255.255.255.0")),
            0);
        // Gone, so it can't put its lease back at its next renewal.
        QVERIFY(::kill(pid_t(foreign), 0) != 0 || isZombie(foreign));
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_config, pc), 0);
        qint32 index = 0;
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, pc, index), QStringLiteral("198.51.100.10"));
        index = 1;
        QCOMPARE(ModQar::WmiGetIPAddress(*m_config, pc, index), QString());
    }

    void cleanupTestCase()
    {
        // A client of the test's own that a failed check left running.
        if (m_foreign > 0)
            ::kill(pid_t(m_foreign), SIGTERM);
        if (!m_config)
            return;
        // A failed check may have left the DHCP client running: stop it.
        if (m_config->dhcpMode(QStringLiteral("lwpc0")))
            ModQar::WmiEnableStatic(
                *m_config, entryFor(pcMac), QStringLiteral("198.51.100.10"), QStringLiteral("255.255.255.0"));
        m_config.reset();
        // The layer's files live on while /etc uses them; only the mount
        // point goes, so the temporary directory can be removed.
        ::umount2(QFile::encodeName(m_layer).constData(), MNT_DETACH);
    }

private:
    void startDhcpServer()
    {
        if (m_server)
            return;
        m_server = m_lab.start(m_unit,
            { QStringLiteral("dnsmasq"), QStringLiteral("--no-daemon"), QStringLiteral("--conf-file=/dev/null"),
                QStringLiteral("--interface=lwu0"), QStringLiteral("--bind-interfaces"), QStringLiteral("--port=0"),
                QStringLiteral("--user=root"), QStringLiteral("--quiet-dhcp"),
                QStringLiteral("--dhcp-range=198.51.100.100,198.51.100.110,255.255.255.0,10m"),
                QStringLiteral("--dhcp-option=3,198.51.100.1"), QStringLiteral("--dhcp-option=6,198.51.100.1"),
                QStringLiteral("--pid-file=") + m_dir.path() + QStringLiteral("/dnsmasq.pid"),
                QStringLiteral("--dhcp-leasefile=") + m_dir.path() + QStringLiteral("/dnsmasq.leases") });
        QVERIFY(m_server->state() != QProcess::NotRunning);
    }
    void stopDhcpServer()
    {
        if (!m_server)
            return;
        m_server->terminate();
        m_server->waitForFinished(5000);
        m_server = nullptr;
    }
    static QStringList nameServerLines(const QString& path)
    {
        QFile f(path);
        QStringList out;
        if (f.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : f.readAll().split('\n')) {
                if (line.startsWith("nameserver"))
                    out << QString::fromLatin1(line.simplified());
            }
        }
        return out;
    }
    static bool isZombie(qint64 pid)
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        return stat.open(QIODevice::ReadOnly) && stat.readAll().contains(") Z ");
    }

    QProcess* m_server = nullptr;
    qint64 m_foreign = 0;
    SystemClock m_clock;
    NetLab m_lab;
    QTemporaryDir m_dir;
    QString m_pc, m_unit, m_resolvConf, m_layer;
    std::unique_ptr<KernelAdapterConfig> m_config;
};

QTEST_GUILESS_MAIN(tst_KernelAdapterConfig)
#include "tst_KernelAdapterConfig.moc"
