#include "DaemonLab.h"

#include <QDir>

#include <csignal>
#include <sys/prctl.h>
#include <sys/stat.h>

DaemonLab::DaemonLab(const QString& connectionName)
    : m_connectionName(connectionName)
{ }

DaemonLab::~DaemonLab()
{
    QDBusConnection::disconnectFromBus(m_connectionName);
    stop(m_daemon);
    stop(m_bus);
}

bool DaemonLab::writeFile(const QString& path, const QByteArray& text, QFile::Permissions perms)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        return false;
    f.close();
    return f.setPermissions(perms);
}

void DaemonLab::dieWithParent(QProcess& p)
{
    p.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

void DaemonLab::stop(QProcess& p)
{
    if (p.state() == QProcess::NotRunning)
        return;
    p.terminate();
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(3000);
    }
}

bool DaemonLab::fail(const QString& why)
{
    m_error = why;
    return false;
}

QDBusConnection DaemonLab::bus() const
{
    return QDBusConnection(m_connectionName);
}

QString DaemonLab::log() const
{
    QFile f(root() + QStringLiteral("/daemon.log"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
}

bool DaemonLab::makeDirs(std::initializer_list<const char*> folders)
{
    if (!m_dir.isValid())
        return fail(QStringLiteral("no temporary directory"));
    // Whoever is not root must reach the bus's socket and the daemon's files:
    // a daemon that drops its privileges, a caller the daemon is to refuse.
    ::chmod(QFile::encodeName(root()).constData(), 0755);
    QStringList all;
    for (const char* sub : folders)
        all << QLatin1String(sub);
    all << QStringLiteral("bus");
    for (const QString& sub : all) {
        if (!QDir().mkpath(root() + QLatin1Char('/') + sub))
            return fail(QStringLiteral("cannot make %1").arg(sub));
    }
    return true;
}

bool DaemonLab::startBus(const QByteArray& extraPolicy)
{
    const QByteArray config = "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                              " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                              "<busconfig><type>system</type><listen>unix:path="
        + QFile::encodeName(root())
        + "/bus/socket</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow user=\"*\"/>"
          "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/>"
          "</policy>"
        + extraPolicy + "</busconfig>\n";
    if (!writeFile(root() + QStringLiteral("/bus.conf"), config))
        return fail(QStringLiteral("cannot write the lab's files"));
    dieWithParent(m_bus);
    m_bus.start(QStringLiteral("dbus-daemon"),
        { QStringLiteral("--config-file=") + root() + QStringLiteral("/bus.conf"), QStringLiteral("--nofork"),
            QStringLiteral("--print-address=1") });
    if (!m_bus.waitForStarted(10'000))
        return fail(QStringLiteral("dbus-daemon: ") + m_bus.errorString());
    while (!m_bus.canReadLine()) {
        if (!m_bus.waitForReadyRead(10'000))
            return fail(QStringLiteral("dbus-daemon printed no address"));
    }
    m_busAddress = QString::fromLocal8Bit(m_bus.readLine()).trimmed();
    return true;
}

bool DaemonLab::startDaemon(const QString& ns, const QByteArray& script, const QString& daemonName)
{
    const QString path = root() + QStringLiteral("/daemon.sh");
    if (!writeFile(path, script))
        return fail(QStringLiteral("cannot write the lab's files"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_busAddress);
    m_daemon.setProcessEnvironment(env);
    m_daemon.setStandardOutputFile(root() + QStringLiteral("/daemon.log"));
    m_daemon.setProcessChannelMode(QProcess::MergedChannels);
    dieWithParent(m_daemon);
    // "ip netns exec", unshare and the shell each replace themselves, so the
    // process started here is the daemon itself.
    m_daemon.start(QStringLiteral("ip"),
        { QStringLiteral("netns"), QStringLiteral("exec"), ns, QStringLiteral("unshare"), QStringLiteral("-m"),
            QStringLiteral("sh"), path, root() });
    if (!m_daemon.waitForStarted(10'000))
        return fail(daemonName + QStringLiteral(": ") + m_daemon.errorString());
    if (!QDBusConnection::connectToBus(m_busAddress, m_connectionName).isConnected())
        return fail(QStringLiteral("cannot connect to the lab's bus"));
    return true;
}
