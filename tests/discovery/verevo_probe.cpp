// Sends one discovery query from the given local port and says on stdout what
// happened: each box text as "box: ...", "ended" when the program was told to
// end, "sent" when the query call returned. With a destination as second
// argument the socket listens on every address and the query goes there (so a
// test can watch what a refused send writes to stderr); else loopback.
#include "discovery/clsVerevo.h"
#include "net/SystemClock.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace {
class PrintingPrompts final : public UserPrompts {
public:
    void message(const QString& text, Icon, const QString&) override
    {
        std::printf("box: %s\n", qPrintable(text));
        std::fflush(stdout);
    }
    bool askYesNo(const QString& text, Icon, const QString&) override
    {
        message(text, Icon::Question, QString());
        return false;
    }
};
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    SystemClock clock;
    PrintingPrompts prompts;
    QString broadcast = argc > 2 ? QString::fromLatin1(argv[2]) : QStringLiteral("127.0.0.1");
    VerevoSocketOptions options;
    options.localPort = quint16(QString::fromLatin1(argv[1]).toUInt());
    options.remotePort = options.localPort;
    options.bindAddress = argc > 2 ? QHostAddress(QHostAddress::AnyIPv4) : QHostAddress(QHostAddress::LocalHost);
    clsVerevo verevo(
        clock, prompts, broadcast, {},
        [] {
            std::printf("ended\n");
            std::fflush(stdout);
            std::exit(3);
        },
        options);
    verevo.SendQuery(QString());
    std::printf("sent\n");
    return 0;
}
