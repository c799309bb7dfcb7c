// Start-up: from starting the process to its first window painted, and the
// process's peak resident memory by then, for the real linkwise binary
// (welcome page, on a bare LAN: one veth, an address, no default route) and
// for a Qt Widgets hello-world built beside it. Goal: at most 1.3x the
// hello-world in each. Both run the same way: same platform plugin, fresh
// settings folder, closed by their test hook; the first round of each is a
// warm-up. Needs root for the network namespace; elsewhere it says so.
#include "NetLab.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int kRounds = 15;
constexpr double kGoalRatio = 1.3;

struct Sample {
    double ms = -1;
    qint64 peakKiB = -1;
};

qint64 peakKiBOf(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// One start: the time until the program says its first window painted, and
// its peak resident size at that moment.
Sample startOnce(const QString& binary, const QByteArray& shownLine)
{
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LINKWISE_AUTOCLOSE_MS"), QStringLiteral("300"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    QProcess p;
    p.setProcessEnvironment(env);
    // The line comes on stderr; merged, it wakes the wait below as it comes.
    p.setProcessChannelMode(QProcess::MergedChannels);
    Sample s;
    QByteArray said;
    QElapsedTimer since;
    since.start();
    p.start(binary, {});
    QDeadlineTimer deadline(15000);
    while (!said.contains(shownLine) && !deadline.hasExpired() && p.state() != QProcess::NotRunning) {
        p.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        said += p.readAll();
    }
    if (said.contains(shownLine)) {
        s.ms = double(since.nsecsElapsed()) / 1e6;
        s.peakKiB = peakKiBOf(p.processId());
    } else {
        std::fprintf(stderr, "%s: no window (%s)\n", qPrintable(binary), said.constData());
    }
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished();
    }
    return s;
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? -1 : v[v.size() / 2];
}

void printRow(const char* what, double program, double hello, const char* unit)
{
    const double ratio = program / hello;
    std::printf("%-28s linkwise %8.1f %s   hello-world %8.1f %s   ratio %.2fx   goal <= %.1fx  %s\n", what,
        program, unit, hello, unit, ratio, kGoalRatio, ratio <= kGoalRatio ? "ok" : "GOAL MISSED");
}
} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    if (const QString why = NetLab::unavailableReason(); !why.isEmpty()) {
        std::printf("start-up: not measured (%s)\n", qPrintable(why));
        return 0;
    }
    NetLab lab;
    const QString pc = lab.addHost(QStringLiteral("pc"));
    const QString unit = lab.addHost(QStringLiteral("unit"));
    if (pc.isEmpty() || unit.isEmpty()
        || !lab.link(pc, QStringLiteral("eth0"), QStringLiteral("198.51.100.1/24"), unit, QStringLiteral("eth0"),
            QStringLiteral("198.51.100.10/24"))
        || !lab.enter(pc)) {
        std::fprintf(stderr, "lab: %s\n", qPrintable(lab.lastError()));
        return 1;
    }

    QList<double> ms[2];
    QList<double> kib[2];
    const QString binaries[2] = { QStringLiteral(LINKWISE_BIN), QStringLiteral(HELLO_BIN) };
    const QByteArray lines[2] = { "frmWiz01 shown\n", "hello shown\n" };
    for (int round = 0; round <= kRounds; ++round) {
        // Taken in turns, so that a busy spell of the machine hits both alike.
        for (int which : { round % 2, 1 - round % 2 }) {
            const Sample s = startOnce(binaries[which], lines[which]);
            if (s.ms < 0)
                return 1;
            if (round == 0)
                continue;
            ms[which] << s.ms;
            kib[which] << double(s.peakKiB);
        }
    }
    std::printf("start-up, median of %d rounds, platform %s\n", kRounds, qgetenv("QT_QPA_PLATFORM").isEmpty()
            ? "xcb (DISPLAY)" : qgetenv("QT_QPA_PLATFORM").constData());
    printRow("start to first window", median(ms[0]), median(ms[1]), "ms ");
    printRow("peak resident memory", median(kib[0]) / 1024, median(kib[1]) / 1024, "MiB");
    return 0;
}
