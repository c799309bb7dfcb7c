#include "SimLan.h"

#include "SimArp.h"
#include "SimEthernet.h"

#include <csignal>
#include <cstdio>
#include <sys/prctl.h>

namespace {
int prefixLength(const QString& mask)
{
    QHostAddress m;
    if (!m.setAddress(mask) || m.protocol() != QAbstractSocket::IPv4Protocol)
        return -1;
    const quint32 bits = m.toIPv4Address();
    int n = 0;
    while (n < 32 && (bits & (0x80000000u >> n)))
        ++n;
    // Holes in the mask make no network.
    return quint32(quint64(bits) << n) == 0 ? n : -1;
}

bool isAddress(const QString& text)
{
    QHostAddress a;
    return a.setAddress(text) && a.protocol() == QAbstractSocket::IPv4Protocol;
}
} // namespace

SimLan::SimLan(QString device, QObject* parent)
    : QObject(parent)
    , m_device(std::move(device))
{
    // The DHCP server goes when the simulator does, however it ends.
    m_dhcp.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_dhcp.setProcessChannelMode(QProcess::ForwardedChannels);
}

SimLan::~SimLan()
{
    if (m_dhcp.state() != QProcess::NotRunning) {
        m_dhcp.terminate();
        m_dhcp.waitForFinished(3000);
    }
}

bool SimLan::ip(const QStringList& args) const
{
    const int rc = QProcess::execute(QStringLiteral("ip"), args);
    if (rc != 0)
        std::fprintf(stderr, "unitsim: ip %s failed (%d)\n", qPrintable(args.join(u' ')), rc);
    return rc == 0;
}

void SimLan::observe(const SimUnit& unit, const SimUnitState& state, const QString& line)
{
    const QString port = SimEthernet::lanInterface(unit.model());
    const bool saved = line.compare(u"config 0 save", Qt::CaseInsensitive) == 0;
    // A new address or mask on the LAN port takes effect at once, as the
    // pipeline's check at the new address relies on; a save makes sure.
    const bool portChanged = line.startsWith(port + QStringLiteral(" ipaddr "), Qt::CaseInsensitive)
        || line.startsWith(port + QStringLiteral(" mask "), Qt::CaseInsensitive);
    if (!saved && !portChanged)
        return;
    moveAddress(unit, state.value(port + QStringLiteral(" ipaddr")), state.value(port + QStringLiteral(" mask")));
    if (saved)
        serveDhcp(state);
}

void SimLan::moveAddress(const SimUnit& unit, const QString& address, const QString& mask)
{
    const int prefix = prefixLength(mask);
    if (!isAddress(address) || prefix <= 0 || address == u"0.0.0.0")
        return;
    const QPair<QString, int> before = m_applied.value(unit.serial(), { unit.address(), 24 });
    const QPair<QString, int> after { address, prefix };
    if (before == after)
        return;
    ip({ QStringLiteral("addr"), QStringLiteral("del"), before.first + u'/' + QString::number(before.second),
        QStringLiteral("dev"), m_device });
    if (!ip({ QStringLiteral("addr"), QStringLiteral("add"), address + u'/' + QString::number(prefix),
            QStringLiteral("dev"), m_device }))
        return;
    m_applied[unit.serial()] = after;
    // The kernel says nothing when an address is added; a unit tells the
    // LAN, so that a PC's look-up still open for the address ends at once.
    QString error;
    if (!SimArp::announce(m_device, QHostAddress(address).toIPv4Address(), &error))
        std::fprintf(stderr, "unitsim: %s not announced: %s\n", qPrintable(address), qPrintable(error));
}

void SimLan::serveDhcp(const SimUnitState& state)
{
    const QString first = state.value(QStringLiteral("dhcp 0 ipmin"));
    const int range = state.value(QStringLiteral("dhcp 0 iprange")).toInt();
    const QString mask = state.value(QStringLiteral("dhcp 0 mask"));
    if (!isAddress(first) || range <= 0 || prefixLength(mask) <= 0)
        return;
    const QString last = QHostAddress(QHostAddress(first).toIPv4Address() + quint32(range - 1)).toString();
    // dnsmasq hands out two minutes at the least.
    const int leaseMinutes = qMax(2, state.value(QStringLiteral("dhcp 0 lease")).toInt());
    QStringList args { QStringLiteral("--no-daemon"), QStringLiteral("--conf-file=/dev/null"),
        QStringLiteral("--interface=") + m_device, QStringLiteral("--bind-interfaces"), QStringLiteral("--port=0"),
        QStringLiteral("--user=root"), QStringLiteral("--dhcp-authoritative"),
        QStringLiteral("--dhcp-range=%1,%2,%3,%4m").arg(first, last, mask).arg(leaseMinutes),
        QStringLiteral("--pid-file=") + m_dir.filePath(QStringLiteral("dnsmasq.pid")),
        QStringLiteral("--dhcp-leasefile=") + m_dir.filePath(QStringLiteral("dnsmasq.leases")) };
    if (const QString gw = state.value(QStringLiteral("dhcp 0 gateway")); isAddress(gw))
        args << QStringLiteral("--dhcp-option=3,") + gw;
    if (const QString dns = state.value(QStringLiteral("dhcp 0 dns")); isAddress(dns))
        args << QStringLiteral("--dhcp-option=6,") + dns;
    if (args == m_dhcpArgs && m_dhcp.state() != QProcess::NotRunning)
        return;
    if (m_dhcp.state() != QProcess::NotRunning) {
        m_dhcp.terminate();
        m_dhcp.waitForFinished(3000);
    }
    m_dhcpArgs = args;
    m_dhcp.start(QStringLiteral("dnsmasq"), args);
    if (!m_dhcp.waitForStarted(5000))
        std::fprintf(stderr, "unitsim: no DHCP server: %s\n", qPrintable(m_dhcp.errorString()));
}
