#include "net/NetworkdLink.h"

#include "net/AdapterConfigBackend.h"
#include "net/DbusCodes.h"

#include <QDBusMessage>
#include <QFileInfo>

namespace {
constexpr int callTimeoutMs = 25'000;
} // namespace

NetworkdLink::NetworkdLink(QDBusConnection bus, QString stateRoot)
    : m_bus(std::move(bus))
    , m_root(std::move(stateRoot))
{ }

qint32 NetworkdLink::renew(int ifindex) const
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.network1"),
        QStringLiteral("/org/freedesktop/network1"), QStringLiteral("org.freedesktop.network1.Manager"),
        QStringLiteral("RenewLink"));
    call << ifindex;
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, callTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return AdapterConfigBackend::Done;
    if (reply.type() == QDBusMessage::ErrorMessage)
        return DbusCodes::codeFor(reply);
    return AdapterConfigBackend::UnknownFailure;
}

QDateTime NetworkdLink::leaseWritten(int ifindex) const
{
    const QFileInfo lease(m_root + QStringLiteral("/leases/") + QString::number(ifindex));
    return lease.exists() ? lease.lastModified() : QDateTime();
}
