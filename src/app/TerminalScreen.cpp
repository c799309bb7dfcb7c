#include "app/TerminalScreen.h"

#include <QTextCursor>
#include <QTextDocument>

namespace {
// The document keeps one character per line break.
QString lineBreaks(QString s)
{
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}
} // namespace

void TerminalScreen::eraseBeforeInsertPos()
{
    // Whatever stands before the position goes, a line break too; at the
    // start of the screen there is nothing to take.
    if (m_InsertPos <= 0)
        return;
    QTextCursor cursor(&m_document);
    cursor.setPosition(m_InsertPos - 1);
    cursor.setPosition(m_InsertPos, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    --m_InsertPos;
}

void TerminalScreen::messagePrint(const QString& text)
{
    QString s = text;
    if (m_PendingCR)
        s.prepend(QLatin1Char('\r'));

    // A backspace at the start of the piece erases what is on screen; one
    // later in the piece takes the character before it in the same piece.
    for (qsizetype p = s.indexOf(QLatin1Char('\b')); p >= 0; p = s.indexOf(QLatin1Char('\b'))) {
        if (p == 0) {
            eraseBeforeInsertPos();
            s.remove(0, 1);
        } else {
            s.remove(p - 1, 2);
        }
    }
    s.remove(QChar(0));

    if (!s.isEmpty()) {
        m_PendingCR = s.endsWith(QLatin1Char('\r'));
        if (m_PendingCR)
            s.chop(1);
    }

    const QString shown = lineBreaks(s);
    if (shown.isEmpty())
        return;
    QTextCursor cursor(&m_document);
    cursor.setPosition(qMin<qint32>(m_InsertPos, m_document.characterCount() - 1));
    cursor.insertText(shown);
    m_InsertPos = cursor.position();
}
