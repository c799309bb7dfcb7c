#pragma once

#include <QString>
#include <QStringList>

class Clock;

// The program's own DHCP client, Debian's dhclient, one per interface: its
// pid, lease and DHCP-mode files under a run directory, and runs of the
// client that block in the event loop until it exits or a deadline from the
// clock passes. The DHCP-mode mark says that the program keeps the interface
// in DHCP mode, whether the client runs just now or not (after a release).
class OwnDhclient {
public:
    // The time-out of a run that waits for no lease (-nw, -r, -x): such a
    // client returns at once unless something keeps it hanging.
    static constexpr int callMs = 30'000;

    OwnDhclient(Clock& clock, QString runDir, QString program);

    bool dhcpMode(const QString& ifname) const;
    void setDhcpMode(const QString& ifname, bool on) const;
    // The pid the running client wrote, or 0.
    qint64 pid(const QString& ifname) const;
    // True once the client has written a lease for the interface.
    bool holdsLease(const QString& ifname) const;
    // False when the run directory cannot be made (no right to).
    bool prepare() const;

    // Runs the client for ifname with extra options until it exits or
    // timeoutMs pass; its exit code, or -1 (it could not run, or was killed
    // at the deadline).
    int run(const QString& ifname, const QStringList& options, int timeoutMs) const;
    // Ends the running client without a release; the mark stays.
    void stop(const QString& ifname) const;

private:
    QString file(const QString& ifname, const char* suffix) const;

    Clock& m_clock;
    QString m_runDir;
    QString m_program;
};
