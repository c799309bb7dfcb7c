#pragma once

#include <QDBusConnection>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <initializer_list>

// What the labs of real network daemons share: a temporary directory that
// holds the daemon's files, a system bus of the lab's own, and the daemon
// run by a script of the lab's in a network namespace and a mount namespace
// of its own. The daemon and its bus end with this object, or with the test
// process if that dies first.
class DaemonLab {
public:
    DaemonLab(const DaemonLab&) = delete;
    DaemonLab& operator=(const DaemonLab&) = delete;

    QString busAddress() const { return m_busAddress; }
    // A connection of the test's own to the lab's bus.
    QDBusConnection bus() const;
    bool running() const { return m_daemon.state() == QProcess::Running; }
    qint64 pid() const { return m_daemon.processId(); }
    QString error() const { return m_error; }
    // The daemon's log so far, for failure messages.
    QString log() const;

protected:
    explicit DaemonLab(const QString& connectionName);
    ~DaemonLab();

    static constexpr QFile::Permissions readable
        = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    static bool writeFile(const QString& path, const QByteArray& text, QFile::Permissions perms = readable);
    // A process that must not outlive the test, even when the test crashes.
    static void dieWithParent(QProcess& p);
    static void stop(QProcess& p);

    QString root() const { return m_dir.path(); }
    // Makes the lab's directory and the given folders in it, and "bus".
    bool makeDirs(std::initializer_list<const char*> folders);
    // Starts the lab's system bus, open to everyone but for what extraPolicy
    // (<policy> elements) refuses.
    bool startBus(const QByteArray& extraPolicy = QByteArray());
    // Runs script with sh in ns, in a mount namespace of its own, with the
    // lab's directory as $1 and the lab's bus as the system bus; its output
    // goes to the log. The test's connection to the bus is made here too.
    bool startDaemon(const QString& ns, const QByteArray& script, const QString& daemonName);
    bool fail(const QString& why);

    QProcess m_daemon;

private:
    QTemporaryDir m_dir;
    QProcess m_bus;
    QString m_busAddress;
    QString m_connectionName;
    QString m_error;
};
