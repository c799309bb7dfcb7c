#include "SimulatedClock.h"
#include "net/ClockTimer.h"
#include "session/modTrmTypes.h"

#include <QTest>
#include <QTimer>

using modTrmTypes::SecondsDeadline;

namespace {
constexpr qint64 hourMs = 3'600'000;
constexpr qint64 dayMs = 24 * hourMs;
} // namespace

class tst_modTrmTypes : public QObject {
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
        QCOMPARE(SecondsDeadline::roundToSecondHalfEven(ms), rounded);
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
        const SecondsDeadline deadline(clock, timeout);
        const qint64 start = clock.monotonicMs();
        const bool done = modTrmTypes::WaitUntil(clock, deadline, [] { return false; });
        QVERIFY(!done);
        QVERIFY(deadline.reached());
        QCOMPARE(clock.monotonicMs() - start, lastsMs);
    }

    void deadlineAcrossMidnightNamesTheNextDay()
    {
        SimulatedClock clock(dayMs - 1000);
        const SecondsDeadline deadline(clock, 5);
        QCOMPARE(deadline.secondsOfDay(), qint64(86404));
        QVERIFY(!deadline.reached());
        clock.advance(1500);
        QVERIFY(clock.secondsSinceMidnight() < 1.0);
        QVERIFY(!deadline.reached());
        clock.advance(3500);
        QVERIFY(deadline.reached());
    }

    void waitEndsWhenConditionHolds()
    {
        SimulatedClock clock;
        bool arrived = false;
        clock.schedule(1200, [&] { arrived = true; });
        const qint64 start = clock.monotonicMs();
        QVERIFY(modTrmTypes::WaitUntil(clock, SecondsDeadline(clock, 20), [&] { return arrived; }));
        QCOMPARE(clock.monotonicMs() - start, qint64(1200));
    }

    void waitSeesQueuedEventsBeforeMovingTime()
    {
        SimulatedClock clock;
        bool arrived = false;
        QTimer::singleShot(0, [&] { arrived = true; });
        const qint64 start = clock.monotonicMs();
        QVERIFY(modTrmTypes::WaitUntil(clock, SecondsDeadline(clock, 5), [&] { return arrived; }));
        QCOMPARE(clock.monotonicMs(), start);
    }

    void waitMs_data()
    {
        QTest::addColumn<qint32>("startTick");
        QTest::addColumn<int>("ms");
        QTest::newRow("0 ms") << qint32(1000) << 0;
        QTest::newRow("100 ms") << qint32(1000) << 100;
        QTest::newRow("across the signed wrap") << qint32(0x7fffffff - 40) << 100;
        QTest::newRow("across the unsigned wrap") << qint32(-30) << 100;
    }
    void waitMs()
    {
        QFETCH(qint32, startTick);
        QFETCH(int, ms);
        SimulatedClock clock(10 * hourMs, startTick);
        modTrmTypes::WaitMs(clock, ms);
        // The counter has moved past start + ms: by ms + 1 ticks exactly.
        QCOMPARE(
            static_cast<qint32>(static_cast<quint32>(clock.tickCount()) - static_cast<quint32>(startTick)), ms + 1);
    }

    void waitMsKeepsTimersRunning()
    {
        SimulatedClock clock;
        ClockTimer timer(clock);
        timer.setInterval(30);
        int fired = 0;
        connect(&timer, &ClockTimer::timeout, this, [&] { ++fired; });
        timer.start();
        modTrmTypes::WaitMs(clock, 100);
        QCOMPARE(fired, 3);
    }

    void clockTimerSingleShotAndStop()
    {
        SimulatedClock clock;
        ClockTimer timer(clock);
        timer.setSingleShot(true);
        int fired = 0;
        connect(&timer, &ClockTimer::timeout, this, [&] { ++fired; });
        timer.start(500);
        clock.advance(499);
        QCOMPARE(fired, 0);
        clock.advance(1);
        QCOMPARE(fired, 1);
        QVERIFY(!timer.isActive());
        timer.start(500);
        timer.stop();
        clock.advance(1000);
        QCOMPARE(fired, 1);
    }
};

QTEST_MAIN(tst_modTrmTypes)
#include "tst_modTrmTypes.moc"
