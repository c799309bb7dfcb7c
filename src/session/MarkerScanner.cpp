#include "session/MarkerScanner.h"

MarkerScanner::MarkerScanner(const QString& marker, Qt::CaseSensitivity cs)
    : m_caseBlind(cs == Qt::CaseInsensitive)
{
    m_pattern.reserve(std::size_t(marker.size()));
    for (QChar c : marker)
        m_pattern.push_back(fold(c.unicode()));
    // The failure table of Knuth, Morris and Pratt: after a mismatch the scan
    // goes on from the longest part already matched, never backing up in the
    // stream, which is what keeps it linear.
    m_fallback.assign(m_pattern.size(), 0);
    qsizetype k = 0;
    for (std::size_t i = 1; i < m_pattern.size(); ++i) {
        while (k > 0 && m_pattern[i] != m_pattern[std::size_t(k)])
            k = m_fallback[std::size_t(k - 1)];
        if (m_pattern[i] == m_pattern[std::size_t(k)])
            ++k;
        m_fallback[i] = k;
    }
    m_found = m_pattern.empty();
}

char16_t MarkerScanner::fold(char16_t c) const
{
    return m_caseBlind ? char16_t(QChar::toCaseFolded(char32_t(c))) : c;
}

qsizetype MarkerScanner::feed(QByteArrayView piece)
{
    if (m_found)
        return 0;
    const qsizetype n = qsizetype(m_pattern.size());
    for (qsizetype i = 0; i < piece.size(); ++i) {
        const char16_t c = fold(char16_t(uchar(piece[i])));
        while (m_matched > 0 && m_pattern[std::size_t(m_matched)] != c)
            m_matched = m_fallback[std::size_t(m_matched - 1)];
        if (m_pattern[std::size_t(m_matched)] == c)
            ++m_matched;
        if (m_matched == n) {
            m_found = true;
            return i + 1;
        }
    }
    return -1;
}
