#include "net/IcmpEcho.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr quint8 echoReply = 0;
constexpr quint8 echoRequest = 8;
constexpr int headerSize = 8;
// The largest ICMP message that fits one IPv4 datagram.
constexpr qsizetype maxMessage = 65535 - 20;

quint16 be16(const QByteArray& d, int at)
{
    return quint16((quint8(d[at]) << 8) | quint8(d[at + 1]));
}

qint64 nowMs()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1'000'000;
}

class Fd {
public:
    explicit Fd(int fd)
        : m_fd(fd)
    { }
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

int openDatagram()
{
    return ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
}

int openRaw()
{
    return ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
}

// Whether a failed datagram socket is worth a raw one: only when the datagram
// kind itself is refused, not when the process is out of resources.
bool rawMayStillWork(int err)
{
    switch (err) {
    case EACCES:
        // The caller's group is outside net.ipv4.ping_group_range, which the
        // kernel ships as "1 0" (nobody); a process with CAP_NET_RAW still may.
    case EPERM:
        // A security module refused this kind of socket, not ICMP as such.
    case EPROTONOSUPPORT:
    case ESOCKTNOSUPPORT:
    case EAFNOSUPPORT:
        // A kernel built without ping sockets (before 3.0, or CONFIG off).
        return true;
    default:
        // EMFILE, ENFILE, ENOBUFS, ENOMEM: a raw socket would fail the same way.
        return false;
    }
}
} // namespace

namespace IcmpEcho {

quint16 checksum(const QByteArray& data)
{
    quint32 sum = 0;
    qsizetype i = 0;
    for (; i + 1 < data.size(); i += 2)
        sum += be16(data, int(i));
    if (i < data.size())
        sum += quint32(quint8(data[i])) << 8;
    while (sum >> 16)
        sum = (sum & 0xffff) + (sum >> 16);
    return quint16(~sum);
}

QByteArray buildRequest(quint16 identifier, quint16 sequence, const QByteArray& payload)
{
    QByteArray m(headerSize, '\0');
    m[0] = char(echoRequest);
    m[4] = char(identifier >> 8);
    m[5] = char(identifier & 0xff);
    m[6] = char(sequence >> 8);
    m[7] = char(sequence & 0xff);
    m += payload;
    const quint16 sum = checksum(m);
    m[2] = char(sum >> 8);
    m[3] = char(sum & 0xff);
    return m;
}

bool isReplyTo(
    const QByteArray& icmp, quint16 identifier, quint16 sequence, const QByteArray& payload, bool checkIdentifier)
{
    if (icmp.size() < headerSize || quint8(icmp[0]) != echoReply || quint8(icmp[1]) != 0)
        return false;
    if (checkIdentifier && be16(icmp, 4) != identifier)
        return false;
    return be16(icmp, 6) == sequence && icmp.mid(headerSize) == payload;
}

QByteArray stripIpHeader(const QByteArray& packet)
{
    if (packet.size() < 20 || (quint8(packet[0]) >> 4) != 4)
        return QByteArray();
    const int ihl = (quint8(packet[0]) & 0x0f) * 4;
    if (ihl < 20 || ihl > packet.size())
        return QByteArray();
    return packet.mid(ihl);
}

ReplyWait blockingWait()
{
    return { &nowMs, [](int fd, qint64 deadline) {
                for (;;) {
                    pollfd p { fd, POLLIN, 0 };
                    const int ready = ::poll(&p, 1, int(qMax<qint64>(deadline - nowMs(), 0)));
                    if (ready < 0 && errno == EINTR)
                        continue;
                    return ready > 0;
                }
            } };
}

QString unavailableReason()
{
    const int datagram = openDatagram();
    if (datagram >= 0) {
        ::close(datagram);
        return QString();
    }
    const int datagramError = errno;
    if (!rawMayStillWork(datagramError))
        return QStringLiteral("Pings cannot be sent, so every unit shows \"No\": no ICMP socket: %1")
            .arg(QString::fromLocal8Bit(std::strerror(datagramError)));
    const int raw = openRaw();
    if (raw >= 0) {
        ::close(raw);
        return QString();
    }
    QString program = QCoreApplication::applicationFilePath();
    if (program.isEmpty())
        program = QStringLiteral("<path of linkwise>");
    return QStringLiteral("Pings cannot be sent, so every unit shows \"No\": this program may open neither an "
                          "unprivileged ICMP socket (its group %1 is outside net.ipv4.ping_group_range) nor a raw "
                          "one (it lacks CAP_NET_RAW). To allow pings, run as root: setcap cap_net_raw+ep %2 "
                          "(or: sysctl -w net.ipv4.ping_group_range=\"0 2147483647\")")
        .arg(getegid())
        .arg(program);
}

bool echo(quint32 addressHostOrder, const QByteArray& payload, qint32 timeoutMs, SocketKind kind)
{
    return echo(addressHostOrder, payload, timeoutMs, kind, blockingWait());
}

bool echo(quint32 addressHostOrder, const QByteArray& payload, qint32 timeoutMs, SocketKind kind, const ReplyWait& wait)
{
    if (payload.size() + headerSize > maxMessage)
        return false;
    const qint64 deadline = wait.now() + qMax<qint32>(timeoutMs, 0);

    int fd = -1;
    bool raw = kind == SocketKind::Raw;
    if (!raw) {
        fd = openDatagram();
        if (fd < 0) {
            const int err = errno;
            if (kind == SocketKind::Datagram || !rawMayStillWork(err))
                return false;
            raw = true;
        }
    }
    if (raw)
        fd = openRaw();
    const Fd socket(fd);
    if (socket.get() < 0)
        return false;

    if (raw) {
        // Let only echo replies through: every ICMP message of the host reaches
        // a raw socket otherwise, our own request on loopback included.
        icmp_filter filter {};
        filter.data = ~(1u << echoReply);
        ::setsockopt(socket.get(), SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
    }
    const int ttl = 128;
    ::setsockopt(socket.get(), IPPROTO_IP, IP_TTL, &ttl, sizeof ttl);

    // A datagram socket's kernel puts its own identifier in and matches replies
    // by it; on a raw socket ours tells our replies from other pingers'.
    auto* rng = QRandomGenerator::global();
    const quint16 identifier = quint16(rng->bounded(1u << 16));
    const quint16 sequence = quint16(rng->bounded(1u << 16));
    const QByteArray request = buildRequest(identifier, sequence, payload);

    sockaddr_in target {};
    target.sin_family = AF_INET;
    target.sin_addr.s_addr = htonl(addressHostOrder);
    if (::sendto(socket.get(), request.constData(), size_t(request.size()), 0,
            reinterpret_cast<const sockaddr*>(&target), sizeof target)
        != request.size())
        return false;

    QByteArray buffer(int(maxMessage + 60), '\0');
    for (;;) {
        if (!wait.readable(socket.get(), deadline))
            return false;
        sockaddr_in from {};
        socklen_t fromLen = sizeof from;
        const ssize_t n = ::recvfrom(socket.get(), buffer.data(), size_t(buffer.size()), MSG_DONTWAIT,
            reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            // A datagram socket reports an ICMP error for our request (host or
            // network unreachable) here: no echo will come.
            return false;
        }
        if (from.sin_addr.s_addr != target.sin_addr.s_addr)
            continue;
        const QByteArray packet = buffer.left(int(n));
        const QByteArray message = raw ? stripIpHeader(packet) : packet;
        if (isReplyTo(message, identifier, sequence, payload, raw))
            return true;
    }
}

} // namespace IcmpEcho
