#include "NetworkdLab.h"

#include "NetLab.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

namespace {
const char* daemonPath = "/lib/systemd/systemd-networkd";
} // namespace

NetworkdLab::NetworkdLab()
    : DaemonLab(QStringLiteral("networkdlab-%1").arg(getpid()))
{ }

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

QString NetworkdLab::stateDir() const
{
    return root() + QStringLiteral("/netif");
}

bool NetworkdLab::start(const QString& ns, const QStringList& links)
{
    if (!makeDirs({ "netif", "network" }))
        return false;
    const passwd* user = ::getpwnam("systemd-network");
    if (!user || ::chown(QFile::encodeName(stateDir()).constData(), user->pw_uid, user->pw_gid) != 0)
        return fail(QStringLiteral("cannot hand the state directory to systemd-network"));
    for (const QString& link : links) {
        // DHCPv4 alone, as the PC's settings pages deal in nothing else.
        const QByteArray network = "[Match]\nName=" + link.toLatin1()
            + "\n\n[Network]\nDHCP=ipv4\nLinkLocalAddressing=no\nIPv6AcceptRA=no\n";
        if (!writeFile(root() + QStringLiteral("/network/") + link + QStringLiteral(".network"), network))
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
    if (!startBus() || !startDaemon(ns, script, QStringLiteral("systemd-networkd")))
        return false;
    const auto leased = [&] {
        return m_daemon.state() == QProcess::NotRunning
            || QDir(stateDir() + QStringLiteral("/leases")).entryList(QDir::Files).size() >= links.size();
    };
    if (!QTest::qWaitFor(leased, 60'000) || m_daemon.state() == QProcess::NotRunning)
        return fail(QStringLiteral("the daemon holds no lease on every link:\n%1").arg(log()));
    return true;
}
