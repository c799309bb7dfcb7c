#include "net/OwnDhclient.h"

#include "net/Clock.h"
#include "net/Deadline.h"

#include <QDir>
#include <QFile>
#include <QProcess>

OwnDhclient::OwnDhclient(Clock& clock, QString runDir, QString program)
    : m_clock(clock)
    , m_runDir(std::move(runDir))
    , m_program(std::move(program))
{ }

QString OwnDhclient::file(const QString& ifname, const char* suffix) const
{
    return m_runDir + QStringLiteral("/dhclient.") + ifname + QLatin1String(suffix);
}

bool OwnDhclient::dhcpMode(const QString& ifname) const
{
    return QFile::exists(file(ifname, ".dhcp"));
}

void OwnDhclient::setDhcpMode(const QString& ifname, bool on) const
{
    if (!on) {
        QFile::remove(file(ifname, ".dhcp"));
        return;
    }
    QDir().mkpath(m_runDir);
    QFile mark(file(ifname, ".dhcp"));
    if (mark.open(QIODevice::WriteOnly))
        mark.close();
}

qint64 OwnDhclient::pid(const QString& ifname) const
{
    QFile f(file(ifname, ".pid"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toLongLong() : 0;
}

bool OwnDhclient::holdsLease(const QString& ifname) const
{
    return QFile(file(ifname, ".leases")).size() > 0;
}

bool OwnDhclient::prepare() const
{
    return QDir().mkpath(m_runDir);
}

void OwnDhclient::stop(const QString& ifname) const
{
    if (QFile::exists(file(ifname, ".pid")))
        run(ifname, { QStringLiteral("-x") }, callMs);
}

int OwnDhclient::run(const QString& ifname, const QStringList& options, int timeoutMs) const
{
    QDir().mkpath(m_runDir);
    QProcess p;
    // The client stays on as a daemon: it must not hold our pipes open.
    p.setStandardInputFile(QProcess::nullDevice());
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(m_program,
        QStringList { QStringLiteral("-4"), QStringLiteral("-pf"), file(ifname, ".pid"), QStringLiteral("-lf"),
            file(ifname, ".leases") }
            + options + QStringList { ifname });
    if (!p.waitForStarted(10'000))
        return -1;
    Deadline::monotonicIn(m_clock, timeoutMs).wait([&p] { return p.state() == QProcess::NotRunning; });
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished(3000);
        return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}
