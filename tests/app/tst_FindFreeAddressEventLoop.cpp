// The free-address search as the pages run it: real pings across a veth pair,
// each reply awaited in the event loop, so that windows repaint and clicks are
// taken while the walk waits on a silent address.
#include "NetLab.h"
#include "app/ModQarFindFreeAddress.h"
#include "net/SystemClock.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <arpa/inet.h>

namespace {
quint32 hostOrder(const char* dotted)
{
    return ntohl(::inet_addr(dotted));
}
} // namespace

class tst_FindFreeAddressEventLoop : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        const QString pc = m_lab.addHost(QStringLiteral("pc"));
        const QString far = m_lab.addHost(QStringLiteral("far"));
        QVERIFY2(!pc.isEmpty() && !far.isEmpty(), qPrintable(m_lab.lastError()));
        QVERIFY2(m_lab.link(pc, QStringLiteral("eth0"), QStringLiteral("198.51.100.1/24"), far, QStringLiteral("eth0"),
                     QStringLiteral("198.51.100.2/24")),
            qPrintable(m_lab.lastError()));
        QVERIFY(m_lab.sh(
            far, QStringLiteral("ip addr add 198.51.100.3/24 dev eth0 && ip addr add 198.51.100.4/24 dev eth0")));
        QVERIFY2(m_lab.enter(pc), qPrintable(m_lab.lastError()));
    }

    // .1 (the PC itself) to .4 answer; .5 is silent for the whole time-out,
    // during which the event loop keeps running.
    void firstSilentAddressWithEventsFlowing()
    {
        SystemClock clock;
        bool cancel = false;
        int ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&ticks] { ++ticks; });
        tick.start(50);
        QElapsedTimer took;
        took.start();
        const qint32 free = ModQar::FindFreeAddress(
            clock, QStringLiteral("198.51.100.1"), QStringLiteral("255.255.255.0"), 0, 600, cancel);
        QCOMPARE(quint32(free), hostOrder("198.51.100.5"));
        QVERIFY2(took.elapsed() >= 600, "the silent candidate was not given its time-out");
        QVERIFY2(ticks >= 8, qPrintable(QStringLiteral("only %1 timer events during the search").arg(ticks)));
    }

    // After a rejected candidate the walk goes on behind it.
    void behindTheRejectedOne()
    {
        SystemClock clock;
        bool cancel = false;
        const qint32 free = ModQar::FindFreeAddress(clock, QStringLiteral("198.51.100.1"),
            QStringLiteral("255.255.255.0"), qint32(hostOrder("198.51.100.5")), 300, cancel);
        QCOMPARE(quint32(free), hostOrder("198.51.100.6"));
    }

    // A cancel already asked for is seen at the first answer.
    void cancelSeenAtTheFirstAnswer()
    {
        SystemClock clock;
        bool cancel = true;
        QCOMPARE(ModQar::FindFreeAddress(
                     clock, QStringLiteral("198.51.100.1"), QStringLiteral("255.255.255.0"), 0, 300, cancel),
            0);
    }

private:
    NetLab m_lab;
};

QTEST_GUILESS_MAIN(tst_FindFreeAddressEventLoop)
#include "tst_FindFreeAddressEventLoop.moc"
