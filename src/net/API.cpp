#include "net/API.h"

#include <QWindow>

namespace API {

QString StrFromAnsiPtr(const char* p)
{
    if (!p)
        return QString();
    return QString::fromLocal8Bit(p);
}

namespace {
// QWindow (unlike QWidget::setWindowFlags) changes the flag on a mapped
// window in place: the platform sends the state change to the window manager
// instead of unmapping and recreating the window.
bool setStaysOnTop(QWindow* window, bool on)
{
    if (!window)
        return false;
    window->setFlag(Qt::WindowStaysOnTopHint, on);
    return true;
}
} // namespace

bool SetTopMost(QWindow* window)
{
    return setStaysOnTop(window, true);
}

bool ClearTopMost(QWindow* window)
{
    return setStaysOnTop(window, false);
}

} // namespace API
