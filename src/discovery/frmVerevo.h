#pragma once

#include "discovery/ReplyLedger.h"
#include "discovery/VerevoSocketOptions.h"
#include "net/Clock.h"
#include "net/ClockTimer.h"
#include "net/UserPrompts.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>
#include <utility>

class QUdpSocket;

// The worker behind clsVerevo: owns the discovery socket and the resend timer,
// builds, sends, receives and parses the datagrams.
class frmVerevo : public QObject {
    Q_OBJECT
public:
    // Address and mask of the selected PC interface, as dotted texts.
    using InterfaceAddressFn = std::function<std::pair<QString, QString>()>;

    frmVerevo(Clock& clock, UserPrompts& prompts, QString& broadcastAddress, InterfaceAddressFn interfaceAddress,
        std::function<void()> endProgram, VerevoSocketOptions options = {}, QObject* parent = nullptr);
    ~frmVerevo() override;

    void setInterface();
    static QByteArray getstrMac(const QByteArray& mac);
    void SetMac(const QByteArray& mac);

    // A unit command and its wait (see ReplyLedger for whose reply is
    // whose). Its replies are those signed with unitMac. What already waits
    // on the socket is read first: it cannot answer a command not yet sent.
    using CallId = ReplyLedger::CallId;
    CallId OpenCall(
        const QByteArray& unitMac, const QString& marker, Qt::CaseSensitivity caseSensitivity, bool anyReply);
    // The commands in one datagram to the unit id, each datagram that
    // leaves noted for the call. False, with errorString() set, when the
    // socket or authenticator failed.
    bool SendRuraCmds(CallId call, const QString& id, const QStringList& commands);
    void EndCall(CallId call);
    // The unit may still answer a command whose wait has ended, until
    // OwedUntilMs (on the clock's monotonic counter).
    bool Owes(const QByteArray& unitMac) const;
    qint64 OwedUntilMs(const QByteArray& unitMac) const;
    // The unit restarted; it owes nothing any more.
    void ForgetOwed(const QByteArray& unitMac);
    void SendQuery(const QString& id);
    void StopCurrentCommand();

    QString errorString() const { return m_error; }
    QByteArray key() const { return m_key; }

    // The directed broadcast of the subnet; "255.255.255.255" when either
    // text is empty or not an address.
    static QString broadcastOf(const QString& address, const QString& mask);

signals:
    void RuraIDResponse(const QByteArray& mac, const QString& SN, const QString& IPadd, const QString& UnitId,
        const QString& ProductId, const QString& ModelId);
    // A response text credited to an open call, with its datagram's authenticator.
    void RuraCMDResponse(quint64 call, const QString& authenticator, const QString& response);

private:
    // Closes and binds the socket again; false with m_bindError set on failure.
    bool rebind();
    // A datagram this object sent itself, heard back on its own port.
    bool isOwnDatagram(const QHostAddress& sender, quint16 senderPort) const;
    void SendRuraPacket(const QByteArray& packet, int sends, int retries);
    void TransmitRuraPacket(const QByteArray& packet);
    void timerTick();
    void readPending();
    void socketError();

    Clock& m_clock;
    UserPrompts& m_prompts;
    QString& m_broadcastAddress;
    InterfaceAddressFn m_interfaceAddress;
    std::function<void()> m_endProgram;
    VerevoSocketOptions m_options;

    QUdpSocket* wsock = nullptr;
    ClockTimer Timer1;
    QByteArray m_key;
    QByteArray m_savedPacket;
    // The call whose datagram is saved for the resend; 0 for a query.
    CallId m_savedCall = 0;
    ReplyLedger m_ledger;
    QSet<quint32> m_ownAddresses;
    bool m_answered = false;
    qint32 m_retriesLeft = 0;
    bool m_stop = false;
    // Bind and send report failures synchronously; the socket's error event
    // is for everything else.
    bool m_quietErrors = false;
    QAbstractSocket::SocketError m_bindError = QAbstractSocket::UnknownSocketError;
    QString m_error;
};
