// The session window's unit-maintenance operations: flash files, firmware
// activation, the flash scan, the unit's clock, modem dialling and the
// serial-number check of a connection of their own.
#include "session/frmComms.h"
#include "session/modTrmTypes.h"

#include <QDateTime>

namespace {
const QString cr = QStringLiteral("\r");
const QString crlfOk = QStringLiteral("\r\nOK\r\n");
constexpr qint32 attributeSeconds = 10;
constexpr qint32 moveSeconds = 40;
constexpr qint32 scanSeconds = 30;
constexpr qint32 listSeconds = 20;
constexpr qint32 timeSeconds = 10;
} // namespace

void frmComms::updateUnit(const QVariant&, const QVariant&, qint64 dialUpConnection)
{
    IPMode = false;
    m_tcpConnected = false;
    m_secondConnection = false;
    m_dialUpConnection = dialUpConnection;
}

void frmComms::clearBuffer()
{
    const CallLifetime::Call call(m_life);
    yieldToEvents();
    Winsock1().readAll();
}

QString frmComms::acceptedReply(const QString& line, const QString& marker, qint32 timeoutSeconds)
{
    const CallLifetime::Call call(m_life);
    const Exchange exchange(*this);
    Send(line + cr);
    bool refused = false;
    const QString reply = waitForAndReturn(marker, timeoutSeconds, 0, &refused);
    return refused ? QString() : reply;
}

bool frmComms::VerifySerialNumber(const QString& expected)
{
    const CallLifetime::Call call(m_life);
    const bool same = readSerialNumber().compare(expected, Qt::CaseInsensitive) == 0;
    RelayStatusMessage(same ? QStringLiteral("Serial Number Correct") : QStringLiteral("Serial Number Incorrect"));
    return same;
}

bool frmComms::ConnectAndCheckSerial(
    const QString& host, const QString& user, const QString& password, const QString& expectedSerial)
{
    const CallLifetime::Call call(m_life);
    bool made = false;
    if (ConnectIP(host, QString::number(m_options.port), 60000) && LoginSession(user, password)) {
        checkSerialAndWarn(expectedSerial);
        made = true;
    }
    closeSocket();
    if (!made)
        warn(QStringLiteral("It was not possible to check that the unit we have connected to has the correct serial "
                            "number. Therefore it is possible you are not connected to the correct unit!"));
    return made;
}

bool frmComms::DialModem(const QString& number)
{
    const CallLifetime::Call call(m_life);
    RelayStatusMessage(QStringLiteral("Dialing: ") + m_name);
    const Exchange exchange(*this);
    Send(QStringLiteral("AT") + cr);
    if (!waitFor(QStringLiteral("ok"), 1)) {
        Send(QStringLiteral("AT") + cr);
        if (!waitFor(QStringLiteral("ok"), 1))
            return false;
    }
    Send(QStringLiteral("call ") + number + QStringLiteral("99 ") + cr);
    return waitForConnect(10);
}

FlashListing frmComms::ListFlashFiles()
{
    const CallLifetime::Call call(m_life);
    const Exchange exchange(*this);
    Send(QStringLiteral("dir") + cr);
    return FlashListing::fromDirReply(waitForAndReturn(crlfOk, listSeconds, 0));
}

bool frmComms::IsProtectedFile(const QString& name)
{
    static const QStringList protectedNames { "image", "filter.bin", "sregs.dat", "x3prof", "nobios.bin", "image4.c2",
        "image5.c2", "logcodes.txt", "config.da0", "config.da1" };
    return protectedNames.contains(name, Qt::CaseInsensitive) || name.contains(u".web", Qt::CaseInsensitive);
}

bool frmComms::MarkProtectedFilesReadOnly()
{
    const CallLifetime::Call call(m_life);
    const FlashListing files = ListFlashFiles();
    // Without a listing nothing could be protected, which is no success.
    if (files.last() < 0)
        return false;
    for (qint32 i = 0; i <= files.last(); ++i) {
        const QString& name = files.names[i];
        if (!IsProtectedFile(name) || files.readOnly[i])
            continue;
        RelayStatusMessage(QStringLiteral("Marking ") + name + QStringLiteral(" as read only."));
        if (acceptedReply(QStringLiteral("fattr +r ") + name, crlfOk, attributeSeconds).isEmpty()) {
            RelayStatusMessage(QStringLiteral("Failed to receive correct response when marking ") + name
                + QStringLiteral(" as read only."));
            LastError = 8;
            return false;
        }
    }
    return true;
}

qint32 frmComms::ActivateFirmware(
    const QString& host, const QString& user, const QString& password, FirmwareSwitches switches)
{
    const CallLifetime::Call call(m_life);
    const Exchange exchange(*this);
    if (Winsock1().state() != QAbstractSocket::ConnectedState) {
        if (!ConnectIP(host, QString::number(m_options.port), 60000)) {
            LastError = 13;
            return 4;
        }
        if (!LoginSession(user, password)) {
            LastError = 14;
            return 3;
        }
    }
    struct Move {
        bool wanted;
        const char* from;
        const char* to;
        const char* doing;
        const char* failed;
        qint32 lastError;
        qint32 result;
    };
    const Move moves[] = {
        { switches.bootLoader, "sbios1", "sbios", "Updating boot loader", "Bootloader update failed", 15, 2 },
        { switches.image, "image1", "image", "Updating image", "Image update failed", 59, 5 },
    };
    for (const Move& m : moves) {
        if (!m.wanted)
            continue;
        RelayStatusMessage(QString::fromLatin1(m.doing));
        Send(QStringLiteral("move ") + QLatin1String(m.from) + QLatin1Char(' ') + QLatin1String(m.to) + cr);
        Send(QStringLiteral("at") + cr);
        // The move prints nothing when it is done; the "at" after it answers
        // "OK" then. An "ERROR" from the move fails the step.
        bool refused = false;
        if (waitForAndReturn(QStringLiteral("OK"), moveSeconds, 0, &refused).isEmpty() || refused) {
            RelayStatusMessage(QString::fromLatin1(m.failed));
            LastError = m.lastError;
            return m.result;
        }
    }
    const qint32 scan = ScanFlash();
    if (scan != 1)
        return scan;
    RelayStatusMessage(QStringLiteral("Rebooting remote unit"));
    if (Winsock1().state() != QAbstractSocket::ConnectedState)
        return 0;
    Send(QStringLiteral("reboot") + cr);
    return 1;
}

qint32 frmComms::ScanFlash()
{
    const CallLifetime::Call call(m_life);
    RelayStatusMessage(QStringLiteral("Scanning flash"));
    const Exchange exchange(*this);
    Send(QStringLiteral("scan") + cr);
    const QString reply = waitForAndReturn(crlfOk, scanSeconds, 0);
    if (reply.isEmpty()) {
        RelayStatusMessage(QStringLiteral("Unable to perform scan"));
        LastError = 16;
        return 2;
    }
    if (reply.contains(u"bad", Qt::CaseInsensitive)) {
        RelayStatusMessage(QStringLiteral("Scan result: BAD CRC"));
        LastError = 17;
        return 3;
    }
    RelayStatusMessage(QStringLiteral("Scan result: PASS"));
    return 1;
}

void frmComms::RebootCountdown(qint32 seconds)
{
    const CallLifetime::Call call(m_life);
    for (qint32 left = seconds; left > 0 && !ended(); --left) {
        RelayStatusMessage(QStringLiteral("Waiting for remote unit to reboot for ") + QString::number(left)
            + QStringLiteral(" seconds."));
        modTrmTypes::WaitMs(m_clock, 1000, [this] { return ended(); });
    }
}

bool frmComms::SetUnitTime(bool loggedIn, const QString& user, const QString& password)
{
    const CallLifetime::Call call(m_life);
    const Exchange exchange(*this);
    if (!loggedIn && !LoginSession(user, password)) {
        const QString text = QStringLiteral("ERROR LOGGING IN TO SET TIME !!");
        RelayStatusMessage(text);
        RelayErrorMessage(text);
        return false;
    }
    RelayStatusMessage(QStringLiteral("SETTING TIME ......"));
    // One reading of the PC's clock for both halves, so that a command sent
    // at midnight does not pair the old day's time with the new date.
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(m_clock.localWallMs(), Qt::UTC);
    const QString line = QStringLiteral("TIME ") + now.toString(QStringLiteral("hh mm ss")) + QLatin1Char(' ')
        + now.toString(QStringLiteral("dd MM yyyy"));
    if (!acceptedReply(line, QStringLiteral("OK\r\n"), timeSeconds).isEmpty()) {
        RelayStatusMessage(QStringLiteral("TIME SET OK"));
        return true;
    }
    const QString text = QStringLiteral("ERROR SETTING TIME !!");
    RelayStatusMessage(text);
    RelayErrorMessage(text);
    modTrmTypes::WaitMs(m_clock, 2000, [this] { return ended(); });
    return false;
}

QString frmComms::ReadModelName()
{
    const CallLifetime::Call call(m_life);
    return ParseModelName(identify());
}
