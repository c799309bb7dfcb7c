#include "RecordingPrompts.h"
#include "UnitSimReady.h"
#include "discovery/clsVerevo.h"
#include "discovery/encode_hash.h"
#include "net/SystemClock.h"

#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>
#include <QUdpSocket>

#include <functional>
#include <memory>

namespace {
const QByteArray firstMac = QByteArray::fromHex("0050c2aa0000");

// The simulator as a child process on a loopback port of its own choosing,
// and a discovery object aimed at it. Waits block in the event loop on real
// time: the peer is another process.
struct SimRig {
    SystemClock clock;
    RecordingPrompts prompts;
    QString broadcast = QStringLiteral("127.0.0.1");
    QProcess sim;
    QByteArray simLog;
    std::unique_ptr<clsVerevo> verevo;

    bool start(QStringList args)
    {
        sim.setProcessChannelMode(QProcess::SeparateChannels);
        QObject::connect(&sim, &QProcess::readyReadStandardError, [this] { simLog += sim.readAllStandardError(); });
        sim.start(QStringLiteral(UNITSIM_PATH),
            QStringList { "--bind", "127.0.0.1", "--port", "0", "--verbose", "--mac", "00:50:c2:aa:00:00" } + args);
        const quint16 port = unitsimReadyPort(sim);
        if (port == 0)
            return false;
        VerevoSocketOptions o;
        o.bindAddress = QHostAddress::LocalHost;
        o.localPort = 0;
        o.remotePort = port;
        verevo = std::make_unique<clsVerevo>(
            clock, prompts, broadcast, nullptr, [] {}, o);
        return true;
    }

    ~SimRig()
    {
        if (sim.state() != QProcess::NotRunning) {
            sim.kill();
            sim.waitForFinished();
        }
    }

    bool waitFor(const std::function<bool()>& done, qint64 timeoutMs = 20000)
    {
        const qint64 deadline = clock.monotonicMs() + timeoutMs;
        while (!done()) {
            if (clock.monotonicMs() >= deadline)
                return false;
            clock.waitForEvents(deadline);
        }
        return true;
    }

    // Waits until the simulator has logged line (times times), then lets
    // datagrams already on their way be read.
    bool waitForLog(const QByteArray& line, int times = 1)
    {
        const bool seen = waitFor([&] { return simLog.count(line) >= times; });
        for (int i = 0; i < 5; ++i)
            clock.waitForEvents(clock.monotonicMs() + 20);
        return seen;
    }
};

QByteArray nthMac(int n)
{
    QByteArray m = firstMac;
    m[5] = char(n);
    return m;
}
} // namespace

class tst_unitsim : public QObject {
    Q_OBJECT
private slots:
    void queryIsAnsweredByEveryUnit_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("one unit") << 1;
        QTest::newRow("forty units") << 40;
    }
    void queryIsAnsweredByEveryUnit()
    {
        QFETCH(int, count);
        SimRig rig;
        QVERIFY(rig.start({ "--count", QString::number(count), "--serial", "5000", "--ip", "198.51.100.20", "--model",
            "Calvantor CV100-E3G", "--spread", "100" }));
        QSignalSpy ids(rig.verevo.get(), &clsVerevo::RuraIDResponse);
        QHash<QString, QList<QVariant>> bySerial;
        connect(rig.verevo.get(), &clsVerevo::RuraIDResponse, this,
            [&](const QByteArray& mac, const QString& sn, const QString& ip, const QString& unitId,
                const QString& productId, const QString& model) {
                bySerial.insert(sn, { mac, ip, unitId, productId, model });
            });
        rig.verevo->SendQuery(QString());
        QVERIFY(rig.waitFor([&] { return bySerial.size() == count; }));
        for (int i = 0; i < count; ++i) {
            const QList<QVariant> r = bySerial.value(QString::number(5000 + i));
            QCOMPARE(r.size(), 5);
            QCOMPARE(r[0].toByteArray(), nthMac(i));
            QCOMPARE(r[1].toString(), QStringLiteral("198.51.100.%1").arg(20 + i));
            QCOMPARE(r[4].toString(), QStringLiteral("Calvantor CV100-E3G"));
        }
    }

    void queryForOneSerialIsAnsweredByThatUnit()
    {
        SimRig rig;
        QVERIFY(rig.start({ "--count", "5", "--serial", "300" }));
        QSignalSpy ids(rig.verevo.get(), &clsVerevo::RuraIDResponse);
        rig.verevo->SendQuery(QStringLiteral("302"));
        QVERIFY(rig.waitForLog("unitsim: 302 sent"));
        QVERIFY(rig.waitFor([&] { return ids.size() == 2; }));
        QCOMPARE(ids[0][1].toString(), QStringLiteral("302"));
        QCOMPARE(ids[1][1].toString(), QStringLiteral("302"));
    }

    void commandToOneSerialIsAnsweredAndAuthenticated()
    {
        SimRig rig;
        QVERIFY(rig.start({ "--count", "5", "--serial", "2000" }));
        rig.verevo->setReplyKeyMac(nthMac(2));
        QSignalSpy responses(rig.verevo.get(), &clsVerevo::RuraCMDResponse);
        QVERIFY(rig.verevo->SendRuraCmds(QStringLiteral("2002"), QStringList { "config 0 save", "AT" }));
        QVERIFY(rig.waitFor([&] { return responses.size() == 2; }));
        QCOMPARE(responses[0][1].toString(), QStringLiteral("Power Up Profile: config.da0\r\nOK\r\n"));
        QCOMPARE(responses[1][1].toString(), QStringLiteral("OK\r\n"));
        QCOMPARE(responses[0][0].toString().size(), 16);
        QVERIFY(!rig.simLog.contains("unitsim: 2001 sent"));
    }

    void responseOfAnotherUnitIsDropped()
    {
        SimRig rig;
        QVERIFY(rig.start({ "--count", "5", "--serial", "2000" }));
        rig.verevo->setReplyKeyMac(nthMac(2));
        QSignalSpy responses(rig.verevo.get(), &clsVerevo::RuraCMDResponse);
        QVERIFY(rig.verevo->SendRuraCmds(QStringLiteral("2003"), QStringList { "AT" }));
        QVERIFY(rig.waitForLog("unitsim: 2003 sent"));
        QCOMPARE(responses.size(), 0);
    }

    void faults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("command");
        QTest::addColumn<int>("raised");
        QTest::newRow("wrong authenticator drops a response") << "wrong-auth" << true << 0;
        QTest::newRow("identity records are not authenticated") << "wrong-auth" << false << 2;
        QTest::newRow("20-byte answer ignored") << "short" << false << 0;
        QTest::newRow("answer without CR ignored") << "no-cr" << false << 0;
        QTest::newRow("overrunning length is cut") << "overrun" << false << 2;
        QTest::newRow("overrunning response is cut") << "overrun" << true << 1;
    }
    void faults()
    {
        QFETCH(QString, fault);
        QFETCH(bool, command);
        QFETCH(int, raised);
        SimRig rig;
        QVERIFY(rig.start({ "--serial", "700", "--fault", fault }));
        rig.verevo->setReplyKeyMac(nthMac(0));
        QSignalSpy ids(rig.verevo.get(), &clsVerevo::RuraIDResponse);
        QSignalSpy responses(rig.verevo.get(), &clsVerevo::RuraCMDResponse);
        if (command)
            QVERIFY(rig.verevo->SendRuraCmds(QStringLiteral("700"), QStringList { "AT" }));
        else
            rig.verevo->SendQuery(QString());
        // A query is answered twice, once per send.
        QVERIFY(rig.waitForLog("unitsim: 700 sent", command ? 1 : 2));
        QCOMPARE(int(command ? responses.size() : ids.size()), raised);
    }

    void silentUnitSendsNothing()
    {
        SimRig rig;
        QVERIFY(rig.start({ "--serial", "700", "--fault", "silence" }));
        rig.verevo->SendQuery(QString());
        QVERIFY(rig.waitForLog("unitsim: 700 keeps silent"));
        QVERIFY(!rig.simLog.contains(" sent "));
    }

    void configFileIsRead()
    {
        QTemporaryFile file;
        QVERIFY(file.open());
        file.write("# two units\nserial=88\ncount=2\nproduct-id=PX9\n");
        file.close();
        SimRig rig;
        QVERIFY(rig.start(QStringList { "--config", file.fileName() }));
        QHash<QString, QString> products;
        connect(rig.verevo.get(), &clsVerevo::RuraIDResponse, this,
            [&](const QByteArray&, const QString& sn, const QString&, const QString&, const QString& productId,
                const QString&) { products.insert(sn, productId); });
        rig.verevo->SendQuery(QString());
        QVERIFY(rig.waitFor([&] { return products.size() == 2; }));
        QCOMPARE(products.value(QStringLiteral("89")), QStringLiteral("PX9"));
    }

    void badSettingIsRefused()
    {
        QProcess sim;
        sim.start(QStringLiteral(UNITSIM_PATH), { "--fault", "sometimes" });
        QVERIFY(sim.waitForFinished(30000));
        QCOMPARE(sim.exitCode(), 2);
        QVERIFY(sim.readAllStandardError().contains("fault"));
    }
};

QTEST_GUILESS_MAIN(tst_unitsim)
#include "tst_unitsim.moc"
