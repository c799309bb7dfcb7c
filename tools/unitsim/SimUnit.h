#pragma once

#include <QByteArray>
#include <QString>

// One simulated unit: its identity, and the datagrams it sends.
class SimUnit {
public:
    SimUnit(QString serial, QByteArray mac, QString address, QString unitId, QString productId, QString model);

    const QString& serial() const { return m_serial; }
    const QByteArray& mac() const { return m_mac; }
    const QString& address() const { return m_address; }
    const QString& model() const { return m_model; }

    // The answer to a query: one identity record.
    QByteArray identityDatagram() const;
    // The answer to a command datagram: one response record per reply, in
    // order, authenticated under the unit's MAC.
    QByteArray responseDatagram(const QList<QByteArray>& replies) const;

private:
    QString m_serial;
    QByteArray m_mac;
    QString m_address;
    QString m_unitId;
    QString m_productId;
    QString m_model;
};
