#include "SimWebServer.h"

#include <QRandomGenerator>
#include <QTcpSocket>
#include <QUrlQuery>

namespace {
const QByteArray kCookieName = QByteArrayLiteral("CalvantorSession");

QByteArray page(const QByteArray& status, const QByteArray& body, const QByteArray& extraHeaders = {})
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(body.size())
        + "\r\n" + extraHeaders + "Connection: keep-alive\r\n\r\n" + body;
}

QByteArray loginPage(const QByteArray& note)
{
    return "<html><head><title>Calvantor login</title></head><body>" + note
        + "<form method=\"post\" action=\"/login.asp\">User: <input name=\"username\"> Password: <input "
          "type=\"password\" name=\"password\"> <input type=\"submit\" value=\"Log in\"></form></body></html>";
}

QByteArray sessionFrom(const QByteArray& cookieHeader)
{
    for (QByteArray part : cookieHeader.split(';')) {
        part = part.trimmed();
        if (part.startsWith(kCookieName + '='))
            return part.mid(kCookieName.size() + 1);
    }
    return {};
}
} // namespace

SimWebServer::SimWebServer(const SimConfig& config, QObject* parent)
    : QObject(parent)
    , m_config(config)
{
    connect(&m_server, &QTcpServer::newConnection, this, &SimWebServer::accept);
    if (!m_config.webLog.isEmpty()) {
        m_log.setFileName(m_config.webLog);
        m_log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
    }
}

SimWebServer::~SimWebServer() = default;

bool SimWebServer::listen(QString* error)
{
    if (m_config.webMode == SimWebMode::Refuse)
        return true;
    if (!m_server.listen(m_config.bindAddress, m_config.webPort)) {
        *error = m_server.errorString();
        return false;
    }
    return true;
}

void SimWebServer::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void SimWebServer::readFrom(QTcpSocket* socket)
{
    // Requests are small: the whole of one is waited for, then answered.
    QByteArray buffer = socket->property("pending").toByteArray() + socket->readAll();
    for (;;) {
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            break;
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        Request r;
        r.method = first.value(0);
        r.path = first.value(1);
        qsizetype length = 0;
        for (const QByteArray& line : lines.mid(1)) {
            const qsizetype colon = line.indexOf(':');
            const QByteArray name = line.left(colon).trimmed().toLower();
            const QByteArray value = line.mid(colon + 1).trimmed();
            if (name == "content-length")
                length = value.toLongLong();
            else if (name == "cookie")
                r.cookie = value;
        }
        if (buffer.size() < end + 4 + length)
            break;
        r.body = buffer.mid(end + 4, length);
        buffer.remove(0, end + 4 + length);
        m_requests << r;
        if (m_log.isOpen())
            m_log.write(r.method + ' ' + r.path + '\t' + r.body + '\t' + r.cookie + '\n');
        emit requestRead(r);
        if (m_config.webMode == SimWebMode::Hang)
            continue;
        socket->write(answer(r));
    }
    socket->setProperty("pending", buffer);
}

bool SimWebServer::loginAccepted(const QByteArray& form) const
{
    const QUrlQuery fields(QString::fromLatin1(form));
    return fields.queryItemValue(QStringLiteral("username"), QUrl::FullyDecoded).toLatin1() == userName()
        && fields.queryItemValue(QStringLiteral("password"), QUrl::FullyDecoded).toLatin1() == password();
}

QByteArray SimWebServer::answer(const Request& r)
{
    if (r.path == "/login.asp" && r.method == "GET")
        return page("200 OK", loginPage({}));
    if (r.path == "/login.asp" && r.method == "POST") {
        if (!loginAccepted(r.body))
            return page("200 OK", loginPage("<p>Login failed.</p>"));
        const QByteArray session = QByteArray::number(QRandomGenerator::global()->generate64(), 16);
        m_sessions.insert(session);
        return page("302 Found", "<html><body>Logged in.</body></html>",
            "Set-Cookie: " + kCookieName + '=' + session + "; Path=/\r\nLocation: /default.asp\r\n");
    }
    if (r.path == "/default.asp" && r.method == "GET") {
        if (!m_sessions.contains(sessionFrom(r.cookie)))
            return page("302 Found", "<html><body>Please log in.</body></html>", "Location: /login.asp\r\n");
        return page("200 OK", "<html><head><title>Calvantor</title></head><body>Calvantor status</body></html>");
    }
    return page("404 Not Found", "<html><body>Not found.</body></html>");
}
