#pragma once

#include "discovery/frmVerevo.h"

#include <QObject>

#include <memory>

// The program's one endpoint of the discovery protocol. Holders call it and
// listen to its two signals; the work is done by its frmVerevo.
class clsVerevo : public QObject {
    Q_OBJECT
public:
    using InterfaceAddressFn = frmVerevo::InterfaceAddressFn;

    // broadcastAddress: the program-wide destination of every datagram, owned
    // by the application ("255.255.255.255" at start); setInterface rewrites it.
    // interfaceAddress: address and mask of the selected interface.
    // endProgram: called after the fatal boxes of SendQuery.
    clsVerevo(Clock& clock, UserPrompts& prompts, QString& broadcastAddress, InterfaceAddressFn interfaceAddress,
        std::function<void()> endProgram, VerevoSocketOptions options = {}, QObject* parent = nullptr);
    ~clsVerevo() override;

    // The scan's two calls. A stand-in that plays the units' identity
    // answers without a network overrides them.
    virtual void SendQuery(const QString& id);
    virtual void SetMac(const QByteArray& mac);

    // A unit command and its wait; see frmVerevo and ReplyLedger. Each
    // reply credited to the call is raised as RuraCMDResponse.
    using CallId = frmVerevo::CallId;
    CallId OpenCall(const QByteArray& unitMac, const QString& marker = {},
        Qt::CaseSensitivity caseSensitivity = Qt::CaseInsensitive, bool anyReply = false);
    bool SendRuraCmds(CallId call, const QString& id, const QStringList& commands);
    void EndCall(CallId call);
    void StopCurrentCommand();
    bool Owes(const QByteArray& unitMac) const { return fVerevo->Owes(unitMac); }
    qint64 OwedUntilMs(const QByteArray& unitMac) const { return fVerevo->OwedUntilMs(unitMac); }
    void ForgetOwed(const QByteArray& unitMac);
    void setInterface();
    static QByteArray getstrMac(const QByteArray& mac) { return frmVerevo::getstrMac(mac); }

    QString errorString() const { return fVerevo->errorString(); }

signals:
    void RuraIDResponse(const QByteArray& mac, const QString& SN, const QString& IPadd, const QString& UnitId,
        const QString& ProductId, const QString& ModelId);
    void RuraCMDResponse(quint64 call, const QString& authenticator, const QString& response);

private:
    std::unique_ptr<frmVerevo> fVerevo;
};
