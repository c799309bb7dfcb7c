#pragma once

#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// Test hosts in network namespaces of their own, joined by veth pairs. Every
// namespace name carries the test's process id, so parallel tests never meet,
// and the destructor removes what the lab made. Needs root (CAP_SYS_ADMIN and
// CAP_NET_ADMIN); tests QSKIP with unavailableReason() elsewhere.
class NetLab {
public:
    NetLab();
    ~NetLab();
    NetLab(const NetLab&) = delete;
    NetLab& operator=(const NetLab&) = delete;

    // Empty when namespaces can be made here, else why not.
    static QString unavailableReason();

    // Makes a namespace with loopback up; returns its name.
    QString addHost(const QString& role);
    // A veth pair: ifA in nsA with address cidrA (may be empty), ifB likewise;
    // macA / macB set the link addresses when not empty. Both ends come up.
    bool link(const QString& nsA, const QString& ifA, const QString& cidrA, const QString& nsB, const QString& ifB,
        const QString& cidrB, const QString& macA = QString(), const QString& macB = QString());

    // A PC cabled straight to the units: namespaces "pc" and "units" joined
    // by one veth, eth0 at each end. Empty names when it can't be made.
    struct Cable {
        QString pc;
        QString units;
    };
    Cable cable(const QString& pcCidr, const QString& unitsCidr, const QString& pcMac = QString());

    // Runs argv inside ns and waits (30 s at most); true on exit code 0.
    bool run(const QString& ns, const QStringList& argv, QString* output = nullptr);
    // Runs a shell command line inside ns and waits; true on exit code 0.
    bool sh(const QString& ns, const QString& command, QString* output = nullptr);
    // Starts argv inside ns in the background; the lab kills it at the end.
    QProcess* start(const QString& ns, const QStringList& argv);

    // Moves this process's calling thread into ns, with a private mount
    // namespace in which /sys shows that namespace's interfaces. One way only.
    bool enter(const QString& ns);
    // Runs fn with the calling thread's network namespace switched to ns and
    // back: sockets that fn opens live in ns for good.
    bool inside(const QString& ns, const std::function<void()>& fn);

    QString lastError() const { return m_lastError; }

private:
    QStringList m_namespaces;
    QList<QProcess*> m_processes;
    QString m_lastError;
    int m_counter = 0;
};
