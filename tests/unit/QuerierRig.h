#pragma once

#include "RecordingPrompts.h"
#include "SimTelnetServer.h"
#include "SimTransport.h"
#include "SimUnit.h"
#include "SimulatedClock.h"
#include "UnitCommandLanguage.h"
#include "UnitLan.h"
#include "discovery/clsVerevo.h"
#include "unit/clsUnitQuerier.h"

#include <QTest>

#include <memory>

namespace simunits {
inline const QByteArray pcMac = QByteArray::fromHex("0050c2000001");
inline const QByteArray unitMac = QByteArray::fromHex("0050c2aa0010");
inline const QByteArray otherMac = QByteArray::fromHex("0050c2aa0011");
inline const QString serial = QStringLiteral("1000");
inline const QString otherSerial = QStringLiteral("1001");
// Where the rig's two units are on its LAN.
inline const QString firstAddress = QStringLiteral("198.51.100.10");
inline const QString secondAddress = QStringLiteral("198.51.100.11");
} // namespace simunits

// Answers the host prompt from a script: each entry is the host typed and
// OK, or an empty optional for Cancel. Cancel once the script is used up.
class ScriptedHostPrompt final : public HostPrompt {
public:
    QList<std::optional<QString>> script;
    QStringList captions;

    bool GetRemote(const QString& captionPrefix, QString& host) override
    {
        captions << captionPrefix;
        const std::optional<QString> typed = script.isEmpty() ? std::nullopt : script.takeFirst();
        if (typed)
            host = *typed;
        return typed.has_value();
    }
    // Notes the prompt texts that callers put in place of the window's own.
    QStringList promptTexts;
    bool GetRemoteWithPrompt(const QString& captionPrefix, const QString& promptText, QString& host) override
    {
        promptTexts << promptText;
        return GetRemote(captionPrefix, host);
    }
};

// Two simulated units in this process on the far side of a bare LAN (see
// UnitLan: they answer by broadcast on port 7477, the program's discovery
// socket is bound as start-up binds it), their telnet server on port 23 of
// each unit's address, a discovery object and a command object for the first
// unit with its terminal session, all on a simulated clock. Needs what
// NetLab needs; test classes skip without it.
struct QuerierRig {
    SimulatedClock clock;
    RecordingPrompts prompts;
    ScriptedHostPrompt hostPrompt;
    QString testHost = QStringLiteral("www.example.com");
    UnitLan lan;
    // The PC's address on the LAN, and the broadcast address of its network
    // once the rig has started, as the adaptor page leaves it.
    QString pcCidr = QStringLiteral("198.51.100.1/24");
    QString broadcast;
    SimConfig config;
    std::unique_ptr<UnitCommandLanguage> language;
    std::unique_ptr<SimTransport> transport;
    std::unique_ptr<SimTelnetServer> telnet;
    std::unique_ptr<clsVerevo> verevo;
    UnitInterfacePrefixes prefixes { QStringLiteral("eth 0"), QStringLiteral("PPP 1"),
        [] { return QStringLiteral("1"); } };
    qint32 rebootTime = 50;
    bool cancel = false;
    QStringList log;
    QStringList logSerials;
    std::unique_ptr<clsUnitQuerier> q;

    explicit QuerierRig(qint64 wallMs = 12 * 3'600'000)
        : clock(wallMs)
    {
        config.bindAddress = QHostAddress::AnyIPv4;
        config.port = 7477;
        config.telnetPort = 23;
    }

    // Settings in the simulator program's own words ("--late", "AT=1500");
    // where the rig's units listen stays the rig's.
    bool configure(const QStringList& unitsimArgs)
    {
        QString error;
        const std::optional<SimConfig> c
            = loadSimConfig(QStringList { QStringLiteral("unitsim") } + unitsimArgs, &error);
        if (!c) {
            qWarning("%s", qPrintable(error));
            return false;
        }
        config = *c;
        config.bindAddress = QHostAddress::AnyIPv4;
        config.port = 7477;
        config.telnetPort = 23;
        return true;
    }

    // Where the two units are; each has its own address on the units' side
    // of the LAN, in the PC's network.
    QString firstAddress = simunits::firstAddress;
    QString secondAddress = simunits::secondAddress;
    // Addresses the units may be given during a test, held on their side of
    // the LAN from the start, as a unit takes up a new address at once.
    QStringList laterAddresses;

    // The first unit's serial number.
    QString firstSerial = simunits::serial;

    static std::vector<SimUnit> units(const QString& first = simunits::firstAddress,
        const QString& second = simunits::secondAddress, const QString& firstUnitSerial = simunits::serial)
    {
        std::vector<SimUnit> out;
        out.emplace_back(firstUnitSerial, simunits::unitMac, first, QStringLiteral("1"), QStringLiteral("CV100"),
            QStringLiteral("Calvantor CV100-E3G"));
        out.emplace_back(simunits::otherSerial, simunits::otherMac, second, QStringLiteral("1"),
            QStringLiteral("CV100"), QStringLiteral("Calvantor CV100-E3G"));
        return out;
    }

    // The discovery object as start-up makes it, once the adaptor page has
    // chosen the LAN: port 7477 on every address, out of the PC's link.
    static VerevoSocketOptions startupSocket(qint32 pcInterfaceIndex)
    {
        VerevoSocketOptions o;
        o.outgoingInterface = [pcInterfaceIndex] { return pcInterfaceIndex; };
        return o;
    }

    void start()
    {
        const QString length = pcCidr.mid(pcCidr.indexOf(u'/'));
        QStringList unitSide { firstAddress + length, secondAddress + length };
        for (const QString& a : std::as_const(laterAddresses))
            unitSide << a + length;
        QVERIFY2(lan.up(pcCidr, unitSide), qPrintable(lan.lastError()));
        broadcast = lan.pcBroadcast();
        language = std::make_unique<UnitCommandLanguage>(clock, config);
        transport
            = std::make_unique<SimTransport>(clock, config, units(firstAddress, secondAddress, firstSerial), *language);
        QString error;
        bool listening = false;
        QVERIFY(lan.inUnits([&] { listening = transport->listen(&error); }));
        QVERIFY2(listening, qPrintable(error));
        if (config.telnet) {
            telnet
                = std::make_unique<SimTelnetServer>(config, units(firstAddress, secondAddress, firstSerial), *language);
            QVERIFY(lan.inUnits([&] { listening = telnet->listen(&error); }));
            QVERIFY2(listening, qPrintable(error));
        }
        verevo = std::make_unique<clsVerevo>(
            clock, prompts, broadcast, nullptr, [] {}, startupSocket(lan.pcInterfaceIndex()));
        verevo->SetMac(simunits::pcMac);
        q = querierFor(simunits::unitMac);
    }

    // A terminal session on port 23, as start-up makes it; nothing listens
    // there when the simulator has no telnet server.
    std::unique_ptr<clsTrm> terminal(QSettings* remoteManagement = nullptr)
    {
        TrmOptions o;
        o.port = 23;
        o.remoteManagement = remoteManagement;
        o.backoffDraw = [] { return 1; };
        return std::make_unique<clsTrm>(clock, prompts, o);
    }

    std::unique_ptr<clsUnitQuerier> querierFor(const QByteArray& mac)
    {
        return std::make_unique<clsUnitQuerier>(
            clock, prefixes, rebootTime, cancel,
            [this](const QString& s, const QString& text) {
                logSerials << s;
                log << text;
            },
            [mac] { return mac; }, terminal(), TelnetCheckServices { &prompts, &hostPrompt, &testHost });
    }

    QStringList lines() const
    {
        QStringList out;
        for (const QByteArray& l : language->receivedLines())
            out << QString::fromLatin1(l);
        return out;
    }
    SimUnitState& unit() { return language->state(SimUnit(firstSerial, simunits::unitMac, {}, {}, {}, {})); }
};
