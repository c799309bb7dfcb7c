#pragma once

#include "session/SettingsFile.h"

// The per-user settings of the remote-management tool, which holds the
// telnet retry count ("operationoptions/txtRetryTelnet"). On Linux it is the
// same kind of store as the program's own: an INI file under the user's
// configuration folder, ~/.config/VelmarQuillstone/VelmarQuillstone.ini,
// opened by the same rules (SettingsFile).
namespace RemoteManagementStore {
// configRoot: as for SettingsFile; the user's configuration folder when empty.
SettingsFile open(const QString& configRoot = QString());
} // namespace RemoteManagementStore
