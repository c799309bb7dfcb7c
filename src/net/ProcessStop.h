#pragma once

#include <QtGlobal>

class Clock;

// Ends a process of another program that this one may end (a DHCP client of
// one link alone), blocking in the event loop until it has gone.
namespace ProcessStop {

// Sends signal to pid and waits up to waitMs for the process to end; one
// still there then is killed. False when pid could not be signalled.
bool stop(Clock& clock, qint64 pid, int signal, int waitMs);

} // namespace ProcessStop
