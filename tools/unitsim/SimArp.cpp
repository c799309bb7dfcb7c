#include "SimArp.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr int macSize = 6;

void put16(QByteArray& out, quint16 v)
{
    out += char(v >> 8);
    out += char(v & 0xff);
}

void put32(QByteArray& out, quint32 v)
{
    put16(out, quint16(v >> 16));
    put16(out, quint16(v & 0xffff));
}

QString failed(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}
} // namespace

namespace SimArp {

QByteArray announcement(const QByteArray& mac, quint32 addressHostOrder)
{
    QByteArray m;
    put16(m, ARPHRD_ETHER);
    put16(m, ETHERTYPE_IP);
    m += char(macSize);
    m += char(4);
    put16(m, ARPOP_REQUEST);
    m += mac.left(macSize).leftJustified(macSize, '\0');
    put32(m, addressHostOrder);
    // Nobody's link address is asked for: the target's stays zero.
    m += QByteArray(macSize, '\0');
    put32(m, addressHostOrder);
    return m;
}

bool announce(const QString& device, quint32 addressHostOrder, QString* error)
{
    const QByteArray name = device.toLocal8Bit();
    if (name.isEmpty() || name.size() >= IFNAMSIZ) {
        *error = QStringLiteral("no such device");
        return false;
    }
    // Protocol 0: the socket only sends, and so is handed no frames.
    const int fd = ::socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = failed("packet socket");
        return false;
    }
    ifreq ifr {};
    std::memcpy(ifr.ifr_name, name.constData(), std::size_t(name.size()));
    bool sent = false;
    if (::ioctl(fd, SIOCGIFHWADDR, &ifr) < 0 || ifr.ifr_hwaddr.sa_family != ARPHRD_ETHER) {
        *error = failed("link address");
    } else {
        const QByteArray message = announcement(QByteArray(ifr.ifr_hwaddr.sa_data, macSize), addressHostOrder);
        sockaddr_ll to {};
        to.sll_family = AF_PACKET;
        to.sll_protocol = htons(ETH_P_ARP);
        to.sll_ifindex = int(if_nametoindex(name.constData()));
        to.sll_halen = macSize;
        std::memset(to.sll_addr, 0xff, macSize);
        if (to.sll_ifindex == 0)
            *error = failed("device");
        else if (::sendto(fd, message.constData(), std::size_t(message.size()), 0,
                     reinterpret_cast<const sockaddr*>(&to), sizeof to)
            != message.size())
            *error = failed("send");
        else
            sent = true;
    }
    ::close(fd);
    return sent;
}

} // namespace SimArp
