#include "session/FlashListing.h"

FlashListing FlashListing::fromDirReply(const QString& reply)
{
    FlashListing out;
    const QLatin1String crlf("\r\n");
    for (qsizetype at = reply.indexOf(crlf); at >= 0; at = reply.indexOf(crlf, at + 2)) {
        const qsizetype start = at + 2;
        const qsizetype next = reply.indexOf(crlf, start);
        const QString line = reply.mid(start, next < 0 ? -1 : next - start);
        if (line.size() < EntryLength)
            continue;
        out.names << line.left(12).trimmed();
        out.readOnly << (line.mid(22, 2) == u"ro");
        out.secondFlag << false;
    }
    return out;
}
