#include "NetLab.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {
bool runCommand(const QString& program, const QStringList& args, QString* output, QString* error)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForStarted(10'000)) {
        *error = program + QStringLiteral(": ") + p.errorString();
        return false;
    }
    p.closeWriteChannel();
    if (!p.waitForFinished(30'000)) {
        p.kill();
        p.waitForFinished();
        *error = program + QStringLiteral(" timed out");
        return false;
    }
    const QString out = QString::fromLocal8Bit(p.readAll());
    if (output)
        *output = out;
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        *error = program + QLatin1Char(' ') + args.join(QLatin1Char(' ')) + QStringLiteral(": ") + out.trimmed();
        return false;
    }
    return true;
}
} // namespace

NetLab::NetLab() = default;

NetLab::~NetLab()
{
    for (QProcess* p : m_processes) {
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(3000)) {
                p->kill();
                p->waitForFinished(3000);
            }
        }
        delete p;
    }
    QString ignored;
    for (const QString& ns : m_namespaces)
        runCommand(QStringLiteral("ip"), { QStringLiteral("netns"), QStringLiteral("delete"), ns }, nullptr, &ignored);
}

QString NetLab::unavailableReason()
{
    if (geteuid() != 0)
        return QStringLiteral("network namespaces need root (CI runs as root)");
    static const QString probe = [] {
        const QString name = QStringLiteral("lwprobe%1").arg(getpid());
        QString error;
        if (!runCommand(
                QStringLiteral("ip"), { QStringLiteral("netns"), QStringLiteral("add"), name }, nullptr, &error))
            return QStringLiteral("cannot make a network namespace here: ") + error;
        runCommand(QStringLiteral("ip"), { QStringLiteral("netns"), QStringLiteral("delete"), name }, nullptr, &error);
        return QString();
    }();
    return probe;
}

QString NetLab::addHost(const QString& role)
{
    const QString name = QStringLiteral("lw%1-%2-%3").arg(getpid()).arg(++m_counter).arg(role);
    if (!runCommand(
            QStringLiteral("ip"), { QStringLiteral("netns"), QStringLiteral("add"), name }, nullptr, &m_lastError))
        return QString();
    m_namespaces << name;
    runCommand(QStringLiteral("ip"),
        { QStringLiteral("-n"), name, QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("lo"),
            QStringLiteral("up") },
        nullptr, &m_lastError);
    return name;
}

NetLab::Cable NetLab::cable(const QString& pcCidr, const QString& unitsCidr, const QString& pcMac)
{
    const QString pc = addHost(QStringLiteral("pc"));
    const QString units = addHost(QStringLiteral("units"));
    if (pc.isEmpty() || units.isEmpty()
        || !link(pc, QStringLiteral("eth0"), pcCidr, units, QStringLiteral("eth0"), unitsCidr, pcMac))
        return {};
    return { pc, units };
}

bool NetLab::link(const QString& nsA, const QString& ifA, const QString& cidrA, const QString& nsB, const QString& ifB,
    const QString& cidrB, const QString& macA, const QString& macB)
{
    const QString ip = QStringLiteral("ip");
    QStringList add { QStringLiteral("link"), QStringLiteral("add"), ifA, QStringLiteral("netns"), nsA };
    if (!macA.isEmpty())
        add << QStringLiteral("address") << macA;
    add << QStringLiteral("type") << QStringLiteral("veth") << QStringLiteral("peer") << QStringLiteral("name") << ifB
        << QStringLiteral("netns") << nsB;
    if (!macB.isEmpty())
        add << QStringLiteral("address") << macB;
    if (!runCommand(ip, add, nullptr, &m_lastError))
        return false;
    const QList<std::pair<QString, std::pair<QString, QString>>> ends { { nsA, { ifA, cidrA } },
        { nsB, { ifB, cidrB } } };
    for (const auto& [ns, end] : ends) {
        if (!end.second.isEmpty()
            && !runCommand(ip,
                { QStringLiteral("-n"), ns, QStringLiteral("addr"), QStringLiteral("add"), end.second,
                    QStringLiteral("dev"), end.first },
                nullptr, &m_lastError))
            return false;
        if (!runCommand(ip,
                { QStringLiteral("-n"), ns, QStringLiteral("link"), QStringLiteral("set"), end.first,
                    QStringLiteral("up") },
                nullptr, &m_lastError))
            return false;
    }
    // The kernel takes a link into use a moment after both ends are up;
    // until then what is sent on it is dropped without an error.
    for (const auto& [ns, end] : ends) {
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            QString shown;
            if (!runCommand(ip,
                    { QStringLiteral("-n"), ns, QStringLiteral("-o"), QStringLiteral("link"), QStringLiteral("show"),
                        end.first },
                    &shown, &m_lastError))
                return false;
            if (shown.contains(QLatin1String("state UP")) && !shown.contains(QLatin1String("qdisc noop")))
                break;
            if (waited.elapsed() > 5000) {
                m_lastError = end.first + QStringLiteral(" in ") + ns + QStringLiteral(" never came up: ") + shown;
                return false;
            }
        }
    }
    return true;
}

bool NetLab::run(const QString& ns, const QStringList& argv, QString* output)
{
    return runCommand(QStringLiteral("ip"), QStringList { QStringLiteral("netns"), QStringLiteral("exec"), ns } + argv,
        output, &m_lastError);
}

bool NetLab::sh(const QString& ns, const QString& command, QString* output)
{
    return run(ns, { QStringLiteral("sh"), QStringLiteral("-c"), command }, output);
}

QProcess* NetLab::start(const QString& ns, const QStringList& argv)
{
    auto* p = new QProcess;
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(QStringLiteral("ip"), QStringList { QStringLiteral("netns"), QStringLiteral("exec"), ns } + argv);
    m_processes << p;
    if (!p->waitForStarted(10'000))
        m_lastError = p->errorString();
    return p;
}

bool NetLab::enter(const QString& ns)
{
    const QByteArray path = QFile::encodeName(QStringLiteral("/run/netns/") + ns);
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        m_lastError = QStringLiteral("open ") + ns + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    // The same steps as "ip netns exec": a private mount namespace that does not
    // propagate back, then the network namespace, then a sysfs of that namespace.
    bool ok = ::unshare(CLONE_NEWNS) == 0 && ::mount("", "/", nullptr, MS_SLAVE | MS_REC, nullptr) == 0
        && ::setns(fd, CLONE_NEWNET) == 0;
    if (ok) {
        ::umount2("/sys", MNT_DETACH);
        ok = ::mount(path.constData(), "/sys", "sysfs", 0, nullptr) == 0;
    }
    if (!ok)
        m_lastError = QStringLiteral("enter ") + ns + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(errno));
    ::close(fd);
    return ok;
}

bool NetLab::inside(const QString& ns, const std::function<void()>& fn)
{
    const QByteArray path = QFile::encodeName(QStringLiteral("/run/netns/") + ns);
    const int target = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    const int home = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    const bool in = target >= 0 && home >= 0 && ::setns(target, CLONE_NEWNET) == 0;
    if (!in)
        m_lastError = QStringLiteral("into ") + ns + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(errno));
    if (in) {
        fn();
        // Failing to come back would leave the test in the wrong network.
        if (::setns(home, CLONE_NEWNET) != 0)
            qFatal("cannot leave network namespace %s: %s", qPrintable(ns), strerror(errno));
    }
    if (target >= 0)
        ::close(target);
    if (home >= 0)
        ::close(home);
    return in;
}
