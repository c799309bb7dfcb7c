#pragma once

#include "app/clsCfgOptions.h"

#include <QString>

// Program-wide values that are not settings and live for the whole run. The
// application owns one; the discovery object borrows BroadcastAddress and
// recomputes it once the person has chosen an interface.
struct ProgramState {
    QString BroadcastAddress;
    // Set by the progress window's Cancel and the main window's stop; polled
    // by the long waits and the pipeline's steps.
    bool CancelRequested = false;
    // The steps of a Configure Units run; what one run's dialog confirmed is
    // offered to the next. Never written to the settings.
    clsCfgOptions CfgOptions;
};
