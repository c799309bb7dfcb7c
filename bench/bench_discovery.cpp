// Discovery throughput. Codec: datagrams built (with authenticator) and parsed
// per second on one core; goal over 1 million. Scan: one 5-second window with
// 1,000 simulated units all answering a query at once across a bare LAN, the
// discovery socket bound as start-up binds it; goal: every unit seen.
// (bench_scan drives the whole scan and search page across a LAN.)
#include "NetLab.h"
#include "UnitSimReady.h"
#include "discovery/RuraCodec.h"
#include "discovery/clsVerevo.h"
#include "net/SystemClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSet>

#include <cstdio>
#include <net/if.h>

namespace {

class SilentPrompts final : public UserPrompts {
public:
    void message(const QString& text, Icon, const QString&) override
    {
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
    }
    bool askYesNo(const QString&, Icon, const QString&) override { return false; }
};

template<typename F> double perSecond(const char* name, F&& once)
{
    constexpr int batch = 10'000;
    QElapsedTimer t;
    t.start();
    qint64 n = 0;
    while (t.elapsed() < 1000) {
        for (int i = 0; i < batch; ++i)
            once(i);
        n += batch;
    }
    const double rate = double(n) * 1e9 / double(t.nsecsElapsed());
    std::printf("%-44s %10.0f /s  %s\n", name, rate, rate > 1e6 ? "ok" : "UNDER GOAL");
    return rate;
}

bool codec()
{
    const QByteArray mac = QByteArray::fromHex("0050c2123456");
    QByteArray packet;
    RuraCodec::AppendRuraRecord(packet, QString(), RuraCodec::RuraIdRecord, true, true, {}, mac,
        { "198.51.100.7", "41700", "1", "CV100", "Calvantor CV100-E3G" });
    const QByteArray identity = RuraCodec::Authenticate(packet, mac);
    RuraCodec::AppendRuraRecord(packet, QString(), RuraCodec::RuraCommandResponse, true, true, "OK\r");
    const QByteArray response = RuraCodec::Authenticate(packet, mac);
    const std::optional<QByteArray> replyMac = mac;
    const QString serial = QStringLiteral("41700");

    qsizetype sink = 0;
    bool ok = true;
    ok &= perSecond("build query (with authenticator)", [&](int) {
        QByteArray p;
        RuraCodec::AppendRuraRecord(p, QString(), RuraCodec::RuraQuery, true, true, {});
        sink += RuraCodec::Authenticate(p, mac).size();
    }) > 1e6;
    ok &= perSecond("build command (with authenticator)", [&](int) {
        QByteArray p;
        RuraCodec::AppendRuraRecord(p, serial, RuraCodec::RuraCommand, true, true, "config 0 save");
        sink += RuraCodec::Authenticate(p, mac).size();
    }) > 1e6;
    ok &= perSecond("parse identity record", [&](int) {
        sink += RuraCodec::ParseRuraDatagram(identity, std::nullopt).events.size();
    }) > 1e6;
    ok &= perSecond("parse command response (authenticated)", [&](int) {
        sink += RuraCodec::ParseRuraDatagram(response, replyMac).events.size();
    }) > 1e6;
    if (sink == 0)
        std::printf("(nothing built)\n");
    return ok;
}

bool scan(int units)
{
    QString path = qEnvironmentVariable("UNITSIM");
    if (path.isEmpty())
        path = QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/unitsim/unitsim");
    if (const QString why = NetLab::unavailableReason(); !why.isEmpty()) {
        std::printf("no scan: %s\n", qPrintable(why));
        return false;
    }
    NetLab lab;
    const NetLab::Cable lan = lab.cable(QStringLiteral("198.51.100.1/24"), QStringLiteral("198.51.100.2/24"));
    QProcess* sim = lan.pc.isEmpty() ? nullptr
                                     : lab.start(lan.units,
                                         { path, "--bind", "0.0.0.0", "--port", "7477", "--count",
                                             QString::number(units), "--telnet-port", "off", "--web-port", "off" });
    if (!sim || unitsimReadyPort(*sim, 10000) != 7477 || !lab.enter(lan.pc)) {
        std::printf("unitsim did not start (%s): %s\n", qPrintable(path), qPrintable(lab.lastError()));
        return false;
    }

    SystemClock clock;
    SilentPrompts prompts;
    QString broadcast = QStringLiteral("198.51.100.255");
    VerevoSocketOptions o;
    o.outgoingInterface = [index = qint32(if_nametoindex("eth0"))] { return index; };
    clsVerevo verevo(
        clock, prompts, broadcast, nullptr, [] {}, o);
    QSet<QString> seen;
    int records = 0;
    QObject::connect(&verevo, &clsVerevo::RuraIDResponse,
        [&](const QByteArray&, const QString& sn, const QString&, const QString&, const QString&, const QString&) {
            ++records;
            seen.insert(sn);
        });
    const qint64 start = clock.monotonicMs();
    verevo.SendQuery(QString());
    while (clock.monotonicMs() - start < 5000)
        clock.waitForEvents(start + 5000);
    std::printf("%-44s %6d of %d units (%d records)  %s\n", "scan window of 5 s", int(seen.size()), units, records,
        seen.size() == units ? "ok" : "UNDER GOAL");
    return seen.size() == units;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    bool ok = codec();
    ok &= scan(1000);
    return ok ? 0 : 1;
}
