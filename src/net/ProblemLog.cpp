#include "net/ProblemLog.h"

#include <cstdio>

namespace ProblemReport {

void report(const ProblemLog& log, const QString& text)
{
    std::fprintf(stderr, "linkwise: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
    if (log)
        log(text);
}

} // namespace ProblemReport
