// unitsim: plays one or many Calvantor units on the discovery port, for tests
// and benchmarks of the wizard on loopback or inside network namespaces.
#include "CommandInterpreter.h"
#include "SimConfig.h"
#include "SimLan.h"
#include "SimTelnetServer.h"
#include "SimTransport.h"
#include "SimUnit.h"
#include "SimWebServer.h"
#include "UnitCommandLanguage.h"
#include "net/SystemClock.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace {

// Serial numbers count up as numbers; a text without one gets a suffix.
QString nthSerial(const QString& first, int n)
{
    bool ok = false;
    const qulonglong base = first.toULongLong(&ok);
    if (ok)
        return QString::number(base + qulonglong(n));
    return n == 0 ? first : first + QString::number(n);
}

QByteArray nthMac(const QByteArray& first, int n)
{
    quint64 v = 0;
    for (char c : first)
        v = (v << 8) | quint8(c);
    v += quint64(n);
    QByteArray out(6, '\0');
    for (int i = 5; i >= 0; --i, v >>= 8)
        out[i] = char(v & 0xff);
    return out;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QString error;
    const auto config = loadSimConfig(app.arguments(), &error);
    if (!config) {
        std::fprintf(stderr, "unitsim: %s\n", qPrintable(error));
        return 2;
    }
    std::vector<SimUnit> units;
    units.reserve(std::size_t(config->count));
    const quint32 firstIp = config->firstAddress.toIPv4Address();
    for (int i = 0; i < config->count; ++i)
        units.emplace_back(nthSerial(config->firstSerial, i), nthMac(config->firstMac, i),
            QHostAddress(firstIp + quint32(i)).toString(), config->unitId, config->productId, config->model);

    SystemClock clock;
    UnitCommandLanguage interpreter(clock, *config);
    SimTelnetServer telnet(*config, units, interpreter);
    SimTransport transport(clock, *config, std::move(units), interpreter);
    if (!transport.listen(&error)) {
        std::fprintf(stderr, "unitsim: cannot listen on %s:%u: %s\n", qPrintable(config->bindAddress.toString()),
            config->port, qPrintable(error));
        return 1;
    }
    // The discovery port is what every test needs; a telnet port already
    // taken (23 by another simulator) only costs the terminal features.
    if (config->telnet) {
        QString telnetError;
        if (telnet.listen(&telnetError))
            std::fprintf(
                stderr, "unitsim: telnet %s %u\n", qPrintable(config->bindAddress.toString()), telnet.localPort());
        else
            std::fprintf(stderr, "unitsim: no telnet on port %u: %s\n", config->telnetPort, qPrintable(telnetError));
    }
    SimWebServer web(*config);
    if (config->web) {
        QString webError;
        if (web.listen(&webError))
            std::fprintf(stderr, "unitsim: web %s %u\n", qPrintable(config->bindAddress.toString()), web.localPort());
        else
            std::fprintf(stderr, "unitsim: no web server on port %u: %s\n", config->webPort, qPrintable(webError));
    }
    std::unique_ptr<SimLan> lan;
    if (!config->lanDevice.isEmpty()) {
        lan = std::make_unique<SimLan>(config->lanDevice);
        interpreter.setObserver([&lan](const SimUnit& unit, const SimUnitState& state, const QString& line) {
            lan->observe(unit, state, line);
        });
    }
    std::printf(
        "unitsim: ready %s %u %d\n", qPrintable(config->bindAddress.toString()), transport.localPort(), config->count);
    std::fflush(stdout);
    return app.exec();
}
