// Runs one adapter routine through the NetworkManager backend and prints its
// code: the real-daemon test starts it as an ordinary user, whom the daemon
// must refuse.
#include "net/ModQarWmi.h"
#include "net/NetworkManagerAdapterConfig.h"
#include "net/SystemClock.h"

#include <QCoreApplication>
#include <QDBusConnection>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: nm_probe BUS-ADDRESS MAC-HEX GATEWAY\n", stderr);
        return 2;
    }
    const QDBusConnection bus = QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[1]), QStringLiteral("probe"));
    SystemClock clock;
    NetworkManagerAdapterConfig config(clock, bus);
    InterfaceEntry entry;
    entry.Mac = QByteArray::fromHex(argv[2]);
    std::printf("%d\n", ModQar::WmiSetGateways(config, entry, QString::fromLocal8Bit(argv[3])));
    return 0;
}
