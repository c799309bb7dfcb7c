#pragma once

// The Configure Units pipeline over two simulated units in this process, on a
// simulated clock: the units are on the far side of the rig's bare LAN (see
// QuerierRig), each at an address of its own, so the telnet checks reach
// each at its own address. The person's choices (the
// options dialog, the host prompts, the boxes) are scripted; the progress
// window is the real one and can be clicked.

#include "FakeAdapterConfigBackend.h"
#include "ProgressWatch.h"
#include "QuerierRig.h"
#include "RecordingScanView.h"
#include "app/AppSettings.h"
#include "app/ModQarConfigureUnits.h"
#include "app/ModQarFindFreeAddress.h"
#include "app/ProgramState.h"
#include "app/frmProgress.h"
#include "unit/CQarUnitInfo.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <arpa/inet.h>

namespace pipeline {
inline const QByteArray pcMac = QByteArray::fromHex("02005e0000a1");
inline const QByteArray otherPcMac = QByteArray::fromHex("02005e0000b2");

inline quint32 hostOrder(const QString& dotted)
{
    return ntohl(::inet_addr(dotted.toLatin1().constData()));
}

// Every switch as the record holds it, in the dialog's order.
struct Switches {
    bool ConfirmIP = true, SaveConfig = true, Reboot = true, WaitForPPP = true, TestPPP = true, SetGateway = true,
         TestPCConnectivity = true, CfgGPRS = true, DisplaySummary = true;

    void applyTo(clsCfgOptions& o) const
    {
        o.setConfirmIP(ConfirmIP);
        o.setSaveConfig(SaveConfig);
        o.setReboot(Reboot);
        o.setWaitForPPP(WaitForPPP);
        o.setTestPPP(TestPPP);
        o.setSetGateway(SetGateway);
        o.setTestPCConnectivity(TestPCConnectivity);
        o.setCfgGPRS(CfgGPRS);
        o.setDisplaySummary(DisplaySummary);
    }
    static Switches none() { return { false, false, false, false, false, false, false, false, false }; }
};

// The twelve codes of a summary in the record's order, for one comparison.
inline QList<qint32> codes(const clsSummary& s)
{
    return { s.Liveliness(), s.IPAssignment(), s.NewIP(), s.IPCheck(), s.GPRS(), s.SaveCfg(), s.Reboot(),
        s.WaitForPPP(), s.ConnectivityTest(), s.SetGateway(), s.SetNameServer(), s.PCConnectivityTest() };
}
} // namespace pipeline

struct PipelineRig {
    QuerierRig sim;
    AppSettings settings;
    ProgramState state;
    UsableInterfaces interfaces;
    FakeAdapterConfigBackend adapters;
    QStringList log;
    QStringList logSerials;
    // Hosts and addresses that answer an echo from the PC.
    QSet<QString> answering;
    QStringList pinged;
    // What each echo to a host name carried, and how long it was waited for.
    struct Echo {
        QString host, payload;
        qint32 timeoutMs;
    };
    QList<Echo> hostEchoes;
    // The options dialog: OK with these switches, or Cancel.
    bool optionsOk = true;
    pipeline::Switches switches;
    int optionDialogs = 0;
    QStringList summariesShown;
    QList<QList<qint32>> summaryCodes;
    QList<bool> stopStates;
    std::function<void(const QString&)> onLog;
    std::shared_ptr<CQarUnitInfos> units;
    std::unique_ptr<ModQar::ConfigureUnitsPipeline> run;
    // The program's own windows in place of the scripted answers: the
    // options dialog, the results window, and these boxes and host prompt.
    bool realWindows = false;
    UserPrompts* realPrompts = nullptr;
    HostPrompt* realHostPrompt = nullptr;

    PipelineRig()
    {
        sim.pcCidr = QStringLiteral("10.0.0.9/8");
        sim.firstAddress = QStringLiteral("10.0.0.1");
        sim.secondAddress = QStringLiteral("10.0.0.2");
        // Where the address step may move the first unit besides.
        sim.laterAddresses = { QStringLiteral("10.0.0.3") };
        sim.config.bindAddress = QHostAddress::AnyIPv4;
        // The saved configuration has the link on; it connects at once after
        // a power-up, and a restart takes 3 s.
        sim.config.pppOn = true;
        sim.config.pppIdleMs = 0;
        sim.config.pppActivatingMs = 0;
        sim.config.rebootDownMs = 3000;
        settings.TestHost = QStringLiteral("host.example");
        settings.PingTimeout = 100;
        // The PC has two interfaces, the second one chosen: on it the PC is
        // 10.0.0.9/8 and both units lie in its network; the first (eth1,
        // 172.16.0.1/16) leads elsewhere.
        auto other = std::make_shared<CAdapter>();
        other->setIPAddress(QStringLiteral("172.16.0.1"));
        other->setMask(QStringLiteral("255.255.0.0"));
        auto adapter = std::make_shared<CAdapter>();
        adapter->setIPAddress(QStringLiteral("10.0.0.9"));
        adapter->setMask(QStringLiteral("255.0.0.0"));
        interfaces.InterfaceList << InterfaceEntry { pipeline::otherPcMac, other }
                                 << InterfaceEntry { pipeline::pcMac, adapter };
        interfaces.LanAdapterCount = 2;
        interfaces.SelectedInterface = 1;
        adapters.entries << FakeAdapterConfigBackend::Entry { { QStringLiteral("eth0"),
                                                                  QStringLiteral("02:00:5E:00:00:A1") },
            QStringList { QStringLiteral("198.51.100.1") }, QStringList { QStringLiteral("255.255.255.0") },
            QStringList {}, QStringList {}, false };
        adapters.entries << FakeAdapterConfigBackend::Entry {
            { QStringLiteral("eth1"), QStringLiteral("02:00:5E:00:00:B2") }, QStringList { QStringLiteral("172.16.0.1") },
            QStringList { QStringLiteral("255.255.0.0") }, QStringList {}, QStringList {}, false
        };
    }

    // The adapter of the selected interface.
    CAdapter& pcAdapter() { return *interfaces.selected()->Adapter; }

    // Starts the units and makes the records of the given serials, in order.
    void start(const QStringList& serials = { simunits::serial })
    {
        sim.start();
        units = std::make_shared<CQarUnitInfos>();
        for (const QString& serial : serials) {
            const bool first = serial == simunits::serial;
            auto unit = std::make_shared<CQarUnitInfo>([this](CQarUnitInfo& record) {
                return std::make_unique<clsUnitQuerier>(
                    sim.clock, sim.prefixes, settings.RebootTime, state.CancelRequested,
                    [this](const QString& s, const QString& text) { note(s, text); },
                    [&record] { return record.Mac(); }, sim.terminal(),
                    TelnetCheckServices { &sim.prompts, &sim.hostPrompt, &settings.TestHost });
            });
            unit->setSerial(serial);
            unit->setMac(first ? simunits::unitMac : simunits::otherMac);
            unit->setIp(first ? sim.firstAddress : sim.secondAddress);
            unit->setModel(QStringLiteral("KR5004"));
            unit->setLi(std::make_shared<RecordedRow>(serial));
            (void)units->Add(unit, serial);
        }
        ModQar::ConfigureUnitsServices services {
            .settings = settings,
            .CfgOptions = state.CfgOptions,
            .CancelRequested = state.CancelRequested,
            .interfaces = interfaces,
            .adapters = &adapters,
            .prompts = realWindows ? *realPrompts : sim.prompts,
            .hostPrompt = realWindows ? realHostPrompt : &sim.hostPrompt,
            .log = [this](const QString& s, const QString& text) { note(s, text); },
            .pingHost =
                [this](const QString& host, const QString& payload, qint32 timeoutMs) {
                    pinged << host;
                    hostEchoes << Echo { host, payload, timeoutMs };
                    return answering.contains(host);
                },
        };
        if (realWindows) {
            services.owner = [] { return QApplication::activeWindow(); };
        } else {
            services.findFreeAddress = [this](const QString& address, const QString& mask, qint32 lastRejected) {
                return ModQar::FindFreeAddress(
                    address, mask, lastRejected, state.CancelRequested, [this](quint32 candidate) {
                        const QString dotted = QHostAddress(candidate).toString();
                        pinged << dotted;
                        return answering.contains(dotted);
                    });
            };
            services.getCfgOptions = [this](const QString&, clsCfgOptions& options) {
                ++optionDialogs;
                if (optionsOk)
                    switches.applyTo(options);
                return optionsOk;
            };
            services.showUnitSummary = [this](const std::shared_ptr<CQarUnitInfo>& unit) {
                summariesShown << unit->Serial();
                summaryCodes << pipeline::codes(unit->Summary());
            };
            services.setStopEnabled = [this](bool on) { stopStates << on; };
        }
        run = std::make_unique<ModQar::ConfigureUnitsPipeline>(std::move(services));
    }

    std::shared_ptr<CQarUnitInfo> unit(const QString& serial = simunits::serial) { return units->Item(serial); }

    void configure(const QString& serial = simunits::serial) { run->ConfigureUnits(serial, units, sim.verevo.get()); }

    // The boxes titled for a unit's failed step.
    QStringList stepBoxes() const
    {
        QStringList out;
        for (const RecordingPrompts::Box& b : sim.prompts.boxes) {
            if (b.title.startsWith(QLatin1String("Serial: ")))
                out << b.title + QStringLiteral(" | ") + b.text;
        }
        return out;
    }

    QStringList linesTo(const QString& serial) const
    {
        QStringList out;
        for (const auto& [s, line] : sim.language->received()) {
            if (s == serial)
                out << QString::fromLatin1(line);
        }
        return out;
    }

private:
    void note(const QString& serial, const QString& text)
    {
        logSerials << serial;
        log << text;
        if (onLog)
            onLog(text);
    }
};
