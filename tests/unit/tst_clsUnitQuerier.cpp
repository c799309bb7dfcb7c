#include "QuerierRig.h"
#include "RecordingPrompts.h"
#include "SimTelnetServer.h"
#include "SimTransport.h"
#include "SimUnit.h"
#include "SimulatedClock.h"
#include "UnitCommandLanguage.h"
#include "UnitSimReady.h"
#include "discovery/clsVerevo.h"
#include "net/SystemClock.h"
#include "unit/clsUnitQuerier.h"

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace {
using namespace simunits;

using Rig = QuerierRig;

// The real unitsim program on the far side of a bare LAN, on real time: the
// program's discovery socket as start-up binds it, the unit answering by
// broadcast on the protocol's port.
struct ProcessRig {
    SystemClock clock;
    RecordingPrompts prompts;
    UnitLan lan;
    QString broadcast;
    QTemporaryDir dir;
    QProcess* sim = nullptr;
    std::unique_ptr<clsVerevo> verevo;
    UnitInterfacePrefixes prefixes { QStringLiteral("eth 0"), QStringLiteral("PPP 1"),
        [] { return QStringLiteral("1"); } };
    qint32 rebootTime = 20;
    bool cancel = false;
    QStringList log;
    std::unique_ptr<clsUnitQuerier> q;

    QString commandLog() const { return dir.filePath(QStringLiteral("commands.log")); }

    bool start(const QStringList& args)
    {
        if (!lan.up(QStringLiteral("198.51.100.1/24"), { firstAddress + QStringLiteral("/24") }))
            return false;
        broadcast = lan.pcBroadcast();
        sim = lan.startInUnits(
            QStringList { QStringLiteral(UNITSIM_PATH), "--bind", "0.0.0.0", "--port", "7477", "--serial", serial,
                "--mac", unitMac.toHex(), "--ip", firstAddress, "--command-log", commandLog() }
            + args);
        if (!sim || unitsimReadyPort(*sim) != 7477)
            return false;
        verevo = std::make_unique<clsVerevo>(
            clock, prompts, broadcast, nullptr, [] {}, QuerierRig::startupSocket(lan.pcInterfaceIndex()));
        verevo->SetMac(pcMac);
        q = std::make_unique<clsUnitQuerier>(
            clock, prefixes, rebootTime, cancel, [this](const QString&, const QString& text) { log << text; },
            [] { return unitMac; });
        return true;
    }

    // The lines the program logged, addressee checked.
    QStringList lines() const
    {
        QFile f(commandLog());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList out;
        for (const QByteArray& l : f.readAll().split('\n')) {
            if (l.isEmpty())
                continue;
            const QList<QByteArray> parts = l.split('\t');
            out << (parts.value(0) == serial.toLatin1() ? QString::fromLatin1(parts.value(1)) : QStringLiteral("?"));
        }
        return out;
    }
};

// Every command of the object by name, with the table's arguments.
QVariant invoke(const QString& name, clsUnitQuerier& q, clsVerevo& v)
{
    const QString dq = QStringLiteral("a\"b");
    static const QHash<QString, std::function<QVariant(clsUnitQuerier&, clsVerevo&)>> commands = {
        { "HasDHCPCli", [](auto& q, auto& v) { return QVariant(q.HasDHCPCli(serial, v)); } },
        { "HasGPRS", [](auto& q, auto& v) { return QVariant(q.HasGPRS(serial, v)); } },
        { "HasDHCPSrv", [](auto& q, auto& v) { return QVariant(q.HasDHCPSrv(serial, v)); } },
        { "DHCPServerPresent", [](auto& q, auto& v) { return QVariant(q.DHCPServerPresent(serial, v)); } },
        { "SetDHCPCli", [](auto& q, auto& v) { return QVariant(q.SetDHCPCli(serial, v, "on")); } },
        { "SaveCfg", [](auto& q, auto& v) { return QVariant(q.SaveCfg(serial, v)); } },
        { "SetEth", [](auto& q, auto& v) { return QVariant(q.SetEth(serial, v, "198.51.100.50", "255.255.255.0")); } },
        { "SetEthOn",
            [](auto& q, auto& v) {
                return QVariant(q.SetEthOn(serial, v, "eth 1", "198.51.100.50", "255.255.255.0"));
            } },
        { "setAPN", [](auto& q, auto& v) { return QVariant(q.setAPN(serial, v, "internet")); } },
        { "SetPhonenum", [](auto& q, auto& v) { return QVariant(q.SetPhonenum(serial, v, "*99#")); } },
        { "SetGeneric", [](auto& q, auto& v) { return QVariant(q.SetGeneric(serial, v, "muxon")); } },
        { "setPIN", [](auto& q, auto& v) { return QVariant(q.setPIN(serial, v, "1234")); } },
        { "setPPP1username", [](auto& q, auto& v) { return QVariant(q.setPPP1username(serial, v, "web")); } },
        { "setPPP1password", [](auto& q, auto& v) { return QVariant(q.setPPP1password(serial, v, "secret")); } },
        { "SetDHCP",
            [](auto& q, auto& v) {
                return QVariant(q.SetDHCP(
                    serial, v, "198.51.100.100", "20", "255.255.255.0", "198.51.100.1", "198.51.100.2", "86400"));
            } },
        { "confMUX", [](auto& q, auto& v) { return QVariant(q.confMUX(serial, v)); } },
        { "resetConfig", [](auto& q, auto& v) { return QVariant(q.resetConfig(serial, v)); } },
        { "activateGPRS", [](auto& q, auto& v) { return QVariant(q.activateGPRS(serial, v)); } },
        { "deactivateGPRS", [](auto& q, auto& v) { return QVariant(q.deactivateGPRS(serial, v)); } },
        { "SendCommand", [](auto& q, auto& v) { return QVariant(q.SendCommand(serial, v, "AT")); } },
        { "GetPPPStatus", [](auto& q, auto& v) { return QVariant(q.GetPPPStatus(serial, v).ip()); } },
    };
    Q_UNUSED(dq);
    return commands.value(name)(q, v);
}

QStringList dhcpLines()
{
    return { "dhcp 0 ipmin \"198.51.100.100\"", "dhcp 0 IPrange \"20\"", "dhcp 0 mask \"255.255.255.0\"",
        "dhcp 0 gateway \"198.51.100.1\"", "dhcp 0 DNS \"198.51.100.2\"", "dhcp 0 lease \"86400\"" };
}

QStringList deactivateLines()
{
    return { "PPP 1 aodion off", "def_route 0 ll_ent !", "PPP 1 deact_rq", "PPP 1 ipaddr 0.0.0.0" };
}

QStringList deactivateLog(int failAt)
{
    const QStringList first { "Settig PPP 1 aodion off", "Removing default route", "Deactivating PPP 1",
        "Setting PPP 1 IP Address to 0.0.0.0" };
    const QStringList noun { "PPP 1 aodi ", "def_route 0 ll_ent !", "PPP 1 deact_rq", "PPP 1 ipaddr " };
    const QStringList tail { " set to off", " sent OK", " sent OK", " set to 0.0.0.0" };
    QStringList out;
    for (int i = 0; i < 4; ++i) {
        out << first[i] << noun[i] + (i == failAt ? " not " : " ") + tail[i];
        if (i == failAt)
            break;
    }
    return out;
}
} // namespace

class tst_clsUnitQuerier : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    void everyCommand_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("refuse"); // command prefixes the unit answers with ERROR, '|'-separated
        QTest::addColumn<bool>("lanServer");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QVariant>("result");

        const QVariant yes(true);
        const QVariant no(false);
        auto row = [](const char* name) -> QTestData& { return QTest::newRow(name); };

        row("HasDHCPCli has") << "HasDHCPCli"
                              << "" << false << QStringList { "eth 0 dhcpcli ?" }
                              << QStringList { "Checking for DHCP client support", "Has DHCP client support" } << yes;
        row("HasDHCPCli refused") << "HasDHCPCli"
                                  << "eth 0 dhcpcli" << false << QStringList { "eth 0 dhcpcli ?" }
                                  << QStringList { "Checking for DHCP client support",
                                         "Does not have DHCP client support" }
                                  << no;
        row("HasGPRS has") << "HasGPRS"
                           << "" << false << QStringList { "modemcc 0 apn ?" }
                           << QStringList { "Checking for GPRS support", "Has GPRS support" } << yes;
        row("HasGPRS refused") << "HasGPRS"
                               << "modemcc" << false << QStringList { "modemcc 0 apn ?" }
                               << QStringList { "Checking for GPRS support", "Does not have GPRS support" } << no;
        row("HasDHCPSrv has") << "HasDHCPSrv"
                              << "" << false << QStringList { "dhcp 0 ?" }
                              << QStringList { "Checking for DHCP server support", "Has DHCP server support" } << yes;
        row("HasDHCPSrv refused") << "HasDHCPSrv"
                                  << "dhcp 0" << false << QStringList { "dhcp 0 ?" }
                                  << QStringList { "Checking for DHCP server support",
                                         "Does not have DHCP server support" }
                                  << no;
        row("DHCPServerPresent present") << "DHCPServerPresent"
                                         << "" << true << QStringList { "dhcpcli discover eth 0" }
                                         << QStringList { "Checking for DHCP server presence on LAN",
                                                "DHCP Server present on Calvantor's LAN" }
                                         << yes;
        row("DHCPServerPresent absent") << "DHCPServerPresent"
                                        << "" << false << QStringList { "dhcpcli discover eth 0" }
                                        << QStringList { "Checking for DHCP server presence on LAN",
                                               "DHCP Server NOT present on Calvantor's LAN" }
                                        << no;
        row("SetDHCPCli set") << "SetDHCPCli"
                              << "" << false << QStringList { "eth 0 dhcpcli ?", "eth 0 dhcpcli on" }
                              << QStringList { "Checking for DHCP client support", "Has DHCP client support" } << yes;
        row("SetDHCPCli no support") << "SetDHCPCli"
                                     << "eth 0 dhcpcli ?" << false << QStringList { "eth 0 dhcpcli ?" }
                                     << QStringList { "Checking for DHCP client support",
                                            "Does not have DHCP client support" }
                                     << no;
        row("SetDHCPCli refused") << "SetDHCPCli"
                                  << "eth 0 dhcpcli on" << false
                                  << QStringList { "eth 0 dhcpcli ?", "eth 0 dhcpcli on" }
                                  << QStringList { "Checking for DHCP client support", "Has DHCP client support" }
                                  << no;
        row("SaveCfg saved") << "SaveCfg"
                             << "" << false << QStringList { "config 0 save" }
                             << QStringList { "Saving config", "Config saved" } << yes;
        row("SaveCfg refused") << "SaveCfg"
                               << "config" << false << QStringList { "config 0 save" }
                               << QStringList { "Saving config", "Config not saved" } << no;
        row("SetEth set") << "SetEth"
                          << "" << false
                          << QStringList { "eth 0 ipaddr \"198.51.100.50\"", "eth 0 mask \"255.255.255.0\"" }
                          << QStringList { "Setting Ethernet details", "Ethernet details set" } << yes;
        row("SetEth address refused") << "SetEth"
                                      << "eth 0 ipaddr" << false << QStringList { "eth 0 ipaddr \"198.51.100.50\"" }
                                      << QStringList { "Setting Ethernet details", "Ethernet details not set" } << no;
        row("SetEthOn a unit's own interface, not the program's")
            << "SetEthOn"
            << "" << false << QStringList { "eth 1 ipaddr \"198.51.100.50\"", "eth 1 mask \"255.255.255.0\"" }
            << QStringList { "Setting Ethernet details", "Ethernet details set" } << yes;
        row("SetEth mask refused") << "SetEth"
                                   << "eth 0 mask" << false
                                   << QStringList { "eth 0 ipaddr \"198.51.100.50\"", "eth 0 mask \"255.255.255.0\"" }
                                   << QStringList { "Setting Ethernet details", "Ethernet details not set" } << no;
        row("setAPN set") << "setAPN"
                          << "" << false << QStringList { "modemcc 0 apn \"internet\"" }
                          << QStringList { "Setting APN", "APN set" } << yes;
        row("setAPN refused") << "setAPN"
                              << "modemcc" << false << QStringList { "modemcc 0 apn \"internet\"" }
                              << QStringList { "Setting APN", "APN not set" } << no;
        row("SetPhonenum set") << "SetPhonenum"
                               << "" << false << QStringList { "ppp 1 phonenum \"*99#\"" }
                               << QStringList { "Setting Phone number", "Phone number set" } << yes;
        row("SetPhonenum refused") << "SetPhonenum"
                                   << "ppp" << false << QStringList { "ppp 1 phonenum \"*99#\"" }
                                   << QStringList { "Setting Phone number", "Phone number not set" } << no;
        row("SetGeneric accepted") << "SetGeneric"
                                   << "" << false << QStringList { "muxon" } << QStringList {} << yes;
        row("SetGeneric refused") << "SetGeneric"
                                  << "muxon" << false << QStringList { "muxon" } << QStringList {} << no;
        row("setPIN set") << "setPIN"
                          << "" << false << QStringList { "modemcc 0 pin \"1234\"" }
                          << QStringList { "Setting PIN", "PIN  set" } << yes;
        row("setPIN refused") << "setPIN"
                              << "modemcc 0 pin" << false << QStringList { "modemcc 0 pin \"1234\"" }
                              << QStringList { "Setting PIN", "PIN not  set" } << no;
        row("setPPP1username set") << "setPPP1username"
                                   << "" << false << QStringList { "PPP 1 username \"web\"" }
                                   << QStringList { "Setting PPP1username", "PPP1username  set" } << yes;
        row("setPPP1username refused") << "setPPP1username"
                                       << "PPP 1 username" << false << QStringList { "PPP 1 username \"web\"" }
                                       << QStringList { "Setting PPP1username", "PPP1username not  set" } << no;
        row("setPPP1password set") << "setPPP1password"
                                   << "" << false << QStringList { "PPP 1 password \"secret\"" }
                                   << QStringList { "Setting PPP1password", "PPP1password  set" } << yes;
        row("setPPP1password refused") << "setPPP1password"
                                       << "PPP 1 password" << false << QStringList { "PPP 1 password \"secret\"" }
                                       << QStringList { "Setting PPP1password", "PPP1password not  set" } << no;
        row("SetDHCP set") << "SetDHCP"
                           << "" << false << dhcpLines() << QStringList { "Setting DHCP details", "DHCP details set" }
                           << yes;
        const QStringList dhcpWords { "ipmin", "IPrange", "mask", "gateway", "DNS", "lease" };
        for (int i = 0; i < 6; ++i)
            QTest::addRow("SetDHCP fails at line %d", i + 1)
                << "SetDHCP"
                << "dhcp 0 " + dhcpWords[i] << false << dhcpLines().mid(0, i + 1)
                << QStringList { "Setting DHCP details", "DHCP details not set" } << no;
        row("confMUX both") << "confMUX"
                            << "" << false << QStringList { "muxoff", "muxon" }
                            << QStringList { "Sending muxoff command", "muxoff command  sent successfully",
                                   "Sending muxon command", "muxon command  sent successfully" }
                            << yes;
        row("confMUX muxoff refused") << "confMUX"
                                      << "muxoff" << false << QStringList { "muxoff" }
                                      << QStringList { "Sending muxoff command",
                                             "muxoff command not  sent successfully" }
                                      << no;
        row("confMUX muxon refused") << "confMUX"
                                     << "muxon" << false << QStringList { "muxoff", "muxon" }
                                     << QStringList { "Sending muxoff command", "muxoff command  sent successfully",
                                            "Sending muxon command", "muxon command not  sent successfully" }
                                     << no;
        row("resetConfig reset") << "resetConfig"
                                 << "" << false << QStringList { "fattr -r config.da0", "copy config.fac config.da0" }
                                 << QStringList { "Resetting config to config.fac", "Config reset" } << yes;
        row("resetConfig attribute refused, copy decides")
            << "resetConfig"
            << "fattr" << false << QStringList { "fattr -r config.da0", "copy config.fac config.da0" }
            << QStringList { "Resetting config to config.fac", "Config reset" } << yes;
        row("resetConfig copy refused") << "resetConfig"
                                        << "copy" << false
                                        << QStringList { "fattr -r config.da0", "copy config.fac config.da0" }
                                        << QStringList { "Resetting config to config.fac", "Config not reset" } << no;
        row("activateGPRS both") << "activateGPRS"
                                 << "" << false << QStringList { "PPP 1 aodion on", "def_route 0 ll_ent ppp" }
                                 << QStringList { "activating GPRS", "PPP 1 aodion on  sent OK",
                                        "Re-instating default route", "def_route 0 ll_ent ppp  sent OK" }
                                 << yes;
        row("activateGPRS aodion refused") << "activateGPRS"
                                           << "PPP 1 aodion" << false << QStringList { "PPP 1 aodion on" }
                                           << QStringList { "activating GPRS", "PPP 1 aodion on not  sent OK" } << no;
        row("activateGPRS route refused")
            << "activateGPRS"
            << "def_route" << false << QStringList { "PPP 1 aodion on", "def_route 0 ll_ent ppp" }
            << QStringList { "activating GPRS", "PPP 1 aodion on  sent OK", "Re-instating default route",
                   "def_route 0 ll_ent ppp not  sent OK" }
            << no;
        row("deactivateGPRS all four") << "deactivateGPRS"
                                       << "" << false << deactivateLines() << deactivateLog(-1) << yes;
        for (int i = 0; i < 4; ++i)
            QTest::addRow("deactivateGPRS fails at step %d", i + 1)
                << "deactivateGPRS" << deactivateLines()[i] << false << deactivateLines().mid(0, i + 1)
                << deactivateLog(i) << no;
        row("SendCommand logs the reply") << "SendCommand"
                                          << "" << false << QStringList { "AT" } << QStringList { "AT", "OK\r\n" }
                                          << QVariant(QStringLiteral("OK\r\n"));
        row("SendCommand refused") << "SendCommand"
                                   << "AT" << false << QStringList { "AT" } << QStringList { "AT", "ERROR\r\n" }
                                   << QVariant(QStringLiteral("ERROR\r\n"));
        row("GetPPPStatus has no closing line")
            << "GetPPPStatus"
            << "" << false << QStringList { "ppp 1 status" } << QStringList { "Retrieving PPP 1 status" }
            << QVariant(QStringLiteral("0.0.0.0"));
    }
    void everyCommand()
    {
        QFETCH(QString, command);
        QFETCH(QString, refuse);
        QFETCH(bool, lanServer);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, log);
        QFETCH(QVariant, result);
        Rig rig;
        rig.config.refuse = refuse.split(u'|', Qt::SkipEmptyParts);
        rig.config.lanDhcpServer = lanServer;
        rig.start();
        const QVariant got = invoke(command, *rig.q, *rig.verevo);
        QCOMPARE(rig.lines(), lines);
        QCOMPARE(rig.log, log);
        QCOMPARE(got, result);
        for (const QString& s : std::as_const(rig.logSerials))
            QCOMPARE(s, serial);
        QVERIFY(!rig.q->busy());
    }

    void replyOkIgnoresLetterCase_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("ok");
        QTest::newRow("upper") << "OK\r\n" << true;
        QTest::newRow("lower") << "ok" << true;
        QTest::newRow("inside a word") << "TOKEN" << true;
        QTest::newRow("silence") << "" << false;
        QTest::newRow("refusal") << "ERROR\r\n" << false;
    }
    void replyOkIgnoresLetterCase()
    {
        QFETCH(QString, reply);
        QFETCH(bool, ok);
        QCOMPARE(clsUnitQuerier::replyOk(reply), ok);
    }

    void lowerCaseOkPassesACommand()
    {
        Rig rig;
        rig.config.replies = { { QStringLiteral("modemcc 0 apn"), QByteArray("ok") } };
        rig.start();
        QVERIFY(rig.q->setAPN(serial, *rig.verevo, "internet"));
        QCOMPARE(rig.log.last(), QStringLiteral("APN set"));
    }

    void silenceGivesEmptyAfterItsTimeout_data()
    {
        QTest::addColumn<int>("startMs"); // milliseconds into the second when the command starts
        QTest::addColumn<int>("timeout");
        QTest::addColumn<int>("minMs");
        QTest::addColumn<int>("maxMs");
        QTest::newRow("5 s on the second") << 0 << 5 << 4500 << 5500;
        QTest::newRow("5 s at .3") << 300 << 5 << 4500 << 5500;
        QTest::newRow("5 s at .7") << 700 << 5 << 4500 << 5500;
        QTest::newRow("0 s at .3") << 300 << 0 << 0 << 500;
        QTest::newRow("0 s at .7") << 700 << 0 << 0 << 500;
    }
    void silenceGivesEmptyAfterItsTimeout()
    {
        QFETCH(int, startMs);
        QFETCH(int, timeout);
        QFETCH(int, minMs);
        QFETCH(int, maxMs);
        Rig rig(12 * 3'600'000 + startMs);
        rig.config.mute = { QStringLiteral("AT") };
        rig.start();
        const qint64 t0 = rig.clock.monotonicMs();
        QCOMPARE(rig.q->GetRuraResp(*rig.verevo, serial, "AT", timeout, QString()), QString());
        const qint64 took = rig.clock.monotonicMs() - t0;
        QVERIFY2(took >= minMs && took <= maxMs, qPrintable(QString::number(took)));
        QVERIFY(!rig.q->busy());
    }

    void markerOfGetRuraRespIgnoresLetterCase()
    {
        Rig rig;
        rig.start();
        const qint64 t0 = rig.clock.monotonicMs();
        const QString reply = rig.q->GetRuraResp(*rig.verevo, serial, "config 0 save", 20, "power up profile:");
        QCOMPARE(reply, QStringLiteral("Power Up Profile: config.da0\r\nOK\r\n"));
        QVERIFY(rig.clock.monotonicMs() - t0 < 1000);
    }

    void markerOfSaveCfgRespectsLetterCase_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("saved");
        QTest::newRow("the profile line") << QByteArray("Power Up Profile: config.da0\r\nOK\r\n") << true;
        QTest::newRow("lower case profile line") << QByteArray("power up profile: config.da0\r\nOK\r\n") << false;
        QTest::newRow("OK alone") << QByteArray("OK\r\n") << false;
    }
    void markerOfSaveCfgRespectsLetterCase()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, saved);
        Rig rig;
        rig.config.replies = { { QStringLiteral("config 0 save"), reply } };
        rig.start();
        const qint64 t0 = rig.clock.monotonicMs();
        QCOMPARE(rig.q->SaveCfg(serial, *rig.verevo), saved);
        const qint64 took = rig.clock.monotonicMs() - t0;
        if (saved)
            QVERIFY(took < 1000);
        else
            QVERIFY2(took >= 19500 && took <= 20500, qPrintable(QString::number(took)));
        QCOMPARE(rig.log.last(), saved ? QStringLiteral("Config saved") : QStringLiteral("Config not saved"));
    }

    void lateReplyWithinTheWaitCounts()
    {
        Rig rig;
        rig.config.late = { { QStringLiteral("eth 0 ipaddr"), 3000 } };
        rig.start();
        QVERIFY(rig.q->SetEth(serial, *rig.verevo, "198.51.100.50", "255.255.255.0"));
        QCOMPARE(rig.unit().value("eth 0 ipaddr"), QStringLiteral("198.51.100.50"));
    }

    // Whatever a unit did with the command before, the next command it
    // refuses is reported refused: the refusal itself is its reply, not a
    // late, repeated or stray answer to the one before.
    void refusalAfterAnOddAnswerIsReportedRefused_data()
    {
        QTest::addColumn<QStringList>("unitsim"); // the unit's faults, in the simulator's words
        QTest::addColumn<int>("refusalLateMs"); // how late the refusal itself comes
        QTest::addColumn<QString>("first"); // "SaveCfg", or a line sent with SetGeneric
        QTest::addColumn<bool>("byOtherUnit"); // the first line goes to the other unit, unawaited
        QTest::addColumn<bool>("firstOk");
        const QString ipmin = QStringLiteral("dhcp 0 ipmin \"198.51.100.100\"");
        const QString save = QStringLiteral("SaveCfg");
        QTest::newRow("1.5 s late: the resend's answer comes after the wait")
            << QStringList { "--late", "dhcp 0 ipmin=1500" } << 1500 << ipmin << false << true;
        QTest::newRow("4 s late: just within the wait")
            << QStringList { "--late", "dhcp 0 ipmin=4000" } << 2000 << ipmin << false << true;
        QTest::newRow("6 s late: both answers after the time-out, a prompt refusal")
            << QStringList { "--late", "dhcp 0 ipmin=6000" } << 0 << ipmin << false << false;
        QTest::newRow("6 s late: both answers after the time-out, a slow refusal")
            << QStringList { "--late", "dhcp 0 ipmin=6000" } << 1500 << ipmin << false << false;
        QTest::newRow("answered twice") << QStringList { "--twice", "dhcp 0 ipmin" } << 0 << ipmin << false << true;
        QTest::newRow("answered twice and 1.5 s late")
            << QStringList { "--twice", "dhcp 0 ipmin", "--late", "dhcp 0 ipmin=1500" } << 1500 << ipmin << false
            << true;
        QTest::newRow("only the resend answered")
            << QStringList { "--resend-only", "dhcp 0 ipmin" } << 1500 << ipmin << false << true;
        QTest::newRow("only the resend answered, 1.5 s late")
            << QStringList { "--resend-only", "dhcp 0 ipmin", "--late", "dhcp 0 ipmin=1500" } << 0 << ipmin << false
            << true;
        QTest::newRow("split reply, back to back") << QStringList { "--split", "dhcp 0 ipmin=0", "--reply",
            "dhcp 0 ipmin=OK\\r\\nipmin: 198.51.100.100\\r\\n" }
                                                   << 0 << ipmin << false << true;
        QTest::newRow("split reply, the marker 2 s after OK") << QStringList { "--split", "config 0 save=2000",
            "--reply", "config 0 save=OK\\r\\nPower Up Profile: config.da0\\r\\n" }
                                                              << 0 << save << false << true;
        QTest::newRow("split reply, the marker never comes")
            << QStringList { "--split", "config 0 save=2000", "--reply", "config 0 save=OK\\r\\nWriting\\r\\n" } << 0
            << save << false << false;
        QTest::newRow("split reply 1.5 s late, the marker 0.3 s after OK")
            << QStringList { "--split", "config 0 save=300", "--late", "config 0 save=1500", "--reply",
                   "config 0 save=OK\\r\\nPower Up Profile: config.da0\\r\\n" }
            << 1500 << save << false << true;
        QTest::newRow("another unit answers while this one is awaited")
            << QStringList { "--late", "muxon=1200" } << 2000 << "muxon" << true << true;
    }
    void refusalAfterAnOddAnswerIsReportedRefused()
    {
        QFETCH(QStringList, unitsim);
        QFETCH(int, refusalLateMs);
        QFETCH(QString, first);
        QFETCH(bool, byOtherUnit);
        QFETCH(bool, firstOk);
        Rig rig;
        QStringList args = unitsim + QStringList { "--refuse", "dhcp 0 lease" };
        if (refusalLateMs > 0) {
            // One --late option holds them all.
            const QString late = QStringLiteral("dhcp 0 lease=%1").arg(refusalLateMs);
            const qsizetype at = args.indexOf(QStringLiteral("--late"));
            if (at < 0)
                args << "--late" << late;
            else
                args[at + 1] += u'|' + late;
        }
        QVERIFY(rig.configure(args));
        rig.start();
        const qint64 t0 = rig.clock.monotonicMs();
        if (byOtherUnit) {
            // Not waited for: its answer comes while the next command waits.
            const auto other = rig.querierFor(otherMac);
            QCOMPARE(other->GetRuraResp(*rig.verevo, otherSerial, first, 0, QString()), QString());
        } else if (first == u"SaveCfg") {
            QCOMPARE(rig.q->SaveCfg(serial, *rig.verevo), firstOk);
        } else {
            QCOMPARE(rig.q->SetGeneric(serial, *rig.verevo, first), firstOk);
        }
        const QString refused = QStringLiteral("dhcp 0 lease \"86400\"");
        QCOMPARE(rig.q->SendCommand(serial, *rig.verevo, refused), QStringLiteral("ERROR\r\n"));
        QCOMPARE(rig.log.last(), QStringLiteral("ERROR\r\n"));
        QVERIFY(!rig.q->SetGeneric(serial, *rig.verevo, refused));
        // Nothing owed is left to pass for the answer of a command after them.
        QVERIFY(rig.q->SetGeneric(serial, *rig.verevo, QStringLiteral("AT")));
        // No wait beyond its bounds: the first command's and the grace for
        // answers still owed, then three commands of their own time.
        const qint64 bound = 20'500 + 2 * ReplyLedger::LateGraceMs + 3 * (refusalLateMs + 1000);
        QVERIFY2(rig.clock.monotonicMs() - t0 < bound, qPrintable(QString::number(rig.clock.monotonicMs() - t0)));
    }

    // What was seen: a unit that answers every DHCP line 1.5 s late and
    // refuses the lease. Each late answer's echo, the answer to the resend,
    // used to decide the next line, and a refused lease passed for set.
    void lateUnitRefusingTheLeaseFailsSetDHCP()
    {
        Rig rig;
        QVERIFY(rig.configure({ "--late", "dhcp 0=1500", "--refuse", "dhcp 0 lease" }));
        rig.start();
        QVERIFY(!rig.q->SetDHCP(
            serial, *rig.verevo, "198.51.100.100", "20", "255.255.255.0", "198.51.100.1", "198.51.100.2", "86400"));
        QCOMPARE(rig.log, (QStringList { "Setting DHCP details", "DHCP details not set" }));
        // Every line was sent, and each late one twice (it went unanswered
        // for a second).
        QStringList twice;
        for (const QString& line : dhcpLines())
            twice << line << line;
        QCOMPARE(rig.lines(), twice);
    }

    // A unit that never answers a probe costs the next command no more than
    // the grace for late answers, and does not make it fail.
    void ignoredProbeDoesNotFailTheNextCommand()
    {
        Rig rig;
        QVERIFY(rig.configure({ "--mute", "eth 0 dhcpcli" }));
        rig.start();
        QVERIFY(!rig.q->HasDHCPCli(serial, *rig.verevo));
        const qint64 t0 = rig.clock.monotonicMs();
        QVERIFY(rig.q->setAPN(serial, *rig.verevo, "internet"));
        QVERIFY2(rig.clock.monotonicMs() - t0 <= ReplyLedger::LateGraceMs,
            qPrintable(QString::number(rig.clock.monotonicMs() - t0)));
    }

    // A prompt unit costs nothing: command after command, no wait between.
    void promptUnitIsNeverHeldBack()
    {
        Rig rig;
        rig.start();
        const qint64 t0 = rig.clock.monotonicMs();
        for (int i = 0; i < 5; ++i)
            QVERIFY(rig.q->SetGeneric(serial, *rig.verevo, QStringLiteral("AT")));
        QCOMPARE(rig.clock.monotonicMs() - t0, qint64(0));
    }

    void forgedResponseIsNeverSeen()
    {
        Rig rig;
        rig.config.fault = SimFault::WrongAuthenticator;
        rig.start();
        QCOMPARE(rig.q->GetRuraResp(*rig.verevo, serial, "AT", 5, QString()), QString());
        QVERIFY(!rig.q->SaveCfg(serial, *rig.verevo));
    }

    void repliesAreKeyedToTheUnitSpokenTo()
    {
        Rig rig;
        rig.start();
        // The pipeline talks to the second unit through its own command
        // object, whichever unit the wizard has chosen.
        const auto second = rig.querierFor(otherMac);
        QCOMPARE(second->GetRuraResp(*rig.verevo, otherSerial, "AT", 5, QString()), QStringLiteral("OK\r\n"));
        // Afterwards the first unit's own command object hears it still.
        QCOMPARE(rig.q->GetRuraResp(*rig.verevo, serial, "AT", 5, QString()), QStringLiteral("OK\r\n"));
        // A reply signed by another unit than the one spoken to is refused.
        const auto wrong = rig.querierFor(unitMac);
        QCOMPARE(wrong->GetRuraResp(*rig.verevo, otherSerial, "AT", 5, QString()), QString());
    }

    void probeWhileBusyAsksNothing_data()
    {
        QTest::addColumn<QString>("probe");
        QTest::addColumn<QString>("closing");
        QTest::newRow("HasGPRS") << "HasGPRS"
                                 << "Does not have GPRS support";
        QTest::newRow("HasDHCPCli") << "HasDHCPCli"
                                    << "Does not have DHCP client support";
        QTest::newRow("HasDHCPSrv") << "HasDHCPSrv"
                                    << "Does not have DHCP server support";
        QTest::newRow("DHCPServerPresent") << "DHCPServerPresent"
                                           << "DHCP Server NOT present on Calvantor's LAN";
    }
    void probeWhileBusyAsksNothing()
    {
        QFETCH(QString, probe);
        QFETCH(QString, closing);
        Rig rig;
        // Late, but before the discovery object's resend after one second.
        rig.config.late = { { QStringLiteral("AT"), 800 } };
        // A unit that would say yes to every probe, were it asked.
        rig.config.lanDhcpServer = true;
        rig.start();
        QVariant probed = true;
        rig.clock.schedule(500, [&] { probed = invoke(probe, *rig.q, *rig.verevo); });
        QCOMPARE(rig.q->GetRuraResp(*rig.verevo, serial, "AT", 5, QString()), QStringLiteral("OK\r\n"));
        QCOMPARE(probed, QVariant(false));
        QCOMPARE(rig.lines(), QStringList { "AT" });
        QCOMPARE(rig.log, QStringList { closing });
    }

    // A reply in two datagrams, the marker only in the second: the first
    // does not end the wait, the second does, and the reply holds both.
    void markerWaitOutlastsAFirstPartWithoutIt()
    {
        Rig rig;
        QVERIFY(rig.configure({ "--split", "config 0 save=1500", "--reply",
            "config 0 save=OK\\r\\nPower Up Profile: config.da0\\r\\n" }));
        rig.start();
        const qint64 t0 = rig.clock.monotonicMs();
        QCOMPARE(rig.q->GetRuraResp(*rig.verevo, serial, "config 0 save", 20, "power up profile:"),
            QStringLiteral("OK\r\nPower Up Profile: config.da0\r\n"));
        QCOMPARE(rig.clock.monotonicMs() - t0, qint64(1500));
        // The first part stopped the resend, as any answer does.
        QCOMPARE(rig.lines(), QStringList { "config 0 save" });
    }

    void quotedValuesTravelUnchanged_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("inner quote") << "198.51.100.5\"x";
        QTest::newRow("only quotes") << "\"\"";
        QTest::newRow("blanks") << " a b ";
    }
    void quotedValuesTravelUnchanged()
    {
        QFETCH(QString, value);
        Rig rig;
        rig.start();
        QVERIFY(rig.q->setAPN(serial, *rig.verevo, value));
        QCOMPARE(rig.lines(), QStringList { "modemcc 0 apn \"" + value + "\"" });
        QCOMPARE(rig.unit().value("modemcc 0 apn"), value);
    }

    void rebootAnsweredThroughoutFails()
    {
        Rig rig;
        rig.config.rebootDownMs = 0;
        rig.start();
        const qint64 t0 = rig.clock.monotonicMs();
        QVERIFY(!rig.q->Reboot(serial, *rig.verevo));
        const qint64 took = rig.clock.monotonicMs() - t0;
        QVERIFY2(took >= 49500 && took <= 52500, qPrintable(QString::number(took)));
        QCOMPARE(rig.log, (QStringList { "Rebooting", "Reboot failed" }));
        const QStringList lines = rig.lines();
        QCOMPARE(lines.first(), QStringLiteral("reboot"));
        // One probe every 2 seconds for 50 seconds.
        QVERIFY2(lines.count("AT") >= 24 && lines.count("AT") <= 26, qPrintable(QString::number(lines.count("AT"))));
    }

    void rebootSilentThenAnsweringSucceeds()
    {
        Rig rig;
        rig.config.rebootDownMs = 1500;
        rig.start();
        QVERIFY(rig.q->Reboot(serial, *rig.verevo));
        QCOMPARE(rig.log, (QStringList { "Rebooting", "Reboot succeeded" }));
        // The unit's "OK" to "reboot" comes during the first probe: it is no
        // answer of the probe's (the unit gave it before it went down), but
        // like any datagram it stops the probe's resend. The second probe is
        // answered.
        QCOMPARE(rig.lines(), (QStringList { "reboot", "AT", "AT" }));
        QVERIFY(rig.clock.monotonicMs() < 6000);
    }

    void rebootThatNeverComesBackFails()
    {
        Rig rig;
        rig.config.rebootDownMs = 120'000;
        rig.rebootTime = 10;
        rig.start();
        QVERIFY(!rig.q->Reboot(serial, *rig.verevo));
        QCOMPARE(rig.log, (QStringList { "Rebooting", "Reboot failed" }));
        QVERIFY(rig.clock.monotonicMs() <= 13000);
    }

    void rebootWithCancelSetFailsAtOnce()
    {
        Rig rig;
        rig.cancel = true;
        rig.start();
        QVERIFY(!rig.q->Reboot(serial, *rig.verevo));
        QVERIFY(rig.clock.monotonicMs() <= 500);
        // Let the unit read what was sent.
        rig.clock.advance(100);
        QCOMPARE(rig.lines(), QStringList { "reboot" });
        QCOMPARE(rig.log, (QStringList { "Rebooting", "Reboot failed" }));
    }

    void rebootCancelledDuringTheWait()
    {
        Rig rig;
        rig.config.rebootDownMs = 0;
        rig.start();
        rig.clock.schedule(5000, [&] { rig.cancel = true; });
        QVERIFY(!rig.q->Reboot(serial, *rig.verevo));
        QVERIFY(rig.clock.monotonicMs() < 6000);
    }

    void pppStatusParsing_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<bool>("idle");
        QTest::newRow("idle with address")
            << QByteArray("PPP 1: Idle\r\nIP Address: 0.0.0.0\r\nOK\r\n") << "0.0.0.0" << true;
        QTest::newRow("connected") << QByteArray("ip address: 203.0.113.9\r\nok") << "203.0.113.9" << false;
        QTest::newRow("address without OK") << QByteArray("IP Address: 203.0.113.9\r\n") << "" << false;
        QTest::newRow("address line not ended") << QByteArray("OK IP Address: 203.0.113.9") << "" << false;
    }
    void pppStatusParsing()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, ip);
        QFETCH(bool, idle);
        Rig rig;
        rig.config.replies = { { QStringLiteral("ppp 1 status"), reply } };
        rig.start();
        const PPPStatus s = rig.q->GetPPPStatus(serial, *rig.verevo);
        QCOMPARE(s.ip(), ip);
        QCOMPARE(s.Idle(), idle);
    }

    void getLineStopsAtTheFirstCarriageReturn()
    {
        QCOMPARE(clsUnitQuerier::GetLine("198.51.100.1\r\nOK"), QStringLiteral("198.51.100.1"));
        QCOMPARE(clsUnitQuerier::GetLine("198.51.100.1"), QString());
        QCOMPARE(clsUnitQuerier::GetLine(QString()), QString());
    }

    void waitForPPPConnectWithZeroReturnsAtOnce_data()
    {
        QTest::addColumn<int>("startMs");
        QTest::newRow("on the second") << 0;
        QTest::newRow("at .3") << 300;
        QTest::newRow("at .7") << 700;
    }
    void waitForPPPConnectWithZeroReturnsAtOnce()
    {
        QFETCH(int, startMs);
        Rig rig(12 * 3'600'000 + startMs);
        rig.start();
        QVERIFY(!rig.q->WaitForPPPConnect(serial, *rig.verevo, 0));
        QVERIFY(rig.clock.monotonicMs() <= 500);
        QVERIFY(rig.lines().isEmpty());
        QVERIFY(rig.log.isEmpty());
    }

    void waitForPPPConnectKeepsWaitingWhileIdle()
    {
        Rig rig;
        rig.start();
        QVERIFY(!rig.q->WaitForPPPConnect(serial, *rig.verevo, 10));
        const qint64 took = rig.clock.monotonicMs();
        QVERIFY2(took >= 9500 && took <= 10500, qPrintable(QString::number(took)));
        // A poll at once and then every 2 seconds.
        QCOMPARE(rig.lines(), QStringList(5, "ppp 1 status"));
        QStringList expected;
        for (int i = 0; i < 5; ++i)
            expected << "Retrieving PPP 1 status"
                     << "PPP is Idle";
        QCOMPARE(rig.log, expected);
    }

    // "Idle" wins over an address in the same reply: the link is not up.
    void waitForPPPConnectWaitsWhileIdleWithAnAddress()
    {
        Rig rig;
        rig.config.replies
            = { { QStringLiteral("ppp 1 status"), QByteArray("PPP 1: Idle\r\nIP Address: 203.0.113.9\r\nOK\r\n") } };
        rig.start();
        QVERIFY(!rig.q->WaitForPPPConnect(serial, *rig.verevo, 6));
        QCOMPARE(rig.lines(), QStringList(3, "ppp 1 status"));
        QStringList expected;
        for (int i = 0; i < 3; ++i)
            expected << "Retrieving PPP 1 status"
                     << "PPP is Idle";
        QCOMPARE(rig.log, expected);
    }

    void waitForPPPConnectStopsWhenConnected()
    {
        Rig rig;
        rig.config.pppIdleMs = 1000;
        rig.config.pppActivatingMs = 2000;
        rig.start();
        QVERIFY(rig.q->activateGPRS(serial, *rig.verevo));
        rig.log.clear();
        QVERIFY(rig.q->WaitForPPPConnect(serial, *rig.verevo, 60));
        QCOMPARE(rig.log,
            (QStringList { "Retrieving PPP 1 status", "PPP is Idle", "Retrieving PPP 1 status", "PPP is Activating",
                "Retrieving PPP 1 status", "PPP is connected" }));
        QVERIFY(rig.clock.monotonicMs() < 6000);
    }

    void waitForPPPConnectWithoutAnswer()
    {
        Rig rig;
        rig.config.mute = { QStringLiteral("ppp 1 status") };
        rig.start();
        QVERIFY(!rig.q->WaitForPPPConnect(serial, *rig.verevo, 6));
        QVERIFY(rig.log.contains("No response to query"));
        QVERIFY(!rig.log.contains("PPP is connected"));
    }

    void waitForPPPConnectEndsOnCancel()
    {
        Rig rig;
        rig.start();
        rig.clock.schedule(3000, [&] { rig.cancel = true; });
        QVERIFY(!rig.q->WaitForPPPConnect(serial, *rig.verevo, 180));
        QVERIFY(rig.clock.monotonicMs() < 4000);
    }

    void waitForPPPConnectTakesTheSameTimeTwice()
    {
        Rig rig(12 * 3'600'000 + 250);
        rig.start();
        const qint32 timeout = 7;
        qint64 t0 = rig.clock.monotonicMs();
        QVERIFY(!rig.q->WaitForPPPConnect(serial, *rig.verevo, timeout));
        const qint64 first = rig.clock.monotonicMs() - t0;
        t0 = rig.clock.monotonicMs();
        QVERIFY(!rig.q->WaitForPPPConnect(serial, *rig.verevo, timeout));
        const qint64 second = rig.clock.monotonicMs() - t0;
        QCOMPARE(timeout, 7);
        QVERIFY2(qAbs(first - second) <= 1000, qPrintable(QStringLiteral("%1 %2").arg(first).arg(second)));
    }

    void rebootLoadsTheSavedConfiguration()
    {
        Rig rig;
        rig.config.rebootDownMs = 3000;
        rig.start();
        QVERIFY(rig.q->SetEth(serial, *rig.verevo, "198.51.100.60", "255.255.255.0"));
        QVERIFY(rig.q->SaveCfg(serial, *rig.verevo));
        QVERIFY(rig.q->SetEth(serial, *rig.verevo, "198.51.100.61", "255.255.255.0"));
        QVERIFY(rig.q->Reboot(serial, *rig.verevo));
        QCOMPARE(rig.unit().value("eth 0 ipaddr"), QStringLiteral("198.51.100.60"));
        QVERIFY(rig.q->resetConfig(serial, *rig.verevo));
        QVERIFY(rig.q->Reboot(serial, *rig.verevo));
        QCOMPARE(rig.unit().value("eth 0 ipaddr"), QStringLiteral("198.51.100.10"));
    }
    void simulatorListsAndChangesUserProfiles()
    {
        Rig rig;
        rig.config.users = { QStringLiteral("TEMPUSER"), QString() };
        rig.start();
        QCOMPARE(
            rig.q->GetRuraResp(*rig.verevo, serial, "user ?", 5, QString()), QStringLiteral("USER <0...2>\r\nOK\r\n"));
        QVERIFY(rig.q->SetGeneric(serial, *rig.verevo, "user 2 name \"ops\""));
        QVERIFY(rig.q->GetRuraResp(*rig.verevo, serial, "user 2 ?", 5, QString()).contains("name: ops\r\n"));
        QVERIFY(rig.q->GetRuraResp(*rig.verevo, serial, "user 1 ?", 5, QString()).contains("name: TEMPUSER\r\n"));
        QVERIFY(!rig.q->SetGeneric(serial, *rig.verevo, "user 3 name x"));
    }

    void realSimulatorSetEth()
    {
        ProcessRig rig;
        QVERIFY(rig.start({}));
        QVERIFY(rig.q->SetEth(serial, *rig.verevo, "198.51.100.70", "255.255.0.0"));
        QCOMPARE(rig.lines(), (QStringList { "eth 0 ipaddr \"198.51.100.70\"", "eth 0 mask \"255.255.0.0\"" }));
        QCOMPARE(rig.log, (QStringList { "Setting Ethernet details", "Ethernet details set" }));
        QCOMPARE(rig.q->GetRuraResp(*rig.verevo, serial, "eth 0 ipaddr ?", 5, QString()),
            QStringLiteral("eth 0 ipaddr: \"198.51.100.70\"\r\nOK\r\n"));
    }

    void realSimulatorSetDHCPFailsAtTheThirdLine()
    {
        ProcessRig rig;
        QVERIFY(rig.start({ "--refuse", "dhcp 0 mask" }));
        QVERIFY(!rig.q->SetDHCP(
            serial, *rig.verevo, "198.51.100.100", "20", "255.255.255.0", "198.51.100.1", "198.51.100.2", "86400"));
        QCOMPARE(rig.lines(), dhcpLines().mid(0, 3));
        QCOMPARE(rig.log, (QStringList { "Setting DHCP details", "DHCP details not set" }));
    }

    // What was seen, against the program itself: a DHCP line answered 1.5 s
    // late and the lease refused, also late. The refusal is the lease's reply.
    void realSimulatorLateAnswerDoesNotDecideTheNextLine()
    {
        ProcessRig rig;
        QVERIFY(rig.start({ "--late", "dhcp 0=1500", "--refuse", "dhcp 0 lease" }));
        QVERIFY(rig.q->SetGeneric(serial, *rig.verevo, dhcpLines().first()));
        QCOMPARE(rig.q->SendCommand(serial, *rig.verevo, dhcpLines().last()), QStringLiteral("ERROR\r\n"));
        // Each went unanswered for a second and was sent again.
        QCOMPARE(rig.lines(),
            (QStringList { dhcpLines().first(), dhcpLines().first(), dhcpLines().last(), dhcpLines().last() }));
    }

    void realSimulatorRebootsAndComesBack()
    {
        ProcessRig rig;
        // Down for longer than two looks at it (a 2 s probe, a pause of about
        // 2 s): the late answer to "reboot" may count as the first look's.
        QVERIFY(rig.start({ "--reboot-down", "5000" }));
        QVERIFY(rig.q->Reboot(serial, *rig.verevo));
        QCOMPARE(rig.log, (QStringList { "Rebooting", "Reboot succeeded" }));
        const QStringList lines = rig.lines();
        QCOMPARE(lines.first(), QStringLiteral("reboot"));
        QVERIFY(lines.size() >= 3);
        QCOMPARE(QSet<QString>(lines.begin() + 1, lines.end()), QSet<QString> { "AT" });
    }

    void realSimulatorPPPLinkComesUp()
    {
        ProcessRig rig;
        QVERIFY(rig.start({ "--ppp-idle", "0", "--ppp-activating", "3000" }));
        QVERIFY(rig.q->activateGPRS(serial, *rig.verevo));
        QVERIFY(rig.q->WaitForPPPConnect(serial, *rig.verevo, 20));
        QCOMPARE(rig.log.last(), QStringLiteral("PPP is connected"));
        QVERIFY(rig.log.contains("PPP is Activating"));
        QCOMPARE(rig.q->GetPPPStatus(serial, *rig.verevo).ip(), QStringLiteral("203.0.113.5"));
    }

    // The unit's terminal session comes set up with the command object,
    // collects what the unit sends, and is closed when the object goes.
    void terminalSession()
    {
        SimulatedClock clock;
        RecordingPrompts prompts;
        SimConfig config;
        config.bindAddress = QHostAddress::LocalHost;
        config.telnetPort = 0;
        UnitCommandLanguage language(clock, config);
        std::vector<SimUnit> units;
        units.emplace_back(serial, unitMac, QStringLiteral("198.51.100.10"), QStringLiteral("1"),
            QStringLiteral("CV100"), QStringLiteral("Calvantor CV100-E3G"));
        SimTelnetServer server(config, units, language);
        QString error;
        QVERIFY2(server.listen(&error), qPrintable(error));
        UnitInterfacePrefixes prefixes { QStringLiteral("eth 0"), QStringLiteral("PPP 1"),
            [] { return QStringLiteral("1"); } };
        const qint32 rebootTime = 50;
        const bool cancel = false;
        TrmOptions o;
        o.port = server.localPort();
        auto q = std::make_unique<clsUnitQuerier>(
            clock, prefixes, rebootTime, cancel, UnitLog {}, [] { return unitMac; },
            std::make_unique<clsTrm>(clock, prompts, o));
        clsTrm* trm = q->terminal();
        QVERIFY(trm && trm->isSetUp());
        QCOMPARE(
            trm->ConnectNowTelnet(QStringLiteral("admin"), QStringLiteral("admin"), QStringLiteral("127.0.0.1")), 0);
        trm->Send(QStringLiteral("ATI5\r"));
        clock.advance(10);
        QVERIFY2(q->terminalData().contains(QStringLiteral("Ser#:1000 ")), qPrintable(q->terminalData()));
        QSignalSpy status(trm, &clsTrm::StatusMessage);
        q.reset();
        // The session's unload step ran.
        QCOMPARE(status.size(), 2);
        QCOMPARE(status[1][0].toString(), QStringLiteral("Disconnected from: "));
        QVERIFY(prompts.boxes.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_clsUnitQuerier)
#include "tst_clsUnitQuerier.moc"
