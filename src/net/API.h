#pragma once

#include <QString>

namespace API {

// The NUL-terminated 8-bit text at p in the locale's encoding; "" for null.
QString StrFromAnsiPtr(const char* p);

} // namespace API
