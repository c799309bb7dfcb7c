// The simulated units' modem: the SIM states and signal line of "modemstat ?",
// the SIM's PIN at power-up, and a PPP link that needs the SIM to be ready.
#include "SimConfig.h"
#include "SimUnit.h"
#include "SimulatedClock.h"
#include "UnitCommandLanguage.h"

#include <QTest>

namespace {
const QString kSerial = QStringLiteral("10");

struct Unit {
    explicit Unit(const SimConfig& c)
        : config(c)
        , language(clock, config)
    { }
    QString ask(const char* line) { return QString::fromLatin1(language.execute(unit, QByteArray(line))); }
    // "reboot", then the unit comes back up for the next line.
    void restart()
    {
        ask("reboot");
        clock.advance(config.rebootDownMs + 1);
    }

    SimulatedClock clock;
    SimConfig config;
    UnitCommandLanguage language;
    SimUnit unit { kSerial, QByteArray::fromHex("0050c2aa0010"), QStringLiteral("198.51.100.10"), "1", "CV100",
        "Calvantor KR5004" };
};

SimConfig configFrom(const QStringList& options)
{
    QString error;
    const std::optional<SimConfig> c = loadSimConfig(QStringList { "unitsim" } + options, &error);
    if (!c)
        qWarning("%s", qPrintable(error));
    return c.value_or(SimConfig {});
}
} // namespace

class tst_unitsimModem : public QObject {
    Q_OBJECT
private slots:
    void modemStatus_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("reply");
        QTest::newRow("ready, default level")
            << QStringList {} << "Modem: on\r\nSIM status: READY\r\nSignal Strength:-67 dBm\r\nOK\r\n";
        QTest::newRow("locked SIM still reads a level") << QStringList { "--sim-state", "pin", "--signal",
            "-95" } << "Modem: on\r\nSIM status: SIM PIN\r\nSignal Strength:-95 dBm\r\nOK\r\n";
        QTest::newRow("blocked SIM") << QStringList { "--sim-state", "puk" }
                                     << "Modem: on\r\nSIM status: SIM PUK\r\nSignal Strength:-67 dBm\r\nOK\r\n";
        QTest::newRow("no SIM: no level")
            << QStringList { "--sim-state", "not-ready" } << "Modem: on\r\nSIM status: Not Ready\r\nOK\r\n";
        QTest::newRow("no signal line") << QStringList { "--signal", "" } << "Modem: on\r\nSIM status: READY\r\nOK\r\n";
        QTest::newRow("this unit's own entry wins") << QStringList { "--sim-state", "puk,10=ready", "--signal",
            "-50,10=-91" } << "Modem: on\r\nSIM status: READY\r\nSignal Strength:-91 dBm\r\nOK\r\n";
        QTest::newRow("another unit's entry does not apply") << QStringList { "--sim-state",
            "11=pin" } << "Modem: on\r\nSIM status: READY\r\nSignal Strength:-67 dBm\r\nOK\r\n";
        QTest::newRow("no modem") << QStringList { "--gprs", "0" } << "ERROR\r\n";
    }
    void modemStatus()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, reply);
        Unit u(configFrom(options));
        QCOMPARE(u.ask("modemstat ?"), reply);
    }

    void modemSettingsQuery()
    {
        Unit u(SimConfig {});
        QCOMPARE(u.ask("modemcc 0 apn \"web\""), QStringLiteral("OK\r\n"));
        QCOMPARE(u.ask("MODEMCC 0 ?"), QStringLiteral("modemcc 0 apn: \"web\"\r\nmodemcc 0 pin: \"\"\r\nOK\r\n"));
    }

    // A SIM with a PIN: unlocked at power-up by the PIN the unit has saved;
    // three wrong ones in a row block it for good. The link gets no address
    // while the SIM keeps the modem off the network.
    void pinAtPowerUp()
    {
        SimConfig c = configFrom({ "--sim-pin", "4321", "--ppp-idle", "100", "--ppp-activating", "100" });
        Unit u(c);
        const auto sim = [&] { return u.ask("modemstat ?").section(QStringLiteral("\r\n"), 1, 1); };
        QCOMPARE(sim(), QStringLiteral("SIM status: SIM PIN"));

        u.ask("modemcc 0 pin \"4321\"");
        QCOMPARE(sim(), QStringLiteral("SIM status: SIM PIN")); // tried only at power-up
        u.ask("config 0 save");
        u.restart();
        QCOMPARE(sim(), QStringLiteral("SIM status: READY"));
        u.ask("ppp 1 aodion on");
        u.clock.advance(300);
        QVERIFY(u.ask("ppp 1 status").contains(QLatin1String("IP Address: 203.0.113.5\r\n")));

        u.ask("modemcc 0 pin \"1111\"");
        u.ask("config 0 save");
        for (const char* expected : { "SIM PIN", "SIM PIN", "SIM PUK" }) {
            u.restart();
            QCOMPARE(sim(), QStringLiteral("SIM status: ") + QLatin1String(expected));
            u.clock.advance(300);
            QVERIFY(u.ask("ppp 1 status").contains(QLatin1String("IP Address: 0.0.0.0\r\n")));
        }
        u.ask("modemcc 0 pin \"4321\"");
        u.ask("config 0 save");
        u.restart();
        QCOMPARE(sim(), QStringLiteral("SIM status: SIM PUK"));
    }

    void badModemOptionsAreRefused_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("unknown SIM state") << QStringList { "--sim-state", "locked" };
        QTest::newRow("unknown state for one unit") << QStringList { "--sim-state", "ready,10=gone" };
    }
    void badModemOptionsAreRefused()
    {
        QFETCH(QStringList, options);
        QString error;
        QVERIFY(!loadSimConfig(QStringList { "unitsim" } + options, &error));
        QVERIFY(error.contains(QLatin1String("sim-state")));
    }
};

QTEST_GUILESS_MAIN(tst_unitsimModem)
#include "tst_unitsimModem.moc"
