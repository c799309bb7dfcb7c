#pragma once

#include "net/Clock.h"
#include "net/UserPrompts.h"
#include "session/TrmOptions.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>

#include <functional>

class clsTrm;
class WaitDeadline;

// The hidden side of a terminal session: the telnet socket and everything
// that reads and writes it. Only TCP links are made here; the serial link of
// the original program was never opened by anything and is left out.
class frmComms : public QObject {
    Q_OBJECT
public:
    frmComms(Clock& clock, UserPrompts& prompts, TrmOptions options, QObject* parent = nullptr);
    ~frmComms() override;

    void CfgTrm(clsTrm* owner) { m_owner = owner; }
    void setName(const QString& name) { m_name = name; }

    // 0 connected (and logged in when a user name or password is given),
    // 4 the connection failed, 5 the login failed.
    qint32 ConnectNowTelnet(
        const QString& user, const QString& password, const QString& host, const QString& expectedSerial);
    bool ConnectIP(const QString& host, const QString& port, qint32 timeoutMs);
    bool LoginSession(const QString& user, const QString& password);

    // Bytes go as they are, one byte per character; nothing is appended.
    void Send(const QString& data);
    void Send(const QByteArray& raw);
    QString SendCommand(const QString& command, bool* error = nullptr);
    QString readSerialNumber();

    // Waits on the tick counter for the marker, in any letter case; nothing
    // after the marker is consumed. False when the deadline passed first.
    bool waitFor(const QString& marker, qint32 timeoutSeconds);
    // Collects what arrives until the marker (any letter case) or, with an
    // error flag, "ERROR" CR; "" when the deadline passed. Reads at most
    // byteLimit bytes at a time (0: what is pending, up to ReadPieceSize).
    // A reply longer than ReplyHeadLimit keeps its first ReplyHeadLimit bytes
    // and its last ReplyTailLimit bytes.
    QString waitForAndReturn(const QString& marker, qint32 timeoutSeconds, qint32 byteLimit, bool* error = nullptr);

    void EnableForwarding() { Online = true; }
    void CloseComm();
    // The last step before the window goes away.
    void DisconnectSession();

    // The field after "Ser#:" in an identity banner, up to the next space or
    // CR, whichever comes first; "" when there is no such field.
    static QString ParseSerialNumber(const QString& text);
    // The number a setting text begins with; 0 when it begins with none.
    static qint32 LeadingNumber(const QString& text);
    // The retry count from the remote-management tool's store, 0 without one.
    static qint32 RetryCount(QSettings* store);
    // The Winsock state number the connect failure text reports.
    int winsockState() const;

    bool Online = false;
    bool IPMode = false;
    bool Busy = false;
    bool TimedOut = false;
    qint32 LastError = 0;
    qint32 ExtendedError = 0;

    QTcpSocket& socket() { return Winsock1; }

    static constexpr qint64 ReadPieceSize = 64 * 1024;
    static constexpr qsizetype ReplyHeadLimit = 1024 * 1024;
    static constexpr qsizetype ReplyTailLimit = ReadPieceSize + 1024;

private:
    // Caps the socket's own buffer for the span of a wait.
    class ReadLimit {
    public:
        explicit ReadLimit(QTcpSocket& socket);
        ~ReadLimit();
        ReadLimit(const ReadLimit&) = delete;
        ReadLimit& operator=(const ReadLimit&) = delete;

    private:
        QTcpSocket& m_socket;
        qint64 m_before;
    };

    // The loop of the waits that read no further than they need: hands the
    // received bytes, in order, to take(), which answers how many bytes of a
    // piece complete what it waits for (-1: not yet); the rest stays in the
    // socket. Sets TimedOut when the deadline passed; true when take() was
    // satisfied in time.
    bool readUntil(const WaitDeadline& deadline, const std::function<qsizetype(QByteArrayView)>& take);
    // Lets pending events run without blocking.
    void yieldToEvents();

    void Winsock1_DataArrival();
    void Winsock1_Close();
    void Winsock1_Error(QAbstractSocket::SocketError error);
    qint32 ReceiveAndForward();
    bool Request(const QString& host, quint16 port);
    void Backoff();
    bool GiveUp(const QString& host, const QString& port);
    void RelayStatusMessage(const QString& text);
    void RelayErrorMessage(const QString& text);
    void NotifyClosed();
    void closeSocket();

    Clock& m_clock;
    UserPrompts& m_prompts;
    TrmOptions m_options;
    QTcpSocket Winsock1;
    clsTrm* m_owner = nullptr;
    QString m_name;
    bool m_socketError = false;
    QString m_socketErrorText;
    bool m_tcpConnected = false;
    bool m_closingLocally = false;
};
