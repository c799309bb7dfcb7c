#include "SimModem.h"

namespace {
constexpr int kPinTries = 3;
} // namespace

const QString SimModem::Ready = QStringLiteral("READY");
const QString SimModem::PinNeeded = QStringLiteral("SIM PIN");
const QString SimModem::PukNeeded = QStringLiteral("SIM PUK");
const QString SimModem::NotReady = QStringLiteral("Not Ready");

SimModem::SimModem(const SimConfig& config)
    : m_config(config)
{ }

void SimModem::powerUp(const QString& serial, SimUnitState& s) const
{
    const QString fixed = SimConfig::forUnit(m_config.simState, serial, QStringLiteral("ready"));
    if (fixed == u"pin") {
        s.sim = PinNeeded;
        return;
    }
    if (fixed == u"puk") {
        s.sim = PukNeeded;
        return;
    }
    if (fixed == u"not-ready") {
        s.sim = NotReady;
        return;
    }
    const QString wanted = SimConfig::forUnit(m_config.simPin, serial, QString());
    if (wanted.isEmpty()) {
        s.sim = Ready;
        return;
    }
    if (s.wrongPins >= kPinTries) {
        s.sim = PukNeeded;
        return;
    }
    // No PIN configured ("!" clears it): the modem tries none and the SIM waits.
    const QString given = s.value(QStringLiteral("modemcc 0 pin"));
    if (given.isEmpty() || given == u"!") {
        s.sim = PinNeeded;
        return;
    }
    if (given == wanted) {
        s.wrongPins = 0;
        s.sim = Ready;
        return;
    }
    ++s.wrongPins;
    s.sim = s.wrongPins >= kPinTries ? PukNeeded : PinNeeded;
}

std::optional<QByteArray> SimModem::answer(const QString& serial, const SimUnitState& s, const QString& line) const
{
    const bool status = line.compare(u"modemstat ?", Qt::CaseInsensitive) == 0;
    const bool settings = line.compare(u"modemcc 0 ?", Qt::CaseInsensitive) == 0;
    if (!status && !settings)
        return std::nullopt;
    if (!m_config.gprs)
        return QByteArrayLiteral("ERROR\r\n");
    QString text;
    if (settings) {
        text = QStringLiteral("modemcc 0 apn: \"") + s.value(QStringLiteral("modemcc 0 apn"))
            + QStringLiteral("\"\r\nmodemcc 0 pin: \"") + s.value(QStringLiteral("modemcc 0 pin"))
            + QStringLiteral("\"\r\n");
    } else {
        text = QStringLiteral("Modem: on\r\nSIM status: ") + s.sim + QStringLiteral("\r\n");
        // A modem without a usable SIM reads no level.
        const QString level = SimConfig::forUnit(m_config.signalDbm, serial, QStringLiteral("-67"));
        if (!level.isEmpty() && s.sim != NotReady)
            text += QStringLiteral("Signal Strength:") + level + QStringLiteral(" dBm\r\n");
    }
    return text.toLatin1() + QByteArrayLiteral("OK\r\n");
}

bool SimModem::registered(const SimUnitState& s)
{
    return s.sim == Ready;
}
