#include "SimulatedClock.h"
#include "net/ClockTimer.h"
#include "session/modTrmTypes.h"

#include <QTest>
#include <QTimer>

namespace {
constexpr qint64 hourMs = 3'600'000;
} // namespace

class tst_modTrmTypes : public QObject {
    Q_OBJECT
private slots:
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
