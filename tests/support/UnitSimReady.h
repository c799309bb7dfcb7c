#pragma once

#include <QList>
#include <QProcess>

// Waits for the simulator's "unitsim: ready <address> <port> <count>" line and
// returns the discovery port it listens on; 0 when it never says so.
inline quint16 unitsimReadyPort(QProcess& sim, int timeoutMs = 20000)
{
    while (sim.canReadLine() || sim.waitForReadyRead(timeoutMs)) {
        while (sim.canReadLine()) {
            const QList<QByteArray> words = sim.readLine().trimmed().split(' ');
            if (words.size() == 5 && words[0] == "unitsim:" && words[1] == "ready")
                return words[3].toUShort();
        }
    }
    return 0;
}
