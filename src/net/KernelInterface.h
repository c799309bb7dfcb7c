#pragma once

#include <QByteArray>
#include <QString>

// What the kernel tells about one network interface, before it is cut to the
// 32-bit records of the interface table and the adapter list.
struct KernelInterface {
    qint32 index = 0;
    QString name;
    QString description;
    QByteArray mac;
    qint32 mtu = 0;
    qint32 operStatus = 4; // RFC 2863 unknown
    qint32 adminStatus = 2; // RFC 2863 down
    quint64 speedBitsPerSecond = 0;
    qint32 ianaType = 1; // IANA other
    // The link this one is enslaved to (a bridge, a bond); "" when none.
    QString master;
    quint64 rxBytes = 0;
    quint64 txBytes = 0;
    quint64 rxPackets = 0;
    quint64 txPackets = 0;
    quint64 rxMulticast = 0;
    quint64 rxErrors = 0;
    quint64 txErrors = 0;
    quint64 rxDropped = 0;
    quint64 txDropped = 0;
    quint64 rxNoHandler = 0;
    // "0.0.0.0" and "" when the interface holds no IPv4 address.
    QString ipAddress = QStringLiteral("0.0.0.0");
    QString mask;
};
