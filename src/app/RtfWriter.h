#pragma once

#include "app/TextStyle.h"

#include <QByteArray>
#include <QList>

// Writes styled runs as a Rich Text Format document: bold, underline, italic
// and colour per run, line breaks as paragraphs, and every character beyond
// ASCII as a Unicode escape, so the output is plain 7-bit text.
namespace RtfWriter {

struct Font {
    QString family;
    // Point size of the body text.
    qreal pointSize = 10;
};

QByteArray write(const QList<StyledRun>& runs, const Font& font);

} // namespace RtfWriter
