#pragma once

#include "RecordingPrompts.h"
#include "discovery/clsVerevo.h"

namespace standin {
// What the discovery object is made with, before it is made.
struct Parts {
    RecordingPrompts prompts;
    QString broadcast = QStringLiteral("255.255.255.255");
};
} // namespace standin

// The discovery object with its scan side played in the test's own process:
// a stand-in overrides SetMac and SendQuery, and raises the units' identity
// answers itself (at once, or from the clock so that they arrive inside the
// event loop as datagrams do). Its command side is the real object's, bound
// to nothing until a command is sent; the tests that use one send none.
class StandInDiscovery : private standin::Parts, public clsVerevo {
public:
    explicit StandInDiscovery(Clock& clock)
        : clsVerevo(clock, standin::Parts::prompts, standin::Parts::broadcast, {}, {})
    { }

    void raiseIdentity(const QByteArray& mac, const QString& SN, const QString& IPadd, const QString& UnitId,
        const QString& ProductId, const QString& ModelId)
    {
        emit RuraIDResponse(mac, SN, IPadd, UnitId, ProductId, ModelId);
    }
};
