#pragma once

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
#include <optional>
#include <utility>

class QUdpSocket;

// The worker behind clsVerevo: owns the discovery socket and the resend timer,
// builds, sends, receives and parses the datagrams.
class frmVerevo : public QObject {
    Q_OBJECT
public:
    // Address and mask of the selected PC interface, as dotted texts.
    using InterfaceAddressFn = std::function<std::pair<QString, QString>()>;
    // The MAC of the unit whose command responses are to be accepted; none
    // while no unit is being talked to.
    using ReplyMacFn = std::function<std::optional<QByteArray>()>;

    frmVerevo(Clock& clock, UserPrompts& prompts, QString& broadcastAddress, InterfaceAddressFn interfaceAddress,
        std::function<void()> endProgram, VerevoSocketOptions options = {}, QObject* parent = nullptr);
    ~frmVerevo() override;

    void setInterface();
    static QByteArray getstrMac(const QByteArray& mac);
    void SetMac(const QByteArray& mac);
    // False, with errorString() set, when the socket or authenticator failed.
    bool SendRuraCmds(const QString& id, const QStringList& commands);
    void SendQuery(const QString& id);
    void StopCurrentCommand();

    void setReplyMacProvider(ReplyMacFn provider) { m_replyMac = std::move(provider); }
    const ReplyMacFn& replyMacProvider() const { return m_replyMac; }
    QString errorString() const { return m_error; }
    QByteArray key() const { return m_key; }

    // The directed broadcast of the subnet; "255.255.255.255" when either
    // text is empty or not an address.
    static QString broadcastOf(const QString& address, const QString& mask);

signals:
    void RuraIDResponse(const QByteArray& mac, const QString& SN, const QString& IPadd, const QString& UnitId,
        const QString& ProductId, const QString& ModelId);
    void RuraCMDResponse(const QString& authenticator, const QString& response);

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
    ReplyMacFn m_replyMac;
    VerevoSocketOptions m_options;

    QUdpSocket* wsock = nullptr;
    ClockTimer Timer1;
    QByteArray m_key;
    QByteArray m_savedPacket;
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
