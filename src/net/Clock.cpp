#include "net/Clock.h"

double Clock::secondsSinceMidnight() const
{
    constexpr qint64 msPerDay = 86'400'000;
    qint64 ms = localWallMs() % msPerDay;
    if (ms < 0)
        ms += msPerDay;
    return static_cast<double>(ms) / 1000.0;
}
