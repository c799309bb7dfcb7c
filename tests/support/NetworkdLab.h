#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A real systemd-networkd for one test, out of the machine's way: it runs in a
// network namespace of the lab's, in a mount namespace of its own with its
// state directory (/run/systemd/netif, which the test reads where the program
// would) and its .network files (DHCP on the named links) in the lab's
// temporary directory and a read-only /sys (so that it takes links as
// initialised without udev), on a system bus of its own. The daemon and its
// bus end with this object, or with the test process if that dies first.
class NetworkdLab {
public:
    NetworkdLab();
    ~NetworkdLab();
    NetworkdLab(const NetworkdLab&) = delete;
    NetworkdLab& operator=(const NetworkdLab&) = delete;

    // Empty when the daemon can run here, else why not.
    static QString unavailableReason();

    // Starts the bus and the daemon in ns, DHCP on each of links, and waits
    // until it holds a lease on every one; false (see error()) on failure.
    bool start(const QString& ns, const QStringList& links);

    QString stateDir() const;
    // A connection of the test's own to the lab's bus.
    QDBusConnection bus() const;
    bool running() const { return m_daemon.state() == QProcess::Running; }
    qint64 pid() const { return m_daemon.processId(); }
    QString error() const { return m_error; }
    // The daemon's log so far, for failure messages.
    QString log() const;

private:
    bool fail(const QString& why);

    QTemporaryDir m_dir;
    QProcess m_bus;
    QProcess m_daemon;
    QString m_busAddress;
    QString m_connectionName;
    QString m_error;
};
