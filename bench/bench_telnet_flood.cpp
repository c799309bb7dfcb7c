// A unit that floods its telnet connection while the program waits on it:
// a command exchange (as SendCommand: 50 s until "OK" CR) and a marker wait
// (waitFor, 50 s), each against a peer that sends as fast as loopback takes
// it for the whole wait. Goals: each deadline holds (50 s, +0.5 s), resident
// memory grows by less than 32 MiB, and the event loop never stalls for
// 100 ms or more. An optional argument sets the seconds (default 50).
#include "EventLoopGapMeter.h"
#include "FloodPeer.h"
#include "ProcessMemory.h"
#include "RecordingPrompts.h"
#include "net/SystemClock.h"
#include "session/frmComms.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {
template<typename F> bool measure(const char* name, qint32 seconds, F&& wait)
{
    SystemClock clock;
    RecordingPrompts prompts;
    FloodPeer peer(qint64(seconds + 10) * 1000);
    frmComms w(clock, prompts, TrmOptions {});
    if (!w.ConnectIP(QStringLiteral("127.0.0.1"), QString::number(peer.port()), 60000)) {
        std::printf("%-34s no connection\n", name);
        return false;
    }
    ProcessMemory::resetPeak();
    const qint64 before = ProcessMemory::residentKiB();
    EventLoopGapMeter gaps;
    QElapsedTimer took;
    took.start();
    const bool quiet = wait(w, seconds);
    const qint64 ms = took.elapsed();
    const qint64 grewKiB = ProcessMemory::peakKiB() - before;
    const bool ok
        = quiet && ms >= seconds * 1000 && ms < seconds * 1000 + 500 && grewKiB < 32 * 1024 && gaps.longestMs() < 100;
    std::printf("%-34s deadline %6.2f s (goal %d.00-%d.50)  received %7.0f MB  memory +%6.1f MiB (goal < 32)  "
                "longest gap %4lld ms (goal < 100)  %s\n",
        name, double(ms) / 1000.0, seconds, seconds, double(peer.bytesSent()) / 1e6, double(grewKiB) / 1024.0,
        static_cast<long long>(gaps.longestMs()), ok ? "ok" : "OVER GOAL");
    std::fflush(stdout);
    return ok;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const qint32 seconds = argc > 1 ? QByteArray(argv[1]).toInt() : 50;
    // What SendCommand does, with the wait's length open to the argument.
    bool ok = measure("command exchange under a flood", seconds, [](frmComms& w, qint32 s) {
        w.Send(QStringLiteral("config 0 ?\r"));
        return w.waitForAndReturn(QStringLiteral("OK\r"), s, 0).isEmpty() && w.TimedOut;
    });
    ok &= measure("waitFor under a flood", seconds,
        [](frmComms& w, qint32 s) { return !w.waitFor(QStringLiteral("SUPER\r\n"), s) && w.TimedOut; });
    return ok ? 0 : 1;
}
