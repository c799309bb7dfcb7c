#include "NetLab.h"
#include "RecordingPrompts.h"
#include "UnitSimReady.h"
#include "discovery/clsVerevo.h"
#include "net/SystemClock.h"
#include "session/RemoteManagementStore.h"
#include "unit/CQarUnitInfo.h"
#include "unit/clsUnitQuerier.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The telnet checks against the unit simulator program on a bare LAN: the
// test moves into a PC namespace with one veth and no default route, the
// units answer from the far side on the protocol's own ports (7477 and 23),
// and the retry count comes from the remote-management tool's settings file
// in the test's own home.
namespace {
const QString pcAddress = QStringLiteral("203.0.113.1");
const QString firstUnit = QStringLiteral("203.0.113.2");
const QString secondUnit = QStringLiteral("203.0.113.3");
const QByteArray firstMac = QByteArray::fromHex("0050c2bb0000");
const QByteArray secondMac = QByteArray::fromHex("0050c2bb0001");

struct Unit {
    QString serial;
    QByteArray mac;
    QString address;
};
const Unit units[]
    = { { QStringLiteral("4711"), firstMac, firstUnit }, { QStringLiteral("4712"), secondMac, secondUnit } };

class NoHostPrompt final : public HostPrompt {
public:
    bool GetRemote(const QString&, QString&) override { return false; }
};
} // namespace

class tst_clsUnitQuerierOverUnitsim : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    std::unique_ptr<NetLab> m_lab;
    QString m_unitsNs;
    SystemClock m_clock;
    RecordingPrompts m_prompts;
    NoHostPrompt m_hostPrompt;
    QString m_broadcast = QStringLiteral("255.255.255.255");
    std::unique_ptr<clsVerevo> m_verevo;
    UnitInterfacePrefixes m_prefixes { QStringLiteral("eth 0"), QStringLiteral("PPP 1"),
        [] { return QStringLiteral("1"); } };
    qint32 m_rebootTime = 50;
    bool m_cancel = false;
    QString m_testHost = QStringLiteral("www.example.com");

    QString settingsPath() const
    {
        return m_home.filePath(QStringLiteral(".config/VelmarQuillstone/VelmarQuillstone.ini"));
    }

    // What the other tool would have written: its own file, in its own words.
    void writeRemoteManagementSettings(const QString& retries)
    {
        QDir().mkpath(QFileInfo(settingsPath()).path());
        QFile f(settingsPath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[operationoptions]\n");
        if (!retries.isNull())
            f.write("txtRetryTelnet=" + retries.toLatin1() + "\n");
        f.write("txtTimeout=30\n");
    }

    QProcess* startUnits(const QStringList& extra)
    {
        QProcess* sim = m_lab->start(m_unitsNs,
            QStringList { QStringLiteral(UNITSIM_PATH), "--bind", "0.0.0.0", "--port", "7477", "--count", "2",
                "--serial", units[0].serial, "--mac", QString::fromLatin1(firstMac.toHex()), "--ip", firstUnit,
                "--ppp-idle", "0", "--ppp-activating", "0" }
                + extra);
        return unitsimReadyPort(*sim) == 7477 ? sim : nullptr;
    }

    static void stop(QProcess* sim)
    {
        sim->kill();
        sim->waitForFinished();
    }

    std::unique_ptr<clsUnitQuerier> querier(
        const Unit& unit, QSettings& remoteManagement, QStringList& log, int* backoffs = nullptr)
    {
        TrmOptions o { 23, &remoteManagement, [backoffs] {
                          if (backoffs)
                              ++*backoffs;
                          return 1;
                      } };
        return std::make_unique<clsUnitQuerier>(
            m_clock, m_prefixes, m_rebootTime, m_cancel, [&log](const QString&, const QString& text) { log << text; },
            [mac = unit.mac] { return mac; }, std::make_unique<clsTrm>(m_clock, m_prompts, o),
            TelnetCheckServices { &m_prompts, &m_hostPrompt, &m_testHost });
    }

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QVERIFY(m_home.isValid());
        // Before the first settings object: the store is found under the home.
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral(".config"))));
        m_lab = std::make_unique<NetLab>();
        const QString pc = m_lab->addHost(QStringLiteral("pc"));
        m_unitsNs = m_lab->addHost(QStringLiteral("units"));
        QVERIFY2(!pc.isEmpty() && !m_unitsNs.isEmpty(), qPrintable(m_lab->lastError()));
        QVERIFY2(m_lab->link(pc, QStringLiteral("eth0"), pcAddress + "/24", m_unitsNs, QStringLiteral("eth0"),
                     firstUnit + "/24"),
            qPrintable(m_lab->lastError()));
        QVERIFY2(m_lab->sh(m_unitsNs, QStringLiteral("ip addr add %1/24 dev eth0").arg(secondUnit)),
            qPrintable(m_lab->lastError()));
        QVERIFY2(m_lab->enter(pc), qPrintable(m_lab->lastError()));
        m_verevo = std::make_unique<clsVerevo>(
            m_clock, m_prompts, m_broadcast, [] { return std::make_pair(pcAddress, QStringLiteral("255.255.255.0")); },
            [] {});
        m_verevo->setInterface();
        QCOMPARE(m_broadcast, QStringLiteral("203.0.113.255"));
        m_verevo->SetMac(QByteArray::fromHex("02005e0000a1"));
    }

    void init() { m_prompts.boxes.clear(); }

    // Each code of the check, with the profile it made cleared again.
    void checkSerial_data()
    {
        QTest::addColumn<QStringList>("unitsimArgs");
        QTest::addColumn<QString>("retrySetting"); // null: the file holds no value
        QTest::addColumn<int>("checked"); // index of the unit the check expects
        QTest::addColumn<bool>("leftoverOnFirst"); // the first unit kept a profile from an earlier run
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("backoffs");
        QTest::newRow("no free profile") << QStringList { "--users", "ops,guest" } << QString() << 0 << false << 1 << 0;
        QTest::newRow("telnet refused, no retries")
            << QStringList { "--telnet-port", "off" } << QString() << 0 << false << 2 << 0;
        QTest::newRow("telnet refused, two retries from the settings")
            << QStringList { "--telnet-port", "off" } << "2" << 0 << false << 2 << 2;
        QTest::newRow("login refused") << QStringList { "--telnet-login", "refuse" } << "0" << 0 << false << 2 << 0;
        QTest::newRow("another unit at the address") << QStringList() << QString() << 1 << true << 3 << 0;
        QTest::newRow("the unit expected") << QStringList() << QString() << 0 << false << 4 << 0;
    }
    void checkSerial()
    {
        QFETCH(QStringList, unitsimArgs);
        QFETCH(QString, retrySetting);
        QFETCH(int, checked);
        QFETCH(bool, leftoverOnFirst);
        QFETCH(int, code);
        QFETCH(int, backoffs);
        writeRemoteManagementSettings(retrySetting);
        // As the program opens it at start-up.
        SettingsFile store = RemoteManagementStore::open();
        QSettings& remoteManagement = store.store();
        QCOMPARE(remoteManagement.fileName(), settingsPath());
        QProcess* sim = startUnits(unitsimArgs);
        QVERIFY(sim);
        QStringList log;
        if (leftoverOnFirst) {
            auto first = querier(units[0], remoteManagement, log);
            QString number, name, secret;
            QVERIFY(first->SetupTempUser(units[0].serial, *m_verevo, number, name, secret));
        }
        const Unit& unit = units[checked];
        int draws = 0;
        auto q = querier(unit, remoteManagement, log, &draws);
        log.clear();
        // Always the first unit's address: the check proves who is there.
        QCOMPARE(q->checkSerial(unit.serial, firstUnit, *m_verevo), code);
        QCOMPARE(draws, backoffs);
        QCOMPARE(log.first(), QStringLiteral("Checking serial number and IP address match"));
        QCOMPARE(log.last(), code == 4 ? QStringLiteral("Serial number is OK") : "Serial number is not OK");
        if (code == 1) {
            QVERIFY(!log.contains(QStringLiteral("User profile cleared")));
        } else {
            QVERIFY(log.contains(QStringLiteral("Clearing user profile 1")));
            QVERIFY(log.contains(QStringLiteral("User profile cleared")));
            // Asked afresh, the unit's profile is empty again.
            const QString profile = q->GetRuraResp(*m_verevo, unit.serial, QStringLiteral("user 1 ?"), 5, QString());
            QVERIFY2(profile.contains(QStringLiteral("name: \r\n")), qPrintable(profile));
        }
        const QStringList expectedBoxes = code == 2
            ? QStringList { unitsimArgs.contains(QStringLiteral("off")) ? "Failed to connect to : " + firstUnit
                                                                        : "Failed to login to remote unit" }
            : QStringList();
        QCOMPARE(m_prompts.texts(), expectedBoxes);
        stop(sim);
    }

    // The cellular ping test through the far unit's link, answered.
    void testGPRSAnswered()
    {
        writeRemoteManagementSettings(QString());
        SettingsFile store = RemoteManagementStore::open();
        QSettings& remoteManagement = store.store();
        QProcess* sim = startUnits({});
        QVERIFY(sim);
        QStringList log;
        auto q = querier(units[0], remoteManagement, log);
        QVERIFY(q->activateGPRS(units[0].serial, *m_verevo));
        CQarUnitInfo unit;
        unit.setSerial(units[0].serial);
        unit.setIp(firstUnit);
        log.clear();
        QVERIFY(q->TestGPRS(unit, units[0].serial, *m_verevo));
        QCOMPARE(log,
            (QStringList { "Retrieving PPP 1 status", "Preparing to connect with unit",
                "Creating temporary user profile", "Set up temporary user in profile 1", "Opening Telnet connection",
                "Sending ping to www.example.com", "Closing Telnet connection", "Clearing user profile 1",
                "User profile cleared", "Ping test was successful" }));
        QVERIFY(m_prompts.boxes.isEmpty());
        stop(sim);
    }
};

QTEST_GUILESS_MAIN(tst_clsUnitQuerierOverUnitsim)
#include "tst_clsUnitQuerierOverUnitsim.moc"
