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
// connection and an IPv4 configuration that follows it the way the real one
// does (manual settings verbatim; "auto" hands out 198.51.100.150/24 with
// gateway and DNS 198.51.100.1). It refuses a Reapply that still carries the
// deprecated "addresses" or "routes" keys, or a stale version. It serves from a
// thread of its own so that the code under test may block on its calls.
class FakeNetworkManager final : public QDBusVirtualObject {
    Q_OBJECT
public:
    using Settings = QMap<QString, QVariantMap>;

    struct Device {
        QString interface;
        QString hwAddress;
        bool managed = true;
        uint state = 100;
        Settings applied;
        qulonglong version = 1;
        QList<QVariantMap> addressData;
        QString gateway;
        QStringList nameservers;
        // When set, Reapply fails with this D-Bus error name.
        QString reapplyError;
    };

    explicit FakeNetworkManager(QList<Device> devices);
    ~FakeNetworkManager() override;

    // Registers the service on the bus at address; false (see error()) on failure.
    bool start(const QString& address);
    QString error() const { return m_error; }

    Device device(int i) const;
    void setReapplyError(int i, const QString& name);
    // "Method(interface)" per call that changes or reads the applied connection.
    QStringList calls() const;

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    QDBusMessage reapply(int index, const QDBusMessage& message);
    static void follow(Device& d);

    mutable QMutex m_mutex;
    QList<Device> m_devices;
    QStringList m_calls;
    QThread m_thread;
    QString m_connectionName;
    QString m_error;
};
