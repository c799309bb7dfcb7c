#include "AdapterEntries.h"
#include "NetLab.h"
#include "NetworkManagerLab.h"
#include "net/KernelAdapterConfig.h"
#include "net/ModQarWmi.h"
#include "net/NetworkManagerAdapterConfig.h"
#include "net/SystemClock.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QByteArray kernelMac = QByteArray::fromHex("020a959d7201");
const QByteArray nmMac = QByteArray::fromHex("020a959d7202");
} // namespace

// One table of bad and odd inputs, run against both backends on real
// interfaces: the kernel's in this thread's namespace, NetworkManager's in a
// namespace of the daemon's. Whatever a call answers, a refused or failed one
// leaves address, mask, routes and DNS reading back exactly as before.
class tst_AdapterConfigRefusals : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QVERIFY(m_dir.isValid());
        m_kernelPc = m_lab.addHost(QStringLiteral("rkpc"));
        m_kernelUnit = m_lab.addHost(QStringLiteral("rkunit"));
        QVERIFY2(!m_kernelPc.isEmpty() && !m_kernelUnit.isEmpty(), qPrintable(m_lab.lastError()));
        QVERIFY2(m_lab.link(m_kernelPc, QStringLiteral("lwrk0"), QStringLiteral("198.51.100.10/24"), m_kernelUnit,
                     QStringLiteral("lwrku0"), QStringLiteral("198.51.100.1/24"), QStringLiteral("02:0a:95:9d:72:01")),
            qPrintable(m_lab.lastError()));
        QVERIFY(m_lab.sh(
            m_kernelPc, QStringLiteral("ip route add default via 198.51.100.1 dev lwrk0 proto static metric 1")));
        // The kernel backend works in the namespace of the thread calling it.
        QVERIFY2(m_lab.enter(m_kernelPc), qPrintable(m_lab.lastError()));
        KernelAdapterConfig::Paths paths;
        paths.runDir = m_dir.path() + QStringLiteral("/run");
        paths.resolvConf = m_dir.path() + QStringLiteral("/resolv.conf");
        paths.useResolved = false;
        paths.leaseTimeoutMs = 5'000;
        QFile resolv(paths.resolvConf);
        QVERIFY(resolv.open(QIODevice::WriteOnly));
        resolv.write("nameserver 198.51.100.1\n");
        resolv.close();
        m_kernelPaths = paths;
        m_kernel = std::make_unique<KernelAdapterConfig>(m_clock, paths);

        if (const QString why = NetworkManagerLab::unavailableReason(); !why.isEmpty()) {
            m_nmMissing = why;
            return;
        }
        m_nmPc = m_lab.addHost(QStringLiteral("rnpc"));
        m_nmUnit = m_lab.addHost(QStringLiteral("rnunit"));
        QVERIFY2(m_lab.link(m_nmPc, QStringLiteral("lwrn0"), QString(), m_nmUnit, QStringLiteral("lwrnu0"),
                     QStringLiteral("198.51.100.1/24"), QStringLiteral("02:0a:95:9d:72:02")),
            qPrintable(m_lab.lastError()));
        QVERIFY2(m_nmLab.startDhcpServer(m_nmUnit, QStringLiteral("lwrnu0")), qPrintable(m_nmLab.error()));
        QVERIFY2(m_nmLab.start(m_nmPc, QStringLiteral("lwrn0")), qPrintable(m_nmLab.error()));
        m_nm = std::make_unique<NetworkManagerAdapterConfig>(m_clock, m_nmLab.bus());
        // The same settings as the kernel's interface.
        const InterfaceEntry nm = entryFor(nmMac);
        QCOMPARE(
            ModQar::WmiEnableStatic(*m_nm, nm, QStringLiteral("198.51.100.10"), QStringLiteral("255.255.255.0")), 0);
        QCOMPARE(ModQar::WmiSetGateways(*m_nm, nm, QStringLiteral("198.51.100.1")), 0);
        QCOMPARE(ModQar::WmiSetDnsServer(*m_nm, nm, QStringLiteral("198.51.100.1")), 0);
    }

    void leavesTheAdapterAsItWas_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("routine");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<qint32>("code");
        struct Row {
            const char* name;
            const char* routine;
            const char* first;
            const char* second;
            qint32 code;
        };
        const Row rows[] = {
            { "static, mask 0.0.0.0", "static", "198.51.100.20", "0.0.0.0", 66 },
            { "static, holey mask", "static", "198.51.100.20", "255.0.255.0", 66 },
            { "static, empty mask", "static", "198.51.100.20", "", -1 },
            { "static, address 0.0.0.0", "static", "0.0.0.0", "255.255.255.0", 70 },
            { "static, multicast", "static", "224.0.0.1", "255.255.255.0", 70 },
            { "static, broadcast of its subnet", "static", "198.51.100.255", "255.255.255.0", 70 },
            { "static, network address", "static", "198.51.100.0", "255.255.255.0", 70 },
            { "static, loopback", "static", "127.0.0.1", "255.0.0.0", 70 },
            { "static, limited broadcast /32", "static", "255.255.255.255", "255.255.255.255", 70 },
            { "static, part above 255", "static", "198.51.100.300", "255.255.255.0", 70 },
            { "static, same address again", "static", "198.51.100.10", "255.255.255.0", 0 },
            { "gateway, subnet broadcast", "gateway", "198.51.100.255", "", 71 },
            { "gateway, network address", "gateway", "198.51.100.0", "", 71 },
            { "gateway, own address", "gateway", "198.51.100.10", "", 71 },
            { "gateway, off the subnet", "gateway", "203.0.113.1", "", 71 },
            { "gateway, multicast", "gateway", "224.0.0.1", "", 71 },
            { "gateway, 0.0.0.0", "gateway", "0.0.0.0", "", 71 },
            { "gateway, same again", "gateway", "198.51.100.1", "", 0 },
            { "dns, 0.0.0.0", "dns", "0.0.0.0", "", 70 },
            { "dns, multicast", "dns", "224.0.0.251", "", 70 },
            { "dns, limited broadcast", "dns", "255.255.255.255", "", 70 },
            { "dns, with a blank", "dns", "198.51.100.1 ", "", 70 },
            { "renew, not in DHCP mode", "renew", "", "", 100 },
            { "release, not in DHCP mode", "release", "", "", 100 },
        };
        for (const char* backend : { "kernel", "nm" }) {
            for (const Row& r : rows) {
                QTest::addRow("%s: %s", backend, r.name)
                    << QString::fromLatin1(backend) << r.routine << r.first << r.second << r.code;
            }
        }
        // A DHCP client that can't run: the kernel's own failure.
        QTest::addRow("kernel: dhcp, client missing") << "kernel"
                                                      << "dhcp-broken"
                                                      << ""
                                                      << "" << 81;
    }
    void leavesTheAdapterAsItWas()
    {
        QFETCH(QString, backend);
        QFETCH(QString, routine);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(qint32, code);
        const bool kernel = backend == QLatin1String("kernel");
        if (!kernel && !m_nm)
            QSKIP(qPrintable(m_nmMissing));
        KernelAdapterConfig::Paths broken = m_kernelPaths;
        broken.dhclient = m_dir.path() + QStringLiteral("/no-such-dhclient");
        KernelAdapterConfig brokenKernel(m_clock, broken);
        AdapterConfigBackend& config = routine == QLatin1String("dhcp-broken")
            ? static_cast<AdapterConfigBackend&>(brokenKernel)
            : kernel ? static_cast<AdapterConfigBackend&>(*m_kernel)
                     : static_cast<AdapterConfigBackend&>(*m_nm);
        const InterfaceEntry adapter = entryFor(kernel ? kernelMac : nmMac);
        const QString ns = kernel ? m_kernelPc : m_nmPc;
        const QString iface = kernel ? QStringLiteral("lwrk0") : QStringLiteral("lwrn0");

        const QStringList before = state(config, adapter, ns, iface);
        QVERIFY2(before.first().contains(QLatin1String("198.51.100.10/24")), qPrintable(before.join('\n')));
        qint32 got = -99;
        if (routine == QLatin1String("static"))
            got = ModQar::WmiEnableStatic(config, adapter, first, second);
        else if (routine == QLatin1String("gateway"))
            got = ModQar::WmiSetGateways(config, adapter, first);
        else if (routine == QLatin1String("dns"))
            got = ModQar::WmiSetDnsServer(config, adapter, first);
        else if (routine == QLatin1String("renew"))
            got = ModQar::WmiRenewDhcpLease(config, adapter);
        else if (routine == QLatin1String("release"))
            got = ModQar::WmiReleaseDhcpLease(config, adapter);
        else
            got = ModQar::WmiEnableDhcp(config, adapter);
        QCOMPARE(got, code);
        QCOMPARE(state(config, adapter, ns, iface), before);
        if (kernel)
            QCOMPARE(ModQar::WmiIsDhcpEnabled(config, adapter), 0);
    }

private:
    // Address and mask, routes and DNS, as the kernel and the routines report them.
    QStringList state(
        AdapterConfigBackend& config, const InterfaceEntry& adapter, const QString& ns, const QString& iface)
    {
        QString addresses, routes;
        m_lab.sh(ns, QStringLiteral("ip -4 -o addr show dev %1 | awk '{print $4}'").arg(iface), &addresses);
        m_lab.sh(ns, QStringLiteral("ip -4 route show dev %1").arg(iface), &routes);
        qint32 index = 0;
        return { addresses.trimmed(), routes.trimmed(), ModQar::WmiGetIPAddress(config, adapter, index),
            ModQar::WmiGetIPSubnet(config, adapter, index), ModQar::WmiGetDefaultGateway(config, adapter),
            ModQar::WmiGetDnsServer(config, adapter) };
    }

    SystemClock m_clock;
    NetLab m_lab;
    NetworkManagerLab m_nmLab;
    QTemporaryDir m_dir;
    QString m_kernelPc, m_kernelUnit, m_nmPc, m_nmUnit, m_nmMissing;
    KernelAdapterConfig::Paths m_kernelPaths;
    std::unique_ptr<KernelAdapterConfig> m_kernel;
    std::unique_ptr<NetworkManagerAdapterConfig> m_nm;
};

QTEST_GUILESS_MAIN(tst_AdapterConfigRefusals)
#include "tst_AdapterConfigRefusals.moc"
