#include "EventLoopGapMeter.h"
#include "FloodPeer.h"
#include "ProcessMemory.h"
#include "RecordingPrompts.h"
#include "SimulatedClock.h"
#include "net/SystemClock.h"
#include "session/frmComms.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

namespace {
const QString loopback = QStringLiteral("127.0.0.1");

// A unit's side on loopback in this process: sends each chunk of the script
// in its own write, one pass of the event loop apart, so that the wait meets
// the text in pieces.
struct ChunkPeer {
    QTcpServer server;
    QTcpSocket* conn = nullptr;
    QList<QByteArray> chunks;
    Clock* clock = nullptr;

    ChunkPeer() { server.listen(QHostAddress::LocalHost, 0); }
    void start(Clock& c)
    {
        clock = &c;
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            conn = server.nextPendingConnection();
            sendNext();
        });
    }
    void sendNext()
    {
        if (chunks.isEmpty())
            return;
        conn->write(chunks.takeFirst());
        conn->flush();
        clock->schedule(10, [this] { sendNext(); });
    }
};

// A session window connected to a ChunkPeer that sends the given chunks.
struct ChunkRig {
    SimulatedClock clock;
    RecordingPrompts prompts;
    ChunkPeer peer;
    frmComms w { clock, prompts, TrmOptions {} };

    explicit ChunkRig(const QList<QByteArray>& chunks)
    {
        peer.chunks = chunks;
        peer.start(clock);
    }
    bool connect() { return w.ConnectIP(loopback, QString::number(peer.server.serverPort()), 60000); }
};

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif
#else
constexpr bool sanitized = false;
#endif
} // namespace

class tst_frmCommsWaits : public QObject {
    Q_OBJECT
private slots:
    // A marker and the refusal text met in pieces, in any letter case; what
    // follows the marker stays in the socket for waitFor.
    void piecesOfAMarker_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QByteArray>("left");
        QTest::newRow("marker split over three writes")
            << QList<QByteArray> { "abc pass", "wo", "rd: rest" } << true << QByteArray(" rest");
        QTest::newRow("split, other letter case") << QList<QByteArray> { "PASS", "WORD:" } << true << QByteArray();
        QTest::newRow("a false start just before the marker")
            << QList<QByteArray> { "passpass", "word:x" } << true << QByteArray("x");
        QTest::newRow("never whole") << QList<QByteArray> { "passwor", "d" } << false << QByteArray();
    }
    void piecesOfAMarker()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(bool, found);
        QFETCH(QByteArray, left);
        ChunkRig rig(chunks);
        QVERIFY(rig.connect());
        QCOMPARE(rig.w.waitFor(QStringLiteral("password:"), 5), found);
        rig.clock.advance(100);
        QCOMPARE(rig.w.socket().readAll(), left);
    }

    void collectingPieces_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<int>("byteLimit");
        QTest::addColumn<bool>("withFlag");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("error");
        QTest::newRow("marker split, all pending read")
            << QList<QByteArray> { "value\r\nO", "K\r\ntrailing" } << 0 << false << "value\r\nOK\r\ntrailing" << false;
        QTest::newRow("refusal split over writes")
            << QList<QByteArray> { "ERR", "OR\r\nOK\r\n" } << 0 << true << "ERROR\r\nOK\r\n"
            << true;
        QTest::newRow("refusal in other letter case is no refusal") << QList<QByteArray> { "error\r\n",
            "OK\r\n" } << 0 << true << "error\r\nOK\r\n" << false;
        QTest::newRow("byte limit: the read that ends the marker ends the text")
            << QList<QByteArray> { "ab OK\r\nxyz" } << 4 << false << "ab OK\r\nx" << false;
    }
    void collectingPieces()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(int, byteLimit);
        QFETCH(bool, withFlag);
        QFETCH(QString, result);
        QFETCH(bool, error);
        ChunkRig rig(chunks);
        QVERIFY(rig.connect());
        bool flag = !error;
        QCOMPARE(rig.w.waitForAndReturn(QStringLiteral("ok\r"), 5, byteLimit, withFlag ? &flag : nullptr), result);
        if (withFlag)
            QCOMPARE(flag, error);
        QVERIFY(!rig.w.TimedOut);
    }

    // A reply that outgrows the head limit keeps its beginning and its end.
    void longReplyKeepsHeadAndEnd()
    {
        QByteArray first = "Ser#:4711 begins\r\n";
        first += QByteArray(frmComms::ReplyHeadLimit, 'a');
        ChunkRig rig({ first, QByteArray(3 * frmComms::ReplyHeadLimit, 'b'), "end of listing\r\nOK\r\n" });
        QVERIFY(rig.connect());
        const QString reply = rig.w.waitForAndReturn(QStringLiteral("OK\r\n"), 50, 0);
        QVERIFY(reply.startsWith(QStringLiteral("Ser#:4711 begins\r\naaaa")));
        QVERIFY(reply.endsWith(QStringLiteral("bbbbend of listing\r\nOK\r\n")));
        QVERIFY(reply.size() <= frmComms::ReplyHeadLimit + frmComms::ReplyTailLimit);
        QVERIFY(reply.size() > frmComms::ReplyHeadLimit);
    }

    // A peer that keeps sending for a minute: each deadline holds, memory
    // stays flat and the event loop keeps running. Real time and a peer
    // thread of its own.
    void floodingPeer_data()
    {
        QTest::addColumn<bool>("collecting");
        QTest::newRow("waitFor") << false;
        QTest::newRow("waitForAndReturn") << true;
    }
    void floodingPeer()
    {
        QFETCH(bool, collecting);
        constexpr qint32 seconds = 3;
        SystemClock clock;
        RecordingPrompts prompts;
        FloodPeer peer(60'000);
        QVERIFY(peer.port() != 0);
        frmComms w(clock, prompts, TrmOptions {});
        QVERIFY(w.ConnectIP(loopback, QString::number(peer.port()), 60000));
        const bool peakReset = ProcessMemory::resetPeak();
        const qint64 before = ProcessMemory::residentKiB();
        EventLoopGapMeter gaps;
        QElapsedTimer took;
        took.start();
        if (collecting)
            QCOMPARE(w.waitForAndReturn(QStringLiteral("OK\r"), seconds, 0), QString());
        else
            QVERIFY(!w.waitFor(QStringLiteral("SUPER\r\n"), seconds));
        const qint64 ms = took.elapsed();
        QVERIFY(w.TimedOut);
        const qint64 grewKiB = (peakReset ? ProcessMemory::peakKiB() : ProcessMemory::residentKiB()) - before;
        const QString figures = QStringLiteral("took %1 ms, %2 MB sent, longest gap %3 ms, memory grew %4 KiB")
                                    .arg(ms)
                                    .arg(peer.bytesSent() / 1'000'000)
                                    .arg(gaps.longestMs())
                                    .arg(grewKiB);
        qInfo("%s", qPrintable(figures));
        // The wait ends at its deadline, long before the flood does, and
        // never holds the loop for a large part of it; how close to the
        // deadline and how short the gaps are bench_telnet_flood's figures.
        QVERIFY2(ms >= seconds * 1000 && ms < 2 * seconds * 1000, qPrintable(figures));
        QVERIFY2(gaps.longestMs() < 1000, qPrintable(figures));
        // Freed pieces sit in the sanitizer's quarantine; resident size says
        // nothing there.
        if (!sanitized)
            QVERIFY2(grewKiB < 32 * 1024, qPrintable(figures));
        // The peer was not slowed down by a reader that fell behind (the old
        // one-byte wait took in about 1 MB a second here).
        QVERIFY2(peer.bytesSent() > (sanitized ? 5'000'000 : 20'000'000), qPrintable(figures));
    }

    // The marker after a long flood still ends the waits, and nothing after
    // it is lost to waitFor.
    void markerAfterAFlood_data()
    {
        QTest::addColumn<bool>("collecting");
        QTest::newRow("waitFor") << false;
        QTest::newRow("waitForAndReturn") << true;
    }
    void markerAfterAFlood()
    {
        QFETCH(bool, collecting);
        SystemClock clock;
        RecordingPrompts prompts;
        FloodPeer peer(1000, "\r\nSUPER\r\nnext line");
        frmComms w(clock, prompts, TrmOptions {});
        QVERIFY(w.ConnectIP(loopback, QString::number(peer.port()), 60000));
        if (collecting) {
            const QString reply = w.waitForAndReturn(QStringLiteral("super\r\n"), 20, 0);
            QVERIFY(reply.startsWith(QStringLiteral("debug trace")));
            QVERIFY(reply.contains(QStringLiteral("\r\nSUPER\r\n")));
            QVERIFY(reply.size() <= frmComms::ReplyHeadLimit + frmComms::ReplyTailLimit);
        } else {
            QVERIFY(w.waitFor(QStringLiteral("super\r\n"), 20));
            QByteArray rest;
            const qint64 end = clock.monotonicMs() + 2000;
            while (rest.size() < 9 && clock.monotonicMs() < end) {
                clock.waitForEvents(end);
                rest += w.socket().readAll();
            }
            QCOMPARE(rest, QByteArray("next line"));
        }
        QVERIFY(!w.TimedOut);
    }
};

QTEST_GUILESS_MAIN(tst_frmCommsWaits)
#include "tst_frmCommsWaits.moc"
