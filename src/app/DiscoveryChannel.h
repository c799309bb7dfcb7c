#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class clsVerevo;

// What the scan needs of the discovery object: key the datagram authenticator
// with the PC interface's MAC, broadcast one query, and hear the identity
// responses. The program's discovery object sits behind it.
class DiscoveryChannel : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void SetMac(const QByteArray& mac) = 0;
    // An empty id asks every unit.
    virtual void SendQuery(const QString& id) = 0;
    // The discovery object itself, for the unit commands that borrow it from
    // the resting slot; none behind a stand-in.
    virtual clsVerevo* verevo() { return nullptr; }

signals:
    // Raised from inside the sender's waits (the query's resend gap pumps
    // events), on the GUI thread; only for a non-empty SN.
    void RuraIDResponse(const QByteArray& mac, const QString& SN, const QString& IPadd, const QString& UnitId,
        const QString& ProductId, const QString& ModelId);
};
