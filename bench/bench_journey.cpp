// The whole Ethernet-only road on the real clock: the program started as
// main() starts it on a bare LAN (one veth, an address, no default route),
// the units played by unitsim with its own waits, a person who answers at
// once: welcome, search, the first unit chosen, the reset question answered
// No, the recommended option, the unit's address page, Skip on the PC page,
// Finish on the final page. Prints the wall time and the share of it the
// program spent in waits that ran their full length: clock waits that
// reached their deadline (pauses, and reply waits that timed out) and clock
// timers of 250 ms or more that ran out (windows such as the scan's); the
// shorter timers are animation frames and polls. Needs root.
#include "BenchProgram.h"
#include "AddressRoad.h"
#include "Journey.h"
#include "app/frmMain.h"
#include "wizard/frmWiz13.h"
#include "wizard/frmwiz11A.h"
#include "wizard/frmwiz12A.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <map>

namespace {
constexpr qint64 kLongTimerMs = 250;

// The real clock, noting each wait and timer that ran its full length.
class MeteredClock final : public Clock {
public:
    qint64 monotonicMs() const override { return m_clock.monotonicMs(); }
    qint64 localWallMs() const override { return m_clock.localWallMs(); }
    qint32 tickCount() const override { return m_clock.tickCount(); }

    void waitForEvents(qint64 deadlineMs) override
    {
        const qint64 from = monotonicMs();
        m_clock.waitForEvents(deadlineMs);
        // One wait is the run of calls with the same deadline; it counts from
        // its first call once one of them reaches the deadline.
        auto [it, added] = m_waitStarts.try_emplace(deadlineMs, from);
        if (monotonicMs() >= deadlineMs && deadlineMs > it->second) {
            spans.push_back({ it->second, deadlineMs });
            ++waitsToDeadline;
            m_waitStarts.erase(it);
        }
    }

    TimerId schedule(qint64 delayMs, std::function<void()> fn) override
    {
        const qint64 from = monotonicMs();
        return m_clock.schedule(delayMs, [this, from, delayMs, fn = std::move(fn)] {
            if (delayMs >= kLongTimerMs) {
                spans.push_back({ from, monotonicMs() });
                ++longTimers[delayMs];
            }
            fn();
        });
    }
    void cancel(TimerId id) override { m_clock.cancel(id); }

    // The time covered by at least one full-length wait, in ms.
    qint64 coveredMs() const
    {
        std::vector<std::pair<qint64, qint64>> s = spans;
        std::sort(s.begin(), s.end());
        qint64 total = 0;
        qint64 reach = std::numeric_limits<qint64>::min();
        for (const auto& [from, to] : s) {
            const qint64 start = std::max(from, reach);
            if (to > start)
                total += to - start;
            reach = std::max(reach, to);
        }
        return total;
    }

    std::vector<std::pair<qint64, qint64>> spans;
    std::map<qint64, int> longTimers;
    int waitsToDeadline = 0;

private:
    SystemClock m_clock;
    std::map<qint64, qint64> m_waitStarts;
};

template<class Page> Page* shown(WizardRouter& router, int timeoutMs = 90000)
{
    Page* page = nullptr;
    AddressRoad::waitUntil(
        [&] {
            page = qobject_cast<Page*>(router.visiblePage());
            return page && page->isEnabled() && page->isVisible();
        },
        timeoutMs);
    return page;
}
} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("LINKWISE_BUILD_DIR"))
        qputenv("LINKWISE_BUILD_DIR", QFile::encodeName(QFileInfo(QString::fromLocal8Bit(argv[0])).absolutePath())
                + "/..");
    QApplication app(argc, argv);
    if (const QString why = NetLab::unavailableReason(); !why.isEmpty()) {
        std::printf("Ethernet-only journey: not measured (%s)\n", qPrintable(why));
        return 0;
    }
    Journey::Lan lan;
    if (!lan.build(Journey::Lan::Shape::Bare) || !lan.startUnits()) {
        std::fprintf(stderr, "lab: %s\n", qPrintable(lan.lastError()));
        return 1;
    }

    MeteredClock clock;
    BenchProgram bench(clock, [](const QUrl&) { return false; });
    LinkwiseProgram& program = bench.program;
    const int& ends = bench.ends;

    QString failed;
    qint64 wallMs = -1;
    const qint64 startedAt = clock.monotonicMs();
    Journey::inEventLoop([&] {
        AddressRoad::BoxHand hand; // the reset question: No
        program.start();
        WizardRouter& router = *program.router();
        QTest::mouseClick(router.visiblePage()->navButton(WizardPage::Nav::Next), Qt::LeftButton);
        auto* search = shown<frmWiz07>(router);
        if (!search || !AddressRoad::waitUntil([&] { return search->cmdNext->isEnabled(); }, 30000)) {
            failed = QStringLiteral("the search found no unit");
            return;
        }
        Journey::choose(*search, QStringLiteral("10"));
        QTest::mouseClick(search->cmdNext, Qt::LeftButton);
        auto* options = shown<frmWiz08>(router);
        if (!options) {
            failed = QStringLiteral("no option page");
            return;
        }
        QTest::mouseClick(options->cmdNext, Qt::LeftButton);
        auto* address = shown<frmwiz11A>(router);
        if (!address) {
            failed = QStringLiteral("no unit address page for the recommended option");
            return;
        }
        QTest::mouseClick(address->cmdNext, Qt::LeftButton);
        auto* pc = shown<frmwiz12A>(router);
        if (!pc) {
            failed = QStringLiteral("no PC settings page");
            return;
        }
        QTest::mouseClick(pc->cmdSkip, Qt::LeftButton);
        auto* final = shown<frmWiz13>(router);
        if (!final) {
            failed = QStringLiteral("no final page");
            return;
        }
        QTest::mouseClick(final->cmdNext, Qt::LeftButton);
        wallMs = clock.monotonicMs() - startedAt;
    });
    if (!failed.isEmpty() || ends != 1) {
        std::printf("Ethernet-only journey: not finished (%s)\n", qPrintable(failed));
        return 1;
    }
    const qint64 waited = clock.coveredMs();
    std::printf("Ethernet-only journey, start to Finish: %.2f s wall time\n", wallMs / 1000.0);
    std::printf("  in full-length waits: %.2f s (%.0f%%); the rest, %.2f s, is the program's work and the unit's "
                "replies\n",
        waited / 1000.0, 100.0 * waited / wallMs, (wallMs - waited) / 1000.0);
    std::printf("  clock waits that reached their deadline: %d\n", clock.waitsToDeadline);
    for (const auto& [delay, count] : clock.longTimers)
        std::printf("  timers of %lld ms run out: %d\n", qlonglong(delay), count);
    return 0;
}
