#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The files of a unit's flash as its "dir" listing shows them: one entry
// for each line that follows a CR LF and is long enough to cut, the name
// from its first 12 characters (blanks trimmed) and the read-only mark
// from the two characters at column 22, "ro" in this letter case.
struct FlashListing {
    QStringList names;
    QList<bool> readOnly;
    // A second flag for each file; nothing in the program sets it.
    QList<bool> secondFlag;

    // Index of the last entry; -1 when there is none.
    qint32 last() const { return qint32(names.size()) - 1; }

    static FlashListing fromDirReply(const QString& reply);
    // A line shorter than this (such as the closing "OK") is no entry.
    static constexpr qsizetype EntryLength = 24;
};
