#include "SimTransport.h"

#include "discovery/RuraCodec.h"

#include <QNetworkDatagram>

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

QList<QList<QByteArray>> SimTransport::carriage(const QList<QByteArray>& replies, bool split)
{
    if (!split)
        return { replies };
    QList<QList<QByteArray>> out;
    for (const QByteArray& text : replies) {
        qsizetype from = 0;
        while (from < text.size()) {
            const qsizetype end = text.indexOf("\r\n", from);
            const qsizetype next = end < 0 ? text.size() : end + 2;
            out.append({ text.mid(from, next - from) });
            from = next;
        }
    }
    return out;
}

void SimTransport::readPending()
{
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram d = m_socket.receiveDatagram();
        if (!d.isValid())
            continue;
        handle(d.data(), d.senderAddress(), quint16(d.senderPort()), int(d.interfaceIndex()));
    }
}

bool SimTransport::lost(const SimUnit& unit, const QByteArray& datagram, const QList<QByteArray>& commands)
{
    bool chosen = false;
    for (const QByteArray& c : commands)
        chosen = chosen || SimConfig::matches(m_config.resendOnly, QString::fromLatin1(c));
    if (!chosen)
        return false;
    // The PC resends the very same bytes; anything else is a new command.
    if (m_lost.value(unit.serial()) == datagram) {
        m_lost.remove(unit.serial());
        return false;
    }
    m_lost.insert(unit.serial(), datagram);
    return true;
}

void SimTransport::handle(const QByteArray& datagram, const QHostAddress& from, quint16 port, int interfaceIndex)
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
    // The units hear their own broadcasts and each other's; only the PC asks.
    if (!query && commands.isEmpty())
        return;
    if (m_config.verbose)
        std::fprintf(stderr, "unitsim: %lld bytes from %s:%u prefix '%s'\n", qlonglong(datagram.size()),
            qPrintable(from.toString()), port, qPrintable(prefix));

    if (query) {
        const qsizetype n = qsizetype(m_units.size());
        for (qsizetype i = 0; i < n; ++i) {
            if (!prefix.isEmpty() && m_units[i].serial() != prefix)
                continue;
            const int spread = n > 1 ? int(qint64(m_config.spreadMs) * i / n) : 0;
            reply(m_units[i], { { m_config.replyDelayMs + spread, m_units[i].identityDatagram() } }, interfaceIndex);
        }
        // The real units have had their say; now the rest of the LAN floods.
        m_flood.start(from, port);
    }
    if (!commands.isEmpty()) {
        const auto it = m_bySerial.find(prefix);
        if (it == m_bySerial.end())
            return;
        SimUnit& unit = m_units[*it];
        if (lost(unit, datagram, commands)) {
            if (m_config.verbose)
                std::fprintf(stderr, "unitsim: %s lost a command\n", qPrintable(unit.serial()));
            return;
        }
        QList<QByteArray> replies;
        int delayMs = 0;
        int gapMs = -1;
        bool silent = false;
        bool twice = false;
        for (const QByteArray& c : commands) {
            const QString line = QString::fromLatin1(c);
            const SimReply r = m_interpreter.respond(unit, c);
            replies.append(r.text);
            delayMs = qMax(delayMs, r.delayMs);
            silent = silent || r.silent;
            twice = twice || SimConfig::matches(m_config.twice, line);
            for (const auto& [p, ms] : m_config.split)
                if (line.startsWith(p, Qt::CaseInsensitive))
                    gapMs = qMax(gapMs, ms);
        }
        // A unit that is restarting, or told to keep a command unanswered,
        // sends nothing for the whole datagram.
        if (silent)
            return;
        QList<Part> parts;
        int at = m_config.replyDelayMs + delayMs;
        for (const QList<QByteArray>& texts : carriage(replies, gapMs >= 0)) {
            const QByteArray out = unit.responseDatagram(texts);
            parts.append({ at, out });
            // A duplicate leaves right behind the original.
            if (twice)
                parts.append({ at, out });
            at += qMax(gapMs, 0);
        }
        reply(unit, parts, interfaceIndex);
    }
}

void SimTransport::transmit(const QString& serial, const QByteArray& datagram, int interfaceIndex)
{
    // To everyone on the link: the PC hears it whichever network it and the
    // unit are in, as the scan and the address step need of units found
    // outside the PC's network.
    QNetworkDatagram out(datagram, QHostAddress(QHostAddress::Broadcast), m_socket.localPort());
    // Out of the link the request came in on, whatever the routes say (the
    // limited broadcast has no route of its own).
    if (interfaceIndex > 0)
        out.setInterfaceIndex(uint(interfaceIndex));
    const qint64 sent = m_socket.writeDatagram(out);
    if (!m_config.verbose)
        return;
    if (sent == datagram.size())
        std::fprintf(stderr, "unitsim: %s sent %lld bytes to %s\n", qPrintable(serial), qlonglong(sent),
            qPrintable(out.destinationAddress().toString()));
    else
        std::fprintf(stderr, "unitsim: %s could not send to %s: %s\n", qPrintable(serial),
            qPrintable(out.destinationAddress().toString()), qPrintable(m_socket.errorString()));
}

void SimTransport::reply(const SimUnit& unit, QList<Part> parts, int interfaceIndex)
{
    const bool faulty = m_config.faultSerials.isEmpty() || m_config.faultSerials.contains(unit.serial());
    for (Part& p : parts) {
        p.datagram = faulty ? applyFault(m_config.fault, p.datagram, unit.mac()) : p.datagram;
        if (p.datagram.isEmpty()) {
            if (m_config.verbose)
                std::fprintf(stderr, "unitsim: %s keeps silent\n", qPrintable(unit.serial()));
            return;
        }
    }
    // Parts due at the same time leave in one go, back to back, as a unit
    // writes them.
    for (qsizetype from = 0; from < parts.size();) {
        qsizetype to = from + 1;
        while (to < parts.size() && parts[to].delayMs == parts[from].delayMs)
            ++to;
        QByteArrayList burst;
        for (qsizetype i = from; i < to; ++i)
            burst << parts[i].datagram;
        const int delayMs = parts[from].delayMs;
        from = to;
        // Answers due now leave now: a thousand units answer a query within a
        // millisecond, not one per turn of a timer.
        if (delayMs <= 0) {
            for (const QByteArray& d : std::as_const(burst))
                transmit(unit.serial(), d, interfaceIndex);
            continue;
        }
        const auto idBox = std::make_shared<Clock::TimerId>(0);
        const Clock::TimerId id
            = m_clock.schedule(delayMs, [this, idBox, burst, interfaceIndex, serial = unit.serial()] {
                  m_pending.remove(*idBox);
                  for (const QByteArray& d : burst)
                      transmit(serial, d, interfaceIndex);
              });
        *idBox = id;
        m_pending.insert(id);
    }
}
