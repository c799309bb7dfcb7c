#include "NetworkdLab.h"

#include "NetLab.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <csignal>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const char* daemonPath = "/lib/systemd/systemd-networkd";

bool writeFile(const QString& path, const QByteArray& text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        return false;
    f.close();
    return f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}

void dieWithParent(QProcess& p)
{
    p.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

void stop(QProcess& p)
{
    if (p.state() == QProcess::NotRunning)
        return;
    p.terminate();
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(3000);
    }
}
} // namespace

NetworkdLab::NetworkdLab()
    : m_connectionName(QStringLiteral("networkdlab-%1").arg(getpid()))
{ }

NetworkdLab::~NetworkdLab()
{
    QDBusConnection::disconnectFromBus(m_connectionName);
    stop(m_daemon);
    stop(m_bus);
}

QString NetworkdLab::unavailableReason()
{
    if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
        return why;
    if (!QFile::exists(QLatin1String(daemonPath)))
        return QStringLiteral("systemd-networkd is not installed");
    // The daemon drops its privileges to this user, as under systemd.
    if (!::getpwnam("systemd-network"))
        return QStringLiteral("there is no user systemd-network");
    return QString();
}

bool NetworkdLab::fail(const QString& why)
{
    m_error = why;
    return false;
}

QString NetworkdLab::stateDir() const
{
    return m_dir.path() + QStringLiteral("/netif");
}

QDBusConnection NetworkdLab::bus() const
{
    return QDBusConnection(m_connectionName);
}

QString NetworkdLab::log() const
{
    QFile f(m_dir.path() + QStringLiteral("/daemon.log"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
}

bool NetworkdLab::start(const QString& ns, const QStringList& links)
{
    if (!m_dir.isValid())
        return fail(QStringLiteral("no temporary directory"));
    const QString root = m_dir.path();
    // The daemon, no longer root, must reach its state directory and the bus.
    ::chmod(QFile::encodeName(root).constData(), 0755);
    for (const char* sub : { "netif", "network", "bus" }) {
        if (!QDir().mkpath(root + QLatin1Char('/') + QLatin1String(sub)))
            return fail(QStringLiteral("cannot make %1").arg(QLatin1String(sub)));
    }
    const passwd* user = ::getpwnam("systemd-network");
    if (!user || ::chown(QFile::encodeName(stateDir()).constData(), user->pw_uid, user->pw_gid) != 0)
        return fail(QStringLiteral("cannot hand the state directory to systemd-network"));
    const QByteArray busConfig = "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                                 " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                                 "<busconfig><type>system</type><listen>unix:path="
        + QFile::encodeName(root)
        + "/bus/socket</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow user=\"*\"/>"
          "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/>"
          "</policy></busconfig>\n";
    for (const QString& link : links) {
        // DHCPv4 alone, as the PC's settings pages deal in nothing else.
        const QByteArray network = "[Match]\nName=" + link.toLatin1()
            + "\n\n[Network]\nDHCP=ipv4\nLinkLocalAddressing=no\nIPv6AcceptRA=no\n";
        if (!writeFile(root + QStringLiteral("/network/") + link + QStringLiteral(".network"), network))
            return fail(QStringLiteral("cannot write the .network files"));
    }
    const QByteArray script = "set -e\n"
                              "mount --make-rprivate /\n"
                              "mkdir -p /run/systemd/netif /etc/systemd/network\n"
                              "mount --bind \"$1/netif\" /run/systemd/netif\n"
                              "mount --bind \"$1/network\" /etc/systemd/network\n"
                              // Without udevd the daemon waits for udev's database unless
                              // /sys is read-only; then it takes links as they come.
                              "mount -o remount,bind,ro /sys\n"
                              "exec "
        + QByteArray(daemonPath) + "\n";
    if (!writeFile(root + QStringLiteral("/bus.conf"), busConfig)
        || !writeFile(root + QStringLiteral("/networkd.sh"), script))
        return fail(QStringLiteral("cannot write the lab's files"));

    dieWithParent(m_bus);
    m_bus.start(QStringLiteral("dbus-daemon"),
        { QStringLiteral("--config-file=") + root + QStringLiteral("/bus.conf"), QStringLiteral("--nofork"),
            QStringLiteral("--print-address=1") });
    if (!m_bus.waitForStarted(10'000))
        return fail(QStringLiteral("dbus-daemon: ") + m_bus.errorString());
    while (!m_bus.canReadLine()) {
        if (!m_bus.waitForReadyRead(10'000))
            return fail(QStringLiteral("dbus-daemon printed no address"));
    }
    m_busAddress = QString::fromLocal8Bit(m_bus.readLine()).trimmed();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_busAddress);
    m_daemon.setProcessEnvironment(env);
    m_daemon.setStandardOutputFile(root + QStringLiteral("/daemon.log"));
    m_daemon.setProcessChannelMode(QProcess::MergedChannels);
    dieWithParent(m_daemon);
    // "ip netns exec", unshare and the shell each replace themselves, so the
    // process started here is the daemon itself.
    m_daemon.start(QStringLiteral("ip"),
        { QStringLiteral("netns"), QStringLiteral("exec"), ns, QStringLiteral("unshare"), QStringLiteral("-m"),
            QStringLiteral("sh"), root + QStringLiteral("/networkd.sh"), root });
    if (!m_daemon.waitForStarted(10'000))
        return fail(QStringLiteral("systemd-networkd: ") + m_daemon.errorString());
    if (!QDBusConnection::connectToBus(m_busAddress, m_connectionName).isConnected())
        return fail(QStringLiteral("cannot connect to the lab's bus"));
    const auto leased = [&] {
        return m_daemon.state() == QProcess::NotRunning
            || QDir(stateDir() + QStringLiteral("/leases")).entryList(QDir::Files).size() >= links.size();
    };
    if (!QTest::qWaitFor(leased, 60'000) || m_daemon.state() == QProcess::NotRunning)
        return fail(QStringLiteral("the daemon holds no lease on every link:\n%1").arg(log()));
    return true;
}
