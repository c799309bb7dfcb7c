// The waits of the session window: they read the socket themselves while the
// forwarding path stands aside. A peer may send without end, so every wait
// looks at each byte once, keeps no more than it can still use, and lets the
// event loop run between pieces of input.
#include "net/Deadline.h"
#include "session/MarkerScanner.h"
#include "session/frmComms.h"

namespace {
const QString errorMarker = QStringLiteral("ERROR\r");

// While a wait reads, the socket holds at most this much unread input; the
// rest stays with the kernel, whose window then slows the peer down.
constexpr qint64 socketBufferLimit = 256 * 1024;

// What a collecting wait hands back: everything up to the head limit, then
// only the most recent bytes, enough for the last piece read and the marker
// that ended the wait.
class BoundedReply {
public:
    void append(const QByteArray& piece)
    {
        const qsizetype room = frmComms::ReplyHeadLimit - m_head.size();
        if (room >= piece.size()) {
            m_head += piece;
            return;
        }
        if (room > 0)
            m_head += piece.left(room);
        m_tail += room > 0 ? piece.mid(room) : piece;
        if (m_tail.size() > frmComms::ReplyTailLimit)
            m_tail.remove(0, m_tail.size() - frmComms::ReplyTailLimit);
    }
    QString text() const { return QString::fromLatin1(m_head + m_tail); }

private:
    QByteArray m_head;
    QByteArray m_tail;
};
} // namespace

frmComms::ReadLimit::ReadLimit(QTcpSocket& socket)
    : m_socket(socket)
    , m_before(socket.readBufferSize())
{
    if (m_before == 0 || m_before > socketBufferLimit)
        m_socket.setReadBufferSize(socketBufferLimit);
}

frmComms::ReadLimit::~ReadLimit()
{
    // Back to no limit lets the socket fetch what the kernel kept meanwhile.
    m_socket.setReadBufferSize(m_before);
}

void frmComms::yieldToEvents()
{
    m_clock.waitForEvents(m_clock.monotonicMs());
}

bool frmComms::readUntil(const Deadline& deadline, const std::function<qsizetype(QByteArrayView)>& take)
{
    const CallLifetime::Call call(m_life);
    TimedOut = false;
    const ReadLimit limit(Winsock1());
    bool done = false;
    while (!done && !TimedOut) {
        // A closed session is read no further: the wait ends as at its deadline.
        if (ended()) {
            TimedOut = true;
            break;
        }
        if (Winsock1().bytesAvailable() > 0) {
            // Look before taking, so that what follows the end stays in the
            // socket for the next reader, as a read of one byte at a time
            // would leave it.
            const QByteArray piece = Winsock1().peek(ReadPieceSize);
            const qsizetype used = take(piece);
            done = used >= 0;
            Winsock1().skip(done ? used : piece.size());
            if (!done)
                yieldToEvents();
        } else {
            m_clock.waitForEvents(deadline.wakeAt());
        }
        if (deadline.passed())
            TimedOut = true;
    }
    return !TimedOut;
}

bool frmComms::waitFor(const QString& marker, qint32 timeoutSeconds)
{
    MarkerScanner scanner(marker, Qt::CaseInsensitive);
    if (scanner.found()) {
        TimedOut = false;
        return true;
    }
    return readUntil(Deadline::pastTicks(m_clock, qint64(timeoutSeconds) * 1000),
        [&scanner](QByteArrayView piece) { return scanner.feed(piece); });
}

QString frmComms::waitForAndReturn(const QString& marker, qint32 timeoutSeconds, qint32 byteLimit, bool* error)
{
    const CallLifetime::Call call(m_life);
    if (error)
        *error = false;
    const Deadline deadline = Deadline::pastDayClock(m_clock, qint64(timeoutSeconds) * 1000);
    TimedOut = false;
    const ReadLimit limit(Winsock1());
    MarkerScanner wanted(marker, Qt::CaseInsensitive);
    MarkerScanner refusal(errorMarker, Qt::CaseSensitive);
    BoundedReply reply;
    const qint64 pieceSize = byteLimit > 0 ? qMin<qint64>(byteLimit, ReadPieceSize) : ReadPieceSize;
    for (;;) {
        if (Winsock1().bytesAvailable() > 0)
            yieldToEvents();
        else
            m_clock.waitForEvents(deadline.wakeAt());
        if (ended())
            break;
        if (Winsock1().bytesAvailable() > 0) {
            const QByteArray piece = Winsock1().read(pieceSize);
            reply.append(piece);
            wanted.feed(piece);
            if (error)
                refusal.feed(piece);
        }
        if (error && refusal.found()) {
            *error = true;
            break;
        }
        if (wanted.found() || deadline.passed())
            break;
    }
    TimedOut = deadline.passed() || ended();
    return TimedOut ? QString() : reply.text();
}

qsizetype frmComms::waitForFirst(const Deadline& deadline, const QStringList& markers)
{
    std::vector<MarkerScanner> scanners;
    for (const QString& m : markers)
        scanners.emplace_back(m, Qt::CaseInsensitive);
    qsizetype hit = -1;
    const bool inTime = readUntil(deadline, [&scanners, &hit](QByteArrayView piece) -> qsizetype {
        qsizetype earliest = -1;
        for (std::size_t i = 0; i < scanners.size(); ++i) {
            const qsizetype end = scanners[i].feed(piece);
            if (end >= 0 && (earliest < 0 || end < earliest)) {
                earliest = end;
                hit = qsizetype(i);
            }
        }
        return earliest;
    });
    return inTime ? hit : -1;
}

bool frmComms::waitForCon(qint32 timeoutSeconds)
{
    const qsizetype hit = waitForFirst(Deadline::pastTicks(m_clock, qint64(timeoutSeconds) * 1000),
        { QStringLiteral("CONNECT"), QStringLiteral("NO CARRIER"), QStringLiteral("BUSY") });
    switch (hit) {
    case 0:
        return true;
    case 1:
        LastError = 43;
        return false;
    case 2:
        LastError = 44;
        return false;
    default:
        LastError = 45;
        return false;
    }
}

bool frmComms::waitForConnect(qint32 timeoutSeconds)
{
    const qsizetype hit = waitForFirst(Deadline::pastDayClock(m_clock, qint64(timeoutSeconds) * 1000),
        { QStringLiteral("Username:"), QStringLiteral("CLR"), QStringLiteral("NO CARRIER") });
    if (hit > 0) {
        // The call was cleared or the line dropped: no login will come.
        TimedOut = true;
        return false;
    }
    return hit == 0;
}

qint32 frmComms::waitForMany(qint32 timeoutSeconds, const QString& first, const QString& second, const QString& third)
{
    const QStringList wanted { first, second, third };
    qsizetype longest = 0;
    for (const QString& w : wanted)
        longest = qMax(longest, w.size());
    // Only a text no longer than the longest argument can still equal one;
    // past that nothing is kept, and the wait runs to its deadline.
    QString seen;
    bool beyond = false;
    qint32 hit = 0;
    auto compare = [&] {
        for (qsizetype k = 0; k < wanted.size() && !beyond; ++k) {
            if (seen.compare(wanted[k], Qt::CaseInsensitive) == 0) {
                hit = qint32(k) + 1;
                return true;
            }
        }
        return false;
    };
    if (compare()) {
        TimedOut = false;
        return hit;
    }
    readUntil(Deadline::pastTicks(m_clock, qint64(timeoutSeconds) * 1000), [&](QByteArrayView piece) -> qsizetype {
        for (qsizetype i = 0; i < piece.size() && !beyond; ++i) {
            seen += QChar::fromLatin1(piece[i]);
            beyond = seen.size() > longest;
            if (compare())
                return i + 1;
        }
        return -1;
    });
    return TimedOut ? 0 : hit;
}
