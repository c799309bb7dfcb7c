#pragma once

#include <QString>

#include <functional>

// Where the lower layers report a fault that would otherwise pass unseen (a
// datagram the kernel refused, pings that cannot be sent): the program-wide
// log, which the application hands in. Every report also goes to stderr, so
// it is seen before the log exists and when the log is hidden.
using ProblemLog = std::function<void(const QString& text)>;

namespace ProblemReport {

// Writes "linkwise: <text>" to stderr, then hands text to log when there is one.
void report(const ProblemLog& log, const QString& text);

} // namespace ProblemReport
