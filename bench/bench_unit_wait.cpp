// Process CPU time spent while a unit command waits out a silent unit: one
// 5-second GetRuraResp across a bare LAN, the discovery socket bound as
// start-up binds it, the unit's socket reading and dropping every datagram.
// Goal: under 1 % of the wall time.
#include "NetLab.h"
#include "RecordingPrompts.h"
#include "discovery/clsVerevo.h"
#include "net/SystemClock.h"
#include "unit/clsUnitQuerier.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <cstdio>
#include <ctime>
#include <net/if.h>

namespace {
double cpuSeconds()
{
    timespec ts {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (const QString why = NetLab::unavailableReason(); !why.isEmpty()) {
        std::fprintf(stderr, "bench_unit_wait: %s\n", qPrintable(why));
        return 2;
    }
    NetLab lab;
    const NetLab::Cable lan = lab.cable(QStringLiteral("198.51.100.1/24"), QStringLiteral("198.51.100.2/24"));
    if (lan.pc.isEmpty() || !lab.enter(lan.pc)) {
        std::fprintf(stderr, "bench_unit_wait: no lab: %s\n", qPrintable(lab.lastError()));
        return 2;
    }
    SystemClock clock;
    RecordingPrompts prompts;
    QString broadcast = QStringLiteral("198.51.100.255");

    QUdpSocket unit;
    lab.inside(lan.units, [&unit] { unit.bind(QHostAddress::AnyIPv4, 7477); });
    int received = 0;
    QObject::connect(&unit, &QUdpSocket::readyRead, [&] {
        while (unit.hasPendingDatagrams()) {
            unit.receiveDatagram();
            ++received;
        }
    });

    VerevoSocketOptions o;
    o.outgoingInterface = [index = qint32(if_nametoindex("eth0"))] { return index; };
    clsVerevo verevo(
        clock, prompts, broadcast, nullptr, [] {}, o);
    verevo.SetMac(QByteArray::fromHex("0050c2000001"));

    const UnitInterfacePrefixes prefixes { QStringLiteral("eth 0"), QStringLiteral("PPP 1"),
        [] { return QStringLiteral("1"); } };
    const qint32 rebootTime = 50;
    const bool cancel = false;
    clsUnitQuerier q(clock, prefixes, rebootTime, cancel, nullptr, [] { return QByteArray::fromHex("0050c2aa0010"); });

    QElapsedTimer wall;
    const double cpu0 = cpuSeconds();
    wall.start();
    const QString reply = q.GetRuraResp(verevo, QStringLiteral("1000"), QStringLiteral("AT"), 5, QString());
    const double wallS = double(wall.nsecsElapsed()) / 1e9;
    const double share = 100.0 * (cpuSeconds() - cpu0) / wallS;
    const bool ok = share < 1.0 && reply.isEmpty() && wallS >= 4.4 && wallS <= 5.6;
    std::printf("silent GetRuraResp(5 s)  wall %.3f s  cpu %.3f %%  datagrams seen by the unit %d  %s\n", wallS, share,
        received, ok ? "ok" : "OVER GOAL");
    return ok ? 0 : 1;
}
