#include "net/PhysicalAddress.h"

void PhysicalAddress::SetPhysAddr(qint32 length, const QByteArray& bytes)
{
    if (length < 1) {
        m_bytes.clear();
        m_text.clear();
        return;
    }
    m_bytes = bytes.left(length);
    m_text = format(m_bytes, m_separator);
}

QString PhysicalAddress::format(const QByteArray& bytes, QChar separator)
{
    static const char hex[] = "0123456789ABCDEF";
    QString out;
    out.reserve(bytes.size() * 3);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            out += separator;
        const auto b = static_cast<unsigned char>(bytes[i]);
        out += QLatin1Char(hex[b >> 4]);
        out += QLatin1Char(hex[b & 0x0f]);
    }
    return out;
}
