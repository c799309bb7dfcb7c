#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QStringList>
#include <QThread>
#include <QVariantMap>

// A stand-in NetworkManager on a private bus: devices with an applied
// connection and an IPv4 configuration that follows it the way the daemon's
// does. Manual settings show verbatim; "auto" runs a DHCP transaction that
// binds 198.51.100.150/24 with gateway and DNS 198.51.100.1 (metric 100) after
// leaseDelayMs; "disabled" carries nothing. Like the daemon, every change of
// the ipv4 settings of a device in DHCP mode starts a new transaction, an
// unchanged Reapply starts none, and it refuses: ipv4.gateway without an
// address, the deprecated "addresses"/"routes" keys, a stale version, a
// non-int64 route-metric, and any change by a caller that is not root. It
// serves from a thread of its own so that the code under test may block on
// its calls, and signals PropertiesChanged on the device when a lease binds.
class FakeNetworkManager final : public QDBusVirtualObject {
    Q_OBJECT
public:
    using Settings = QMap<QString, QVariantMap>;

    struct Device {
        QString interface;
        QString hwAddress;
        uint deviceType = 1;
        bool managed = true;
        uint state = 100;
        Settings applied;
        qulonglong version = 1;
        // How long a DHCP transaction takes to bind; below 0 it never does.
        int leaseDelayMs = 0;
        QList<QVariantMap> addressData;
        QList<QVariantMap> routeData;
        QStringList nameservers;
        bool leased = false;
        // DHCP transactions started so far.
        int transactions = 0;
        // When set, Reapply fails with this D-Bus error name.
        QString reapplyError;
        // The devices (by position) that are this one's ports, as a bridge or
        // a bond lists them; they share its MAC.
        QList<int> ports = {};
    };

    explicit FakeNetworkManager(QList<Device> devices);
    ~FakeNetworkManager() override;

    // Registers the service on the bus at address; false (see error()) on failure.
    bool start(const QString& address);
    QString error() const { return m_error; }

    Device device(int i) const;
    void setReapplyError(int i, const QString& name);
    void setLeaseDelay(int i, int ms);
    // "Method(interface)" per call that changes or reads the applied connection.
    QStringList calls() const;

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    QDBusMessage reapply(int index, const QDBusMessage& message, const QDBusConnection& connection);
    // Makes the IPv4 configuration follow the applied settings and the lease.
    void follow(int index);
    void bind(int index, int transaction);
    QVariantMap ip4Properties(const Device& d) const;

    mutable QMutex m_mutex;
    QList<Device> m_devices;
    QStringList m_calls;
    QThread m_thread;
    QString m_connectionName;
    QString m_error;
};
