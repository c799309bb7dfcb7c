#pragma once

#include <QtGlobal>

class QDBusMessage;

// The adapter code for an error reply of a system service on D-Bus, so that
// every backend tells a refusal alike: whether the service itself (its
// polkit rules) or the bus's own policy refused the caller, the code is 91.
namespace DbusCodes {

// True for a refusal of the caller: the bus's AccessDenied, a service's
// PermissionDenied or NotAllowed, an authorization it would have to ask for.
bool isRefusal(const QDBusMessage& reply);

// 91 for a refusal, 64 for a call the service does not support, else 65.
qint32 codeFor(const QDBusMessage& reply);

} // namespace DbusCodes
