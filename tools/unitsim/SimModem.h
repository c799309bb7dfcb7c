#pragma once

#include "SimConfig.h"
#include "SimUnitState.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The cellular modem of a unit: its SIM, which may ask for a PIN at power-up
// and block after three wrong ones, the level it receives, and the two
// queries the wizard's signal poll sends ("modemcc 0 ?", "modemstat ?").
// The PPP link comes up only while the SIM lets the modem onto the network.
class SimModem {
public:
    explicit SimModem(const SimConfig& config);

    // At power-up the modem gives the SIM the PIN of the running settings.
    void powerUp(const QString& serial, SimUnitState& s) const;
    // The reply to a modem query; nothing for every other line.
    std::optional<QByteArray> answer(const QString& serial, const SimUnitState& s, const QString& line) const;
    // The modem is on the network, so a PPP link can get an address.
    static bool registered(const SimUnitState& s);

    // The SIM states as the unit prints them.
    static const QString Ready;
    static const QString PinNeeded;
    static const QString PukNeeded;
    static const QString NotReady;

private:
    const SimConfig& m_config;
};
