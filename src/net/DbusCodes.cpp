#include "net/DbusCodes.h"

#include "net/AdapterConfigBackend.h"

#include <QDBusMessage>

namespace DbusCodes {

bool isRefusal(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ErrorMessage)
        return false;
    const QString name = reply.errorName();
    // The bus answers a message its policy forbids with AccessDenied before
    // the service ever sees it; polkit-guarded services name their own.
    return name.endsWith(QLatin1String(".AccessDenied")) || name.endsWith(QLatin1String(".PermissionDenied"))
        || name.endsWith(QLatin1String(".NotAllowed"))
        || name == QLatin1String("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired")
        || name == QLatin1String("org.freedesktop.DBus.Error.AuthFailed");
}

qint32 codeFor(const QDBusMessage& reply)
{
    if (isRefusal(reply))
        return AdapterConfigBackend::AccessDenied;
    if (reply.errorName().endsWith(QLatin1String("NotSupported")))
        return AdapterConfigBackend::NotSupported;
    return AdapterConfigBackend::UnknownFailure;
}

} // namespace DbusCodes
