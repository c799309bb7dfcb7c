#include "net/DhcpClientScan.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {
// Plain reads: the scan opens a file of every process on the machine, and
// QFile's buffering and state cost more than the read itself.
QByteArray readAll(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    QByteArray out;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            out.append(buffer, n);
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(fd);
    return out;
}

QByteArray readAll(const QString& path)
{
    return readAll(QFile::encodeName(path));
}

// The numeric entries of the process directory, one a process, in the order
// of their names.
QList<QByteArray> processNames(const QByteArray& procRoot)
{
    QList<QByteArray> out;
    DIR* dir = ::opendir(procRoot.constData());
    if (!dir)
        return out;
    while (const dirent* e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        bool numeric = false;
        (void)name.toLongLong(&numeric);
        if (numeric)
            out << name;
    }
    ::closedir(dir);
    std::sort(out.begin(), out.end());
    return out;
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

// Options of each client that take the next word as their value.
const QStringList dhclientValued { QStringLiteral("-pf"), QStringLiteral("-lf"), QStringLiteral("-cf"),
    QStringLiteral("-sf"), QStringLiteral("-s"), QStringLiteral("-g"), QStringLiteral("-e"), QStringLiteral("-p"),
    QStringLiteral("-H"), QStringLiteral("-F"), QStringLiteral("-V"), QStringLiteral("-C"), QStringLiteral("-I"),
    QStringLiteral("--timeout") };
const QStringList dhcpcdValued { QStringLiteral("-C"), QStringLiteral("-c"), QStringLiteral("-e"), QStringLiteral("-F"),
    QStringLiteral("-f"), QStringLiteral("-h"), QStringLiteral("-I"), QStringLiteral("-i"), QStringLiteral("-j"),
    QStringLiteral("-l"), QStringLiteral("-m"), QStringLiteral("-O"), QStringLiteral("-o"), QStringLiteral("-Q"),
    QStringLiteral("-r"), QStringLiteral("-S"), QStringLiteral("-s"), QStringLiteral("-t"), QStringLiteral("-u"),
    QStringLiteral("-v"), QStringLiteral("-W"), QStringLiteral("-X"), QStringLiteral("-y"), QStringLiteral("-Z"),
    QStringLiteral("-z"), QStringLiteral("--nohook"), QStringLiteral("--script"), QStringLiteral("--env"),
    QStringLiteral("--fqdn"), QStringLiteral("--config"), QStringLiteral("--hostname"), QStringLiteral("--clientid"),
    QStringLiteral("--vendorclassid"), QStringLiteral("--logfile"), QStringLiteral("--leasetime"),
    QStringLiteral("--metric"), QStringLiteral("--nooption"), QStringLiteral("--option"), QStringLiteral("--require"),
    QStringLiteral("--request"), QStringLiteral("--static"), QStringLiteral("--inform"), QStringLiteral("--timeout"),
    QStringLiteral("--userclass"), QStringLiteral("--vendor"), QStringLiteral("--whitelist"),
    QStringLiteral("--blacklist"), QStringLiteral("--denyinterfaces"), QStringLiteral("--allowinterfaces"),
    QStringLiteral("--reboot") };

// "dhcpcd: [manager] [ip4]" for the manager of every interface, "dhcpcd: eth0
// [ip4]" for an instance of one interface; its helper processes (privilege
// separation proxies, the packet filters of each interface) show their role
// in brackets and are no client of their own. No family named means both.
bool dhcpcdTitleServes(DhcpClientScan::Client& c, const QString& ifname)
{
    const QStringList words = c.arguments.first().mid(8).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return false;
    const bool ip4 = words.contains(QLatin1String("[ip4]")) || !words.contains(QLatin1String("[ip6]"));
    if (!ip4)
        return false;
    if (words.first() == QLatin1String("[manager]")) {
        c.servesOtherLinks = true;
        return true;
    }
    if (words.first().startsWith(QLatin1Char('[')))
        return false;
    c.servesOtherLinks = false;
    return words.first() == ifname;
}
} // namespace

QString DhcpClientScan::nameOf(Kind kind)
{
    switch (kind) {
    case Kind::Dhclient:
        return QStringLiteral("dhclient");
    case Kind::Dhcpcd:
        return QStringLiteral("dhcpcd");
    case Kind::Networkd:
        return QStringLiteral("systemd-networkd");
    }
    return QString();
}

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
    const QByteArray procRoot = QFile::encodeName(m_proc);
    for (const QByteArray& name : processNames(procRoot)) {
        const qint64 pid = name.toLongLong();
        if (ignoredPids.contains(pid))
            continue;
        const QByteArray comm = readAll(procRoot + '/' + name + "/comm").trimmed();
        Client c;
        if (comm == "dhclient")
            c.kind = Kind::Dhclient;
        else if (comm == "dhcpcd")
            c.kind = Kind::Dhcpcd;
        else if (comm == "systemd-network")
            c.kind = Kind::Networkd;
        else
            continue;
        const QString dir = m_proc + QLatin1Char('/') + QFile::decodeName(name);
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

bool DhcpClientScan::servesInterface(Client& c, const QString& ifname, int ifindex) const
{
    switch (c.kind) {
    case Kind::Dhclient: {
        // A dhclient named no interface serves them all; "-6" clients hold no IPv4.
        if (c.arguments.contains(QLatin1String("-6")) || c.arguments.contains(QLatin1String("-r"))
            || c.arguments.contains(QLatin1String("-x")))
            return false;
        const QStringList ifs = operands(c.arguments, dhclientValued);
        c.servesOtherLinks = ifs != QStringList { ifname };
        return ifs.isEmpty() || ifs.contains(ifname);
    }
    case Kind::Dhcpcd: {
        // dhcpcd 9 and later show a title in place of their arguments.
        if (c.arguments.size() == 1 && c.arguments.first().startsWith(QLatin1String("dhcpcd: ")))
            return dhcpcdTitleServes(c, ifname);
        if (c.arguments.contains(QLatin1String("-6")) || c.arguments.contains(QLatin1String("--ipv6only")))
            return false;
        const QStringList ifs = operands(c.arguments, dhcpcdValued);
        // Started for one interface it is an instance of that link alone,
        // unless told to be the manager of all.
        c.servesOtherLinks = ifs != QStringList { ifname } || c.arguments.contains(QLatin1String("-M"))
            || c.arguments.contains(QLatin1String("--manager")) || c.arguments.contains(QLatin1String("--master"));
        return ifs.isEmpty() || ifs.contains(ifname);
    }
    case Kind::Networkd: {
        // networkd serves many links; the link's state file says whether it
        // holds a DHCPv4 lease there.
        c.servesOtherLinks = true;
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
