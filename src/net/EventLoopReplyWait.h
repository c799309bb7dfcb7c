#pragma once

#include "net/IcmpEcho.h"

class Clock;

namespace IcmpEcho {

// Waits for an echo reply in the event loop of the calling thread, on clock:
// the windows keep repainting and taking clicks meanwhile, so a walk of many
// pings can be watched and cancelled.
ReplyWait eventLoopWait(Clock& clock);

} // namespace IcmpEcho
