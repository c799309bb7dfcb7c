#pragma once

#include "net/CallLifetime.h"
#include "net/Clock.h"
#include "net/UserPrompts.h"
#include "session/FlashListing.h"
#include "session/TrmOptions.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QVariant>

#include <functional>
#include <memory>

class clsTrm;
class Deadline;

// What a firmware activation moves into place; nothing unless asked.
struct FirmwareSwitches {
    bool bootLoader = false; // sbios1 becomes sbios
    bool image = false; // image1 becomes image
};

// The hidden side of a terminal session: the telnet socket and everything
// that reads and writes it, with the unit-maintenance operations that run
// over it (frmCommsMaintenance.cpp) and the text routines that read the
// unit's banners (frmCommsText.cpp). Only TCP links are made here; the
// serial link of the original program was never opened by anything and is
// left out, with every branch that would have read or written it.
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

    // The modem's answer to a call: True on "CONNECT"; "NO CARRIER" gives
    // LastError 43, "BUSY" 44, the deadline (tick counter) 45.
    bool waitForCon(qint32 timeoutSeconds);
    // Waits (clock of the day) for the far unit's "Username:"; "CLR" or "NO
    // CARRIER" end the wait with TimedOut set. True only for the prompt.
    bool waitForConnect(qint32 timeoutSeconds);
    // 1, 2 or 3 when everything received since the start equals that
    // argument (any letter case), 0 when the deadline (tick counter) passes.
    qint32 waitForMany(qint32 timeoutSeconds, const QString& first, const QString& second, const QString& third);

    // Maintenance operations. No flow of the program starts them; they
    // report through the status and error texts and LastError.
    // The first two values are not used (nothing in the system gives any);
    // clears IPMode and both connection flags and keeps the dial-up handle.
    void updateUnit(const QVariant& first, const QVariant& second, qint64 dialUpConnection);
    qint64 getDUNConnection() const { return m_dialUpConnection; }
    qint32 getLastError() const { return LastError; }
    qint32 getExtendedError() const { return ExtendedError; }
    bool captureTrace() const { return true; }
    // Lets events run once, then drops every byte the socket holds.
    void clearBuffer();
    bool VerifySerialNumber(const QString& expected);
    // Connects, logs in, checks the serial number and closes the socket;
    // a box when no check could be made. True when the check was made.
    bool ConnectAndCheckSerial(
        const QString& host, const QString& user, const QString& password, const QString& expectedSerial);
    // "AT" (twice at most), then "call " + number + "99 "; True once the far
    // unit asks for a login within 10 s.
    bool DialModem(const QString& number);
    FlashListing ListFlashFiles();
    // Marks every protected file that is not read-only yet; False at the
    // first refusal (LastError 8) or when the unit listed no files.
    bool MarkProtectedFilesReadOnly();
    static bool IsProtectedFile(const QString& name);
    // 4 no connection (LastError 13), 3 no login (14), 2 boot loader not
    // moved (15), 5 image not moved (59); else the flash scan's result, and
    // after a pass the reboot: 1 sent, 0 the connection had gone.
    qint32 ActivateFirmware(
        const QString& host, const QString& user, const QString& password, FirmwareSwitches switches = {});
    // 1 pass, 2 no reply (LastError 16), 3 a bad checksum (17).
    qint32 ScanFlash();
    void RebootCountdown(qint32 seconds);
    // Sets the unit's clock to the PC's; logs in first unless loggedIn.
    bool SetUnitTime(bool loggedIn, const QString& user, const QString& password);
    QString ReadModelName();

    // Readers of the identity banner, and small text routines.
    static QString ParseModelName(const QString& text);
    static QString ParseSoftwareBuild(const QString& text);
    static QString ParseSoftwareBuildTail(const QString& text);
    static QString ParseBiosVersion(const QString& text);
    // From position start + skip (counted from 1) up to the next CR, or to
    // the end when none follows; "" when that position is outside the text.
    static QString getParam(const QString& text, qsizetype start, qsizetype skip);
    static QString StripNulls(const QString& text);
    // A null text stays null; an empty search text changes nothing.
    static QString ReplaceAll(
        const QString& text, const QString& find, const QString& replacement, Qt::CaseSensitivity compare);
    static QString EscapeQuotes(const QString& text);
    static QString EscapeForQuery(const QString& text);
    static QString RemoveSpaces(const QString& text);
    static bool DeleteFile(const QString& path);

    void EnableForwarding() { Online = true; }
    void CloseComm();
    // The last step before the window goes away.
    void DisconnectSession();

    // The field after "Ser#:" in an identity banner, up to the next space or
    // CR, whichever comes first; "" when there is no such field.
    static QString ParseSerialNumber(const QString& text);
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

    // Made at the first need of it: a session that is never opened carries
    // no socket.
    QTcpSocket& socket() { return Winsock1(); }

    // The session object closes the window by ending it: every wait then
    // returns as for a deadline passed, and no box is shown for a session
    // nobody holds any more.
    CallLifetime& lifetime() { return m_life; }
    bool ended() const { return m_life.ended(); }

    static constexpr qint64 ReadPieceSize = 64 * 1024;
    static constexpr qsizetype ReplyHeadLimit = 1024 * 1024;
    static constexpr qsizetype ReplyTailLimit = ReadPieceSize + 1024;

private:
    // Keeps the forwarding path off the socket while an exchange reads it.
    class Exchange {
    public:
        explicit Exchange(frmComms& w)
            : m_w(w)
            , m_before(w.Busy)
        {
            m_w.Busy = true;
        }
        ~Exchange() { m_w.Busy = m_before; }
        Exchange(const Exchange&) = delete;
        Exchange& operator=(const Exchange&) = delete;

    private:
        frmComms& m_w;
        bool m_before;
    };

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
    bool readUntil(const Deadline& deadline, const std::function<qsizetype(QByteArrayView)>& take);
    // Lets pending events run without blocking.
    void yieldToEvents();
    // Reads until the first of the markers; its index, or -1 when the
    // deadline passed first.
    qsizetype waitForFirst(const Deadline& deadline, const QStringList& markers);
    // The identity request: "ATI5" and the reply up to "OK" CR LF.
    QString identify();
    // "Checking serial number..", the comparison, and the box that warns of
    // an address that belongs to another unit.
    void checkSerialAndWarn(const QString& expected);
    // An exclamation box, unless the session has been ended.
    void warn(const QString& text);
    // Sends a line (CR added) and collects its reply up to "OK", ending
    // early on "ERROR" CR; "" when refused or unanswered.
    QString acceptedReply(const QString& line, const QString& marker, qint32 timeoutSeconds);

    QTcpSocket& Winsock1();
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

    CallLifetime m_life;
    Clock& m_clock;
    UserPrompts& m_prompts;
    TrmOptions m_options;
    std::unique_ptr<QTcpSocket> m_socket;
    clsTrm* m_owner = nullptr;
    QString m_name;
    bool m_socketError = false;
    QString m_socketErrorText;
    bool m_tcpConnected = false;
    bool m_closingLocally = false;
    bool m_secondConnection = false;
    qint64 m_dialUpConnection = 0;
};
