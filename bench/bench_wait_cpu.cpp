// Process CPU time spent by a real 2-second wait of each kind, as a share of
// its wall time. Goal: under 2 %.
#include "net/Deadline.h"
#include "net/SystemClock.h"
#include "session/modTrmTypes.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <ctime>

namespace {
double cpuSeconds()
{
    timespec ts {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

template<typename F> bool report(const char* name, F&& wait)
{
    QElapsedTimer wall;
    const double cpu0 = cpuSeconds();
    wall.start();
    wait();
    const double wallS = double(wall.nsecsElapsed()) / 1e9;
    const double share = 100.0 * (cpuSeconds() - cpu0) / wallS;
    std::printf("%-28s wall %.3f s  cpu %.2f %%  %s\n", name, wallS, share, share < 2.0 ? "ok" : "OVER GOAL");
    return share < 2.0;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    SystemClock clock;
    bool ok = report("WaitMs(2000)", [&] { modTrmTypes::WaitMs(clock, 2000); });
    ok &= report("deadline wait of 2 s", [&] { Deadline::roundedSeconds(clock, 2).wait([] { return false; }); });
    return ok ? 0 : 1;
}
