#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QSettings;

// The desktop's system-information program, as the About box starts it.
// The person may name one in the settings (section "Settings", key
// "SysInfoPath": a path, or a command line with arguments); without one the
// first of the programs Linux desktops ship for this is taken from PATH.
namespace SystemInfoTool {

inline constexpr const char* SettingKey = "SysInfoPath";

// Looked for on PATH, in this order, when the settings name none.
QStringList knownPrograms();

// The program and its arguments: the settings' command when there is one
// (whether or not it exists; starting it will tell), else the first known
// program found on PATH; nothing when neither gives one.
std::optional<QStringList> lookup(QSettings* store);

// Starts the command detached from this program; false when it could not
// be started.
bool start(const QStringList& command);

} // namespace SystemInfoTool
