#pragma once

#include "RecordingPrompts.h"
#include "SimTelnetServer.h"
#include "SimTransport.h"
#include "SimUnit.h"
#include "SimulatedClock.h"
#include "UnitCommandLanguage.h"
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

// Two simulated units on loopback in this process (the discovery side and
// their telnet server), a discovery object aimed at them and a command
// object for the first with its terminal session, all on a simulated clock.
struct QuerierRig {
    SimulatedClock clock;
    RecordingPrompts prompts;
    ScriptedHostPrompt hostPrompt;
    QString testHost = QStringLiteral("www.example.com");
    QString broadcast = QStringLiteral("127.0.0.1");
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
        config.bindAddress = QHostAddress::LocalHost;
        config.port = 0;
        config.telnetPort = 0;
    }

    // Where the two units say they are. A rig whose units are reached over
    // telnet each at their own address puts them on loopback addresses and
    // binds the simulator to every local address.
    QString firstAddress = QStringLiteral("198.51.100.10");
    QString secondAddress = QStringLiteral("198.51.100.11");

    // The first unit's serial number.
    QString firstSerial = simunits::serial;

    static std::vector<SimUnit> units(const QString& first = QStringLiteral("198.51.100.10"),
        const QString& second = QStringLiteral("198.51.100.11"), const QString& firstUnitSerial = simunits::serial)
    {
        std::vector<SimUnit> out;
        out.emplace_back(firstUnitSerial, simunits::unitMac, first, QStringLiteral("1"), QStringLiteral("CV100"),
            QStringLiteral("Calvantor CV100-E3G"));
        out.emplace_back(simunits::otherSerial, simunits::otherMac, second, QStringLiteral("1"),
            QStringLiteral("CV100"), QStringLiteral("Calvantor CV100-E3G"));
        return out;
    }

    void start()
    {
        language = std::make_unique<UnitCommandLanguage>(clock, config);
        transport
            = std::make_unique<SimTransport>(clock, config, units(firstAddress, secondAddress, firstSerial), *language);
        QString error;
        QVERIFY2(transport->listen(&error), qPrintable(error));
        if (config.telnet) {
            telnet
                = std::make_unique<SimTelnetServer>(config, units(firstAddress, secondAddress, firstSerial), *language);
            QVERIFY2(telnet->listen(&error), qPrintable(error));
        }
        VerevoSocketOptions o;
        o.bindAddress = QHostAddress::LocalHost;
        o.localPort = 0;
        o.remotePort = transport->localPort();
        verevo = std::make_unique<clsVerevo>(
            clock, prompts, broadcast, nullptr, [] {}, o);
        verevo->SetMac(simunits::pcMac);
        q = querierFor(simunits::unitMac);
    }

    // A terminal session on the simulator's telnet port, or on a port where
    // nothing listens when the simulator has no telnet server.
    std::unique_ptr<clsTrm> terminal(QSettings* remoteManagement = nullptr)
    {
        TrmOptions o;
        o.port = telnet ? telnet->localPort() : 1;
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
