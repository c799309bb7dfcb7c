#include "SimTransport.h"

#include "discovery/RuraCodec.h"

#include <cstdio>
#include <memory>

SimTransport::SimTransport(
    Clock& clock, const SimConfig& config, std::vector<SimUnit> units, CommandInterpreter& interpreter, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
    , m_config(config)
    , m_units(std::move(units))
    , m_interpreter(interpreter)
    , m_flood(clock, config, m_socket)
{
    for (qsizetype i = 0; i < qsizetype(m_units.size()); ++i)
        m_bySerial.insert(m_units[i].serial(), i);
    connect(&m_socket, &QUdpSocket::readyRead, this, &SimTransport::readPending);
}

SimTransport::~SimTransport()
{
    for (const Clock::TimerId id : std::as_const(m_pending))
        m_clock.cancel(id);
}

bool SimTransport::listen(QString* error)
{
    // Units share the port with nobody; a second simulator on the same
    // address and port is a test set-up mistake worth seeing.
    if (!m_socket.bind(m_config.bindAddress, m_config.port, QAbstractSocket::DontShareAddress)) {
        *error = m_socket.errorString();
        return false;
    }
    return true;
}

QByteArray SimTransport::applyFault(SimFault fault, const QByteArray& datagram, const QByteArray& mac)
{
    switch (fault) {
    case SimFault::None:
        return datagram;
    case SimFault::Silence:
        return {};
    case SimFault::WrongAuthenticator: {
        QByteArray out = datagram;
        for (qsizetype i = out.size() - RuraCodec::AuthenticatorSize; i < out.size(); ++i)
            out[i] = char(out[i] ^ 0x5a);
        return out;
    }
    case SimFault::Short:
        return datagram.left(RuraCodec::MinimumDatagramSize - 1);
    case SimFault::NoCarriageReturn: {
        QByteArray out = datagram;
        out.replace('\r', '\n');
        return out;
    }
    case SimFault::Overrun: {
        // Signed after the damage, as a unit with a faulty length field would.
        QByteArray body = datagram.chopped(RuraCodec::AuthenticatorSize);
        const qsizetype cr = body.indexOf('\r');
        if (cr >= 0 && cr + 3 < body.size()) {
            body[cr + 2] = char(0xff);
            body[cr + 3] = char(0xff);
        }
        return RuraCodec::Authenticate(body, mac);
    }
    }
    return datagram;
}

void SimTransport::readPending()
{
    while (m_socket.hasPendingDatagrams()) {
        QHostAddress from;
        quint16 port = 0;
        QByteArray data(qMax<qint64>(m_socket.pendingDatagramSize(), 0), Qt::Uninitialized);
        const qint64 got = m_socket.readDatagram(data.data(), data.size(), &from, &port);
        if (got < 0)
            continue;
        data.truncate(got);
        handle(data, from, port);
    }
}

void SimTransport::handle(const QByteArray& datagram, const QHostAddress& from, quint16 port)
{
    const RuraCodec::SplitDatagram split = RuraCodec::SplitRuraDatagram(datagram);
    if (!split.accepted)
        return;
    const QString prefix = QString::fromLatin1(split.prefix);
    QList<QByteArray> commands;
    bool query = false;
    for (const RuraCodec::RawRecord& r : split.records) {
        if (r.type == RuraCodec::RuraQuery)
            query = true;
        else if (r.type == RuraCodec::RuraCommand)
            commands.append(r.payload.endsWith('\r') ? r.payload.chopped(1).toByteArray() : r.payload.toByteArray());
    }
    if (m_config.verbose)
        std::fprintf(stderr, "unitsim: %lld bytes from %s:%u prefix '%s'\n", qlonglong(datagram.size()),
            qPrintable(from.toString()), port, qPrintable(prefix));

    if (query) {
        const qsizetype n = qsizetype(m_units.size());
        for (qsizetype i = 0; i < n; ++i) {
            if (!prefix.isEmpty() && m_units[i].serial() != prefix)
                continue;
            const int spread = n > 1 ? int(qint64(m_config.spreadMs) * i / n) : 0;
            reply(m_units[i], m_units[i].identityDatagram(), m_config.replyDelayMs + spread, from, port);
        }
        // The real units have had their say; now the rest of the LAN floods.
        m_flood.start(from, port);
    }
    if (!commands.isEmpty()) {
        const auto it = m_bySerial.find(prefix);
        if (it == m_bySerial.end())
            return;
        SimUnit& unit = m_units[*it];
        QList<QByteArray> replies;
        int delayMs = 0;
        bool silent = false;
        for (const QByteArray& c : commands) {
            const SimReply r = m_interpreter.respond(unit, c);
            replies.append(r.text);
            delayMs = qMax(delayMs, r.delayMs);
            silent = silent || r.silent;
        }
        // A unit that is restarting, or told to keep a command unanswered,
        // sends nothing for the whole datagram.
        if (silent)
            return;
        reply(unit, unit.responseDatagram(replies), m_config.replyDelayMs + delayMs, from, port);
    }
}

void SimTransport::reply(
    const SimUnit& unit, const QByteArray& datagram, int delayMs, const QHostAddress& to, quint16 port)
{
    const bool faulty = m_config.faultSerials.isEmpty() || m_config.faultSerials.contains(unit.serial());
    const QByteArray out = faulty ? applyFault(m_config.fault, datagram, unit.mac()) : datagram;
    if (out.isEmpty()) {
        if (m_config.verbose)
            std::fprintf(stderr, "unitsim: %s keeps silent\n", qPrintable(unit.serial()));
        return;
    }
    // Answers due now leave now: a thousand units answer a query within a
    // millisecond, not one per turn of a timer.
    if (delayMs <= 0) {
        m_socket.writeDatagram(out, to, port);
        if (m_config.verbose)
            std::fprintf(stderr, "unitsim: %s sent %lld bytes\n", qPrintable(unit.serial()), qlonglong(out.size()));
        return;
    }
    const auto idBox = std::make_shared<Clock::TimerId>(0);
    const Clock::TimerId id = m_clock.schedule(delayMs, [this, idBox, out, to, port, serial = unit.serial()] {
        m_pending.remove(*idBox);
        m_socket.writeDatagram(out, to, port);
        if (m_config.verbose)
            std::fprintf(stderr, "unitsim: %s sent %lld bytes\n", qPrintable(serial), qlonglong(out.size()));
    });
    *idBox = id;
    m_pending.insert(id);
}
