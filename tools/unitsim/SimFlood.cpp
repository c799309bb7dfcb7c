#include "SimFlood.h"

#include "discovery/RuraCodec.h"

#include <cstdio>

namespace {
// Datagrams per turn of the event loop: enough to outrun any reader, few
// enough that the simulator still hears its own timers.
constexpr int burstSize = 256;
// Serial numbers and MACs of flooded units start well clear of real ones.
constexpr quint64 firstSerial = 900'000'000;
const QByteArray firstMac = QByteArray::fromHex("02fe00000000");

QByteArray macFor(quint64 n)
{
    QByteArray mac = firstMac;
    for (int i = 5; i >= 2; --i, n >>= 8)
        mac[i] = char(n & 0xff);
    return mac;
}
} // namespace

SimFlood::SimFlood(Clock& clock, const SimConfig& config, QUdpSocket& socket)
    : m_clock(clock)
    , m_config(config)
    , m_socket(socket)
{ }

SimFlood::~SimFlood()
{
    if (m_next)
        m_clock.cancel(m_next);
}

QByteArray SimFlood::datagram(SimFloodKind kind, quint64 n, const QString& address)
{
    if (kind == SimFloodKind::Garbage) {
        // Long enough to pass the length check, with a CR, and records that
        // run nowhere: the costliest kind of rubbish for a reader.
        QByteArray junk(48, char(0xA5));
        junk[3] = '\r';
        for (int i = 4; i < 12; ++i)
            junk[i] = char((n >> (8 * (i - 4))) & 0xff);
        return junk;
    }
    const QByteArray mac = macFor(n);
    const RuraCodec::IdentityTexts id { address.toLatin1(), QByteArray::number(firstSerial + n), "1", "CV100",
        "Calvantor KR5004 Router" };
    QByteArray packet;
    RuraCodec::AppendRuraRecord(packet, QString(), RuraCodec::RuraIdRecord, true, true, {}, mac, id);
    return RuraCodec::Authenticate(packet, mac);
}

void SimFlood::start(const QHostAddress& to, quint16 port)
{
    if (m_until >= 0 || m_config.floodMs <= 0)
        return;
    m_to = to;
    m_port = port;
    m_until = m_clock.monotonicMs() + m_config.floodMs;
    if (m_config.verbose)
        std::fprintf(stderr, "unitsim: flooding %s:%u for %d ms\n", qPrintable(to.toString()), port, m_config.floodMs);
    burst();
}

void SimFlood::burst()
{
    m_next = 0;
    if (m_clock.monotonicMs() >= m_until) {
        std::fprintf(stderr, "unitsim: flood over, %lld datagrams\n", qlonglong(m_sent));
        return;
    }
    for (int i = 0; i < burstSize; ++i) {
        // A full send buffer drops the datagram, as a real flood would lose it.
        m_socket.writeDatagram(datagram(m_config.floodKind, quint64(m_sent), m_config.floodAddress), m_to, m_port);
        ++m_sent;
    }
    m_next = m_clock.schedule(0, [this] { burst(); });
}
