#pragma once

#include "DaemonLab.h"

#include <QString>
#include <QStringList>

// A real systemd-networkd for one test, out of the machine's way: it runs in a
// network namespace of the lab's, in a mount namespace of its own with its
// state directory (/run/systemd/netif, which the test reads where the program
// would) and its .network files (DHCP on the named links) in the lab's
// temporary directory and a read-only /sys (so that it takes links as
// initialised without udev), on a system bus of its own. The daemon and its
// bus end with this object, or with the test process if that dies first.
class NetworkdLab : public DaemonLab {
public:
    NetworkdLab();

    // Empty when the daemon can run here, else why not.
    static QString unavailableReason();

    // Starts the bus and the daemon in ns, DHCP on each of links, and waits
    // until it holds a lease on every one; false (see error()) on failure.
    bool start(const QString& ns, const QStringList& links);

    QString stateDir() const;
};
