#include "NetLab.h"
#include "ScratchEtc.h"
#include "SysfsFixture.h"
#include "net/CAdapterHelper.h"
#include "net/InterfaceEntry.h"
#include "net/KernelAdapterConfig.h"
#include "net/ModQar.h"
#include "net/ModQarWmi.h"
#include "net/SystemClock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QTemporaryDir>
#include <QTest>

namespace {
// One link of the PC's namespace with its settings as cabled.
struct PcLink {
    const char* name;
    const char* cidr; // "" for a port or member that carries no address
    const char* gateway;
    int metric;
};

// Every link of the PC: a bridge over its port, a bond over two members, a
// plain link with a VLAN on top. This kernel offers veth and bridge links
// only, so the bond and the VLAN are veths whose sysfs view (a fixture tree)
// shows the masters, uppers and MACs they have on a real PC.
const PcLink pcLinks[] = {
    { "v0", "", "", 0 },
    { "br0", "10.1.0.2/24", "10.1.0.1", 101 },
    { "eth2", "", "", 0 },
    { "eth3", "", "", 0 },
    { "bond0", "10.2.0.2/24", "10.2.0.1", 102 },
    { "eth0", "10.3.0.2/24", "10.3.0.1", 103 },
    { "eth0.10", "10.4.0.2/24", "10.4.0.1", 104 },
};

QString readAttribute(const QString& dir, const char* name)
{
    QFile f(dir + QLatin1Char('/') + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).trimmed() : QString();
}

bool inLeaseRangeOf(const QString& address, const QString& subnet)
{
    const quint32 v = QHostAddress(address).toIPv4Address();
    const quint32 first = QHostAddress(subnet + QStringLiteral(".100")).toIPv4Address();
    return v >= first && v <= first + 10;
}
} // namespace

// Which link each adapter routine changes, for a bridge, a bond, a VLAN and
// the plain link under it: the one the person chose in the usable-interface
// list, never another that shares its MAC. This process lives in the PC's
// namespace; the units' end of every cable runs one DHCP server for all.
class tst_AdapterTopologies : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QVERIFY(m_dir.isValid());
        m_pc = m_lab.addHost(QStringLiteral("pc"));
        m_units = m_lab.addHost(QStringLiteral("units"));
        QVERIFY2(!m_pc.isEmpty() && !m_units.isEmpty(), qPrintable(m_lab.lastError()));
        // Made in the order a real PC makes them: the bridge and the bond after
        // their ports, the VLAN after its link; all of a group share one MAC.
        const QString bondMac = QStringLiteral("02:00:5e:20:00:01");
        const QString plainMac = QStringLiteral("02:00:5e:30:00:01");
        QVERIFY2(cable("v0", "u0", QStringLiteral("02:00:5e:10:00:01"), "10.1.0.1/24"), qPrintable(m_lab.lastError()));
        QVERIFY2(m_lab.sh(m_pc,
                     QStringLiteral("ip link add br0 type bridge && ip link set v0 master br0 && ip link "
                                    "set br0 address 02:00:5e:10:00:01 && ip link set br0 up")),
            qPrintable(m_lab.lastError()));
        QVERIFY2(cable("eth2", "u2", bondMac, ""), qPrintable(m_lab.lastError()));
        QVERIFY2(cable("eth3", "u3", bondMac, ""), qPrintable(m_lab.lastError()));
        QVERIFY2(cable("bond0", "u1", bondMac, "10.2.0.1/24"), qPrintable(m_lab.lastError()));
        QVERIFY2(cable("eth0", "u4", plainMac, "10.3.0.1/24"), qPrintable(m_lab.lastError()));
        QVERIFY2(cable("eth0.10", "u5", plainMac, "10.4.0.1/24"), qPrintable(m_lab.lastError()));
        m_server = m_lab.start(m_units,
            { QStringLiteral("dnsmasq"), QStringLiteral("--no-daemon"), QStringLiteral("--conf-file=/dev/null"),
                QStringLiteral("--interface=u0"), QStringLiteral("--interface=u1"), QStringLiteral("--interface=u4"),
                QStringLiteral("--interface=u5"), QStringLiteral("--bind-interfaces"), QStringLiteral("--port=0"),
                QStringLiteral("--user=root"), QStringLiteral("--quiet-dhcp"),
                QStringLiteral("--dhcp-range=10.1.0.100,10.1.0.110,255.255.255.0,10m"),
                QStringLiteral("--dhcp-range=10.2.0.100,10.2.0.110,255.255.255.0,10m"),
                QStringLiteral("--dhcp-range=10.3.0.100,10.3.0.110,255.255.255.0,10m"),
                QStringLiteral("--dhcp-range=10.4.0.100,10.4.0.110,255.255.255.0,10m"),
                QStringLiteral("--pid-file=") + m_dir.path() + QStringLiteral("/dnsmasq.pid"),
                QStringLiteral("--dhcp-leasefile=") + m_dir.path() + QStringLiteral("/dnsmasq.leases") });
        QVERIFY(m_server->state() != QProcess::NotRunning);
        QVERIFY2(m_lab.enter(m_pc), qPrintable(m_lab.lastError()));
        // The DHCP client's script may write resolv.conf; the machine's stays.
        QVERIFY2(m_etc.apply("nameserver 203.0.113.53\n"), qPrintable(m_etc.lastError()));

        // The fixture: what the kernel shows, with the bond's members and the
        // VLAN's lower link as a real PC's kernel shows them.
        for (const PcLink& l : pcLinks) {
            const QString dir = QStringLiteral("/sys/class/net/") + QLatin1String(l.name);
            SysfsFixture::Iface i;
            i.name = QLatin1String(l.name);
            i.index = readAttribute(dir, "ifindex").toInt();
            i.address = readAttribute(dir, "address");
            i.flags = readAttribute(dir, "flags");
            i.operstate = readAttribute(dir, "operstate");
            i.speed = QString();
            if (QFileInfo(dir + QStringLiteral("/master")).isSymLink())
                i.master = QFileInfo(QFileInfo(dir + QStringLiteral("/master")).symLinkTarget()).fileName();
            if (i.name == QLatin1String("eth2") || i.name == QLatin1String("eth3"))
                i.master = QStringLiteral("bond0");
            if (i.name == QLatin1String("eth0"))
                i.uppers = { QStringLiteral("eth0.10") };
            QVERIFY2(i.index > 0, l.name);
            m_fixture.add(i);
            m_index.insert(i.name, i.index);
        }
        QCOMPARE(QFileInfo(m_fixture.root() + QStringLiteral("/v0/master")).symLinkTarget(),
            m_fixture.root() + QStringLiteral("/br0"));
    }

    void init() { QVERIFY(resetPc()); }

    void routineChangesTheChosenLinkAlone_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("realSysfs");
        QTest::addColumn<QString>("routine");
        const struct {
            const char* label;
            const char* link;
            bool real;
        } choices[] = {
            { "bridge over a port with its MAC", "br0", true },
            { "bond over two members", "bond0", false },
            { "VLAN on a plain link", "eth0.10", false },
            { "plain link with a VLAN on top", "eth0", false },
        };
        for (const auto& c : choices) {
            for (const char* routine : { "reads", "static address", "gateway", "DHCP road" })
                QTest::addRow("%s: %s", c.label, routine) << QString::fromLatin1(c.link) << c.real << routine;
        }
    }
    void routineChangesTheChosenLinkAlone()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, realSysfs);
        QFETCH(QString, routine);
        const QString sysfs = realSysfs ? QStringLiteral("/sys/class/net") : m_fixture.root();
        KernelAdapterConfig::Paths paths;
        paths.runDir = m_dir.path() + QStringLiteral("/run");
        paths.resolvConf = m_dir.path() + QStringLiteral("/resolv.conf");
        paths.useResolved = false;
        paths.sysClassNet = sysfs;
        paths.leaseTimeoutMs = 20'000;
        KernelAdapterConfig config(m_clock, paths);

        // The entry as start-up makes it from the adapter list.
        CAdapterHelper adapters(sysfs);
        UsableInterfaces usable;
        ModQar::BuildInterfaceList(adapters, usable);
        const InterfaceEntry* entry = nullptr;
        QStringList offered;
        for (const InterfaceEntry& e : usable.InterfaceList) {
            offered << e.Adapter->InterfaceName();
            if (e.Adapter->InterfaceName() == chosen)
                entry = &e;
        }
        QVERIFY2(entry, qPrintable(offered.join(QLatin1Char(' '))));
        QCOMPARE(entry->InterfaceIndex, m_index.value(chosen));
        // A port or member is never offered, even on the kernel's own view.
        QVERIFY(!offered.contains(QLatin1String("v0")));
        if (!realSysfs)
            QVERIFY(!offered.contains(QLatin1String("eth2")) && !offered.contains(QLatin1String("eth3")));
        const PcLink& base = linkNamed(chosen);
        const QString subnet = QString::fromLatin1(base.gateway).section(QLatin1Char('.'), 0, 2);

        const QMap<QString, QString> before = state();
        qint32 index = 0;
        if (routine == QLatin1String("reads")) {
            QCOMPARE(ModQar::WmiGetIPAddress(config, *entry, index), QString::fromLatin1(base.cidr).section('/', 0, 0));
            QCOMPARE(ModQar::WmiGetIPSubnet(config, *entry, index), QStringLiteral("255.255.255.0"));
            QCOMPARE(ModQar::WmiGetDefaultGateway(config, *entry), QString::fromLatin1(base.gateway));
            QCOMPARE(ModQar::WmiIsDhcpEnabled(config, *entry), 0);
            // Named by its MAC alone, as where no index is known: never a port
            // or member, the first of the others with the MAC.
            InterfaceEntry macOnly = *entry;
            macOnly.InterfaceIndex = 0;
            const QString first = chosen == QLatin1String("eth0.10") ? QStringLiteral("eth0") : chosen;
            QCOMPARE(ModQar::WmiGetIPAddress(config, macOnly, index),
                QString::fromLatin1(linkNamed(first).cidr).section('/', 0, 0));
            QCOMPARE(state(), before);
            return;
        }
        if (routine == QLatin1String("static address")) {
            QCOMPARE(
                ModQar::WmiEnableStatic(config, *entry, subnet + QStringLiteral(".9"), QStringLiteral("255.255.255.0")),
                0);
            QCOMPARE(addresses(chosen), subnet + QStringLiteral(".9/24"));
        } else if (routine == QLatin1String("gateway")) {
            QCOMPARE(ModQar::WmiSetGateways(config, *entry, subnet + QStringLiteral(".254")), 0);
            QVERIFY2(routes(chosen).contains(QStringLiteral("default via %1.254 proto static metric 1").arg(subnet)),
                qPrintable(routes(chosen)));
        } else {
            QCOMPARE(ModQar::WmiEnableDhcp(config, *entry), 0);
            QVERIFY2(
                inLeaseRangeOf(ModQar::WmiGetIPAddress(config, *entry, index), subnet), qPrintable(addresses(chosen)));
            QCOMPARE(ModQar::WmiIsDhcpEnabled(config, *entry), 1);
            expectOthersAsBefore(chosen, before);
            QCOMPARE(ModQar::WmiReleaseDhcpLease(config, *entry), 0);
            QCOMPARE(addresses(chosen), QString());
            expectOthersAsBefore(chosen, before);
            QCOMPARE(ModQar::WmiRenewDhcpLease(config, *entry), 0);
            QVERIFY2(
                inLeaseRangeOf(ModQar::WmiGetIPAddress(config, *entry, index), subnet), qPrintable(addresses(chosen)));
            expectOthersAsBefore(chosen, before);
            // Back to the cabled address, which also ends the client.
            QCOMPARE(ModQar::WmiEnableStatic(config, *entry, QString::fromLatin1(base.cidr).section('/', 0, 0),
                         QStringLiteral("255.255.255.0")),
                0);
            QCOMPARE(ModQar::WmiIsDhcpEnabled(config, *entry), 0);
        }
        expectOthersAsBefore(chosen, before);
    }

    void cleanupTestCase()
    {
        // A failed check may have left the program's DHCP client running.
        for (const QString& pidFile :
            QDir(m_dir.path() + QStringLiteral("/run")).entryList({ QStringLiteral("*.pid") }))
            m_lab.sh(m_pc, QStringLiteral("kill $(cat %1/run/%2); true").arg(m_dir.path(), pidFile));
    }

private:
    bool cable(const char* pcEnd, const char* unitEnd, const QString& mac, const char* unitCidr)
    {
        return m_lab.link(
            m_pc, QLatin1String(pcEnd), QString(), m_units, QLatin1String(unitEnd), QLatin1String(unitCidr), mac);
    }

    static const PcLink& linkNamed(const QString& name)
    {
        for (const PcLink& l : pcLinks) {
            if (name == QLatin1String(l.name))
                return l;
        }
        return pcLinks[0];
    }

    // Every link back to its cabled address and default route.
    bool resetPc()
    {
        QString script;
        for (const PcLink& l : pcLinks) {
            script += QStringLiteral("ip addr flush dev %1; ip route flush dev %1;").arg(QLatin1String(l.name));
            if (*l.cidr) {
                script += QStringLiteral("ip addr add %1 dev %2 && ip route add default via %3 dev %2 metric %4 &&")
                              .arg(QLatin1String(l.cidr), QLatin1String(l.name), QLatin1String(l.gateway))
                              .arg(l.metric);
            }
        }
        return m_lab.sh(m_pc, script + QStringLiteral(" true"));
    }

    QString addresses(const QString& dev)
    {
        QString out;
        m_lab.sh(m_pc, QStringLiteral("ip -4 -o addr show dev %1 | awk '{print $4}'").arg(dev), &out);
        return out.trimmed();
    }
    QString routes(const QString& dev)
    {
        QString out;
        m_lab.sh(m_pc, QStringLiteral("ip -4 route show dev %1").arg(dev), &out);
        return out.trimmed();
    }
    // Addresses and routes of every link, by name.
    QMap<QString, QString> state()
    {
        QMap<QString, QString> out;
        for (const PcLink& l : pcLinks)
            out.insert(QLatin1String(l.name),
                addresses(QLatin1String(l.name)) + QStringLiteral(" | ") + routes(QLatin1String(l.name)));
        return out;
    }
    void expectOthersAsBefore(const QString& chosen, const QMap<QString, QString>& before)
    {
        QMap<QString, QString> now = state();
        now.remove(chosen);
        QMap<QString, QString> expected = before;
        expected.remove(chosen);
        QCOMPARE(now, expected);
    }

    SystemClock m_clock;
    NetLab m_lab;
    ScratchEtc m_etc;
    QTemporaryDir m_dir;
    SysfsFixture m_fixture;
    QString m_pc, m_units;
    QProcess* m_server = nullptr;
    QMap<QString, int> m_index;
};

QTEST_GUILESS_MAIN(tst_AdapterTopologies)
#include "tst_AdapterTopologies.moc"
