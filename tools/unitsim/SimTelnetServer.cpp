#include "SimTelnetServer.h"

#include <QPointer>
#include <QRegularExpression>
#include <QTcpSocket>

#include <memory>

struct SimTelnetServer::Session {
    enum class Step { User, Password, Commands };
    QPointer<QTcpSocket> socket;
    SimUnit* unit = nullptr;
    Step step = Step::User;
    QByteArray user;
    QByteArray pending;
    // The time of the clock at which the last queued answer goes out.
    qint64 answeredUntilMs = 0;
    bool closed = false;
};

SimTelnetServer::SimTelnetServer(
    const SimConfig& config, std::vector<SimUnit> units, UnitCommandLanguage& language, QObject* parent)
    : QObject(parent)
    , m_config(config)
    , m_units(std::move(units))
    , m_language(language)
{
    connect(&m_server, &QTcpServer::newConnection, this, &SimTelnetServer::accept);
}

SimTelnetServer::~SimTelnetServer()
{
    for (const auto& s : m_sessions)
        if (s->socket)
            s->socket->disconnect(this);
}

bool SimTelnetServer::listen(QString* error)
{
    if (!m_server.listen(m_config.bindAddress, m_config.telnetPort)) {
        *error = m_server.errorString();
        return false;
    }
    return true;
}

SimUnit& SimTelnetServer::unitFor(const QHostAddress& local)
{
    // Inside a lab every unit has an address of its own (the one it was
    // last given, else the one it started with); on loopback they share one
    // and the first unit answers.
    for (SimUnit& u : m_units) {
        const SimUnitState& s = m_language.state(u);
        for (const char* key : { "eth 0 ipaddr", "eth 1 ipaddr" })
            if (QHostAddress(s.value(QLatin1String(key))).isEqual(local, QHostAddress::ConvertV4MappedToIPv4))
                return u;
    }
    for (SimUnit& u : m_units)
        if (QHostAddress(u.address()).isEqual(local, QHostAddress::ConvertV4MappedToIPv4))
            return u;
    return m_units.front();
}

void SimTelnetServer::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        // Answers go out as they are written, as a unit's terminal sends them.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        SimUnit& unit = unitFor(socket->localAddress());
        if (m_language.restarting(unit)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto session = std::make_unique<Session>();
        session->socket = socket;
        session->unit = &unit;
        Session* s = session.get();
        m_sessions.push_back(std::move(session));
        connect(socket, &QTcpSocket::readyRead, this, [this, s] { readFrom(*s); });
        connect(socket, &QTcpSocket::disconnected, this, [this, s] {
            // The hang-up may come from inside this session's own line
            // handling ("reboot"): the session goes once that has returned.
            s->closed = true;
            s->socket->disconnect(this);
            s->socket->deleteLater();
            QMetaObject::invokeMethod(
                this, [this, s] { std::erase_if(m_sessions, [s](const auto& p) { return p.get() == s; }); },
                Qt::QueuedConnection);
        });
        if (!m_config.telnetNoUserPrompt && !m_config.telnetSilent)
            socket->write("Username: ");
        socket->flush();
    }
}

void SimTelnetServer::readFrom(Session& s)
{
    if (m_config.telnetSilent) {
        s.socket->readAll();
        return;
    }
    s.pending += s.socket->readAll();
    // A line ends with CR; the LF a terminal may send after it is dropped.
    for (qsizetype cr = s.pending.indexOf('\r'); cr >= 0; cr = s.pending.indexOf('\r')) {
        QByteArray line = s.pending.left(cr);
        s.pending.remove(0, cr + 1);
        if (s.pending.startsWith('\n'))
            s.pending.remove(0, 1);
        if (line.startsWith('\n'))
            line.remove(0, 1);
        lineFrom(s, line);
        if (s.closed || !s.socket || !s.socket->isOpen())
            return;
    }
}

bool SimTelnetServer::loginMatches(const SimUnit& unit, const QByteArray& user, const QByteArray& password)
{
    if (m_config.telnetRefuseLogin)
        return false;
    // Names are taken in any letter case, passwords exactly as set.
    for (const SimUserProfile& u : m_language.state(unit).users)
        if (!u.name.isEmpty() && u.name.compare(QString::fromLatin1(user), Qt::CaseInsensitive) == 0
            && u.password.toLatin1() == password)
            return true;
    return false;
}

void SimTelnetServer::lineFrom(Session& s, const QByteArray& line)
{
    QTcpSocket& out = *s.socket;
    switch (s.step) {
    case Session::Step::User:
        s.user = line;
        s.step = Session::Step::Password;
        out.write(m_config.telnetPasswordPrompt.toLatin1());
        break;
    case Session::Step::Password:
        if (loginMatches(*s.unit, s.user, line)) {
            s.step = Session::Step::Commands;
            out.write(m_config.telnetLoginBanner);
        } else if (m_config.telnetHangUpOnRefusal) {
            out.write("\r\nLogin incorrect\r\n");
            out.flush();
            out.disconnectFromHost();
            return;
        } else {
            s.step = Session::Step::User;
            out.write("\r\nLogin incorrect\r\nUsername: ");
        }
        break;
    case Session::Step::Commands: {
        m_typed << line;
        const QString typed = QString::fromLatin1(line).trimmed();
        const bool reboot = typed.compare(u"reboot", Qt::CaseInsensitive) == 0;
        SimReply reply = answer(*s.unit, line);
        bool hangUp = reboot;
        for (const QString& p : m_config.telnetHangUp) {
            if (typed.startsWith(p, Qt::CaseInsensitive)) {
                // Half the answer makes it out before the line drops.
                reply.text.truncate(reply.text.size() / 2);
                reply.silent = reply.text.isEmpty();
                hangUp = true;
            }
        }
        queue(s, reply, hangUp);
        return;
    }
    }
    out.flush();
}

void SimTelnetServer::queue(Session& s, const SimReply& reply, bool hangUp)
{
    Clock& clock = m_language.clock();
    const qint64 now = clock.monotonicMs();
    const qint64 at = qMax(now, s.answeredUntilMs) + reply.delayMs;
    s.answeredUntilMs = at;
    const QByteArray text = reply.silent || reply.text.isEmpty() ? QByteArray() : "\r\n" + reply.text;
    auto deliver = [socket = s.socket, text, hangUp] {
        if (!socket)
            return;
        socket->write(text);
        socket->flush();
        if (hangUp)
            socket->disconnectFromHost();
    };
    if (at == now)
        deliver();
    else
        clock.schedule(at - now, deliver);
}

SimReply SimTelnetServer::ping(SimUnit& unit, const QString& host)
{
    if (host.endsWith(QLatin1String(".invalid"), Qt::CaseInsensitive))
        return { QByteArrayLiteral("Unable to resolve ") + host.toLatin1() + "\r\n" };
    // Replies come back only while the cellular link is up, and only from
    // hosts that answer pings at all.
    const bool up = m_language.linkUp(unit);
    const bool answers = up && !m_config.pingUnreachable.contains(host, Qt::CaseInsensitive);
    const QByteArray received = answers ? "4" : "0";
    return { QByteArrayLiteral("Pinging ") + host.toLatin1() + "\r\nPing Statistics for " + host.toLatin1()
            + "\r\nSent: 4\r\nReceived: " + received + "\r\n",
        m_config.pingMs };
}

SimReply SimTelnetServer::answer(SimUnit& unit, const QByteArray& line)
{
    static const QRegularExpression pingLine(
        QStringLiteral(R"(^ping (\S+)(?: ppp \d+)?$)"), QRegularExpression::CaseInsensitiveOption);
    const QString text = QString::fromLatin1(line).trimmed();
    // A unit whose command hangs says nothing at all, its banner included.
    for (const QString& p : m_config.mute)
        if (text.startsWith(p, Qt::CaseInsensitive))
            return { {}, 0, true };
    if (text.compare(u"ATI5", Qt::CaseInsensitive) == 0)
        return { ("Velmar Systems. Velmar " + m_config.productId + " Router\r\nSoftware Build " + m_config.softwareBuild
            + "\r\nBios Ver " + m_config.biosVersion + "\r\nSer#:"
            + (m_config.bannerSerial.isEmpty() ? unit.serial() : m_config.bannerSerial) + " Rev 1.0\r\nOK\r\n")
                     .toLatin1() };
    if (const auto m = pingLine.match(text); m.hasMatch())
        return ping(unit, m.captured(1));
    return m_language.respond(unit, text.toLatin1());
}
