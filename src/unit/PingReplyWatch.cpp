#include "unit/PingReplyWatch.h"

#include "net/NumberText.h"

namespace {
// A count line is a few characters long; a unit that never ends the line
// gets no more room than this.
constexpr qsizetype lineLimit = 1024;
} // namespace

PingReplyWatch::PingReplyWatch()
    : m_unresolved(QStringLiteral("Unable to resolve"), Qt::CaseInsensitive)
    , m_statistics(QStringLiteral("Ping Statistics"), Qt::CaseSensitive)
    , m_receivedWord(QStringLiteral("Received"), Qt::CaseSensitive)
{ }

void PingReplyWatch::feed(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    m_unresolved.feed(bytes);
    m_statistics.feed(bytes);
    QByteArrayView rest;
    if (!m_receivedWord.found()) {
        const qsizetype end = m_receivedWord.feed(bytes);
        if (end < 0)
            return;
        rest = QByteArrayView(bytes).sliced(end);
    } else {
        rest = bytes;
    }
    if (m_lineComplete)
        return;
    const qsizetype cr = rest.indexOf('\r');
    const QByteArrayView part = cr < 0 ? rest : rest.first(cr);
    m_receivedLine += QString::fromLatin1(part.first(qMin(part.size(), lineLimit - m_receivedLine.size())));
    m_lineComplete = cr >= 0;
}

bool PingReplyWatch::received() const
{
    // Until its CR has come the line counts as empty, and so as no reply.
    return statistics() && m_lineComplete && ReceivedCount(m_receivedLine) > 0;
}

qint32 PingReplyWatch::ReceivedCount(const QString& line)
{
    const qsizetype colon = line.indexOf(u':');
    return NumberText::read(colon < 0 ? line : line.mid(colon + 1), NumberText::wholeNumber).saturated();
}
