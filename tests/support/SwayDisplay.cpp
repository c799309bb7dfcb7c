#include "SwayDisplay.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

namespace {
constexpr int kStartMs = 20000;
const char* const kSpareUser = "nobody";

QString program(const char* name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

bool runAs(const passwd& user, const QStringList& argv, const QProcessEnvironment& env, QString* why)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program("setpriv"),
        QStringList { QStringLiteral("--reuid=%1").arg(user.pw_uid), QStringLiteral("--regid=%1").arg(user.pw_gid),
            QStringLiteral("--clear-groups"), QStringLiteral("--") }
            + argv);
    const bool ok = p.waitForFinished(kStartMs) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!ok && why)
        *why = argv.join(QLatin1Char(' ')) + QStringLiteral(": ") + QString::fromLocal8Bit(p.readAll());
    return ok;
}
} // namespace

SwayDisplay::~SwayDisplay()
{
    if (m_sway.state() != QProcess::NotRunning) {
        m_sway.terminate();
        if (!m_sway.waitForFinished(5000)) {
            m_sway.kill();
            m_sway.waitForFinished(5000);
        }
    }
}

QString SwayDisplay::unavailableReason()
{
    if (geteuid() != 0)
        return QStringLiteral("sway runs as a spare user, which only root can start it as");
    if (!getpwnam(kSpareUser))
        return QStringLiteral("no user '%1' to run sway as").arg(QLatin1String(kSpareUser));
    for (const char* tool : { "sway", "swaymsg", "Xwayland", "xhost", "setpriv" }) {
        if (program(tool).isEmpty())
            return QStringLiteral("%1 is not installed (scripts/deps.sh installs it)").arg(QLatin1String(tool));
    }
    return QString();
}

bool SwayDisplay::start(const QString& size, int scale)
{
    const passwd* found = getpwnam(kSpareUser);
    if (!found || !m_home.isValid() || !m_clientRuntime.isValid()) {
        m_lastError = QStringLiteral("no spare user or no temporary folder");
        return false;
    }
    const passwd user = *found;
    const QString home = m_home.path();
    const QString config = m_home.filePath(QStringLiteral("config"));
    {
        QFile f(config);
        // The start-up command says where the sockets are once sway serves.
        if (!f.open(QIODevice::WriteOnly)
            || f.write(QStringLiteral("xwayland enable\n"
                                      "output HEADLESS-1 resolution %1 position 0 0 scale %2\n"
                                      "exec sh -c 'echo \"sway-ready $WAYLAND_DISPLAY $DISPLAY $SWAYSOCK\"'\n")
                           .arg(size)
                           .arg(scale)
                           .toUtf8())
                < 0) {
            m_lastError = QStringLiteral("cannot write sway's configuration");
            return false;
        }
    }
    if (chown(QFile::encodeName(home).constData(), user.pw_uid, user.pw_gid) != 0
        || chown(QFile::encodeName(config).constData(), user.pw_uid, user.pw_gid) != 0) {
        m_lastError = QStringLiteral("cannot hand the runtime folder to %1").arg(QLatin1String(kSpareUser));
        return false;
    }

    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    env.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    env.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    // No GPU here: wlroots draws in memory.
    env.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    m_sway.setProcessEnvironment(env);
    m_sway.setProcessChannelMode(QProcess::MergedChannels);
    m_sway.start(program("setpriv"),
        { QStringLiteral("--reuid=%1").arg(user.pw_uid), QStringLiteral("--regid=%1").arg(user.pw_gid),
            QStringLiteral("--clear-groups"), QStringLiteral("--"), program("sway"), QStringLiteral("-c"), config });

    const QRegularExpression ready(QStringLiteral("sway-ready (\\S+) (\\S+) (\\S+)"));
    QByteArray said;
    const QDeadlineTimer deadline(kStartMs);
    QRegularExpressionMatch m;
    while (!(m = ready.match(QString::fromLocal8Bit(said))).hasMatch()) {
        if (m_sway.state() == QProcess::NotRunning || !m_sway.waitForReadyRead(int(deadline.remainingTime()))) {
            m_lastError = QStringLiteral("sway did not start: ") + QString::fromLocal8Bit(said + m_sway.readAll());
            return false;
        }
        said += m_sway.readAll();
    }
    m_wayland = QDir(home).filePath(m.captured(1));
    m_x = m.captured(2);
    m_ipc = m.captured(3);

    // XWayland lets in only the user it runs as; this call also starts it.
    QProcessEnvironment xenv = env;
    xenv.insert(QStringLiteral("DISPLAY"), m_x);
    return runAs(user, { program("xhost"), QStringLiteral("+si:localuser:root") }, xenv, &m_lastError);
}

QProcessEnvironment SwayDisplay::sessionEnvironment(QProcessEnvironment base) const
{
    base.insert(QStringLiteral("WAYLAND_DISPLAY"), m_wayland);
    base.insert(QStringLiteral("DISPLAY"), m_x);
    base.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    base.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_clientRuntime.path());
    base.insert(QStringLiteral("SWAYSOCK"), m_ipc);
    return base;
}

bool SwayDisplay::swaymsg(const QStringList& arguments, QString* output) const
{
    QProcess p;
    p.start(program("swaymsg"), QStringList { QStringLiteral("-s"), m_ipc } + arguments);
    const bool ok = p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (output)
        *output = QString::fromUtf8(p.readAllStandardOutput());
    return ok;
}
