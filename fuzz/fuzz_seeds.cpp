// Writes the seed corpus for fuzz_datagram into the directory given.
#include "discovery/RuraCodec.h"

#include <QDir>
#include <QFile>

#include <cstdio>

using namespace RuraCodec;

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <dir>\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    const QByteArray mac = QByteArray::fromHex("0050c2123456");
    QList<QByteArray> seeds;
    QByteArray p;
    AppendRuraRecord(p, QString(), RuraQuery, true, true, {});
    seeds << Authenticate(p, QByteArray(6, ' '));
    AppendRuraRecord(p, QStringLiteral("417"), RuraCommand, true, false, "a");
    AppendRuraRecord(p, QStringLiteral("417"), RuraCommand, false, true, "bc");
    seeds << Authenticate(p, mac);
    AppendRuraRecord(p, QString(), RuraCommandResponse, true, true, QByteArray(130, 'r'));
    seeds << Authenticate(p, mac);
    AppendRuraRecord(p, QString(), RuraIdRecord, true, true, {}, mac,
        { "198.51.100.7", "417", "1", "CV100", "Calvantor CV100-E3G" });
    seeds << Authenticate(p, mac);
    seeds << QByteArray(mac
            + "\rx\x02\x00\x20"
              "ipadd=1.2.3.4\rsn=417\runitid=1\rproductid=P\r",
        54);
    seeds << QByteArray("\r\x05\x00\x09"
                        "ab\x00",
                 7)
            + QByteArray(16, 'f');
    seeds << QByteArray(20, '\r');
    for (qsizetype i = 0; i < seeds.size(); ++i) {
        QFile f(dir + QStringLiteral("/seed-%1").arg(i));
        if (!f.open(QIODevice::WriteOnly) || f.write(seeds[i]) != seeds[i].size())
            return 1;
    }
    return 0;
}
