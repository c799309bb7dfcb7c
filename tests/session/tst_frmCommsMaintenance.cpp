#include "RecordingPrompts.h"
#include "SimTelnetServer.h"
#include "SimUnit.h"
#include "SimulatedClock.h"
#include "UnitCommandLanguage.h"
#include "session/clsTrm.h"
#include "session/frmComms.h"

#include <QDateTime>
#include <QTest>

#include <memory>

namespace {
const QString loopback = QStringLiteral("127.0.0.1");
const QString serial = QStringLiteral("4711");

// One simulated unit's terminal in this process and a session window
// aimed at it, on a simulated clock; the owner's status and error texts are
// kept in order.
struct UnitTerminal {
    SimulatedClock clock;
    RecordingPrompts prompts;
    SimConfig config;
    std::vector<SimUnit> units;
    std::unique_ptr<UnitCommandLanguage> language;
    std::unique_ptr<SimTelnetServer> server;
    // Before the session: its last status texts come as it goes.
    QStringList status;
    QList<qint64> statusAt;
    QStringList errors;
    std::unique_ptr<clsTrm> trm;
    frmComms* w = nullptr;

    UnitTerminal()
    {
        config.bindAddress = QHostAddress::LocalHost;
        config.telnetPort = 0;
        config.productId = QStringLiteral("XY100");
        units.emplace_back(serial, QByteArray::fromHex("0050c2aa0010"), QStringLiteral("198.51.100.10"),
            QStringLiteral("1"), QStringLiteral("XY100"), QStringLiteral("Velmar Systems. Velmar XY100 Box"));
    }

    // With telnet false the port holds no server at all.
    void start(bool telnet = true)
    {
        language = std::make_unique<UnitCommandLanguage>(clock, config);
        server = std::make_unique<SimTelnetServer>(config, units, *language);
        QString error;
        QVERIFY2(server->listen(&error), qPrintable(error));
        TrmOptions o;
        o.port = server->localPort();
        if (!telnet)
            server.reset();
        o.backoffDraw = [] { return 1; };
        trm = std::make_unique<clsTrm>(clock, prompts, o);
        trm->Setup();
        w = trm->window();
        w->setName(QStringLiteral("depot"));
        QObject::connect(trm.get(), &clsTrm::StatusMessage, [this](const QString& t) {
            status << t;
            statusAt << clock.monotonicMs();
        });
        QObject::connect(trm.get(), &clsTrm::ErrMessage, [this](const QString& t) { errors << t; });
    }
    void logIn()
    {
        QVERIFY(w->ConnectIP(loopback, QString::number(server->localPort()), 60000));
        QVERIFY(w->LoginSession(QStringLiteral("admin"), QStringLiteral("admin")));
        status.clear();
    }
    SimUnitState& unit() { return language->state(units[0]); }
    QStringList typed() const
    {
        QStringList out;
        for (const QByteArray& l : server->typed())
            out << QString::fromLatin1(l);
        return out;
    }
    qint64 now() const { return clock.monotonicMs(); }
};

bool within(qint64 took, qint64 fromMs, qint64 toMs)
{
    return took >= fromMs && took <= toMs;
}
} // namespace

class tst_frmCommsMaintenance : public QObject {
    Q_OBJECT
private slots:
    void listFlashFiles()
    {
        UnitTerminal t;
        t.config.flashReadOnly = { QStringLiteral("image"), QStringLiteral("config.da0") };
        t.config.flashAdd = { QStringLiteral("image1") };
        t.start();
        t.logIn();
        const FlashListing files = t.w->ListFlashFiles();
        QCOMPARE(files.names,
            (QStringList { "config.da0", "config.fac", "filter.bin", "image", "image1", "index.web", "logcodes.txt",
                "sbios", "sregs.dat", "status.web", "x3prof" }));
        QCOMPARE(files.readOnly,
            (QList<bool> { true, false, false, true, false, false, false, false, false, false, false }));
        QCOMPARE(files.last(), 10);
        QVERIFY(!t.w->Busy);
    }

    void listFlashFilesUnanswered()
    {
        UnitTerminal t;
        t.config.mute = { QStringLiteral("dir") };
        t.start();
        t.logIn();
        const qint64 start = t.now();
        QCOMPARE(t.w->ListFlashFiles().last(), -1);
        QVERIFY(within(t.now() - start, 20000, 21000));
    }

    // Every protected file that is not read-only yet is marked, in the
    // listing's order, until the first refusal.
    void markProtectedFilesReadOnly_data()
    {
        QTest::addColumn<QStringList>("refuse");
        QTest::addColumn<QStringList>("mute");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("marked");
        QTest::addColumn<int>("lastError");
        const QStringList all { "config.da0", "filter.bin", "index.web", "logcodes.txt", "sregs.dat", "status.web",
            "x3prof" };
        QTest::newRow("all marked") << QStringList() << QStringList() << true << all << 0;
        QTest::newRow("refused at logcodes.txt")
            << QStringList { "fattr +r logcodes.txt" } << QStringList() << false << all.mid(0, 4) << 8;
        QTest::newRow("no answer to the mark")
            << QStringList() << QStringList { "fattr +r filter.bin" } << false << all.mid(0, 2) << 8;
        QTest::newRow("no listing") << QStringList() << QStringList { "dir" } << false << QStringList() << 0;
    }
    void markProtectedFilesReadOnly()
    {
        QFETCH(QStringList, refuse);
        QFETCH(QStringList, mute);
        QFETCH(bool, result);
        QFETCH(QStringList, marked);
        QFETCH(int, lastError);
        UnitTerminal t;
        t.config.refuse = refuse;
        t.config.mute = mute;
        t.config.flashReadOnly = { QStringLiteral("image") };
        t.start();
        t.logIn();
        QCOMPARE(t.w->MarkProtectedFilesReadOnly(), result);
        QCOMPARE(t.w->LastError, lastError);
        // "image" was read-only already; nothing else is protected.
        QStringList expectedReadOnly = marked;
        expectedReadOnly << QStringLiteral("image");
        if (!result && lastError == 8)
            expectedReadOnly.removeOne(marked.last());
        QStringList readOnly = t.unit().readOnly.values();
        readOnly.sort();
        expectedReadOnly.sort();
        QCOMPARE(readOnly, expectedReadOnly);
        QStringList expectedStatus;
        for (const QString& name : marked)
            expectedStatus << "Marking " + name + " as read only.";
        if (lastError == 8)
            expectedStatus << "Failed to receive correct response when marking " + marked.last() + " as read only.";
        QCOMPARE(t.status, expectedStatus);
    }

    // Firmware activation: its steps, result numbers and LastError values.
    void activateFirmware_data()
    {
        QTest::addColumn<QStringList>("unitsim"); // key=value settings of the unit
        QTest::addColumn<bool>("bootLoader");
        QTest::addColumn<bool>("image");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("lastError");
        QTest::addColumn<QStringList>("status");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<qint64>("minMs");
        const QStringList scanPass { "Scanning flash", "Scan result: PASS", "Rebooting remote unit" };
        QTest::newRow("scan and reboot") << QStringList() << false << false << 1 << 0 << scanPass
                                         << QStringList { "scan", "reboot" } << qint64(0);
        QTest::newRow("boot loader and image moved into place")
            << QStringList { "flash-add=sbios1,image1" } << true << true << 1 << 0
            << QStringList { "Updating boot loader", "Updating image" } + scanPass
            << QStringList { "move sbios1 sbios", "at", "move image1 image", "at", "scan", "reboot" } << qint64(0);
        QTest::newRow("no boot loader waiting: refused at once")
            << QStringList() << true << false << 2 << 15
            << QStringList { "Updating boot loader", "Bootloader update failed" }
            << QStringList { "move sbios1 sbios", "at" } << qint64(0);
        QTest::newRow("boot loader move hangs")
            << QStringList { "flash-add=sbios1", "late=move=60000" } << true << false << 2 << 15
            << QStringList { "Updating boot loader", "Bootloader update failed" }
            << QStringList { "move sbios1 sbios", "at" } << qint64(40000);
        QTest::newRow("no image waiting")
            << QStringList() << false << true << 5 << 59 << QStringList { "Updating image", "Image update failed" }
            << QStringList { "move image1 image", "at" } << qint64(0);
        QTest::newRow("new image is corrupt")
            << QStringList { "flash-add=image1", "flash-bad=image1" } << false << true << 3 << 17
            << QStringList { "Updating image", "Scanning flash", "Scan result: BAD CRC" }
            << QStringList { "move image1 image", "at", "scan" } << qint64(0);
        QTest::newRow("scan unanswered") << QStringList { "mute=scan" } << false << false << 2 << 16
                                         << QStringList { "Scanning flash", "Unable to perform scan" }
                                         << QStringList { "scan" } << qint64(30000);
    }
    void activateFirmware()
    {
        QFETCH(QStringList, unitsim);
        QFETCH(bool, bootLoader);
        QFETCH(bool, image);
        QFETCH(int, result);
        QFETCH(int, lastError);
        QFETCH(QStringList, status);
        QFETCH(QStringList, typed);
        QFETCH(qint64, minMs);
        UnitTerminal t;
        for (const QString& kv : unitsim) {
            const QString key = kv.section(u'=', 0, 0);
            const QString value = kv.section(u'=', 1);
            if (key == u"flash-add")
                t.config.flashAdd = value.split(u',');
            else if (key == u"flash-bad")
                t.config.flashBad = value.split(u',');
            else if (key == u"mute")
                t.config.mute = { value };
            else if (key == u"late")
                t.config.late = { { value.section(u'=', 0, 0), value.section(u'=', 1).toInt() } };
        }
        t.start();
        t.logIn();
        const qint64 start = t.now();
        QCOMPARE(t.w->ActivateFirmware(loopback, QStringLiteral("admin"), QStringLiteral("admin"),
                     FirmwareSwitches { bootLoader, image }),
            result);
        const qint64 took = t.now() - start;
        QVERIFY2(within(took, minMs, minMs + 1000), qPrintable(QString::number(took)));
        t.clock.advance(10);
        QCOMPARE(t.w->LastError, lastError);
        QCOMPARE(t.status, status);
        QCOMPARE(t.typed(), typed);
        if (result == 1) {
            QVERIFY(t.language->restarting(t.units[0]));
            QVERIFY(!t.unit().binaries.contains(QStringLiteral("image1")));
            QVERIFY(!t.unit().binaries.contains(QStringLiteral("sbios1")));
        }
    }

    // Not yet connected: the operation connects and logs in itself.
    void activateFirmwareConnects_data()
    {
        QTest::addColumn<bool>("telnet");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("lastError");
        QTest::newRow("connects and logs in") << true << "admin" << 1 << 0;
        QTest::newRow("no connection") << false << "admin" << 4 << 13;
        QTest::newRow("login refused") << true << "wrong" << 3 << 14;
    }
    void activateFirmwareConnects()
    {
        QFETCH(bool, telnet);
        QFETCH(QString, password);
        QFETCH(int, result);
        QFETCH(int, lastError);
        UnitTerminal t;
        t.start(telnet);
        QCOMPARE(t.w->ActivateFirmware(loopback, QStringLiteral("admin"), password), result);
        QCOMPARE(t.w->LastError, lastError);
        QCOMPARE(t.status.contains(QStringLiteral("Rebooting remote unit")), result == 1);
    }

    void scanFlash_data()
    {
        QTest::addColumn<QStringList>("bad");
        QTest::addColumn<QStringList>("mute");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("lastError");
        QTest::addColumn<QString>("verdict");
        QTest::newRow("pass") << QStringList() << QStringList() << 1 << 0 << "Scan result: PASS";
        QTest::newRow("OK and bad in one reply: bad wins")
            << QStringList { "x3prof" } << QStringList() << 3 << 17 << "Scan result: BAD CRC";
        QTest::newRow("no reply") << QStringList() << QStringList { "scan" } << 2 << 16 << "Unable to perform scan";
    }
    void scanFlash()
    {
        QFETCH(QStringList, bad);
        QFETCH(QStringList, mute);
        QFETCH(int, result);
        QFETCH(int, lastError);
        QFETCH(QString, verdict);
        UnitTerminal t;
        t.config.flashBad = bad;
        t.config.mute = mute;
        t.start();
        t.logIn();
        QCOMPARE(t.w->ScanFlash(), result);
        QCOMPARE(t.w->LastError, lastError);
        QCOMPARE(t.status, (QStringList { "Scanning flash", verdict }));
    }

    void rebootCountdown_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::newRow("three seconds") << 3;
        QTest::newRow("nothing to wait") << 0;
    }
    void rebootCountdown()
    {
        QFETCH(int, seconds);
        UnitTerminal t;
        t.start();
        const qint64 start = t.now();
        t.w->RebootCountdown(seconds);
        QStringList expected;
        for (int left = seconds; left > 0; --left)
            expected << QStringLiteral("Waiting for remote unit to reboot for %1 seconds.").arg(left);
        QCOMPARE(t.status, expected);
        // A second and a tick apart: each wait ends once the tick counter has
        // gone past its end.
        for (qsizetype i = 0; i < t.statusAt.size(); ++i)
            QVERIFY(within(t.statusAt[i] - start, i * 1001, i * 1001 + 10));
        QVERIFY(within(t.now() - start, seconds * 1001, seconds * 1001 + 10));
    }

    // The unit's clock set from the PC's, read once for time and date.
    void setUnitTime_data()
    {
        QTest::addColumn<bool>("loggedIn");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("status");
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<qint64>("minMs");
        QTest::newRow("logged in already")
            << true << "" << false << true << QStringList { "SETTING TIME ......", "TIME SET OK" } << QStringList()
            << qint64(0);
        QTest::newRow("logs in first") << false << "admin" << false << true
                                       << QStringList { "Login in: depot", "Login succesful: depot",
                                              "SETTING TIME ......", "TIME SET OK" }
                                       << QStringList() << qint64(0);
        QTest::newRow("login refused") << false << "wrong" << false << false
                                       << QStringList { "Login in: depot", "Login failure: depot",
                                              "ERROR LOGGING IN TO SET TIME !!" }
                                       << QStringList { "ERROR LOGGING IN TO SET TIME !!" } << qint64(10000);
        QTest::newRow("time refused") << true << "" << true << false
                                      << QStringList { "SETTING TIME ......", "ERROR SETTING TIME !!" }
                                      << QStringList { "ERROR SETTING TIME !!" } << qint64(2000);
    }
    void setUnitTime()
    {
        QFETCH(bool, loggedIn);
        QFETCH(QString, password);
        QFETCH(bool, refuse);
        QFETCH(bool, result);
        QFETCH(QStringList, status);
        QFETCH(QStringList, errors);
        QFETCH(qint64, minMs);
        // One millisecond before midnight on the last day of a year.
        UnitTerminal t;
        t.clock.setWallMs(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59, 999), Qt::UTC).toMSecsSinceEpoch());
        if (refuse)
            t.config.refuse = { QStringLiteral("TIME") };
        t.start();
        QVERIFY(t.w->ConnectIP(loopback, QString::number(t.server->localPort()), 60000));
        if (loggedIn)
            QVERIFY(t.w->LoginSession(QStringLiteral("admin"), QStringLiteral("admin")));
        t.status.clear();
        const qint64 start = t.now();
        QCOMPARE(t.w->SetUnitTime(loggedIn, QStringLiteral("admin"), password), result);
        QVERIFY(within(t.now() - start, minMs, minMs + 1000));
        QCOMPARE(t.status, status);
        QCOMPARE(t.errors, errors);
        if (result)
            QCOMPARE(t.unit().time, QStringLiteral("23 59 59 31 12 2024"));
        if (!refuse && password != u"wrong")
            QCOMPARE(t.typed().last(), QStringLiteral("TIME 23 59 59 31 12 2024"));
    }

    void identityBanner()
    {
        UnitTerminal t;
        t.start();
        t.logIn();
        QCOMPARE(t.w->ReadModelName(), QStringLiteral("XY100"));
        QVERIFY(t.w->VerifySerialNumber(QStringLiteral("4711")));
        QVERIFY(!t.w->VerifySerialNumber(QStringLiteral("4712")));
        QCOMPARE(t.status, (QStringList { "Serial Number Correct", "Serial Number Incorrect" }));
        QVERIFY(!t.w->Busy);
    }

    // A connection of its own to check a unit's serial number.
    void connectAndCheckSerial_data()
    {
        QTest::addColumn<bool>("telnet");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("made");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QString>("box");
        const QString noCheck = QStringLiteral(
            "It was not possible to check that the unit we have connected to has the correct serial number. "
            "Therefore it is possible you are not connected to the correct unit!");
        QTest::newRow("the unit expected") << true << "admin" << serial << true << "Serial Number Correct" << QString();
        QTest::newRow("another unit") << true << "admin"
                                      << "4712" << true << "Serial Number Incorrect"
                                      << "The unit to which we have connected does not have the expected serial "
                                         "number. Therefore the dynamic IP address that Quillstone has for this "
                                         "unit must be out of date!";
        QTest::newRow("no connection") << false << "admin" << serial << false << QString() << noCheck;
        QTest::newRow("login refused") << true << "wrong" << serial << false << QString() << noCheck;
    }
    void connectAndCheckSerial()
    {
        QFETCH(bool, telnet);
        QFETCH(QString, password);
        QFETCH(QString, expected);
        QFETCH(bool, made);
        QFETCH(QString, verdict);
        QFETCH(QString, box);
        UnitTerminal t;
        t.start(telnet);
        QCOMPARE(t.w->ConnectAndCheckSerial(loopback, QStringLiteral("admin"), password, expected), made);
        QCOMPARE(t.status.contains(QStringLiteral("Checking serial number..")), made);
        if (!verdict.isEmpty())
            QVERIFY(t.status.contains(verdict));
        QCOMPARE(t.prompts.texts(), box.isEmpty() ? QStringList() : QStringList { box });
        QCOMPARE(t.w->socket().state(), QAbstractSocket::UnconnectedState);
    }

    // Dialling through the unit's modem; its answers come after the
    // simulated dialling time.
    void dialModem_data()
    {
        QTest::addColumn<QString>("callResult");
        QTest::addColumn<int>("lateAtMs"); // the unit answers "AT" this late
        QTest::addColumn<bool>("result");
        QTest::addColumn<bool>("timedOut");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<qint64>("minMs");
        QTest::addColumn<qint64>("maxMs");
        const QStringList dialled { "AT", "call 0123499 " };
        QTest::newRow("far unit asks for a login")
            << "CONNECT" << 0 << true << false << dialled << qint64(3000) << qint64(3100);
        QTest::newRow("line busy: nothing more until the deadline")
            << "BUSY" << 0 << false << true << dialled << qint64(10000) << qint64(11000);
        QTest::newRow("no carrier ends it")
            << "NO CARRIER" << 0 << false << true << dialled << qint64(3000) << qint64(3100);
        QTest::newRow("modem says nothing") << "" << 0 << false << true << dialled << qint64(10000) << qint64(11000);
        QTest::newRow("slow first answer, second try")
            << "CONNECT" << 1500 << true << false << QStringList { "AT", "AT", "call 0123499 " } << qint64(6000)
            << qint64(6200);
        QTest::newRow("modem dead") << "CONNECT" << 5000 << false << true << QStringList { "AT", "AT" } << qint64(2000)
                                    << qint64(2100);
    }
    void dialModem()
    {
        QFETCH(QString, callResult);
        QFETCH(int, lateAtMs);
        QFETCH(bool, result);
        QFETCH(bool, timedOut);
        QFETCH(QStringList, typed);
        QFETCH(qint64, minMs);
        QFETCH(qint64, maxMs);
        UnitTerminal t;
        t.config.callResult = callResult;
        t.config.callDelayMs = 3000;
        if (lateAtMs > 0)
            t.config.late = { { QStringLiteral("AT"), lateAtMs } };
        t.start();
        t.logIn();
        const qint64 start = t.now();
        QCOMPARE(t.w->DialModem(QStringLiteral("01234")), result);
        const qint64 took = t.now() - start;
        QVERIFY2(within(took, minMs, maxMs), qPrintable(QString::number(took)));
        QCOMPARE(t.w->TimedOut, timedOut);
        t.clock.advance(10);
        QCOMPARE(t.typed(), typed);
        QCOMPARE(t.status, QStringList { "Dialing: depot" });
    }

    void waitForCon_data()
    {
        QTest::addColumn<QString>("callResult");
        QTest::addColumn<int>("callDelayMs");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("lastError");
        QTest::addColumn<qint64>("minMs");
        QTest::newRow("connect") << "CONNECT" << 2000 << true << 0 << qint64(2000);
        QTest::newRow("no carrier") << "NO CARRIER" << 2000 << false << 43 << qint64(2000);
        QTest::newRow("busy") << "BUSY" << 2000 << false << 44 << qint64(2000);
        QTest::newRow("nothing") << "" << 2000 << false << 45 << qint64(10000);
        QTest::newRow("connect after the deadline") << "CONNECT" << 12000 << false << 45 << qint64(10000);
    }
    void waitForCon()
    {
        QFETCH(QString, callResult);
        QFETCH(int, callDelayMs);
        QFETCH(bool, result);
        QFETCH(int, lastError);
        QFETCH(qint64, minMs);
        UnitTerminal t;
        t.config.callResult = callResult;
        t.config.callDelayMs = callDelayMs;
        t.start();
        t.logIn();
        t.w->Send(QStringLiteral("call 555\r"));
        const qint64 start = t.now();
        QCOMPARE(t.w->waitForCon(10), result);
        QVERIFY(within(t.now() - start, minMs, minMs + 100));
        QCOMPARE(t.w->LastError, lastError);
        // What followed "CONNECT" is still there for the login.
        if (result)
            QVERIFY(t.w->waitFor(QStringLiteral("Username: "), 1));
    }

    // Waits for exactly one of three answers, sent as the test says.
    void waitForMany_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<int>("result");
        QTest::addColumn<QByteArray>("left");
        QTest::newRow("second choice") << QByteArray("n") << 2 << QByteArray();
        QTest::newRow("first choice") << QByteArray("y") << 1 << QByteArray();
        QTest::newRow("third, other letter case, rest stays") << QByteArray("Qrest") << 3 << QByteArray("rest");
        QTest::newRow("a stray character first: never equal") << QByteArray("xn") << 0 << QByteArray();
        QTest::newRow("nothing") << QByteArray() << 0 << QByteArray();
    }
    void waitForMany()
    {
        QFETCH(QByteArray, sent);
        QFETCH(int, result);
        QFETCH(QByteArray, left);
        UnitTerminal t;
        t.config.replies = { { QStringLiteral("menu"), sent } };
        t.start();
        t.logIn();
        // The unit's answer starts on a line of its own: CR LF before it.
        if (!sent.isEmpty()) {
            t.w->Send(QStringLiteral("menu\r"));
            QVERIFY(t.w->waitFor(QStringLiteral("\r\n"), 1));
        }
        const qint64 start = t.now();
        QCOMPARE(t.w->waitForMany(5, QStringLiteral("y"), QStringLiteral("n"), QStringLiteral("q")), result);
        QVERIFY(within(t.now() - start, result ? 0 : 5000, result ? 100 : 5100));
        t.clock.advance(10);
        QCOMPARE(t.w->socket().readAll(), left);
    }

    // updateUnit takes the connection off the window's hands: the window's
    // own disconnect then leaves the socket to whoever holds it, and the
    // dial-up handle is the one given.
    void updateUnitLeavesTheConnectionToItsCaller_data()
    {
        QTest::addColumn<bool>("update");
        QTest::newRow("the window's own connection is closed") << false;
        QTest::newRow("after updateUnit it is left open") << true;
    }
    void updateUnitLeavesTheConnectionToItsCaller()
    {
        QFETCH(bool, update);
        UnitTerminal t;
        t.start();
        t.logIn();
        QVERIFY(t.w->IPMode);
        if (update)
            t.w->updateUnit(QVariant(), QVariant(), 42);
        QCOMPARE(t.w->IPMode, !update);
        QCOMPARE(t.w->getDUNConnection(), update ? qint64(42) : qint64(0));
        t.w->DisconnectSession();
        QCOMPARE(t.w->socket().state() == QAbstractSocket::ConnectedState, update);
    }

    // The error getters report what the last failure left, not what was
    // there before it.
    void errorGettersReportTheLastFailure()
    {
        UnitTerminal t;
        t.start(false);
        t.w->LastError = 17;
        t.w->ExtendedError = 3;
        // Nothing listens on port 1 of loopback.
        QVERIFY(!t.w->ConnectIP(loopback, QStringLiteral("1"), 5000));
        QCOMPARE(t.w->getLastError(), 27);
        QCOMPARE(t.w->getExtendedError(), 0);
    }

    // clearBuffer drops what the unit said and nobody read, including a
    // reply still on its way, so the next exchange reads only its own;
    // captureTrace sends nothing.
    void clearBufferDropsWhatCameBefore()
    {
        UnitTerminal t;
        t.start();
        t.logIn();
        const QStringList typedBefore = t.typed();
        QVERIFY(t.w->captureTrace());
        t.w->Send(QStringLiteral("AT\r"));
        t.clock.advance(10);
        QVERIFY(t.w->socket().bytesAvailable() > 0);
        t.w->Send(QStringLiteral("AT\r"));
        t.w->clearBuffer();
        QCOMPARE(t.w->socket().bytesAvailable(), 0);
        QCOMPARE(t.typed(), typedBefore + QStringList({ "AT", "AT" }));
        t.w->Send(QStringLiteral("ATI5\r"));
        const QString reply = t.w->waitForAndReturn(QStringLiteral("OK\r\n"), 5, 0);
        QVERIFY2(reply.contains(QStringLiteral("Ser#:4711")), qPrintable(reply));
    }
};

QTEST_GUILESS_MAIN(tst_frmCommsMaintenance)
#include "tst_frmCommsMaintenance.moc"
