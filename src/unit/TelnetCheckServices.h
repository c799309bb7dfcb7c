#pragma once

#include "net/UserPrompts.h"
#include "unit/HostPrompt.h"

#include <QString>

// What the telnet checks of a unit command object need from the program:
// boxes and questions, the host prompt, and the run's test host (TestHost),
// which a host typed in the prompt replaces for every later test. The
// application owns all three and keeps them alive.
struct TelnetCheckServices {
    UserPrompts* prompts = nullptr;
    HostPrompt* hostPrompt = nullptr;
    QString* TestHost = nullptr;
};
