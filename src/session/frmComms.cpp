#include "session/frmComms.h"

#include "net/NumberText.h"
#include "net/Deadline.h"
#include "session/clsTrm.h"
#include "session/modTrmTypes.h"

#include <QRandomGenerator>
#include <QSettings>

namespace {
const QString cr = QStringLiteral("\r");
const QString lf = QStringLiteral("\n");

} // namespace

frmComms::frmComms(Clock& clock, UserPrompts& prompts, TrmOptions options, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
    , m_prompts(prompts)
    , m_options(std::move(options))
{ }

frmComms::~frmComms()
{
    m_closingLocally = true;
    if (!m_socket)
        return;
    disconnect(m_socket.get(), nullptr, this, nullptr);
    m_socket->abort();
}

QTcpSocket& frmComms::Winsock1()
{
    if (!m_socket) {
        m_socket = std::make_unique<QTcpSocket>();
        connect(m_socket.get(), &QTcpSocket::readyRead, this, &frmComms::Winsock1_DataArrival);
        connect(m_socket.get(), &QTcpSocket::disconnected, this, &frmComms::Winsock1_Close);
        connect(m_socket.get(), &QTcpSocket::errorOccurred, this, &frmComms::Winsock1_Error);
    }
    return *m_socket;
}

qint32 frmComms::RetryCount(QSettings* store)
{
    if (!store)
        return 0;
    const QVariant v = store->value(QStringLiteral("operationoptions/txtRetryTelnet"), QStringLiteral("0"));
    // An unquoted value with a comma comes back from an INI file as a list.
    const QString text = v.typeId() == QMetaType::QStringList ? v.toStringList().join(u',') : v.toString();
    // "The number with which the text begins".
    return NumberText::read(text, NumberText::wholeNumber).saturated();
}

int frmComms::winsockState() const
{
    switch (m_socket ? m_socket->state() : QAbstractSocket::UnconnectedState) {
    case QAbstractSocket::UnconnectedState:
        return m_socketError ? 9 : 0;
    case QAbstractSocket::HostLookupState:
        return 4;
    case QAbstractSocket::ConnectingState:
        return 6;
    case QAbstractSocket::ConnectedState:
        return 7;
    case QAbstractSocket::BoundState:
        return 1;
    case QAbstractSocket::ListeningState:
        return 2;
    case QAbstractSocket::ClosingState:
        return 8;
    }
    return 0;
}

void frmComms::RelayStatusMessage(const QString& text)
{
    if (m_owner)
        m_owner->NewStatusMessage(text);
}

void frmComms::RelayErrorMessage(const QString& text)
{
    if (m_owner)
        m_owner->NewErrMessage(text);
}

void frmComms::NotifyClosed()
{
    if (m_owner)
        m_owner->NotifyClosed();
}

void frmComms::closeSocket()
{
    if (!m_socket)
        return;
    m_closingLocally = true;
    m_socket->abort();
    m_closingLocally = false;
}

void frmComms::Backoff()
{
    const int draw = m_options.backoffDraw ? m_options.backoffDraw() : QRandomGenerator::global()->bounded(1, 7);
    modTrmTypes::WaitMs(m_clock, draw * 300, [this] { return ended(); });
}

bool frmComms::Request(const QString& host, quint16 port)
{
    m_socketError = false;
    m_socketErrorText.clear();
    closeSocket();
    Winsock1().connectToHost(host, port);
    // A request the socket turned down inside the call never got under way.
    return Winsock1().state() != QAbstractSocket::UnconnectedState;
}

bool frmComms::GiveUp(const QString& host, const QString& port)
{
    const QString detail = QStringLiteral("Winsockerr = '") + m_socketErrorText + QStringLiteral("' Error no = ")
        + QString::number(0) + QStringLiteral(" State = ") + QString::number(winsockState())
        + QStringLiteral(" Error = ");
    closeSocket();
    LastError = 27;
    ExtendedError = 0;
    RelayErrorMessage(
        QStringLiteral("Last error: ") + QStringLiteral("Host = ") + host + QStringLiteral(" Port = ") + port + detail);
    return false;
}

bool frmComms::ConnectIP(const QString& host, const QString& port, qint32 timeoutMs)
{
    const CallLifetime::Call call(m_life);
    const qint32 retries = RetryCount(m_options.remoteManagement) - 1;
    RelayStatusMessage(QStringLiteral("Initiating IP Connection"));
    const Deadline deadline = Deadline::pastTicks(m_clock, timeoutMs);
    bool portOk = false;
    const quint16 portNumber = port.toUShort(&portOk);
    qint32 refused = 0;
    qint32 errors = 0;
    for (;;) {
        if (!portOk || !Request(host, portNumber)) {
            Backoff();
            if (ended() || ++refused > retries + 1)
                return GiveUp(host, port);
            continue;
        }
        bool reconnect = false;
        while (!reconnect && Winsock1().state() != QAbstractSocket::ConnectedState) {
            if (deadline.passed())
                return GiveUp(host, port);
            m_clock.waitForEvents(deadline.wakeAt());
            // Closed by its owner: nothing is waited for any more.
            if (ended())
                return GiveUp(host, port);
            if (m_socketError) {
                if (errors > retries)
                    return GiveUp(host, port);
                ++errors;
                closeSocket();
                Backoff();
                if (ended())
                    return GiveUp(host, port);
                reconnect = true;
            }
        }
        if (!reconnect)
            break;
    }
    RelayStatusMessage(QStringLiteral("IP connection successful"));
    // A terminal sends short lines, often two in a row (a command and the
    // "at" that follows it); without this the second would wait in the
    // kernel for the unit's delayed acknowledgement of the first.
    Winsock1().setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_tcpConnected = true;
    IPMode = true;
    yieldToEvents();
    return true;
}

qint32 frmComms::ConnectNowTelnet(
    const QString& user, const QString& password, const QString& host, const QString& expectedSerial)
{
    const CallLifetime::Call call(m_life);
    // A session closed while it connected or logged in fails as that step
    // would, without a box: whoever closed it has gone or has said so.
    if (!ConnectIP(host, QString::number(m_options.port), 60000) || ended()) {
        warn(QStringLiteral("Failed to connect to : ") + host);
        return 4;
    }
    IPMode = true;
    if (user.isEmpty() && password.isEmpty()) {
        EnableForwarding();
        return 0;
    }
    if (!LoginSession(user, password) || ended()) {
        warn(QStringLiteral("Failed to login to remote unit"));
        return 5;
    }
    if (!expectedSerial.isEmpty())
        checkSerialAndWarn(expectedSerial);
    if (ended())
        return 5;
    EnableForwarding();
    return 0;
}

void frmComms::warn(const QString& text)
{
    // A session its owner closed says nothing more: whoever closed it has
    // gone or has said so.
    if (!ended())
        m_prompts.message(text, UserPrompts::Icon::Exclamation);
}

void frmComms::checkSerialAndWarn(const QString& expected)
{
    RelayStatusMessage(QStringLiteral("Checking serial number.."));
    if (!VerifySerialNumber(expected))
        warn(QStringLiteral("The unit to which we have connected does not have the expected serial number. Therefore "
                            "the dynamic IP address that Quillstone has for this unit must be out of date!"));
}

bool frmComms::LoginSession(const QString& user, const QString& password)
{
    const CallLifetime::Call call(m_life);
    RelayStatusMessage(QStringLiteral("Login in: ") + m_name);
    // Some units show no user-name prompt; the name is sent all the same.
    waitFor(QStringLiteral("Username: "), 3);
    Send(user + cr);
    if (!waitFor(QStringLiteral("password:"), 10)) {
        RelayStatusMessage(QStringLiteral("Login failure: ") + m_name);
        LastError = 28;
        return false;
    }
    Send(password + cr);
    if (!waitFor(QStringLiteral("SUPER") + cr + lf, 10)) {
        RelayStatusMessage(QStringLiteral("Login failure: ") + m_name);
        LastError = 29;
        return false;
    }
    RelayStatusMessage(QStringLiteral("Login succesful: ") + m_name);
    return true;
}

void frmComms::Send(const QString& data)
{
    Send(data.toLatin1());
}

void frmComms::Send(const QByteArray& raw)
{
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    m_socket->write(raw);
    // Out on the wire now, so that a peer in the same thread sees it at the
    // next pass of the event loop.
    m_socket->flush();
}

QString frmComms::SendCommand(const QString& command, bool* error)
{
    const CallLifetime::Call call(m_life);
    const Exchange exchange(*this);
    Send(command + cr);
    return waitForAndReturn(QStringLiteral("OK") + cr, 50, 0, error);
}

QString frmComms::identify()
{
    const CallLifetime::Call call(m_life);
    const Exchange exchange(*this);
    Send(QStringLiteral("ATI5") + cr + lf);
    // "ERROR" CR ends the wait early; what came until then is parsed.
    bool error = false;
    return waitForAndReturn(QStringLiteral("OK") + cr + lf, 50, 0, &error);
}

QString frmComms::readSerialNumber()
{
    return ParseSerialNumber(identify());
}

void frmComms::Winsock1_DataArrival()
{
    // The owner may close the session from what it is handed, or while the
    // question is up.
    const CallLifetime::Call call(m_life);
    if (!Online || Busy || ended())
        return;
    if (ReceiveAndForward() == 0)
        return;
    if (!m_prompts.askYesNo(
            QStringLiteral("An error has occurred with this CONNECT NOW session, do you wish to ignore it?"),
            UserPrompts::Icon::Question)
        && !ended())
        NotifyClosed();
}

qint32 frmComms::ReceiveAndForward()
{
    const QByteArray bytes = Winsock1().readAll();
    if (bytes.isEmpty())
        return 0;
    if (!m_owner)
        return -1;
    m_owner->ForwardReceivedText(QString::fromLatin1(bytes));
    return 0;
}

void frmComms::Winsock1_Close()
{
    const CallLifetime::Call call(m_life);
    if (!m_closingLocally && !ended())
        NotifyClosed();
}

void frmComms::Winsock1_Error(QAbstractSocket::SocketError)
{
    m_socketError = true;
    m_socketErrorText = Winsock1().errorString();
}

void frmComms::CloseComm()
{
    if (m_socket) {
        m_closingLocally = true;
        m_socket->flush();
        m_socket->abort();
        m_closingLocally = false;
    }
    IPMode = false;
    Online = false;
}

void frmComms::DisconnectSession()
{
    const CallLifetime::Call call(m_life);
    RelayStatusMessage(QStringLiteral("Disconnecting from: ") + m_name);
    // What a session's own socket left pending runs before the window goes.
    // A session that never asked for a connection has nothing pending, and
    // a pump for it would let anything at all run: a new scan drops the
    // sessions of thousands of records at once.
    if (m_socket) {
        yieldToEvents();
        if (m_tcpConnected)
            closeSocket();
    }
    RelayStatusMessage(QStringLiteral("Disconnected from: ") + m_name);
}
