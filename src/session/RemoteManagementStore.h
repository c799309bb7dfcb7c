#pragma once

#include <QSettings>

#include <memory>

// The per-user settings of the remote-management tool, which holds the
// telnet retry count ("operationoptions/txtRetryTelnet"). On Linux it is the
// same kind of store as the program's own: an INI file under the user's
// configuration folder, ~/.config/VelmarQuillstone/VelmarQuillstone.ini.
namespace RemoteManagementStore {
std::unique_ptr<QSettings> open();
} // namespace RemoteManagementStore
