#include "QuerierRig.h"
#include "unit/CQarUnitInfo.h"
#include "unit/PingReplyWatch.h"

#include <QTest>

using namespace simunits;

namespace {
const QString password = QStringLiteral("WZKQRVN");

QStringList walk(int highest)
{
    QStringList out;
    for (int i = 0; i <= highest; ++i)
        out << QStringLiteral("user %1 ?").arg(i);
    return out;
}

// The unit record the cellular test is given: the first simulated unit, at
// its address on the rig's LAN.
std::unique_ptr<CQarUnitInfo> unitRecord()
{
    auto u = std::make_unique<CQarUnitInfo>();
    u->setSerial(serial);
    u->setMac(unitMac);
    u->setIp(firstAddress);
    return u;
}
} // namespace

class tst_clsUnitQuerierTelnet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    // The profile walk over the discovery channel: what is sent, what is
    // logged and which profile is given back.
    void setupTempUser_data()
    {
        QTest::addColumn<QStringList>("users"); // profiles 1, 2; profile 0 is "admin"
        QTest::addColumn<QStringList>("refuse");
        QTest::addColumn<QString>("listReply"); // the answer to "user ?"; empty: the unit's own
        QTest::addColumn<QString>("profile"); // empty: set-up fails
        QTest::addColumn<QStringList>("sent");

        const QStringList takeOne { "user 1 name TEMPUSER", "user 1 password WZKQRVN", "user 1 access 0" };
        QTest::newRow("first free profile, after a walk for an old one") << QStringList { "",
            "" } << QStringList() << QString() << "1" << QStringList { "user ?" } + walk(2) + walk(1) + takeOne;
        QTest::newRow("old profile in lower case is reused, no free one is used")
            << QStringList { "", "tempuser" } << QStringList() << QString() << "2"
            << QStringList { "user ?" } + walk(2) + QStringList { "user 2 password WZKQRVN", "user 2 access 0" };
        QTest::newRow("no free profile") << QStringList { "ops", "guest" } << QStringList() << QString() << QString()
                                         << QStringList { "user ?" } + walk(2) + walk(2);
        QTest::newRow("OK without the profile range") << QStringList { "", "" } << QStringList() << "OK\r\n"
                                                      << QString() << QStringList { "user ?" };
        QTest::newRow("range without its closing bracket")
            << QStringList { "", "" } << QStringList() << "USER <0...2\r\nOK\r\n"
            << QString() << QStringList { "user ?" };
        QTest::newRow("highest number 0 walks profile 0 only")
            << QStringList { "", "" } << QStringList() << "USER <0...0>\r\nOK\r\n"
            << QString() << QStringList { "user ?" } + walk(0) + walk(0);
        QTest::newRow("name refused") << QStringList { "", "" } << QStringList { "user 1 name" } << QString()
                                      << QString() << QStringList { "user ?" } + walk(2) + walk(1) + takeOne.mid(0, 1);
        QTest::newRow("old profile refuses the password, a free one is taken")
            << QStringList { "TEMPUSER", "" } << QStringList { "user 1 password" } << QString() << "2"
            << QStringList { "user ?" } + walk(1) + QStringList { "user 1 password WZKQRVN" } + walk(2)
                + QStringList { "user 2 name TEMPUSER", "user 2 password WZKQRVN", "user 2 access 0" };
    }
    void setupTempUser()
    {
        QFETCH(QStringList, users);
        QFETCH(QStringList, refuse);
        QFETCH(QString, listReply);
        QFETCH(QString, profile);
        QFETCH(QStringList, sent);
        QuerierRig rig;
        rig.config.users = users;
        rig.config.refuse = refuse;
        if (!listReply.isEmpty())
            rig.config.replies.append({ QStringLiteral("user ?"), listReply.toLatin1() });
        rig.start();
        QString number = QStringLiteral("untouched");
        QString name = number;
        QString secret = number;
        QCOMPARE(rig.q->SetupTempUser(serial, *rig.verevo, number, name, secret), !profile.isEmpty());
        QCOMPARE(rig.lines(), sent);
        if (profile.isEmpty()) {
            QCOMPARE(rig.log, (QStringList { "Creating temporary user profile", "failed to set up temporary user" }));
            QCOMPARE(number, QStringLiteral("untouched"));
            return;
        }
        QCOMPARE(rig.log,
            (QStringList { "Creating temporary user profile", "Set up temporary user in profile " + profile }));
        QCOMPARE(number, profile);
        QCOMPARE(name, QStringLiteral("TEMPUSER"));
        QCOMPARE(secret, password);
        const SimUserProfile& made = rig.unit().users[profile.toInt()];
        QCOMPARE(made.password, password);
        QCOMPARE(made.access, QStringLiteral("0"));
        QCOMPARE(made.name.toUpper(), QStringLiteral("TEMPUSER"));
    }

    // A cancel stops the walk at the first profile it does not take, with
    // no closing line.
    void setupTempUserStopsOnCancel()
    {
        QuerierRig rig;
        rig.start();
        rig.cancel = true;
        QString number;
        QString name;
        QString secret;
        QVERIFY(!rig.q->SetupTempUser(serial, *rig.verevo, number, name, secret));
        QCOMPARE(rig.lines(), (QStringList { "user ?", "user 0 ?" }));
        QCOMPARE(rig.log, QStringList { "Creating temporary user profile" });
    }

    // A listing that claims more profiles than any unit holds is walked only
    // as far as a unit can hold them, and the log says what was left out.
    void absurdProfileRangeIsBounded()
    {
        QuerierRig rig;
        rig.config.users = { QStringLiteral("ops"), QStringLiteral("guest") };
        rig.config.replies.append({ QStringLiteral("user ?"), QByteArray("USER <0...2147483647>\r\nOK\r\n") });
        rig.start();
        QString number;
        QString name;
        QString secret;
        QVERIFY(!rig.q->SetupTempUser(serial, *rig.verevo, number, name, secret));
        const int highest = clsUnitQuerier::HighestUserProfile;
        QCOMPARE(rig.lines(), QStringList { "user ?" } + walk(highest) + walk(highest));
        QCOMPARE(rig.log,
            (QStringList { "Creating temporary user profile",
                "Unit lists user profiles up to 2147483647; profiles above 63 not searched",
                "failed to set up temporary user" }));
    }

    void clearUser_data()
    {
        QTest::addColumn<QStringList>("refuse");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QString>("closing");
        QTest::newRow("cleared") << QStringList() << QStringList { "user 1 name \"\"", "user 1 password \"\"" }
                                 << "User profile cleared";
        QTest::newRow("name refused, password left alone")
            << QStringList { "user 1 name" } << QStringList { "user 1 name \"\"" } << "User profile failed to clear";
        QTest::newRow("password refused")
            << QStringList { "user 1 password" } << QStringList { "user 1 name \"\"", "user 1 password \"\"" }
            << "User profile failed to clear";
    }
    void clearUser()
    {
        QFETCH(QStringList, refuse);
        QFETCH(QStringList, sent);
        QFETCH(QString, closing);
        QuerierRig rig;
        rig.config.users = { QStringLiteral("TEMPUSER"), QString() };
        rig.config.refuse = refuse;
        rig.start();
        QCOMPARE(rig.q->ClearUser(serial, *rig.verevo, QStringLiteral("1")), refuse.isEmpty());
        QCOMPARE(rig.lines(), sent);
        QCOMPARE(rig.log, (QStringList { "Clearing user profile 1", closing }));
        if (refuse.isEmpty())
            QCOMPARE(rig.unit().users[1].name, QString());
    }

    // The serial-number check on the simulated unit, each code with the
    // closing line it earns and the profile gone afterwards where it was made.
    void checkSerialCodes_data()
    {
        QTest::addColumn<QStringList>("users");
        QTest::addColumn<bool>("telnet");
        QTest::addColumn<bool>("refuseLogin");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("code");
        // How the unit's terminal goes away: "" it stays, "refusal" it hangs
        // up on refusing the login, "banner" half-way through its banner.
        QTest::addColumn<QString>("hangUp");
        QTest::newRow("no free profile") << QStringList { "ops", "guest" } << true << false << serial << 1 << "";
        QTest::newRow("no telnet server") << QStringList { "", "" } << false << false << serial << 2 << "";
        QTest::newRow("login refused") << QStringList { "", "" } << true << true << serial << 2 << "";
        QTest::newRow("login refused and the unit hangs up")
            << QStringList { "", "" } << true << true << serial << 2 << "refusal";
        QTest::newRow("the unit hangs up half-way through its banner")
            << QStringList { "", "" } << true << false << serial << 3 << "banner";
        QTest::newRow("another serial number") << QStringList { "", "" } << true << false << otherSerial << 3 << "";
        QTest::newRow("same serial number") << QStringList { "", "" } << true << false << serial << 4 << "";
    }
    void checkSerialCodes()
    {
        QFETCH(QStringList, users);
        QFETCH(bool, telnet);
        QFETCH(bool, refuseLogin);
        QFETCH(QString, expected);
        QFETCH(int, code);
        QFETCH(QString, hangUp);
        QuerierRig rig;
        rig.config.users = users;
        rig.config.telnet = telnet;
        rig.config.telnetRefuseLogin = refuseLogin;
        rig.config.telnetHangUpOnRefusal = hangUp == u"refusal";
        if (hangUp == u"banner")
            rig.config.telnetHangUp = { QStringLiteral("ATI5") };
        rig.start();
        auto* q = rig.q.get();
        std::unique_ptr<clsUnitQuerier> other;
        if (expected == otherSerial) {
            // The first unit's address reaches the first unit, which still
            // has a temporary profile from an earlier run; the second unit's
            // command object makes its own profile on the second unit.
            rig.unit().users[2] = { QStringLiteral("TEMPUSER"), password, QStringLiteral("0") };
            other = rig.querierFor(otherMac);
            q = other.get();
        }
        QCOMPARE(q->checkSerial(expected, rig.firstAddress, *rig.verevo), code);
        QCOMPARE(rig.log.first(), QStringLiteral("Checking serial number and IP address match"));
        QCOMPARE(rig.log.last(), code == 4 ? QStringLiteral("Serial number is OK") : "Serial number is not OK");
        QCOMPARE(rig.log.contains(QStringLiteral("User profile cleared")), code != 1);
        QCOMPARE(QSet<QString>(rig.logSerials.begin(), rig.logSerials.end()), QSet<QString> { expected });
        QVERIFY(!q->terminalOpen());
        QVERIFY(!q->terminal()->Online());
        const SimUnitState& checked = rig.language->state(QuerierRig::units()[expected == serial ? 0 : 1]);
        for (const SimUserProfile& u : checked.users)
            QVERIFY2(u.name.compare(QStringLiteral("TEMPUSER"), Qt::CaseInsensitive) != 0, "profile left");
    }

    // The record is discarded while the check's login waits on a unit that
    // says nothing: the check ends at once as for no login, and the object
    // sends and logs nothing more (the profile is not cleared).
    void checkSerialEndedDuringTheLogin()
    {
        QuerierRig rig;
        rig.config.telnetSilent = true;
        rig.start();
        const qint64 t0 = rig.clock.monotonicMs();
        rig.clock.schedule(1000, [&rig] { rig.q->end(); });
        QCOMPARE(rig.q->checkSerial(serial, rig.firstAddress, *rig.verevo), 2);
        QVERIFY2(rig.clock.monotonicMs() - t0 < 1500, qPrintable(QString::number(rig.clock.monotonicMs() - t0)));
        QVERIFY(rig.log.endsWith(QStringLiteral("Set up temporary user in profile 1")));
        QVERIFY(!rig.q->terminal()->isSetUp());
        QCOMPARE(rig.unit().users[1].name, QStringLiteral("TEMPUSER"));
        // Later commands return at once without a word to the unit.
        const QStringList heard = rig.lines();
        QCOMPARE(rig.q->GetRuraResp(*rig.verevo, serial, QStringLiteral("user ?"), 5, QString()), QString());
        QVERIFY(!rig.q->Reboot(serial, *rig.verevo));
        QVERIFY(rig.clock.monotonicMs() - t0 < 1500);
        QCOMPARE(rig.lines(), heard);
        QVERIFY(rig.log.endsWith(QStringLiteral("Set up temporary user in profile 1")));
    }

    // The serial number read over telnet is compared without regard to
    // letter case; any other difference is another unit.
    void checkSerialIgnoresLetterCase_data()
    {
        QTest::addColumn<QString>("unitSerial");
        QTest::addColumn<QString>("banner");
        QTest::addColumn<int>("code");
        QTest::newRow("capitals in the banner") << "61a00"
                                                << "61A00" << 4;
        QTest::newRow("small letters in the banner") << "61A00"
                                                     << "61a00" << 4;
        QTest::newRow("mixed") << "61Ab"
                               << "61aB" << 4;
        QTest::newRow("another letter") << "61a00"
                                        << "61B00" << 3;
        QTest::newRow("one character more") << "61a00"
                                            << "61A00A" << 3;
    }
    void checkSerialIgnoresLetterCase()
    {
        QFETCH(QString, unitSerial);
        QFETCH(QString, banner);
        QFETCH(int, code);
        QuerierRig rig;
        rig.firstSerial = unitSerial;
        rig.config.bannerSerial = banner;
        rig.start();
        QCOMPARE(rig.q->checkSerial(unitSerial, rig.firstAddress, *rig.verevo), code);
        QCOMPARE(rig.telnet->typed(), QByteArrayList { "ATI5" });
        QCOMPARE(rig.log.last(), code == 4 ? QStringLiteral("Serial number is OK") : "Serial number is not OK");
    }

    // A second check on the same command object opens the session again.
    void checkSerialTwice()
    {
        QuerierRig rig;
        rig.start();
        QCOMPARE(rig.q->checkSerial(serial, rig.firstAddress, *rig.verevo), 4);
        QCOMPARE(rig.q->checkSerial(serial, rig.firstAddress, *rig.verevo), 4);
        QCOMPARE(rig.telnet->typed(), (QByteArrayList { "ATI5", "ATI5" }));
    }

    // The cellular ping test: each road through it, on the simulated clock.
    void testGPRS_data()
    {
        QTest::addColumn<bool>("linkUp");
        QTest::addColumn<QStringList>("users");
        QTest::addColumn<QStringList>("mute");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QList<bool>>("answers"); // to the retry question
        QTest::addColumn<QList<std::optional<QString>>>("typed"); // in the host prompt
        QTest::addColumn<qint64>("cancelAtMs"); // -1: never
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("middle"); // the log between the link query and the closing lines
        QTest::addColumn<QString>("hostAfter");
        QTest::addColumn<int>("fullWatches"); // 15-second watches that ran to their end

        using Typed = QList<std::optional<QString>>;
        const QStringList connect { "Preparing to connect with unit", "Creating temporary user profile",
            "Set up temporary user in profile 1", "Opening Telnet connection" };
        const QString first = QStringLiteral("www.example.com");
        const QString unreachable = QStringLiteral("blackhole.example.net");
        QTest::newRow("answered") << true << QStringList { "", "" } << QStringList() << first << QList<bool>()
                                  << Typed() << qint64(-1) << true
                                  << connect + QStringList { "Sending ping to www.example.com" } << first << 0;
        QTest::newRow("link down") << false << QStringList { "", "" } << QStringList() << first << QList<bool>()
                                   << Typed() << qint64(-1) << false
                                   << QStringList { "Can't perform test as PPP link is not established" } << first << 0;
        QTest::newRow("no free profile") << true << QStringList { "ops", "guest" } << QStringList() << first
                                         << QList<bool>() << Typed() << qint64(-1) << false
                                         << QStringList { "Preparing to connect with unit",
                                                "Creating temporary user profile", "failed to set up temporary user" }
                                         << first << 0;
        QTest::newRow("the unit says nothing")
            << true << QStringList { "", "" } << QStringList { "ping" } << first << QList<bool>() << Typed()
            << qint64(-1) << false
            << connect + QStringList { "Sending ping to www.example.com", "No response from unit" } << first << 1;
        QTest::newRow("no reply, no retry")
            << true << QStringList { "", "" } << QStringList() << unreachable << QList<bool> { false } << Typed()
            << qint64(-1) << false
            << connect + QStringList { "Sending ping to blackhole.example.net", "No response to ping" } << unreachable
            << 1;
        QTest::newRow("unknown host, no retry") << true << QStringList { "", "" } << QStringList() << "nohost.invalid"
                                                << QList<bool> { false } << Typed() << qint64(-1) << false
                                                << connect
                + QStringList { "Sending ping to nohost.invalid", "Unable to resolve hostname", "No response to ping" }
                                                << "nohost.invalid" << 0;
        QTest::newRow("retry with a host that answers")
            << true << QStringList { "", "" } << QStringList() << unreachable << QList<bool> { true }
            << Typed { QStringLiteral("www.example.org") } << qint64(-1) << true
            << connect
                + QStringList { "Sending ping to blackhole.example.net", "No response to ping",
                      "Preparing to connect with unit", "Sending ping to www.example.org" }
            << "www.example.org" << 1;
        QTest::newRow("retry, then Cancel in the host prompt")
            << true << QStringList { "", "" } << QStringList() << unreachable << QList<bool> { true }
            << Typed { std::nullopt } << qint64(-1) << false
            << connect + QStringList { "Sending ping to blackhole.example.net", "No response to ping" } << unreachable
            << 1;
        QTest::newRow("cancelled run is not asked to retry")
            << true << QStringList { "", "" } << QStringList() << unreachable << QList<bool> { true } << Typed()
            << qint64(5000) << false
            << connect + QStringList { "Sending ping to blackhole.example.net", "No response to ping" } << unreachable
            << 1;
    }
    void testGPRS()
    {
        QFETCH(bool, linkUp);
        QFETCH(QStringList, users);
        QFETCH(QStringList, mute);
        QFETCH(QString, host);
        QFETCH(QList<bool>, answers);
        QFETCH(QList<std::optional<QString>>, typed);
        QFETCH(qint64, cancelAtMs);
        QFETCH(bool, result);
        QFETCH(QStringList, middle);
        QFETCH(QString, hostAfter);
        QFETCH(int, fullWatches);
        QuerierRig rig;
        rig.config.users = users;
        rig.config.mute = mute;
        rig.config.pingUnreachable = { QStringLiteral("blackhole.example.net") };
        rig.config.pppIdleMs = 0;
        rig.config.pppActivatingMs = 0;
        rig.start();
        rig.testHost = host;
        rig.prompts.answers = answers;
        rig.hostPrompt.script = typed;
        if (linkUp)
            rig.unit().linkStartMs = rig.clock.monotonicMs();
        if (cancelAtMs >= 0)
            rig.clock.schedule(cancelAtMs, [&rig] { rig.cancel = true; });
        const auto unit = unitRecord();
        const qint64 start = rig.clock.monotonicMs();
        QCOMPARE(rig.q->TestGPRS(*unit, serial, *rig.verevo), result);
        const qint64 took = rig.clock.monotonicMs() - start;
        QVERIFY2(took >= fullWatches * 14500 && took < fullWatches * 15500 + 1000, qPrintable(QString::number(took)));

        QStringList expected { QStringLiteral("Retrieving PPP 1 status") };
        expected += middle;
        if (middle.contains(QStringLiteral("Opening Telnet connection")))
            expected += QStringList { "Closing Telnet connection", "Clearing user profile 1", "User profile cleared" };
        expected << (result ? QStringLiteral("Ping test was successful") : "Ping test was not successful");
        QCOMPARE(rig.log, expected);
        QCOMPARE(rig.testHost, hostAfter);
        // One question per unanswered ping, unless the run was cancelled.
        const qsizetype questions = cancelAtMs >= 0 ? 0 : middle.count(QStringLiteral("No response to ping"));
        QCOMPARE(rig.prompts.boxes.size(), questions);
        if (questions > 0) {
            QCOMPARE(rig.prompts.boxes[0].text,
                "There was no response to the ping sent to this hostname\r" + host
                    + "\rDo you wish to retry the test with another destination?");
            QCOMPARE(rig.prompts.boxes[0].icon, UserPrompts::Icon::Question);
        }
        QCOMPARE(
            rig.hostPrompt.captions, QStringList(answers.value(0) && cancelAtMs < 0 ? 1 : 0, "Serial number: 1000 "));
        QVERIFY(!rig.q->terminal()->Online());
        for (const SimUserProfile& u : rig.unit().users)
            QVERIFY(u.name.compare(QStringLiteral("TEMPUSER"), Qt::CaseInsensitive) != 0);
    }

    // A telnet connection or login that fails ends the cellular test, and
    // the profile made for it is cleared all the same.
    void testGPRSClearsTheProfileWhenTelnetFails_data()
    {
        QTest::addColumn<bool>("telnet");
        QTest::addColumn<bool>("refuseLogin");
        QTest::addColumn<QString>("box");
        QTest::newRow("no telnet server") << false << false << QStringLiteral("Failed to connect to : ") + simunits::firstAddress;
        QTest::newRow("login refused") << true << true << "Failed to login to remote unit";
    }
    void testGPRSClearsTheProfileWhenTelnetFails()
    {
        QFETCH(bool, telnet);
        QFETCH(bool, refuseLogin);
        QFETCH(QString, box);
        QuerierRig rig;
        rig.config.telnet = telnet;
        rig.config.telnetRefuseLogin = refuseLogin;
        rig.config.pppIdleMs = 0;
        rig.config.pppActivatingMs = 0;
        rig.start();
        rig.unit().linkStartMs = rig.clock.monotonicMs();
        const auto unit = unitRecord();
        QVERIFY(!rig.q->TestGPRS(*unit, serial, *rig.verevo));
        QCOMPARE(rig.log,
            (QStringList { "Retrieving PPP 1 status", "Preparing to connect with unit",
                "Creating temporary user profile", "Set up temporary user in profile 1", "Opening Telnet connection",
                "Failed to connect to unit", "Closing Telnet connection", "Clearing user profile 1",
                "User profile cleared", "Ping test was not successful" }));
        QCOMPARE(rig.lines().mid(rig.lines().size() - 2), (QStringList { "user 1 name \"\"", "user 1 password \"\"" }));
        for (const SimUserProfile& u : rig.unit().users)
            QVERIFY(u.name.compare(QStringLiteral("TEMPUSER"), Qt::CaseInsensitive) != 0);
        QVERIFY(!rig.q->terminalOpen());
        QVERIFY(!rig.q->terminal()->Online());
        QCOMPARE(rig.prompts.texts(), QStringList { box });
    }

    // A link the unit reports Idle is down, whatever address it shows: no
    // profile is made and nothing is pinged.
    void testGPRSWithAnIdleLinkThatShowsAnAddress()
    {
        QuerierRig rig;
        rig.config.replies
            = { { QStringLiteral("ppp 1 status"), QByteArray("PPP 1: Idle\r\nIP Address: 203.0.113.9\r\nOK\r\n") } };
        rig.start();
        const auto unit = unitRecord();
        QVERIFY(!rig.q->TestGPRS(*unit, serial, *rig.verevo));
        QCOMPARE(rig.log,
            (QStringList { "Retrieving PPP 1 status", "Can't perform test as PPP link is not established",
                "Ping test was not successful" }));
        QCOMPARE(rig.lines(), QStringList { "ppp 1 status" });
        QVERIFY(rig.telnet->typed().isEmpty());
    }

    // The watch over the unit's ping output, fed in pieces.
    void pingReplyWatch_data()
    {
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<bool>("unresolved");
        QTest::addColumn<bool>("statistics");
        QTest::addColumn<bool>("received");
        QTest::newRow("replies received")
            << QStringList { "Ping Statistics for h\r\nSent: 4\r\nReceived: 3\r\n" } << false << true << true;
        QTest::newRow("none received") << QStringList { "Ping Statistics\r\nReceived: 0\r\n" } << false << true
                                       << false;
        QTest::newRow("count line split over pieces")
            << QStringList { "Ping Statis", "tics\r\nRece", "ived: ", "12", "\r\n" } << false << true << true;
        QTest::newRow("count line not ended yet")
            << QStringList { "Ping Statistics\r\nReceived: 4" } << false << true << false;
        QTest::newRow("statistics in other letter case do not count")
            << QStringList { "PING STATISTICS\r\nReceived: 4\r\n" } << false << false << false;
        QTest::newRow("first Received line counts, even before the statistics")
            << QStringList { "Received: 0\r\nPing Statistics\r\nReceived: 4\r\n" } << false << true << false;
        QTest::newRow("line without a colon")
            << QStringList { "Ping Statistics\r\nReceived 2 packets\r\n" } << false << true << true;
        QTest::newRow("unknown host, any letter case")
            << QStringList { "unable to RESOLVE x\r\n" } << true << false << false;
    }
    void pingReplyWatch()
    {
        QFETCH(QStringList, pieces);
        QFETCH(bool, unresolved);
        QFETCH(bool, statistics);
        QFETCH(bool, received);
        PingReplyWatch watch;
        for (const QString& p : pieces)
            watch.feed(p);
        QCOMPARE(watch.unresolved(), unresolved);
        QCOMPARE(watch.statistics(), statistics);
        QCOMPARE(watch.received(), received);
        QCOMPARE(watch.finished(), unresolved || received);
    }
};

QTEST_GUILESS_MAIN(tst_clsUnitQuerierTelnet)
#include "tst_clsUnitQuerierTelnet.moc"
