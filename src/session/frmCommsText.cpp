// Readers of a unit's identity banner and small text routines of the
// session window: plain value code, no socket.
#include "session/frmComms.h"

#include <QFile>

namespace {
// From `from` up to the first blank or line end, or to the end of the text.
QString wordAt(const QString& text, qsizetype from)
{
    qsizetype end = from;
    while (end < text.size() && text[end] != u' ' && text[end] != u'\r' && text[end] != u'\n')
        ++end;
    return text.mid(from, end - from);
}

// The text after a label, up to the label's line end; null without the label.
QString afterLabel(const QString& text, QLatin1String label)
{
    const qsizetype at = text.indexOf(label, 0, Qt::CaseInsensitive);
    if (at < 0)
        return {};
    const qsizetype from = at + label.size();
    qsizetype end = from;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
        ++end;
    return text.mid(from, end - from);
}

const QLatin1String modelBanner("Velmar Systems. Velmar ");
const QLatin1String buildLabel("Software Build ");
const QLatin1String biosLabel("Bios Ver ");
} // namespace

QString frmComms::ParseSerialNumber(const QString& text)
{
    // Positions count from 1, 0 meaning not found, as the banner rules are written.
    const qsizetype p = text.indexOf(QLatin1String("Ser#:"), 0, Qt::CaseInsensitive) + 1;
    if (p == 0)
        return {};
    const qsizetype s = text.indexOf(u' ', p - 1) + 1;
    const qsizetype c = text.indexOf(u'\r', p - 1) + 1;
    qsizetype end = s;
    if (c < s)
        end = c;
    if (end <= p + 5 || end < 1)
        return {};
    return text.mid(p + 4, end - (p + 5));
}

QString frmComms::ParseModelName(const QString& text)
{
    const qsizetype at = text.indexOf(modelBanner, 0, Qt::CaseInsensitive);
    // The word ends at a blank or, on a banner line with nothing after the
    // model, at the line's end.
    return at < 0 ? QString() : wordAt(text, at + modelBanner.size());
}

QString frmComms::ParseSoftwareBuild(const QString& text)
{
    const QString line = afterLabel(text, buildLabel);
    const qsizetype dot = line.indexOf(u'.');
    return dot < 0 ? QString() : line.left(dot);
}

QString frmComms::ParseSoftwareBuildTail(const QString& text)
{
    const QString line = afterLabel(text, buildLabel);
    if (line.isNull())
        return {};
    const QString whole = (buildLabel + line).trimmed();
    return whole.mid(whole.lastIndexOf(u' ') + 1);
}

QString frmComms::ParseBiosVersion(const QString& text)
{
    const qsizetype at = text.indexOf(biosLabel, 0, Qt::CaseInsensitive);
    return at < 0 ? QString() : wordAt(text, at + biosLabel.size());
}

QString frmComms::getParam(const QString& text, qsizetype start, qsizetype skip)
{
    const qsizetype from = start + skip - 1;
    if (from < 0 || from >= text.size())
        return {};
    const qsizetype cr = text.indexOf(u'\r', from);
    return text.mid(from, cr < 0 ? -1 : cr - from);
}

QString frmComms::StripNulls(const QString& text)
{
    QString out = text;
    return out.remove(QChar(0));
}

QString frmComms::ReplaceAll(
    const QString& text, const QString& find, const QString& replacement, Qt::CaseSensitivity compare)
{
    if (text.isNull() || find.isEmpty())
        return text;
    QString out = text;
    return out.replace(find, replacement, compare);
}

QString frmComms::EscapeQuotes(const QString& text)
{
    return ReplaceAll(text, QStringLiteral("'"), QStringLiteral("''"), Qt::CaseSensitive);
}

QString frmComms::EscapeForQuery(const QString& text)
{
    return ReplaceAll(
        EscapeQuotes(StripNulls(text)), QStringLiteral("|"), QStringLiteral("' & chr(124) & '"), Qt::CaseSensitive);
}

QString frmComms::RemoveSpaces(const QString& text)
{
    QString out = text;
    return out.remove(u' ');
}

bool frmComms::DeleteFile(const QString& path)
{
    return QFile::remove(path);
}
