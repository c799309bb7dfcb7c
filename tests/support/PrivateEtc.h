#pragma once

#include <QString>
#include <QTemporaryDir>

// A throw-away layer over /etc for this process's own mount namespace (the
// one NetLab::enter made): what the test, the program under test and the
// programs they start write there (a DHCP client's script rewriting
// resolv.conf, say) never reaches the machine's files. /etc stays layered
// until the namespace dies, so a client that outlives the test still writes
// into the layer.
class PrivateEtc {
public:
    PrivateEtc() = default;
    ~PrivateEtc();
    PrivateEtc(const PrivateEtc&) = delete;
    PrivateEtc& operator=(const PrivateEtc&) = delete;

    // Lays the layer over /etc, with /etc/resolv.conf a plain file of the
    // layer that holds resolvConf; false (see lastError()) on failure.
    bool start(const QByteArray& resolvConf);
    QString lastError() const { return m_lastError; }

private:
    QTemporaryDir m_dir;
    QString m_layer;
    QString m_lastError;
};
