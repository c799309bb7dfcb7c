#include "NetLab.h"
#include "app/ModQarFindFreeAddress.h"
#include "net/IPHlpAPI.h"
#include "net/SystemClock.h"

#include <QHostAddress>
#include <QTest>
#include <QTimer>

namespace {
qint32 host(const char* dotted)
{
    return qint32(QHostAddress(QString::fromLatin1(dotted)).toIPv4Address());
}

constexpr qint32 timeoutMs = 300;
} // namespace

// Real echoes in a lab: this process is the PC (198.51.100.2 on a /24); the
// unit's side answers on .1, .3, .5 and .6; everything else there is silent.
class tst_ModQarFindFreeAddress : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        const QString pc = m_lab.addHost(QStringLiteral("pc"));
        const QString unit = m_lab.addHost(QStringLiteral("unit"));
        QVERIFY2(m_lab.link(pc, QStringLiteral("lwpc0"), QStringLiteral("198.51.100.2/24"), unit,
                     QStringLiteral("lwu0"), QStringLiteral("198.51.100.1/24")),
            qPrintable(m_lab.lastError()));
        for (const char* extra : { "198.51.100.3/24", "198.51.100.5/24", "198.51.100.6/24" })
            QVERIFY(m_lab.run(unit,
                { QStringLiteral("ip"), QStringLiteral("addr"), QStringLiteral("add"), QString::fromLatin1(extra),
                    QStringLiteral("dev"), QStringLiteral("lwu0") }));
        QVERIFY2(m_lab.enter(pc), qPrintable(m_lab.lastError()));
    }

    void walk_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<qint32>("lastRejected");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<qint32>("result");
        QTest::addColumn<QList<qint32>>("tried");
        const auto ips = [](std::initializer_list<const char*> list) {
            QList<qint32> out;
            for (const char* d : list)
                out << host(d);
            return out;
        };
        QTest::newRow("own address answers and is passed over")
            << "198.51.100.2"
            << "255.255.255.0" << 0 << false << host("198.51.100.4")
            << ips({ "198.51.100.1", "198.51.100.2", "198.51.100.3", "198.51.100.4" });
        QTest::newRow("starts behind the rejected candidate")
            << "198.51.100.2"
            << "255.255.255.0" << host("198.51.100.4") << false << host("198.51.100.7")
            << ips({ "198.51.100.5", "198.51.100.6", "198.51.100.7" });
        QTest::newRow("/30 tries two addresses")
            << "198.51.100.5"
            << "255.255.255.252" << 0 << false << 0 << ips({ "198.51.100.5", "198.51.100.6" });
        QTest::newRow("rejected the last of the range")
            << "198.51.100.5"
            << "255.255.255.252" << host("198.51.100.6") << false << 0 << QList<qint32>();
        QTest::newRow("/31 none") << "198.51.100.5"
                                  << "255.255.255.254" << 0 << false << 0 << QList<qint32>();
        QTest::newRow("/32 none") << "198.51.100.5"
                                  << "255.255.255.255" << 0 << false << 0 << QList<qint32>();
        QTest::newRow("/0 none") << "198.51.100.5"
                                 << "0.0.0.0" << 0 << false << 0 << QList<qint32>();
        QTest::newRow("cancel seen at the first reply") << "198.51.100.2"
                                                        << "255.255.255.0" << 0 << true << 0 << ips({ "198.51.100.1" });
        QTest::newRow("cancel does not stop a silent candidate")
            << "198.51.100.2"
            << "255.255.255.0" << host("198.51.100.3") << true << host("198.51.100.4") << ips({ "198.51.100.4" });
    }
    void walk()
    {
        QFETCH(QString, address);
        QFETCH(QString, mask);
        QFETCH(qint32, lastRejected);
        QFETCH(bool, cancel);
        QFETCH(qint32, result);
        QFETCH(QList<qint32>, tried);
        QList<qint32> seen;
        const auto ping = [&seen](quint32 candidate) {
            seen << qint32(candidate);
            return IPHlpAPI::PingAddress(candidate, QStringLiteral("ADDRESS CHECK"), timeoutMs);
        };
        QCOMPARE(ModQar::FindFreeAddress(address, mask, lastRejected, cancel, ping), result);
        QCOMPARE(seen, tried);
    }

    void realPingsWithoutAHook()
    {
        const bool cancel = false;
        QCOMPARE(ModQar::FindFreeAddress(
                     QStringLiteral("198.51.100.2"), QStringLiteral("255.255.255.0"), 0, timeoutMs, cancel),
            host("198.51.100.4"));
    }

    // The walk as the pages run it: each reply awaited in the event loop, so
    // timers (and clicks) go on while the silent candidate takes its time-out;
    // the pings and the result are those of the blocking walk.
    void eventLoopWalk()
    {
        SystemClock clock;
        const bool cancel = false;
        int ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&ticks] { ++ticks; });
        tick.start(50);
        // Timed on the walk's own clock: a second timer started at another
        // instant truncates to other milliseconds and may read 599.
        const qint64 started = clock.monotonicMs();
        QCOMPARE(ModQar::FindFreeAddress(
                     clock, QStringLiteral("198.51.100.2"), QStringLiteral("255.255.255.0"), 0, 600, cancel),
            host("198.51.100.4"));
        const qint64 took = clock.monotonicMs() - started;
        QVERIFY2(took >= 600,
            qPrintable(QStringLiteral("the silent candidate was not given its time-out: %1 ms").arg(took)));
        QVERIFY2(ticks >= 8, qPrintable(QStringLiteral("only %1 timer events during the walk").arg(ticks)));
        QCOMPARE(ModQar::FindFreeAddress(clock, QStringLiteral("198.51.100.2"), QStringLiteral("255.255.255.0"),
                     host("198.51.100.4"), timeoutMs, cancel),
            host("198.51.100.7"));
    }

    void signedOrderAboveTheTopBit()
    {
        // 203.0.113.0/24 lies above 128.0.0.0: negative values, same order.
        QList<qint32> seen;
        const bool cancel = false;
        const qint32 r = ModQar::FindFreeAddress(QStringLiteral("203.0.113.9"), QStringLiteral("255.255.255.0"),
            host("203.0.113.253"), cancel, [&seen](quint32 c) {
                seen << qint32(c);
                return true;
            });
        QCOMPARE(r, 0);
        QCOMPARE(seen, QList<qint32> { host("203.0.113.254") });
    }

private:
    NetLab m_lab;
};

QTEST_GUILESS_MAIN(tst_ModQarFindFreeAddress)
#include "tst_ModQarFindFreeAddress.moc"
