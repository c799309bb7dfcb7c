#include "RecordingPrompts.h"
#include "SimTelnetServer.h"
#include "SimUnit.h"
#include "SimulatedClock.h"
#include "UnitCommandLanguage.h"
#include "net/SystemClock.h"
#include "session/clsTrm.h"
#include "session/frmComms.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace {
const QString loopback = QStringLiteral("127.0.0.1");

// A unit's telnet side in this process: accepts one connection, sends a
// greeting and answers each chunk it reads with whatever the test says.
struct FakePeer {
    QTcpServer server;
    QTcpSocket* conn = nullptr;
    QByteArray greeting;
    QByteArray received;
    std::function<QByteArray(const QByteArray&)> answer;

    FakePeer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            conn = server.nextPendingConnection();
            QObject::connect(conn, &QTcpSocket::readyRead, [this] {
                const QByteArray got = conn->readAll();
                received += got;
                if (answer)
                    send(answer(got));
            });
            send(greeting);
        });
    }
    void send(const QByteArray& bytes)
    {
        if (conn && !bytes.isEmpty()) {
            conn->write(bytes);
            conn->flush();
        }
    }
    quint16 port() const { return server.serverPort(); }
};

// Settings of the remote-management tool in a file of the test's own.
struct RetryStore {
    QTemporaryDir dir;
    std::unique_ptr<QSettings> store;
    explicit RetryStore(const QString& value)
    {
        store = std::make_unique<QSettings>(dir.filePath(QStringLiteral("rm.ini")), QSettings::IniFormat);
        if (!value.isNull())
            store->setValue(QStringLiteral("operationoptions/txtRetryTelnet"), value);
    }
};

quint16 refusedPort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    const quint16 port = s.serverPort();
    s.close();
    return port;
}
} // namespace

class tst_clsTrm : public QObject {
    Q_OBJECT
private slots:
    // A refused port is asked (retry count + 1) times; each socket error
    // short of the last is answered by a back-off and a new request.
    void connectRetries_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("backoffs");
        QTest::newRow("no value") << QString() << 0;
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("2") << "2" << 2;
        QTest::newRow("not a number counts as 0") << "two" << 0;
    }
    void connectRetries()
    {
        QFETCH(QString, setting);
        QFETCH(int, backoffs);
        SimulatedClock clock;
        RecordingPrompts prompts;
        RetryStore rm(setting);
        int draws = 0;
        TrmOptions o;
        o.port = refusedPort();
        o.remoteManagement = rm.store.get();
        o.backoffDraw = [&] {
            ++draws;
            return 6;
        };
        clsTrm trm(clock, prompts, o);
        trm.Setup();
        QSignalSpy errors(&trm, &clsTrm::ErrMessage);
        QSignalSpy connected(&trm, &clsTrm::Connected);
        const qint64 start = clock.monotonicMs();
        QCOMPARE(trm.ConnectNowTelnet(QStringLiteral("u"), QStringLiteral("p"), loopback), 4);
        QCOMPARE(draws, backoffs);
        QVERIFY(clock.monotonicMs() - start >= qint64(backoffs) * 1800);
        QVERIFY(clock.monotonicMs() - start < 60000);
        QCOMPARE(trm.window()->LastError, 27);
        QCOMPARE(trm.window()->ExtendedError, 0);
        QCOMPARE(errors.size(), 1);
        const QString text = errors[0][0].toString();
        QVERIFY2(text.startsWith(QStringLiteral("Last error: Host = 127.0.0.1 Port = %1Winsockerr = '").arg(o.port)),
            qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("' Error no = 0 State = 9 Error = ")), qPrintable(text));
        QCOMPARE(prompts.texts(), QStringList { QStringLiteral("Failed to connect to : 127.0.0.1") });
        QCOMPARE(prompts.boxes[0].icon, UserPrompts::Icon::Exclamation);
        QCOMPARE(connected.size(), 0);
        QVERIFY(!trm.Online());
    }

    // The login dialogue against a peer that plays the unit's side.
    void login_data()
    {
        QTest::addColumn<QByteArray>("greeting");
        QTest::addColumn<QByteArray>("passwordPrompt");
        QTest::addColumn<QByteArray>("banner");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("lastError");
        QTest::addColumn<qint64>("minMs");
        QTest::newRow("full dialogue") << QByteArray("Username: ") << QByteArray("password:")
                                       << QByteArray("\r\nSUPER\r\n") << 0 << 0 << qint64(0);
        QTest::newRow("no user prompt waits 3 s, then logs in")
            << QByteArray() << QByteArray("password:") << QByteArray("SUPER\r\n") << 0 << 0 << qint64(3000);
        QTest::newRow("prompt in capitals")
            << QByteArray("Username: ") << QByteArray("PASSWORD:") << QByteArray("SUPER\r\n") << 0 << 0 << qint64(0);
        QTest::newRow("no password prompt")
            << QByteArray("Username: ") << QByteArray("pass?") << QByteArray() << 5 << 28 << qint64(10000);
        QTest::newRow("SUPER and LF alone")
            << QByteArray("Username: ") << QByteArray("password:") << QByteArray("SUPER\n") << 5 << 29 << qint64(10000);
        QTest::newRow("SUPER without line end")
            << QByteArray("Username: ") << QByteArray("password:") << QByteArray("SUPER") << 5 << 29 << qint64(10000);
    }
    void login()
    {
        QFETCH(QByteArray, greeting);
        QFETCH(QByteArray, passwordPrompt);
        QFETCH(QByteArray, banner);
        QFETCH(int, result);
        QFETCH(int, lastError);
        QFETCH(qint64, minMs);
        SimulatedClock clock;
        RecordingPrompts prompts;
        FakePeer peer;
        peer.greeting = greeting;
        peer.answer = [&](const QByteArray& got) -> QByteArray {
            if (got == "admin\r")
                return passwordPrompt;
            if (got == "secret\r")
                return banner;
            return {};
        };
        TrmOptions o;
        o.port = peer.port();
        clsTrm trm(clock, prompts, o);
        trm.Setup();
        trm.window()->setName(QStringLiteral("unit 7"));
        QSignalSpy status(&trm, &clsTrm::StatusMessage);
        QSignalSpy connected(&trm, &clsTrm::Connected);
        const qint64 start = clock.monotonicMs();
        QCOMPARE(trm.ConnectNowTelnet(QStringLiteral("admin"), QStringLiteral("secret"), loopback), result);
        const qint64 took = clock.monotonicMs() - start;
        QVERIFY2(took >= minMs && took < minMs + 1000, qPrintable(QString::number(took)));
        QCOMPARE(trm.window()->LastError, lastError);
        QCOMPARE(connected.size(), result == 0 ? 1 : 0);
        QCOMPARE(trm.Online(), result == 0);
        QVERIFY(trm.IPMode());
        QStringList texts;
        for (const auto& args : status)
            texts << args[0].toString();
        QVERIFY(texts.contains(QStringLiteral("Login in: unit 7")));
        QVERIFY(texts.contains(
            result == 0 ? QStringLiteral("Login succesful: unit 7") : QStringLiteral("Login failure: unit 7")));
        QCOMPARE(prompts.texts(),
            result == 0 ? QStringList() : QStringList { QStringLiteral("Failed to login to remote unit") });
        if (result == 5 && lastError == 28)
            QCOMPARE(peer.received, QByteArray("admin\r"));
    }

    void noCredentialsMeansNoLogin()
    {
        SimulatedClock clock;
        RecordingPrompts prompts;
        FakePeer peer;
        peer.greeting = "Username: ";
        TrmOptions o;
        o.port = peer.port();
        clsTrm trm(clock, prompts, o);
        trm.Setup();
        QSignalSpy connected(&trm, &clsTrm::Connected);
        QSignalSpy data(&trm, &clsTrm::DataArrival);
        QCOMPARE(trm.ConnectNowTelnet(QString(), QString(), loopback, QStringLiteral("1000")), 0);
        QCOMPARE(connected.size(), 1);
        QVERIFY(trm.Online());
        // Nothing was typed: no name, no serial request.
        QVERIFY(peer.received.isEmpty());
        // The greeting reached the socket while connecting; it is forwarded
        // with the next arrival, as the socket reports new bytes only.
        peer.send("more");
        clock.advance(10);
        QCOMPARE(data[0][0].toString(), QStringLiteral("Username: more"));
    }

    void waitFor_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("marker");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QByteArray>("left");
        QTest::newRow("found, rest stays in the socket")
            << QByteArray("abcMARKxyz") << "MARK" << true << QByteArray("xyz");
        QTest::newRow("found regardless of letter case") << QByteArray("..mark") << "MARK" << true << QByteArray();
        QTest::newRow("never comes") << QByteArray("abc") << "MARK" << false << QByteArray();
    }
    void waitFor()
    {
        QFETCH(QByteArray, sent);
        QFETCH(QString, marker);
        QFETCH(bool, found);
        QFETCH(QByteArray, left);
        SimulatedClock clock;
        RecordingPrompts prompts;
        FakePeer peer;
        peer.greeting = sent;
        TrmOptions o;
        frmComms w(clock, prompts, o);
        QVERIFY(w.ConnectIP(loopback, QString::number(peer.port()), 60000));
        const qint64 start = clock.monotonicMs();
        QCOMPARE(w.waitFor(marker, 7), found);
        QCOMPARE(w.TimedOut, !found);
        const qint64 took = clock.monotonicMs() - start;
        if (found)
            QVERIFY(took < 1000);
        else
            QVERIFY2(took > 7000 && took < 7100, qPrintable(QString::number(took)));
        QCOMPARE(w.socket().readAll(), left);
    }

    void sendCommand_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("withFlag");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("error");
        QTest::addColumn<qint64>("minMs");
        QTest::newRow("answered with OK, trailing text kept")
            << QByteArray("value: 1\r\nOK\r\nx") << true << "value: 1\r\nOK\r\nx" << false << qint64(0);
        QTest::newRow("ERROR ends the wait early") << QByteArray("ERROR\r\n") << true << "ERROR\r\n"
                                                   << true << qint64(0);
        QTest::newRow("ERROR without a flag runs to the deadline")
            << QByteArray("ERROR\r\n") << false << "" << false << qint64(50000);
        QTest::newRow("unanswered") << QByteArray() << true << "" << false << qint64(50000);
    }
    void sendCommand()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, withFlag);
        QFETCH(QString, result);
        QFETCH(bool, error);
        QFETCH(qint64, minMs);
        SimulatedClock clock;
        RecordingPrompts prompts;
        FakePeer peer;
        peer.answer = [&](const QByteArray& got) { return got == "show\r" ? reply : QByteArray(); };
        TrmOptions o;
        o.port = peer.port();
        clsTrm trm(clock, prompts, o);
        trm.Setup();
        QCOMPARE(trm.ConnectNowTelnet(QString(), QString(), loopback), 0);
        QSignalSpy data(&trm, &clsTrm::DataArrival);
        bool flag = !error;
        const qint64 start = clock.monotonicMs();
        QCOMPARE(trm.SendCommand(QStringLiteral("show"), withFlag ? &flag : nullptr), result);
        const qint64 took = clock.monotonicMs() - start;
        QVERIFY2(took >= minMs && took < minMs + 1000, qPrintable(QString::number(took)));
        if (withFlag)
            QCOMPARE(flag, error);
        QCOMPARE(peer.received, QByteArray("show\r"));
        // What came during the exchange belonged to it.
        QVERIFY(data.isEmpty());
        QVERIFY(!trm.window()->Busy);
    }

    void forwarding()
    {
        SimulatedClock clock;
        RecordingPrompts prompts;
        FakePeer peer;
        TrmOptions o;
        o.port = peer.port();
        clsTrm trm(clock, prompts, o);
        trm.Setup();
        QCOMPARE(trm.ConnectNowTelnet(QString(), QString(), loopback), 0);
        QSignalSpy data(&trm, &clsTrm::DataArrival);
        peer.send(QByteArray("line\r\n\xe9", 7));
        clock.advance(10);
        QCOMPARE(data.size(), 1);
        QCOMPARE(data[0][0].toString(), QStringLiteral("line\r\n\u00e9"));
        trm.Send(QStringLiteral("typed\r"));
        trm.Send(QByteArray("\x01\x02", 2));
        clock.advance(10);
        QCOMPARE(peer.received, QByteArray("typed\r\x01\x02"));
        QVERIFY(prompts.boxes.isEmpty());
    }

    void forwardingWithoutOwnerAsks()
    {
        SimulatedClock clock;
        RecordingPrompts prompts;
        FakePeer peer;
        frmComms w(clock, prompts, TrmOptions {});
        QVERIFY(w.ConnectIP(loopback, QString::number(peer.port()), 60000));
        w.EnableForwarding();
        peer.send("x");
        clock.advance(10);
        QCOMPARE(prompts.texts(),
            QStringList {
                QStringLiteral("An error has occurred with this CONNECT NOW session, do you wish to ignore it?") });
        QVERIFY(prompts.boxes[0].question);
    }

    void parseSerialNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("serial");
        QTest::newRow("number then space") << "Model\r\nSer#:1234 Rev\r\nOK\r\n"
                                           << "1234";
        QTest::newRow("number then CR, space later") << "Ser#:1234\r\nRev 2\r\n"
                                                     << "1234";
        QTest::newRow("number then CR, no space anywhere") << "Ser#:1234\r\nOK\r\n"
                                                           << "";
        QTest::newRow("space right after the colon") << "Ser#: 1234 \r\n"
                                                     << "";
        QTest::newRow("no field") << "Model x\r\nOK\r\n"
                                  << "";
        QTest::newRow("any letter case") << "SER#:77 \r\n"
                                         << "77";
    }
    void parseSerialNumber()
    {
        QFETCH(QString, text);
        QFETCH(QString, serial);
        QCOMPARE(frmComms::ParseSerialNumber(text), serial);
    }

    void closing()
    {
        SimulatedClock clock;
        RecordingPrompts prompts;
        FakePeer peer;
        TrmOptions o;
        o.port = peer.port();
        auto trm = std::make_unique<clsTrm>(clock, prompts, o);
        trm->Setup();
        trm->window()->setName(QStringLiteral("u1"));
        QCOMPARE(trm->ConnectNowTelnet(QString(), QString(), loopback), 0);
        QSignalSpy closed(trm.get(), &clsTrm::Closed);
        QSignalSpy status(trm.get(), &clsTrm::StatusMessage);
        // The unit hangs up: the owner hears of it; the session stays as it is.
        peer.conn->disconnectFromHost();
        clock.advance(10);
        QCOMPARE(closed.size(), 1);
        QVERIFY(trm->Online());
        trm->CloseComm();
        QVERIFY(!trm->Online());
        QVERIFY(!trm->IPMode());
        QVERIFY(!trm->isSetUp());
        QCOMPARE(closed.size(), 1);
        QCOMPARE(status.size(), 2);
        QCOMPARE(status[0][0].toString(), QStringLiteral("Disconnecting from: u1"));
        QCOMPARE(status[1][0].toString(), QStringLiteral("Disconnected from: u1"));
        trm->CloseComm();
        QCOMPARE(status.size(), 2);
    }

    // Closing lets what the session's own socket left pending run first; a
    // session that never asked for a connection has nothing pending, and
    // its close runs nothing else either (a new scan closes the sessions of
    // thousands of records at once). Each close says so all the same.
    void closingPumpsOnlyAnOpenedSession_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("pumps");
        QTest::newRow("never opened") << "nothing" << false;
        QTest::newRow("connected") << "connect" << true;
        QTest::newRow("connection refused") << "refused" << true;
    }
    void closingPumpsOnlyAnOpenedSession()
    {
        QFETCH(QString, before);
        QFETCH(bool, pumps);
        SimulatedClock clock;
        RecordingPrompts prompts;
        FakePeer peer;
        TrmOptions o;
        o.port = before == u"refused" ? refusedPort() : peer.port();
        o.backoffDraw = [] { return 1; };
        clsTrm trm(clock, prompts, o);
        trm.Setup();
        trm.window()->setName(QStringLiteral("u1"));
        if (before == u"connect")
            QCOMPARE(trm.ConnectNowTelnet(QString(), QString(), loopback), 0);
        else if (before == u"refused")
            QCOMPARE(trm.ConnectNowTelnet(QString(), QString(), loopback), 4);
        clock.advance(10);
        QSignalSpy status(&trm, &clsTrm::StatusMessage);
        bool ran = false;
        QObject context;
        QMetaObject::invokeMethod(
            &context, [&] { ran = true; }, Qt::QueuedConnection);
        trm.CloseComm();
        QCOMPARE(ran, pumps);
        QVERIFY(!trm.isSetUp());
        QCOMPARE(trm.window(), nullptr);
        QCOMPARE(status.size(), 2);
        QCOMPARE(status[0][0].toString(), QStringLiteral("Disconnecting from: u1"));
        QCOMPARE(status[1][0].toString(), QStringLiteral("Disconnected from: u1"));
        // Closed already: nothing more is said or run.
        trm.CloseComm();
        QCOMPARE(status.size(), 2);
        if (!pumps) {
            clock.advance(10);
            QVERIFY(ran);
        }
    }

    // An owner that closes the session when the unit hangs up in the middle
    // of an exchange: the exchange ends by its deadline without the window.
    void closedDuringExchange()
    {
        SimulatedClock clock;
        RecordingPrompts prompts;
        FakePeer peer;
        peer.answer = [&](const QByteArray&) {
            peer.conn->disconnectFromHost();
            return QByteArray();
        };
        TrmOptions o;
        o.port = peer.port();
        clsTrm trm(clock, prompts, o);
        trm.Setup();
        QCOMPARE(trm.ConnectNowTelnet(QString(), QString(), loopback), 0);
        connect(&trm, &clsTrm::Closed, &trm, [&] { trm.CloseComm(); });
        QCOMPARE(trm.SendCommand(QStringLiteral("x")), QString());
        QVERIFY(!trm.isSetUp());
        QCOMPARE(trm.window(), nullptr);
    }

    void destructionCloses()
    {
        SimulatedClock clock;
        RecordingPrompts prompts;
        FakePeer peer;
        TrmOptions o;
        o.port = peer.port();
        auto trm = std::make_unique<clsTrm>(clock, prompts, o);
        trm->Setup();
        QCOMPARE(trm->ConnectNowTelnet(QString(), QString(), loopback), 0);
        QSignalSpy peerGone(peer.conn, &QTcpSocket::disconnected);
        trm.reset();
        clock.advance(10);
        QCOMPARE(peerGone.size(), 1);
    }

    // The simulated unit on loopback, on real time: the login with a profile
    // the unit keeps, the identity banner, a command of its language.
    void simulatorOverLoopback()
    {
        SystemClock clock;
        RecordingPrompts prompts;
        SimConfig config;
        config.bindAddress = QHostAddress::LocalHost;
        config.telnetPort = 0;
        UnitCommandLanguage language(clock, config);
        std::vector<SimUnit> units;
        units.emplace_back(QStringLiteral("1000"), QByteArray::fromHex("0050c2aa0010"), QStringLiteral("198.51.100.10"),
            QStringLiteral("1"), QStringLiteral("CV100"), QStringLiteral("Calvantor CV100-E3G"));
        SimTelnetServer server(config, units, language);
        QString error;
        QVERIFY2(server.listen(&error), qPrintable(error));
        SimUnitState& state = language.state(units[0]);
        state.users[1] = { QStringLiteral("TEMPUSER"), QStringLiteral("WZKQRVN"), QStringLiteral("0") };

        TrmOptions o;
        o.port = server.localPort();
        clsTrm trm(clock, prompts, o);
        trm.Setup();
        QSignalSpy connected(&trm, &clsTrm::Connected);
        QSignalSpy status(&trm, &clsTrm::StatusMessage);
        QCOMPARE(trm.ConnectNowTelnet(
                     QStringLiteral("TEMPUSER"), QStringLiteral("WZKQRVN"), loopback, QStringLiteral("1000")),
            0);
        QCOMPARE(connected.size(), 1);
        QStringList texts;
        for (const auto& args : status)
            texts << args[0].toString();
        QVERIFY(texts.contains(QStringLiteral("Serial Number Correct")));
        QVERIFY(prompts.boxes.isEmpty());
        QCOMPARE(trm.readSerialNumber(), QStringLiteral("1000"));
        QVERIFY(trm.SendCommand(QStringLiteral("eth 0 ipaddr ?")).contains(QStringLiteral("198.51.100.10")));
        QCOMPARE(server.typed(), (QByteArrayList { "ATI5", "ATI5", "eth 0 ipaddr ?" }));
        trm.CloseComm();
    }

    // A wrong serial number costs a box, not the session.
    void simulatedUnitChecks()
    {
        SimulatedClock clock;
        RecordingPrompts prompts;
        SimConfig config;
        config.bindAddress = QHostAddress::LocalHost;
        config.telnetPort = 0;
        UnitCommandLanguage language(clock, config);
        std::vector<SimUnit> units;
        units.emplace_back(QStringLiteral("1000"), QByteArray::fromHex("0050c2aa0010"), QStringLiteral("198.51.100.10"),
            QStringLiteral("1"), QStringLiteral("CV100"), QStringLiteral("Calvantor CV100-E3G"));
        SimTelnetServer server(config, units, language);
        QString error;
        QVERIFY2(server.listen(&error), qPrintable(error));
        TrmOptions o;
        o.port = server.localPort();
        clsTrm trm(clock, prompts, o);
        trm.Setup();
        QSignalSpy connected(&trm, &clsTrm::Connected);
        QCOMPARE(
            trm.ConnectNowTelnet(QStringLiteral("admin"), QStringLiteral("admin"), loopback, QStringLiteral("2000")),
            0);
        QCOMPARE(connected.size(), 1);
        QVERIFY(trm.Online());
        QCOMPARE(prompts.boxes.size(), 1);
        QVERIFY(prompts.boxes[0].text.startsWith(QStringLiteral("The unit to which we have connected does not have")));

        // A password the unit does not keep: refused, the box, result 5.
        prompts.boxes.clear();
        clsTrm wrong(clock, prompts, o);
        wrong.Setup();
        QCOMPARE(wrong.ConnectNowTelnet(QStringLiteral("admin"), QStringLiteral("nope"), loopback), 5);
        QCOMPARE(wrong.window()->LastError, 29);
        QCOMPARE(prompts.texts(), QStringList { QStringLiteral("Failed to login to remote unit") });
    }
};

QTEST_GUILESS_MAIN(tst_clsTrm)
#include "tst_clsTrm.moc"
