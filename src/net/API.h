#pragma once

#include <QString>

class QWindow;

namespace API {

// The NUL-terminated 8-bit text at p in the locale's encoding; "" for null.
QString StrFromAnsiPtr(const char* p);

// Asks the window manager to keep window above ordinary windows (X11's
// _NET_WM_STATE_ABOVE through Qt's stay-on-top flag), or to stop doing so.
// The window keeps its place and size. False when there is no window.
bool SetTopMost(QWindow* window);
bool ClearTopMost(QWindow* window);

} // namespace API
