#include "SimulatedClock.h"
#include "net/Deadline.h"

#include <QTest>
#include <QTimer>

namespace {
constexpr qint64 hourMs = 3'600'000;
constexpr qint64 dayMs = 24 * hourMs;

Deadline made(const QString& kind, SimulatedClock& clock, qint64 amount)
{
    if (kind == u"rounded seconds")
        return Deadline::roundedSeconds(clock, qint32(amount));
    if (kind == u"past day clock")
        return Deadline::pastDayClock(clock, amount);
    if (kind == u"past ticks")
        return Deadline::pastTicks(clock, amount);
    return Deadline::monotonicIn(clock, amount);
}
} // namespace

class tst_Deadline : public QObject {
    Q_OBJECT
private slots:
    void rounding_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<qint64>("rounded");
        QTest::newRow("below half goes down") << qint64(4499) << qint64(4000);
        QTest::newRow("above half goes up") << qint64(4501) << qint64(5000);
        QTest::newRow("half to even, down") << qint64(4500) << qint64(4000);
        QTest::newRow("half to even, up") << qint64(5500) << qint64(6000);
        QTest::newRow("whole second stays") << qint64(7000) << qint64(7000);
        QTest::newRow("zero") << qint64(0) << qint64(0);
        QTest::newRow("half of zero") << qint64(500) << qint64(0);
    }
    void rounding()
    {
        QFETCH(qint64, ms);
        QFETCH(qint64, rounded);
        QCOMPARE(Deadline::roundToSecondHalfEven(ms), rounded);
    }

    // How long a deadline wait lasts, by the fraction of the second it starts in.
    void deadlineLength_data()
    {
        QTest::addColumn<qint64>("startWallMs");
        QTest::addColumn<int>("timeout");
        QTest::addColumn<qint64>("lastsMs");
        QTest::newRow("5 s from .000") << 10 * hourMs << 5 << qint64(5000);
        QTest::newRow("5 s from .499") << 10 * hourMs + 499 << 5 << qint64(4501);
        QTest::newRow("5 s from .501") << 10 * hourMs + 501 << 5 << qint64(5499);
        QTest::newRow("5 s from even .5 rounds down") << 10 * hourMs + 1500 << 5 << qint64(4500);
        QTest::newRow("5 s from odd .5 rounds up") << 10 * hourMs + 2500 << 5 << qint64(5500);
        QTest::newRow("0 s from .4") << 10 * hourMs + 400 << 0 << qint64(0);
        QTest::newRow("0 s from .6") << 10 * hourMs + 600 << 0 << qint64(400);
        QTest::newRow("across midnight") << dayMs - 2300 << 5 << qint64(5300);
        QTest::newRow("from midnight") << 3 * dayMs << 20 << qint64(20000);
    }
    void deadlineLength()
    {
        QFETCH(qint64, startWallMs);
        QFETCH(int, timeout);
        QFETCH(qint64, lastsMs);
        SimulatedClock clock(startWallMs);
        const Deadline deadline = Deadline::roundedSeconds(clock, timeout);
        const qint64 start = clock.monotonicMs();
        const bool done = deadline.wait([] { return false; });
        QVERIFY(!done);
        QVERIFY(deadline.passed());
        QCOMPARE(clock.monotonicMs() - start, lastsMs);
    }

    void deadlineAcrossMidnightNamesTheNextDay()
    {
        SimulatedClock clock(dayMs - 1000);
        const Deadline deadline = Deadline::roundedSeconds(clock, 5);
        QCOMPARE(deadline.secondsOfDay(), qint64(86404));
        QVERIFY(!deadline.passed());
        clock.advance(1500);
        QVERIFY(clock.secondsSinceMidnight() < 1.0);
        QVERIFY(!deadline.passed());
        clock.advance(3500);
        QVERIFY(deadline.passed());
    }

    // The moved deadline counts from the rounded second it was set on, so
    // an odd time-out does not round the other way.
    void plusSecondsIsNotRoundedAgain()
    {
        SimulatedClock clock(10 * hourMs + 500);
        const Deadline start = Deadline::roundedSeconds(clock, 0);
        const Deadline later = start.plusSeconds(5);
        QCOMPARE(later.secondsOfDay() - start.secondsOfDay(), qint64(5));
        const qint64 begun = clock.monotonicMs();
        QVERIFY(!later.wait());
        QCOMPARE(clock.monotonicMs() - begun, qint64(4500));
    }

    // Whether the counter must reach the end or go beyond it, on every kind.
    void comesAtOrBeyond_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<qint32>("startTick");
        QTest::addColumn<qint64>("amount");
        QTest::addColumn<qint64>("lastsMs");
        QTest::newRow("rounded seconds, at the second")
            << "rounded seconds" << qint32(1000) << qint64(3) << qint64(3000);
        QTest::newRow("day clock, beyond its end") << "past day clock" << qint32(1000) << qint64(250) << qint64(251);
        QTest::newRow("day clock, 0 ms") << "past day clock" << qint32(1000) << qint64(0) << qint64(1);
        QTest::newRow("ticks, beyond their end") << "past ticks" << qint32(1000) << qint64(100) << qint64(101);
        QTest::newRow("ticks, 0 ms") << "past ticks" << qint32(1000) << qint64(0) << qint64(1);
        QTest::newRow("ticks across the signed wrap")
            << "past ticks" << qint32(0x7fffffff - 40) << qint64(100) << qint64(101);
        QTest::newRow("ticks across the unsigned wrap") << "past ticks" << qint32(-30) << qint64(100) << qint64(101);
        QTest::newRow("monotonic, at its end") << "monotonic" << qint32(1000) << qint64(700) << qint64(700);
        QTest::newRow("monotonic, 0 ms") << "monotonic" << qint32(1000) << qint64(0) << qint64(0);
    }
    void comesAtOrBeyond()
    {
        QFETCH(QString, kind);
        QFETCH(qint32, startTick);
        QFETCH(qint64, amount);
        QFETCH(qint64, lastsMs);
        SimulatedClock clock(10 * hourMs, startTick);
        const Deadline deadline = made(kind, clock, amount);
        const qint64 start = clock.monotonicMs();
        QVERIFY(!deadline.wait());
        QCOMPARE(clock.monotonicMs() - start, lastsMs);
        if (lastsMs > 0) {
            SimulatedClock again(10 * hourMs, startTick);
            const Deadline early = made(kind, again, amount);
            again.advance(lastsMs - 1);
            QVERIFY(!early.passed());
        }
    }

    void waitEndsWhenConditionHolds()
    {
        SimulatedClock clock;
        bool arrived = false;
        clock.schedule(1200, [&] { arrived = true; });
        const qint64 start = clock.monotonicMs();
        QVERIFY(Deadline::roundedSeconds(clock, 20).wait([&] { return arrived; }));
        QCOMPARE(clock.monotonicMs() - start, qint64(1200));
    }

    void waitSeesQueuedEventsBeforeMovingTime()
    {
        SimulatedClock clock;
        bool arrived = false;
        QTimer::singleShot(0, [&] { arrived = true; });
        const qint64 start = clock.monotonicMs();
        QVERIFY(Deadline::roundedSeconds(clock, 5).wait([&] { return arrived; }));
        QCOMPARE(clock.monotonicMs(), start);
    }

    // A condition that no event announces is asked again every recheckMs.
    void recheckAsksAgainWithoutEvents()
    {
        SimulatedClock clock;
        const qint64 start = clock.monotonicMs();
        int asked = 0;
        QVERIFY(Deadline::monotonicIn(clock, 10'000)
                    .wait([&] { return ++asked > 3 && clock.monotonicMs() - start >= 750; }, 250));
        QCOMPARE(clock.monotonicMs() - start, qint64(750));
        QCOMPARE(asked, 4);
    }

    void soonerOfTwo()
    {
        SimulatedClock clock;
        const Deadline poll = Deadline::roundedSeconds(clock, 2);
        const Deadline end = Deadline::roundedSeconds(clock, 5);
        QCOMPARE(Deadline::sooner(poll, end).secondsOfDay(), poll.secondsOfDay());
        QCOMPARE(Deadline::sooner(end, poll).secondsOfDay(), poll.secondsOfDay());
        const qint64 start = clock.monotonicMs();
        QVERIFY(!Deadline::sooner(end, poll).wait());
        QCOMPARE(clock.monotonicMs() - start, qint64(2000));
    }
};

QTEST_GUILESS_MAIN(tst_Deadline)
#include "tst_Deadline.moc"
