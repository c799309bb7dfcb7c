#include "discovery/frmVerevo.h"

#include "discovery/RuraCodec.h"
#include "net/Deadline.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QPointer>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>

namespace {
constexpr int resendIntervalMs = 1000;
constexpr qint64 repeatGapMs = 500;
// Datagrams read before the event loop gets its turn again; the socket's
// notifier calls back at once while more are waiting.
constexpr int readBatch = 128;
// Thousands of units answer a query within a millisecond; the kernel's
// default buffer holds a few hundred of their datagrams.
constexpr int receiveBufferBytes = 8 << 20;

void enlargeReceiveBuffer(qintptr fd)
{
    if (fd < 0)
        return;
    const int bytes = receiveBufferBytes;
    // The forced kind passes net.core.rmem_max and needs CAP_NET_ADMIN;
    // without it the kernel clamps the ordinary request to that maximum.
    if (::setsockopt(int(fd), SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) != 0)
        ::setsockopt(int(fd), SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
}
} // namespace

frmVerevo::frmVerevo(Clock& clock, UserPrompts& prompts, QString& broadcastAddress, InterfaceAddressFn interfaceAddress,
    std::function<void()> endProgram, VerevoSocketOptions options, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
    , m_prompts(prompts)
    , m_broadcastAddress(broadcastAddress)
    , m_interfaceAddress(std::move(interfaceAddress))
    , m_endProgram(std::move(endProgram))
    , m_options(std::move(options))
    , wsock(new QUdpSocket(this))
    , Timer1(clock)
    , m_key(6, ' ')
{
    connect(wsock, &QUdpSocket::readyRead, this, &frmVerevo::readPending);
    connect(wsock, &QUdpSocket::errorOccurred, this, &frmVerevo::socketError);
    connect(&Timer1, &ClockTimer::timeout, this, &frmVerevo::timerTick);
}

frmVerevo::~frmVerevo()
{
    m_quietErrors = true;
    wsock->close();
}

QString frmVerevo::broadcastOf(const QString& address, const QString& mask)
{
    const QString everyone = QStringLiteral("255.255.255.255");
    in_addr a {};
    in_addr m {};
    // With no address or mask for the interface there is no subnet to aim
    // at; the limited broadcast still reaches the units on the link.
    if (address.isEmpty() || mask.isEmpty() || inet_aton(address.toLatin1().constData(), &a) == 0
        || inet_aton(mask.toLatin1().constData(), &m) == 0)
        return everyone;
    const quint32 ha = ntohl(a.s_addr);
    const quint32 hm = ntohl(m.s_addr);
    return QHostAddress((ha & hm) | ~hm).toString();
}

void frmVerevo::setInterface()
{
    const auto [address, mask] = m_interfaceAddress ? m_interfaceAddress() : std::pair<QString, QString>();
    m_broadcastAddress = broadcastOf(address, mask);
}

QByteArray frmVerevo::getstrMac(const QByteArray& mac)
{
    return RuraCodec::getstrMac(mac);
}

void frmVerevo::SetMac(const QByteArray& mac)
{
    m_key = getstrMac(mac);
}

bool frmVerevo::rebind()
{
    m_quietErrors = true;
    wsock->close();
    const bool ok = wsock->bind(m_options.bindAddress, m_options.localPort, QAbstractSocket::DontShareAddress);
    m_quietErrors = false;
    if (!ok) {
        m_bindError = wsock->error();
        m_error = wsock->errorString();
        return false;
    }
    enlargeReceiveBuffer(wsock->socketDescriptor());
    // Our own broadcasts come back to this port; they are known by coming
    // from one of this host's addresses and from the port we send from.
    m_ownAddresses.clear();
    for (const QHostAddress& a : QNetworkInterface::allAddresses()) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol)
            m_ownAddresses.insert(a.toIPv4Address());
    }
    return true;
}

bool frmVerevo::isOwnDatagram(const QHostAddress& sender, quint16 senderPort) const
{
    return senderPort == wsock->localPort() && m_ownAddresses.contains(sender.toIPv4Address());
}

void frmVerevo::SendQuery(const QString& id)
{
    m_stop = false;
    if (!rebind()) {
        if (m_bindError == QAbstractSocket::AddressInUseError)
            m_prompts.message(
                QStringLiteral("It appears that port 7477 is in use, therefore the wizard cannot continue."),
                UserPrompts::Icon::Critical);
        else
            m_prompts.message(QStringLiteral("Error: ") + m_error
                    + QStringLiteral(" The Calvantor wizard will now terminate, apologies for any inconvenience!"),
                UserPrompts::Icon::Critical);
        if (m_endProgram)
            m_endProgram();
        return;
    }
    QByteArray packet;
    RuraCodec::AppendRuraRecord(packet, id, RuraCodec::RuraQuery, true, true, {});
    m_savedCall = 0;
    SendRuraPacket(packet, 2, 0);
}

frmVerevo::CallId frmVerevo::OpenCall(
    const QByteArray& unitMac, const QString& marker, Qt::CaseSensitivity caseSensitivity, bool anyReply)
{
    // Read now, what came before the call is judged without it. Its
    // handlers may drop this object.
    const QPointer<frmVerevo> self(this);
    readPending();
    if (!self)
        return 0;
    return m_ledger.open(getstrMac(unitMac), marker.toLatin1(), caseSensitivity, anyReply);
}

void frmVerevo::EndCall(CallId call)
{
    m_ledger.end(call, m_clock.monotonicMs());
}

bool frmVerevo::Owes(const QByteArray& unitMac) const
{
    return m_ledger.owes(getstrMac(unitMac), m_clock.monotonicMs());
}

qint64 frmVerevo::OwedUntilMs(const QByteArray& unitMac) const
{
    return m_ledger.owedUntil(getstrMac(unitMac), m_clock.monotonicMs());
}

void frmVerevo::ForgetOwed(const QByteArray& unitMac)
{
    m_ledger.forget(getstrMac(unitMac));
}

bool frmVerevo::SendRuraCmds(CallId call, const QString& id, const QStringList& commands)
{
    m_stop = false;
    m_error.clear();
    if (!rebind())
        return false;
    if (commands.isEmpty())
        return true;
    QByteArray packet;
    for (qsizetype i = 0; i < commands.size(); ++i)
        RuraCodec::AppendRuraRecord(
            packet, id, RuraCodec::RuraCommand, i == 0, i == commands.size() - 1, commands[i].toLatin1());
    m_savedCall = call;
    SendRuraPacket(packet, 1, 1);
    return true;
}

void frmVerevo::StopCurrentCommand()
{
    m_stop = true;
    Timer1.stop();
    m_retriesLeft = 0;
}

void frmVerevo::SendRuraPacket(const QByteArray& packet, int sends, int retries)
{
    const QByteArray datagram = RuraCodec::Authenticate(packet, m_key);
    m_answered = false;
    m_savedPacket = datagram;
    m_retriesLeft = retries;
    Timer1.stop();
    if (retries > 0)
        Timer1.start(resendIntervalMs);

    // Handlers run during the gap (and the log of a failed send) and may drop
    // this object.
    const QPointer<frmVerevo> self(this);
    while (sends > 0 && !m_stop) {
        TransmitRuraPacket(datagram);
        // A failed send is reported to the log, which pumps events.
        if (!self)
            return;
        --sends;
        if (sends == 0)
            break;
        Deadline::monotonicIn(m_clock, repeatGapMs).wait([&] { return !self || m_stop; });
        if (!self)
            return;
    }
}

void frmVerevo::TransmitRuraPacket(const QByteArray& packet)
{
    QNetworkDatagram datagram(packet, QHostAddress(m_broadcastAddress), m_options.remotePort);
    // The outgoing interface index travels with the datagram (IP_PKTINFO), so
    // the kernel sends it on that link whatever its routes say.
    const qint32 index = m_options.outgoingInterface ? m_options.outgoingInterface() : 0;
    if (index > 0)
        datagram.setInterfaceIndex(uint(index));
    m_quietErrors = true;
    errno = 0;
    const qint64 sent = wsock->writeDatagram(datagram);
    // The socket layer words every refusal alike; the kernel's reason is
    // what tells a missing route from a link that is gone.
    const int err = errno;
    m_quietErrors = false;
    if (sent == packet.size()) {
        // Only what left can be answered.
        if (m_savedCall != 0 && packet == m_savedPacket)
            m_ledger.sent(m_savedCall, m_clock.monotonicMs());
        return;
    }
    // The resend or the caller's time-out covers a lost datagram, but a
    // refused one must not pass for "no unit answered".
    QString via;
    if (index > 0) {
        const QString name = QNetworkInterface::interfaceNameFromIndex(index);
        via = QStringLiteral(" through ") + (name.isEmpty() ? QString::number(index) : name);
    }
    ProblemReport::report(m_options.problemLog,
        QStringLiteral("Discovery datagram to %1 port %2%3 not sent: %4")
            .arg(m_broadcastAddress)
            .arg(m_options.remotePort)
            .arg(via, err != 0 ? QString::fromLocal8Bit(std::strerror(err)) : wsock->errorString()));
}

void frmVerevo::timerTick()
{
    if (m_retriesLeft >= 1 && !m_answered) {
        --m_retriesLeft;
        TransmitRuraPacket(m_savedPacket);
    } else {
        Timer1.stop();
    }
}

void frmVerevo::readPending()
{
    if (wsock->state() != QAbstractSocket::BoundState)
        return;
    const QPointer<frmVerevo> self(this);
    // A peer that floods the port must not hold the GUI thread: after a batch
    // the rest waits for the next turn of the event loop.
    for (int n = 0; n < readBatch && self && wsock->hasPendingDatagrams(); ++n) {
        const qint64 size = wsock->pendingDatagramSize();
        QByteArray data(qMax<qint64>(size, 0), Qt::Uninitialized);
        QHostAddress sender;
        quint16 senderPort = 0;
        const qint64 got = wsock->readDatagram(data.data(), data.size(), &sender, &senderPort);
        // What we sent ourselves is no answer: it would stop a command's resend.
        if (got < 0 || isOwnDatagram(sender, senderPort))
            continue;
        data.truncate(got);
        // The open and owing calls name the units whose replies they await.
        const qint64 now = m_clock.monotonicMs();
        const QList<QByteArray> keys = m_ledger.keys(now);
        const RuraCodec::ParsedDatagram parsed = RuraCodec::ParseRuraDatagram(data, keys);
        if (!parsed.accepted)
            continue;
        m_answered = true;
        Timer1.stop();
        qsizetype signer = -1;
        QByteArray texts;
        for (const RuraCodec::Event& e : parsed.events) {
            if (e.kind == RuraCodec::Event::CommandResponse) {
                signer = e.signer;
                texts += e.text;
            }
        }
        // Whose the datagram is, decided once for all its records.
        ReplyLedger::Verdict verdict;
        if (signer >= 0)
            verdict = m_ledger.reply(keys[signer], texts, now);
        for (const RuraCodec::Event& e : parsed.events) {
            if (!self)
                return;
            if (e.kind == RuraCodec::Event::Identity) {
                emit RuraIDResponse(e.id.mac, QString::fromLatin1(e.id.SN), QString::fromLatin1(e.id.IPadd),
                    QString::fromLatin1(e.id.UnitId), QString::fromLatin1(e.id.ProductId),
                    QString::fromLatin1(e.id.ModelId));
                continue;
            }
            const QString authenticator = QString::fromLatin1(e.authenticator);
            const QString text = QString::fromLatin1(e.text);
            for (const ReplyLedger::CallId call : std::as_const(verdict.calls)) {
                if (!self)
                    return;
                emit RuraCMDResponse(call, authenticator, text);
            }
        }
    }
}

void frmVerevo::socketError()
{
    if (m_quietErrors)
        return;
    m_prompts.message(QStringLiteral("Winsock Error: ") + wsock->errorString() + QStringLiteral(" : ")
        + QString::number(int(wsock->error())));
}
