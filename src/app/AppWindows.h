#pragma once

#include "app/frmMain.h"
#include "session/TrmOptions.h"

#include <QString>

// The windows the main window opens from its Tools and Help menus and its
// Telnet item: the interface choice, the advanced options, the About box
// and the terminal. Start-up calls fill() on the main window's services
// before it makes the window; the hooks take everything else they need from
// those services (clock, interfaces, settings, store, prompts).
namespace AppWindows {

struct Extras {
    // The terminal's telnet port and the remote-management tool's store
    // (its connect retry count); the owner keeps the store alive.
    TrmOptions terminal;
    // Where the kernel lists the network interfaces, for their descriptions.
    QString sysClassNet = QStringLiteral("/sys/class/net");
};

void fill(frmMain::Services& services, Extras extras = {});

} // namespace AppWindows
