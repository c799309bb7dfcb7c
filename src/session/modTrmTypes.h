#pragma once

#include "net/Clock.h"

#include <functional>

namespace modTrmTypes {

// Waits ms milliseconds on the 32-bit tick counter, keeping window messages
// flowing (Deadline::pastTicks): the end is reached once the counter has
// moved past start + ms, also across the counter's wrap. A wait that stop()
// ends early (its object has been ended) returns as soon as it sees it.
void WaitMs(Clock& clock, qint32 ms, const std::function<bool()>& stop = {});

} // namespace modTrmTypes
