#pragma once

#include <functional>

// Ending the program from a wizard page stops it at once: no window handler
// runs afterwards and the settings are not written back. Pages take the ender
// as a constructor argument so tests can watch it instead of dying.
using ProgramEnder = std::function<void()>;

namespace ProgramEnd {
// Flushes every output stream and leaves the process with exit code 0.
[[noreturn]] void now();
} // namespace ProgramEnd
