#include "NetworkManagerLab.h"

#include "NetLab.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

#include <unistd.h>

NetworkManagerLab::NetworkManagerLab()
    : DaemonLab(QStringLiteral("nmlab-%1").arg(getpid()))
{ }

NetworkManagerLab::~NetworkManagerLab()
{
    stop(m_dhcp);
}

QString NetworkManagerLab::unavailableReason()
{
    if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
        return why;
    for (const char* tool : { "NetworkManager", "dbus-daemon", "unshare" }) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool),
                { QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin"), QStringLiteral("/sbin"),
                    QStringLiteral("/bin") })
                .isEmpty())
            return QStringLiteral("%1 is not installed (scripts/deps.sh installs it)").arg(QLatin1String(tool));
    }
    return QString();
}

QString NetworkManagerLab::profilePath() const
{
    return root() + QStringLiteral("/etc/system-connections/lab.nmconnection");
}

bool NetworkManagerLab::start(const QString& ns, const QString& ifname)
{
    if (!makeDirs({ "etc/system-connections", "etc/conf.d", "var", "run" }))
        return false;
    // As a stricter system bus keeps the device methods from a user.
    const QByteArray devicePolicy = "<policy user=\"daemon\"><deny send_destination=\"org.freedesktop.NetworkManager\" "
                                    "send_interface=\"org.freedesktop.NetworkManager.Device\"/></policy>";
    // The daemon's own defaults apart from what keeps it to the lab: no
    // profiles made up for new devices, its internal DHCP client, and
    // resolv.conf left alone.
    const QByteArray config = "[main]\nplugins=keyfile\nno-auto-default=*\ndhcp=internal\ndns=none\n"
                              "rc-manager=unmanaged\n[logging]\nlevel=INFO\n";
    const QByteArray profile = "[connection]\nid=lab\nuuid=6c1b7f7e-3c55-4a47-9d0c-1a1e2a7f0b11\ntype=ethernet\n"
                               "interface-name="
        + ifname.toLatin1() + "\nautoconnect=true\n\n[ipv4]\nmethod=auto\n\n[ipv6]\nmethod=ignore\n";
    const QByteArray script = "set -e\n"
                              "mount --make-rprivate /\n"
                              "mkdir -p /run/NetworkManager /var/lib/NetworkManager /etc/NetworkManager\n"
                              "mount --bind \"$1/etc\" /etc/NetworkManager\n"
                              "mount --bind \"$1/var\" /var/lib/NetworkManager\n"
                              "mount --bind \"$1/run\" /run/NetworkManager\n"
                              // Without udevd the daemon waits for udev's database unless
                              // /sys is read-only; then it manages devices on its own.
                              "mount -o remount,bind,ro /sys\n"
                              "exec NetworkManager --no-daemon\n";
    if (!writeFile(root() + QStringLiteral("/etc/NetworkManager.conf"), config)
        || !writeFile(profilePath(), profile, QFile::ReadOwner | QFile::WriteOwner))
        return fail(QStringLiteral("cannot write the lab's files"));
    if (!startBus(devicePolicy) || !startDaemon(ns, script, QStringLiteral("NetworkManager")))
        return false;
    QDBusConnection conn = bus();
    const auto activated = [&] {
        if (m_daemon.state() == QProcess::NotRunning)
            return true;
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.NetworkManager"),
            QStringLiteral("/org/freedesktop/NetworkManager"), QStringLiteral("org.freedesktop.NetworkManager"),
            QStringLiteral("GetDeviceByIpIface"));
        call << ifname;
        const QDBusMessage device = conn.call(call, QDBus::Block, 2000);
        if (device.type() != QDBusMessage::ReplyMessage)
            return false;
        QDBusMessage get = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.NetworkManager"),
            device.arguments().first().value<QDBusObjectPath>().path(),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        // With IPv6 ignored, activation waits for the IPv4 lease.
        get << QStringLiteral("org.freedesktop.NetworkManager.Device") << QStringLiteral("State");
        const QDBusMessage state = conn.call(get, QDBus::Block, 2000);
        return state.type() == QDBusMessage::ReplyMessage
            && state.arguments().first().value<QDBusVariant>().variant().toUInt() == 100;
    };
    if (!QTest::qWaitFor(activated, 60'000) || m_daemon.state() == QProcess::NotRunning)
        return fail(QStringLiteral("the daemon did not activate %1:\n%2").arg(ifname, log()));
    return true;
}

bool NetworkManagerLab::startDhcpServer(const QString& ns, const QString& iface, int replyDelayS)
{
    // A server started again appends to the same log.
    const qint64 logged = QFile(root() + QStringLiteral("/dhcp.log")).size();
    dieWithParent(m_dhcp);
    m_dhcp.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_dhcp.start(QStringLiteral("ip"),
        { QStringLiteral("netns"), QStringLiteral("exec"), ns, QStringLiteral("dnsmasq"), QStringLiteral("--no-daemon"),
            QStringLiteral("--conf-file=/dev/null"), QStringLiteral("--interface=") + iface,
            QStringLiteral("--bind-interfaces"), QStringLiteral("--port=0"), QStringLiteral("--user=root"),
            QStringLiteral("--dhcp-range=198.51.100.100,198.51.100.110,255.255.255.0,10m"),
            QStringLiteral("--dhcp-option=3,198.51.100.1"), QStringLiteral("--dhcp-option=6,198.51.100.1"),
            QStringLiteral("--dhcp-reply-delay=%1").arg(replyDelayS), QStringLiteral("--log-dhcp"),
            QStringLiteral("--log-facility=") + root() + QStringLiteral("/dhcp.log"),
            QStringLiteral("--pid-file=") + root() + QStringLiteral("/dhcp.pid"),
            QStringLiteral("--dhcp-leasefile=") + root() + QStringLiteral("/dhcp.leases") });
    if (!m_dhcp.waitForStarted(10'000))
        return fail(QStringLiteral("dnsmasq: ") + m_dhcp.errorString());
    // Ready once it has written its log's first line.
    if (!QTest::qWaitFor(
            [&] {
                return QFile(root() + QStringLiteral("/dhcp.log")).size() > logged
                    || m_dhcp.state() == QProcess::NotRunning;
            },
            10'000)
        || m_dhcp.state() == QProcess::NotRunning)
        return fail(QStringLiteral("dnsmasq did not start"));
    return true;
}

void NetworkManagerLab::stopDhcpServer()
{
    stop(m_dhcp);
}

int NetworkManagerLab::dhcpRequestsSeen() const
{
    QFile f(root() + QStringLiteral("/dhcp.log"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    int n = 0;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.contains("DHCPREQUEST(") || line.contains("DHCPDISCOVER("))
            ++n;
    }
    return n;
}

void NetworkManagerLab::forgetLeases()
{
    QDir var(root() + QStringLiteral("/var"));
    for (const QString& name : var.entryList({ QStringLiteral("*.lease") }, QDir::Files))
        var.remove(name);
}
