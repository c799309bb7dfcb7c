#pragma once

#include <QByteArrayView>
#include <QString>

#include <vector>

// Looks for one marker text in a byte stream that arrives in pieces, each byte
// read as its Latin-1 character. Every byte is looked at once, whatever the
// size of the pieces and however long the stream runs, and nothing of the
// stream is kept: a marker split across two pieces is still found.
// Letter case is compared as QString's case-blind search compares it.
class MarkerScanner {
public:
    MarkerScanner(const QString& marker, Qt::CaseSensitivity cs);

    // How many bytes of piece lead up to and include the end of the marker,
    // or -1 when it does not end in this piece. Once found, the marker stays
    // found and every later piece gives 0.
    qsizetype feed(QByteArrayView piece);
    bool found() const { return m_found; }
    qsizetype markerLength() const { return qsizetype(m_pattern.size()); }

private:
    char16_t fold(char16_t c) const;

    std::vector<char16_t> m_pattern;
    // m_fallback[i]: length of the longest proper border of m_pattern[0..i].
    std::vector<qsizetype> m_fallback;
    qsizetype m_matched = 0;
    bool m_caseBlind = false;
    bool m_found = false;
};
