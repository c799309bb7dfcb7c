#include "session/RemoteManagementStore.h"

SettingsFile RemoteManagementStore::open(const QString& configRoot)
{
    return SettingsFile(QStringLiteral("VelmarQuillstone"), QStringLiteral("VelmarQuillstone"), configRoot);
}
