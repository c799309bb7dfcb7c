// Wall time of the cellular apply-and-test page's eight steps (APN, PIN, user
// name, password, multiplexer, save, restart, link on) against a prompt unit:
// the unitsim program on the far side of a bare LAN, the program's discovery
// socket bound as start-up binds it, real time. Goal: a unit that answers at
// once costs no more than it did; given the figure of an earlier build
// (--baseline-ms), says whether the total grew by more than 5 %.
//
// The restart dominates: its probes wait whole seconds, rounded on the clock
// of the day, so every run starts at the same point of a second. The unit
// stays down 4.5 s, clear of the probes' own one-second steps.
#include "NetLab.h"
#include "RecordingPrompts.h"
#include "UnitSimReady.h"
#include "discovery/clsVerevo.h"
#include "net/SystemClock.h"
#include "unit/clsUnitQuerier.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <net/if.h>
#include <vector>

namespace {
const QString kSerial = QStringLiteral("61000");
const QByteArray kUnitMac = QByteArray::fromHex("0050c2aa0001");

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Blocks until the local clock is phaseMs into a second.
void alignTo(Clock& clock, qint64 phaseMs)
{
    const qint64 now = clock.localWallMs();
    qint64 wait = (phaseMs - now % 1000 + 1000) % 1000;
    if (wait < 50)
        wait += 1000;
    const qint64 until = clock.monotonicMs() + wait;
    while (clock.monotonicMs() < until)
        clock.waitForEvents(until);
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    double baselineMs = -1;
    int runs = 5;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == u"--baseline-ms")
            baselineMs = args[i + 1].toDouble();
        else if (args[i] == u"--runs")
            runs = qMax(1, args[i + 1].toInt());
    }
    if (const QString why = NetLab::unavailableReason(); !why.isEmpty()) {
        std::fprintf(stderr, "bench_cellular_apply: %s\n", qPrintable(why));
        return 2;
    }
    NetLab lab;
    const NetLab::Cable lan = lab.cable(QStringLiteral("198.51.100.1/24"), QStringLiteral("198.51.100.10/24"));
    QProcess* sim = lan.pc.isEmpty()
        ? nullptr
        : lab.start(lan.units,
            { QStringLiteral(UNITSIM), "--bind", "0.0.0.0", "--port", "7477", "--serial", kSerial, "--mac",
                QString::fromLatin1(kUnitMac.toHex()), "--ip", "198.51.100.10", "--model", "Calvantor KR5005 Router",
                "--reboot-down", "4500", "--telnet-port", "off", "--web-port", "off" });
    if (!sim || unitsimReadyPort(*sim) != 7477 || !lab.enter(lan.pc)) {
        std::fprintf(stderr, "bench_cellular_apply: no lab: %s\n", qPrintable(lab.lastError()));
        return 2;
    }
    const qint32 index = qint32(if_nametoindex("eth0"));

    SystemClock clock;
    RecordingPrompts prompts;
    QString broadcast = QStringLiteral("198.51.100.255");
    VerevoSocketOptions socket;
    socket.outgoingInterface = [index] { return index; };
    clsVerevo verevo(
        clock, prompts, broadcast, nullptr, [] {}, socket);
    verevo.SetMac(QByteArray::fromHex("02005e0000a1"));
    const UnitInterfacePrefixes prefixes { QStringLiteral("eth 0"), QStringLiteral("PPP 3"),
        [] { return QStringLiteral("1"); } };
    const qint32 rebootTime = 50;
    const bool cancel = false;
    QStringList log;
    clsUnitQuerier q(
        clock, prefixes, rebootTime, cancel, [&log](const QString&, const QString& text) { log << text; },
        [] { return kUnitMac; });

    struct Step {
        const char* name;
        std::function<bool()> run;
    };
    const std::vector<Step> steps {
        { "APN", [&] { return q.setAPN(kSerial, verevo, QStringLiteral("internet")); } },
        { "PIN", [&] { return q.setPIN(kSerial, verevo, QStringLiteral("1234")); } },
        { "user name", [&] { return q.setPPP1username(kSerial, verevo, QStringLiteral("web")); } },
        { "password", [&] { return q.setPPP1password(kSerial, verevo, QStringLiteral("secret")); } },
        { "multiplexer", [&] { return q.confMUX(kSerial, verevo); } },
        { "save", [&] { return q.SaveCfg(kSerial, verevo); } },
        { "restart", [&] { return q.Reboot(kSerial, verevo); } },
        { "link on", [&] { return q.activateGPRS(kSerial, verevo); } },
    };
    std::vector<std::vector<double>> perStep(steps.size());
    std::vector<double> totals;
    std::vector<double> settings;
    bool allOk = true;
    for (int r = 0; r < runs; ++r) {
        alignTo(clock, 100);
        double total = 0;
        double withoutRestart = 0;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            QElapsedTimer t;
            t.start();
            const bool ok = steps[i].run();
            const double ms = double(t.nsecsElapsed()) / 1e6;
            allOk = allOk && ok;
            perStep[i].push_back(ms);
            total += ms;
            if (QByteArrayView(steps[i].name) != "restart")
                withoutRestart += ms;
        }
        totals.push_back(total);
        settings.push_back(withoutRestart);
    }
    for (std::size_t i = 0; i < steps.size(); ++i)
        std::printf("  %-12s %9.2f ms\n", steps[i].name, median(perStep[i]));
    const double total = median(totals);
    std::printf("eight steps, prompt unit, median of %d: %.1f ms (without the restart %.2f ms)%s\n", runs, total,
        median(settings), allOk ? "" : "  SOME STEP FAILED");
    if (baselineMs <= 0)
        return allOk ? 0 : 1;
    const double growth = 100.0 * (total - baselineMs) / baselineMs;
    const bool over = growth > 5.0;
    std::printf(
        "against %.1f ms before: %+.1f %%, %s\n", baselineMs, growth, over ? "GREW BY MORE THAN 5 %" : "within 5 %");
    return allOk && !over ? 0 : 1;
}
