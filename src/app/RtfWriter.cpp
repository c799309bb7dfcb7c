#include "app/RtfWriter.h"

#include <QList>

#include <cmath>

namespace RtfWriter {
namespace {

// Text of a destination or a run, escaped. Line breaks are left to the caller.
void appendEscaped(QByteArray& out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\\' || c == u'{' || c == u'}') {
            out += '\\';
            out += char(c);
        } else if (c == u'\t') {
            out += "\\tab ";
        } else if (c < 0x20) {
            // Other control characters have no place in a summary.
        } else if (c < 0x80) {
            out += char(c);
        } else {
            // RTF numbers Unicode escapes as signed 16-bit values; characters
            // beyond the BMP go as their two surrogates. The fallback for
            // readers without Unicode (\uc1) is a hex escape: a bare "?"
            // makes some readers drop the rest of the word. Latin-1 letters
            // are the same bytes in code page 1252.
            const QByteArray fallback = c >= 0xa0 && c <= 0xff ? QByteArray::number(c, 16) : QByteArray("3f");
            out += "\\u" + QByteArray::number(qint16(c)) + "\\'" + fallback;
        }
    }
}

void appendText(QByteArray& out, const QString& text)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        appendEscaped(out, QStringView(text).mid(start, i - start));
        out += "\\par\r\n";
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    appendEscaped(out, QStringView(text).mid(start));
}

QByteArray colourTable(const QList<qint32>& colours)
{
    QByteArray table = "{\\colortbl ;";
    for (qint32 c : colours) {
        table += "\\red" + QByteArray::number(c & 0xff) + "\\green" + QByteArray::number((c >> 8) & 0xff) + "\\blue"
            + QByteArray::number((c >> 16) & 0xff) + ';';
    }
    return table + '}';
}

QByteArray fontTable(const Font& font)
{
    QString family = font.family;
    family.remove(QLatin1Char(';'));
    if (family.isEmpty())
        family = QStringLiteral("Sans");
    QByteArray table = "{\\fonttbl{\\f0\\fswiss\\fcharset0 ";
    appendEscaped(table, family);
    return table + ";}}";
}

// Control words that move the current look from 'from' to 'to'.
QByteArray switchStyle(const TextStyle& from, const TextStyle& to, int colourIndex)
{
    QByteArray words;
    if (from.Bold != to.Bold)
        words += to.Bold ? "\\b" : "\\b0";
    if (from.Underline != to.Underline)
        words += to.Underline ? "\\ul" : "\\ulnone";
    if (from.Italic != to.Italic)
        words += to.Italic ? "\\i" : "\\i0";
    if (from.Color != to.Color)
        words += "\\cf" + QByteArray::number(colourIndex);
    // The blank ends the last control word and is not part of the text.
    if (!words.isEmpty())
        words += ' ';
    return words;
}
} // namespace

QByteArray write(const QList<StyledRun>& runs, const Font& font)
{
    QList<qint32> colours;
    for (const StyledRun& run : runs) {
        if (!colours.contains(run.style.Color))
            colours.append(run.style.Color);
    }

    // The reader starts with colour 0 of the table, its "auto" colour, which
    // is not black everywhere: the first run's colour is always set.
    QByteArray body;
    TextStyle current;
    current.Color = -1;
    for (const StyledRun& run : runs) {
        body += switchStyle(current, run.style, int(colours.indexOf(run.style.Color)) + 1);
        current = run.style;
        appendText(body, run.text);
    }

    const int halfPoints = std::max(2, int(std::lround(font.pointSize * 2)));
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1" + fontTable(font) + "\r\n" + colourTable(colours)
        + "\r\n\\pard\\plain\\f0\\fs" + QByteArray::number(halfPoints) + ' ' + body + "}";
}

} // namespace RtfWriter
