#include "session/RemoteManagementStore.h"

std::unique_ptr<QSettings> RemoteManagementStore::open()
{
    // The format is named here: the organisation-and-application constructor
    // would ignore the program's default format and read a ".conf" file.
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("VelmarQuillstone"),
        QStringLiteral("VelmarQuillstone"));
}
