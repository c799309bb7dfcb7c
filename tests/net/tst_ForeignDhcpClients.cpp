#include "NetLab.h"
#include "NetworkdLab.h"
#include "ScratchEtc.h"
#include "net/InterfaceEntry.h"
#include "net/KernelAdapterConfig.h"
#include "net/ModQarWmi.h"
#include "net/SystemClock.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/mount.h>

namespace {
const QByteArray mac0 = QByteArray::fromHex("02005e400001");
const QByteArray mac1 = QByteArray::fromHex("02005e400002");

bool leased(const QString& addresses, const char* subnet)
{
    for (const QString& a : addresses.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const quint32 v = QHostAddress(a.section(QLatin1Char('/'), 0, 0)).toIPv4Address();
        const quint32 first = QHostAddress(QLatin1String(subnet) + QStringLiteral(".100")).toIPv4Address();
        if (v >= first && v <= first + 10)
            return true;
    }
    return false;
}

bool alive(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    return stat.open(QIODevice::ReadOnly) && !stat.readAll().contains(") Z ");
}
} // namespace

// DHCP clients of other programs that keep leases on both links of a PC: a
// change of one link never stops a client that serves the other too. Each is
// asked to act on this link alone where it can be (networkd, a dhcpcd
// instance of the one link), else the change is left undone with code 97 and
// a line in the problem log. This process lives in the PC's namespace, with
// dhcpcd's run and lease directories of its own; the units' end runs one DHCP
// server for both links.
class tst_ForeignDhcpClients : public QObject {
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
        QVERIFY2(m_lab.link(m_pc, QStringLiteral("lwd0"), QString(), m_units, QStringLiteral("ud0"),
                     QStringLiteral("10.5.0.1/24"), QStringLiteral("02:00:5e:40:00:01")),
            qPrintable(m_lab.lastError()));
        QVERIFY2(m_lab.link(m_pc, QStringLiteral("lwd1"), QString(), m_units, QStringLiteral("ud1"),
                     QStringLiteral("10.6.0.1/24"), QStringLiteral("02:00:5e:40:00:02")),
            qPrintable(m_lab.lastError()));
        m_server = m_lab.start(m_units,
            { QStringLiteral("dnsmasq"), QStringLiteral("--no-daemon"), QStringLiteral("--conf-file=/dev/null"),
                QStringLiteral("--interface=ud0"), QStringLiteral("--interface=ud1"),
                QStringLiteral("--bind-interfaces"), QStringLiteral("--port=0"), QStringLiteral("--user=root"),
                QStringLiteral("--quiet-dhcp"), QStringLiteral("--dhcp-range=10.5.0.100,10.5.0.110,255.255.255.0,10m"),
                QStringLiteral("--dhcp-range=10.6.0.100,10.6.0.110,255.255.255.0,10m"),
                QStringLiteral("--pid-file=") + m_dir.path() + QStringLiteral("/dnsmasq.pid"),
                QStringLiteral("--dhcp-leasefile=") + m_dir.path() + QStringLiteral("/dnsmasq.leases") });
        QVERIFY(m_server->state() != QProcess::NotRunning);
        QVERIFY2(m_lab.enter(m_pc), qPrintable(m_lab.lastError()));
        QVERIFY2(m_etc.apply("nameserver 203.0.113.53\n"), qPrintable(m_etc.lastError()));
        // dhcpcd keeps its control sockets and leases in fixed places: give
        // this mount namespace its own, so that other tests' never meet ours.
        for (const char* dir : { "/run/dhcpcd", "/var/lib/dhcpcd" }) {
            QVERIFY(QDir().mkpath(QLatin1String(dir)));
            QCOMPARE(::mount("tmpfs", dir, "tmpfs", 0, nullptr), 0);
            m_mounted << QLatin1String(dir);
        }
        m_index0 = index("lwd0");
        m_index1 = index("lwd1");
        QVERIFY(m_index0 > 0 && m_index1 > 0);
    }

    void init()
    {
        m_log.clear();
        QVERIFY(m_lab.sh(m_pc,
            QStringLiteral("ip addr flush dev lwd0; ip addr flush dev lwd1; ip route flush dev lwd0; "
                           "ip route flush dev lwd1; true")));
        m_run = std::make_unique<QTemporaryDir>();
    }

    void cleanup()
    {
        for (QProcess* p : m_clients) {
            p->terminate();
            if (!p->waitForFinished(5000))
                p->kill();
            delete p;
        }
        m_clients.clear();
        if (m_dhclient > 0)
            ::kill(pid_t(m_dhclient), SIGTERM);
        m_dhclient = 0;
        // The program's own client, should a failed check have left it on.
        for (const QString& pid : QDir(m_run->path()).entryList({ QStringLiteral("*.pid") }))
            m_lab.sh(m_pc, QStringLiteral("kill $(cat %1/%2); true").arg(m_run->path(), pid));
        m_run.reset();
    }

    void dhcpcdManagerIsLeftAlone()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dhcpcd"), { QStringLiteral("/usr/sbin") }).isEmpty())
            QSKIP("dhcpcd is not installed (scripts/deps.sh installs dhcpcd-base)");
        // The manager of every interface, as a distribution starts it.
        QProcess* manager = startDhcpcd({});
        QTRY_VERIFY_WITH_TIMEOUT(leased(addresses("lwd0"), "10.5.0") && leased(addresses("lwd1"), "10.6.0"), 40'000);
        KernelAdapterConfig config(m_clock, paths(), problemLog());
        const InterfaceEntry link = entry(mac0, m_index0);
        const QString before0 = addresses("lwd0");
        const QString before1 = addresses("lwd1");
        QCOMPARE(ModQar::WmiIsDhcpEnabled(config, link), 1);
        QCOMPARE(
            ModQar::WmiEnableStatic(config, link, QStringLiteral("10.5.0.9"), QStringLiteral("255.255.255.0")), 97);
        QCOMPARE(ModQar::WmiEnableDhcp(config, link), 97);
        QCOMPARE(ModQar::WmiReleaseDhcpLease(config, link), 97);
        QCOMPARE(ModQar::WmiRenewDhcpLease(config, link), 97);
        QCOMPARE(manager->state(), QProcess::Running);
        QCOMPARE(addresses("lwd0"), before0);
        QCOMPARE(addresses("lwd1"), before1);
        QCOMPARE(m_log.size(), 4);
        for (const QString& line : m_log) {
            QVERIFY2(line.startsWith(QLatin1String("lwd0: "))
                    && line.contains(QStringLiteral("dhcpcd (pid %1)").arg(manager->processId())),
                qPrintable(line));
        }
        QVERIFY2(m_log.first().contains(QLatin1String("static address")), qPrintable(m_log.first()));
    }

    void dhcpcdOfOneLinkIsAskedForIt()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dhcpcd"), { QStringLiteral("/usr/sbin") }).isEmpty())
            QSKIP("dhcpcd is not installed (scripts/deps.sh installs dhcpcd-base)");
        // One instance a link, as ifupdown starts dhcpcd for each interface.
        QProcess* first = startDhcpcd({ QStringLiteral("lwd0") });
        QProcess* second = startDhcpcd({ QStringLiteral("lwd1") });
        QTRY_VERIFY_WITH_TIMEOUT(leased(addresses("lwd0"), "10.5.0") && leased(addresses("lwd1"), "10.6.0"), 40'000);
        const QString before1 = addresses("lwd1");
        KernelAdapterConfig config(m_clock, paths(), problemLog());
        const InterfaceEntry link = entry(mac0, m_index0);
        qint32 index = 0;
        // Released, as its own -k asks it: the lease goes, and so does the instance.
        QCOMPARE(ModQar::WmiReleaseDhcpLease(config, link), 0);
        QTRY_COMPARE_WITH_TIMEOUT(first->state(), QProcess::NotRunning, 10'000);
        QCOMPARE(addresses("lwd0"), QString());
        QCOMPARE(ModQar::WmiIsDhcpEnabled(config, link), 1);
        // The program's own client takes the link over.
        QCOMPARE(ModQar::WmiRenewDhcpLease(config, link), 0);
        QVERIFY(leased(ModQar::WmiGetIPAddress(config, link, index), "10.5.0"));
        QCOMPARE(ModQar::WmiEnableStatic(config, link, QStringLiteral("10.5.0.9"), QStringLiteral("255.255.255.0")), 0);
        QCOMPARE(addresses("lwd0"), QStringLiteral("10.5.0.9/24"));

        // A static address over a new instance of the link stops that one.
        QProcess* again = startDhcpcd({ QStringLiteral("lwd0") });
        QTRY_VERIFY_WITH_TIMEOUT(leased(addresses("lwd0"), "10.5.0"), 40'000);
        QCOMPARE(ModQar::WmiIsDhcpEnabled(config, link), 1);
        QCOMPARE(ModQar::WmiEnableStatic(config, link, QStringLiteral("10.5.0.9"), QStringLiteral("255.255.255.0")), 0);
        QTRY_COMPARE_WITH_TIMEOUT(again->state(), QProcess::NotRunning, 10'000);
        QCOMPARE(addresses("lwd0"), QStringLiteral("10.5.0.9/24"));
        QCOMPARE(ModQar::WmiIsDhcpEnabled(config, link), 0);

        QCOMPARE(second->state(), QProcess::Running);
        QCOMPARE(addresses("lwd1"), before1);
        QVERIFY(m_log.isEmpty());
    }

    void dhclientOfEveryLinkIsLeftAlone()
    {
        // Started by hand without an interface: it serves every one.
        const QString pidFile = m_run->path() + QStringLiteral("/all.pid.foreign");
        QVERIFY(m_lab.run(m_pc,
            { QStringLiteral("dhclient"), QStringLiteral("-4"), QStringLiteral("-pf"), pidFile, QStringLiteral("-lf"),
                m_run->path() + QStringLiteral("/all.leases.foreign") }));
        QFile pid(pidFile);
        QTRY_VERIFY_WITH_TIMEOUT(pid.size() > 0, 10'000);
        QVERIFY(pid.open(QIODevice::ReadOnly));
        m_dhclient = pid.readAll().trimmed().toLongLong();
        QTRY_VERIFY_WITH_TIMEOUT(leased(addresses("lwd0"), "10.5.0") && leased(addresses("lwd1"), "10.6.0"), 40'000);
        KernelAdapterConfig config(m_clock, paths(), problemLog());
        const InterfaceEntry link = entry(mac0, m_index0);
        const QString before0 = addresses("lwd0");
        QCOMPARE(ModQar::WmiIsDhcpEnabled(config, link), 1);
        QCOMPARE(
            ModQar::WmiEnableStatic(config, link, QStringLiteral("10.5.0.9"), QStringLiteral("255.255.255.0")), 97);
        QCOMPARE(ModQar::WmiReleaseDhcpLease(config, link), 97);
        QVERIFY(alive(m_dhclient));
        QCOMPARE(addresses("lwd0"), before0);
        QCOMPARE(m_log.size(), 2);
        QVERIFY2(
            m_log.first().contains(QStringLiteral("dhclient (pid %1)").arg(m_dhclient)), qPrintable(m_log.first()));
    }

    void networkdIsAskedPerLink()
    {
        if (const QString why = NetworkdLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        NetworkdLab networkd;
        QVERIFY2(startNetworkd(networkd), qPrintable(networkd.error()));
        KernelAdapterConfig config(m_clock, networkdPaths(networkd), problemLog(), networkd.bus());
        const InterfaceEntry link = entry(mac0, m_index0);
        const QString lease0 = leaseOf(networkd, m_index0);
        const QString lease1 = leaseOf(networkd, m_index1);
        const QDateTime written0 = QFileInfo(lease0).lastModified();
        const QDateTime written1 = QFileInfo(lease1).lastModified();
        const QString before0 = addresses("lwd0");
        const QString before1 = addresses("lwd1");
        QCOMPARE(ModQar::WmiIsDhcpEnabled(config, link), 1);
        // Renewed over D-Bus for this link alone: its lease is written anew.
        QCOMPARE(ModQar::WmiRenewDhcpLease(config, link), 0);
        QVERIFY(QFileInfo(lease0).lastModified() > written0);
        QCOMPARE(QFileInfo(lease1).lastModified(), written1);
        // networkd has no call for one link's static address or release.
        QCOMPARE(
            ModQar::WmiEnableStatic(config, link, QStringLiteral("10.5.0.9"), QStringLiteral("255.255.255.0")), 97);
        QCOMPARE(ModQar::WmiReleaseDhcpLease(config, link), 97);
        QCOMPARE(m_log.size(), 2);
        QVERIFY2(m_log.first().contains(QStringLiteral("systemd-networkd (pid %1)").arg(networkd.pid())),
            qPrintable(m_log.first()));
        // Its DHCP is on: enabling asks it for a fresh lease.
        const QDateTime renewed0 = QFileInfo(lease0).lastModified();
        QCOMPARE(ModQar::WmiEnableDhcp(config, link), 0);
        QVERIFY(QFileInfo(lease0).lastModified() > renewed0);
        QVERIFY(networkd.running());
        QCOMPARE(addresses("lwd0"), before0);
        QCOMPARE(addresses("lwd1"), before1);
        QCOMPARE(QFileInfo(lease1).lastModified(), written1);
    }

    // The DHCP road asks networkd twice within a second (enable, then renew),
    // and networkd lets an ask pass unheeded that comes just after it has
    // written a lease: each of these back-to-back renewals still ends with a
    // lease written anew, none waits out its deadline for nothing.
    void networkdRenewsBackToBack()
    {
        if (const QString why = NetworkdLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        NetworkdLab networkd;
        QVERIFY2(startNetworkd(networkd), qPrintable(networkd.error()));
        KernelAdapterConfig config(m_clock, networkdPaths(networkd), problemLog(), networkd.bus());
        const InterfaceEntry link = entry(mac0, m_index0);
        const QString lease0 = leaseOf(networkd, m_index0);
        for (int i = 0; i < 20; ++i) {
            const QDateTime before = QFileInfo(lease0).lastModified();
            QCOMPARE(i % 2 == 0 ? ModQar::WmiEnableDhcp(config, link) : ModQar::WmiRenewDhcpLease(config, link), 0);
            QVERIFY2(QFileInfo(lease0).lastModified() > before, qPrintable(QStringLiteral("ask %1").arg(i + 1)));
        }
        QVERIFY(networkd.running());
    }

    void cleanupTestCase()
    {
        for (const QString& dir : m_mounted)
            ::umount2(QFile::encodeName(dir).constData(), MNT_DETACH);
    }

private:
    // networkd serving both links, as the only DHCP client of the PC.
    bool startNetworkd(NetworkdLab& networkd) const
    {
        return networkd.start(m_pc, { QStringLiteral("lwd0"), QStringLiteral("lwd1") });
    }
    KernelAdapterConfig::Paths networkdPaths(const NetworkdLab& networkd) const
    {
        KernelAdapterConfig::Paths p = paths();
        p.networkdRoot = networkd.stateDir();
        return p;
    }
    static QString leaseOf(const NetworkdLab& networkd, int ifindex)
    {
        return networkd.stateDir() + QStringLiteral("/leases/%1").arg(ifindex);
    }
    static int index(const char* name)
    {
        QFile f(QStringLiteral("/sys/class/net/%1/ifindex").arg(QLatin1String(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toInt() : 0;
    }
    static InterfaceEntry entry(const QByteArray& mac, int ifindex)
    {
        InterfaceEntry e;
        e.Mac = mac;
        e.InterfaceIndex = ifindex;
        return e;
    }
    KernelAdapterConfig::Paths paths() const
    {
        KernelAdapterConfig::Paths p;
        p.runDir = m_run->path();
        p.resolvConf = QStringLiteral("/etc/resolv.conf");
        p.useResolved = false;
        p.networkdRoot = m_run->path() + QStringLiteral("/no-networkd");
        p.leaseTimeoutMs = 20'000;
        return p;
    }
    ProblemLog problemLog()
    {
        return [this](const QString& text) { m_log << text; };
    }
    // dhcpcd in the foreground, without hooks (they would set the host name
    // and the time servers), on the given interfaces or, with none, as the
    // manager of all.
    QProcess* startDhcpcd(const QStringList& interfaces)
    {
        auto* p = new QProcess;
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->setStandardOutputFile(QProcess::nullDevice());
        p->start(QStringLiteral("dhcpcd"),
            QStringList { QStringLiteral("-B"), QStringLiteral("-4"), QStringLiteral("-q"), QStringLiteral("-A"),
                QStringLiteral("-L"), QStringLiteral("-c"), QStringLiteral("/bin/true"), QStringLiteral("-t"),
                QStringLiteral("30") }
                + interfaces);
        p->waitForStarted(10'000);
        m_clients << p;
        return p;
    }
    QString addresses(const char* dev)
    {
        QString out;
        m_lab.sh(m_pc, QStringLiteral("ip -4 -o addr show dev %1 | awk '{print $4}'").arg(QLatin1String(dev)), &out);
        return out.trimmed();
    }

    SystemClock m_clock;
    NetLab m_lab;
    ScratchEtc m_etc;
    QTemporaryDir m_dir;
    std::unique_ptr<QTemporaryDir> m_run;
    QString m_pc, m_units;
    QProcess* m_server = nullptr;
    QList<QProcess*> m_clients;
    qint64 m_dhclient = 0;
    QStringList m_mounted;
    QStringList m_log;
    int m_index0 = 0;
    int m_index1 = 0;
};

QTEST_GUILESS_MAIN(tst_ForeignDhcpClients)
#include "tst_ForeignDhcpClients.moc"
