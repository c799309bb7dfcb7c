#pragma once

#include <QByteArray>
#include <QString>

// A link-layer address as the PC's records hold it: a length, exactly that many
// bytes, and a text of upper-case hex pairs joined by a separator.
class PhysicalAddress {
public:
    explicit PhysicalAddress(QChar separator)
        : m_separator(separator)
    { }

    // Keeps the first length bytes of bytes; a length below 1 keeps none.
    void SetPhysAddr(qint32 length, const QByteArray& bytes);
    QByteArray AdapterAddressByte() const { return m_bytes; }
    QString AdapterAddress() const { return m_text; }
    qint32 length() const { return qint32(m_bytes.size()); }

    // Hex pairs of bytes joined by separator, none at the end.
    static QString format(const QByteArray& bytes, QChar separator);

private:
    QChar m_separator;
    QByteArray m_bytes;
    QString m_text;
};
