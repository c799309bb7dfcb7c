#pragma once

#include <QString>

class QTextDocument;

// The terminal window's screen: text from the unit goes in at the session's
// own position, wherever the person has clicked. A backspace from the unit
// erases the character before it (a line break as well), a NUL is dropped,
// and a carriage return that ends one piece of text waits for the next
// piece, so that CR LF split across two reads still makes one line break.
// CR LF, a lone CR and a lone LF each end a line.
class TerminalScreen {
public:
    explicit TerminalScreen(QTextDocument& document)
        : m_document(document)
    { }

    void messagePrint(const QString& text);

    // Where the next text goes, in characters of the document (a line break counts one).
    qint32 InsertPos() const { return m_InsertPos; }
    // The last piece ended with a carriage return not yet written.
    bool PendingCR() const { return m_PendingCR; }

private:
    void eraseBeforeInsertPos();

    QTextDocument& m_document;
    qint32 m_InsertPos = 0;
    bool m_PendingCR = false;
};
