#pragma once

#include "app/TextStyle.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

// Reads Rich Text Format back with a real reader, Debian's unrtf: its HTML
// rendering, parsed by Qt's HTML reader, gives the text and the look of
// every character as the reader understood them.
namespace RtfReadBack {

inline QString unavailableReason()
{
    return QStandardPaths::findExecutable(QStringLiteral("unrtf")).isEmpty()
        ? QStringLiteral("unrtf is not installed (scripts/deps.sh installs it)")
        : QString();
}

// unrtf's HTML for an RTF file; empty, with error set, when it fails.
inline QString html(const QString& rtfPath, QString* error)
{
    QProcess p;
    p.start(QStringLiteral("unrtf"), { QStringLiteral("--html"), rtfPath });
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        *error = QStringLiteral("unrtf failed: ") + QString::fromLocal8Bit(p.readAllStandardError());
        return QString();
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

// unrtf's HTML for an RTF document held in memory.
inline QString html(const QByteArray& rtf, QString* error)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("document.rtf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size()) {
        *error = QStringLiteral("cannot write ") + path;
        return QString();
    }
    file.close();
    return html(path, error);
}

// The HTML as runs, one per character, with line breaks as "\n".
inline QList<StyledRun> runsOfHtml(const QString& html)
{
    QTextDocument doc;
    doc.setHtml(html);
    QList<StyledRun> out;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block != doc.begin())
            out.append({ QStringLiteral("\n"), {} });
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat format = f.charFormat();
            TextStyle style;
            style.Bold = format.fontWeight() >= QFont::Bold;
            style.Underline = format.fontUnderline();
            style.Italic = format.fontItalic();
            const QColor c = format.foreground().color();
            style.Color = TextStyle::rgb(c.red(), c.green(), c.blue());
            for (QChar ch : f.text()) {
                const bool lineBreak = ch == QChar::LineSeparator || ch == QChar::ParagraphSeparator;
                out.append({ lineBreak ? QStringLiteral("\n") : QString(ch), style });
            }
        }
    }
    return out;
}

// Where the reader's text or look differs from what was written; empty
// when they agree. Line breaks of any kind count as one "\n"; the look of
// blanks and breaks is not compared, since no reader shows it.
inline QString mismatch(const QList<StyledRun>& written, const QList<StyledRun>& read)
{
    QList<StyledRun> chars;
    for (const StyledRun& run : written) {
        QString text = run.text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        for (QChar ch : text)
            chars.append({ QString(ch), run.style });
    }
    QString writtenText, readText;
    for (const StyledRun& c : chars)
        writtenText += c.text;
    for (const StyledRun& c : read)
        readText += c.text;
    // An HTML reader keeps a blank from the markup's last line break.
    while (readText.endsWith(QLatin1Char(' ')) && !writtenText.endsWith(QLatin1Char(' ')))
        readText.chop(1);
    if (writtenText != readText)
        return QStringLiteral("text differs:\n--- written\n%1\n--- read\n%2").arg(writtenText, readText);
    for (qsizetype i = 0; i < chars.size(); ++i) {
        if (chars[i].text.trimmed().isEmpty())
            continue;
        const TextStyle& w = chars[i].style;
        const TextStyle& r = read[i].style;
        if (w.Bold != r.Bold || w.Underline != r.Underline || w.Italic != r.Italic || w.color() != r.color()) {
            return QStringLiteral("look differs at %1 ('%2'): written b%3 u%4 i%5 %6, read b%7 u%8 i%9 %10")
                .arg(i)
                .arg(chars[i].text)
                .arg(w.Bold)
                .arg(w.Underline)
                .arg(w.Italic)
                .arg(w.color().name())
                .arg(r.Bold)
                .arg(r.Underline)
                .arg(r.Italic)
                .arg(r.color().name());
        }
    }
    return QString();
}

} // namespace RtfReadBack
