#include "net/DhcpClientScan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace {
QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The words of a command line that are neither options nor their values:
// the interfaces a client was started for.
QStringList operands(const QStringList& args, const QStringList& optionsWithValue)
{
    QStringList out;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (optionsWithValue.contains(args[i])) {
            ++i;
            continue;
        }
        if (!args[i].startsWith(QLatin1Char('-')))
            out << args[i];
    }
    return out;
}
} // namespace

DhcpClientScan::DhcpClientScan(QString procRoot, QString networkdRoot)
    : m_proc(std::move(procRoot))
    , m_networkd(std::move(networkdRoot))
{ }

QString DhcpClientScan::netnsOf(const QString& pidDir) const
{
    // The link's own text ("net:[inode]") names the namespace; it points at
    // no file, so it is read as it stands.
    char target[64] = {};
    const ssize_t n
        = ::readlink(QFile::encodeName(pidDir + QStringLiteral("/ns/net")).constData(), target, sizeof target - 1);
    return n > 0 ? QString::fromLatin1(target, n) : QString();
}

QList<DhcpClientScan::Client> DhcpClientScan::clientsOf(
    const QString& ifname, int ifindex, const QList<qint64>& ignoredPids) const
{
    // The namespace of the calling thread: the program may run its adapter
    // work in another namespace than its main thread.
    const QString ownNetns = netnsOf(m_proc + QStringLiteral("/thread-self"));
    QList<Client> out;
    const QStringList pids = QDir(m_proc).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : pids) {
        bool numeric = false;
        const qint64 pid = name.toLongLong(&numeric);
        if (!numeric || ignoredPids.contains(pid))
            continue;
        const QString dir = m_proc + QLatin1Char('/') + name;
        const QString comm = QString::fromLocal8Bit(readAll(dir + QStringLiteral("/comm"))).trimmed();
        Client c;
        if (comm == QLatin1String("dhclient"))
            c.kind = Kind::Dhclient;
        else if (comm == QLatin1String("dhcpcd"))
            c.kind = Kind::Dhcpcd;
        else if (comm == QLatin1String("systemd-network"))
            c.kind = Kind::Networkd;
        else
            continue;
        const QString netns = netnsOf(dir);
        if (!ownNetns.isEmpty() && !netns.isEmpty() && netns != ownNetns)
            continue;
        c.pid = pid;
        for (const QByteArray& a : readAll(dir + QStringLiteral("/cmdline")).split('\0')) {
            if (!a.isEmpty())
                c.arguments << QString::fromLocal8Bit(a);
        }
        // An ended client that nobody has reaped yet has no command line.
        if (!c.arguments.isEmpty() && servesInterface(c, ifname, ifindex))
            out << c;
    }
    return out;
}

bool DhcpClientScan::servesInterface(const Client& c, const QString& ifname, int ifindex) const
{
    switch (c.kind) {
    case Kind::Dhclient: {
        // A dhclient named no interface serves them all; "-6" clients hold no IPv4.
        if (c.arguments.contains(QLatin1String("-6")) || c.arguments.contains(QLatin1String("-r"))
            || c.arguments.contains(QLatin1String("-x")))
            return false;
        const QStringList ifs = operands(c.arguments,
            { QStringLiteral("-pf"), QStringLiteral("-lf"), QStringLiteral("-cf"), QStringLiteral("-sf"),
                QStringLiteral("-s"), QStringLiteral("-g"), QStringLiteral("-e"), QStringLiteral("-p"),
                QStringLiteral("-H"), QStringLiteral("-F"), QStringLiteral("-V"), QStringLiteral("-C"),
                QStringLiteral("-I"), QStringLiteral("--timeout") });
        return ifs.isEmpty() || ifs.contains(ifname);
    }
    case Kind::Dhcpcd: {
        if (c.arguments.contains(QLatin1String("-6")) || c.arguments.contains(QLatin1String("--ipv6only")))
            return false;
        const QStringList ifs = operands(c.arguments,
            { QStringLiteral("-f"), QStringLiteral("-c"), QStringLiteral("-h"), QStringLiteral("-i"),
                QStringLiteral("-l"), QStringLiteral("-m"), QStringLiteral("-o"), QStringLiteral("-O"),
                QStringLiteral("-r"), QStringLiteral("-s"), QStringLiteral("-t"), QStringLiteral("-u"),
                QStringLiteral("-v"), QStringLiteral("-y"), QStringLiteral("-z"), QStringLiteral("-e") });
        return ifs.isEmpty() || ifs.contains(ifname);
    }
    case Kind::Networkd: {
        // networkd serves many links; the link's state file says whether it
        // holds a DHCPv4 lease there.
        const QByteArray state = readAll(m_networkd + QStringLiteral("/links/") + QString::number(ifindex));
        for (const QByteArray& line : state.split('\n')) {
            if (line.startsWith("DHCP4_ADDRESS=") || line.startsWith("DHCP_LEASE="))
                return true;
        }
        return false;
    }
    }
    return false;
}
