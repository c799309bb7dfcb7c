#pragma once

#include "CommandInterpreter.h"
#include "SimConfig.h"
#include "SimModem.h"
#include "SimUnitState.h"
#include "net/Clock.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QPair>

#include <functional>
#include <optional>

// The command language of a unit: the lines the wizard sends over the
// discovery channel, each changing the unit's state and answered the way the
// unit's firmware does ("OK", "ERROR", "Power Up Profile:", "IP Address: "...).
// Times (restart, PPP link) run on the clock given, so a test can use a
// simulated one.
class UnitCommandLanguage : public CommandInterpreter {
public:
    UnitCommandLanguage(Clock& clock, const SimConfig& config);

    QByteArray execute(SimUnit& unit, const QByteArray& commandLine) override;
    SimReply respond(SimUnit& unit, const QByteArray& commandLine) override;

    // Every line received, in order, with the serial number it was sent to.
    const QList<QPair<QString, QByteArray>>& received() const { return m_received; }
    QByteArrayList receivedLines() const;
    void clearReceived() { m_received.clear(); }

    // The unit's state, created on first use.
    SimUnitState& state(const SimUnit& unit);
    // The unit is silent after a "reboot" and has not come back yet.
    bool restarting(const SimUnit& unit);
    // The unit's cellular link is connected and carries traffic.
    bool linkUp(const SimUnit& unit);
    Clock& clock() const { return m_clock; }

    // Told of every command line the unit carried out, after its answer was made.
    using Observer = std::function<void(const SimUnit&, const SimUnitState&, const QString& line)>;
    void setObserver(Observer observer) { m_observer = std::move(observer); }

private:
    QByteArray run(const QString& serial, SimUnitState& s, const QString& line);
    QByteArray pppStatus(const SimUnitState& s, const QString& instance) const;
    QByteArray userCommand(SimUnitState& s, const QString& line);
    // The flash file system, the clock and the modem (UnitMaintenanceCommands.cpp);
    // nothing when the line is none of theirs.
    std::optional<QByteArray> maintenance(SimUnitState& s, const QString& line);
    void fillFlash(SimUnitState& s) const;
    void powerUp(const QString& serial, SimUnitState& s);
    static bool startsWith(const QString& line, const QString& prefix);

    Clock& m_clock;
    const SimConfig& m_config;
    SimModem m_modem;
    QHash<QString, SimUnitState> m_states;
    QList<QPair<QString, QByteArray>> m_received;
    QFile m_log;
    Observer m_observer;
};
