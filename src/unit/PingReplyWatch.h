#pragma once

#include "session/MarkerScanner.h"

#include <QString>

// Reads what a unit prints after its "ping" command, as it arrives, and
// tells whether the unit could not resolve the host, whether it printed its
// statistics, and whether they count a received reply. Each character is
// looked at once, so a unit that prints without end costs no more than it
// sends.
class PingReplyWatch {
public:
    PingReplyWatch();

    void feed(const QString& text);

    // "Unable to resolve", in any letter case.
    bool unresolved() const { return m_unresolved.found(); }
    // "Ping Statistics", in this letter case.
    bool statistics() const { return m_statistics.found(); }
    // The statistics are there and the line after the first "Received"
    // (in this letter case) holds, after its first ":", a number above 0.
    bool received() const;
    // Nothing more to wait for: the host is unknown or a reply came back.
    bool finished() const { return unresolved() || received(); }

    // The leading number of a "Received" line after its first ":".
    static qint32 ReceivedCount(const QString& line);

private:
    MarkerScanner m_unresolved;
    MarkerScanner m_statistics;
    MarkerScanner m_receivedWord;
    // The line after "Received", as far as it has come; complete at its CR.
    QString m_receivedLine;
    bool m_lineComplete = false;
};
