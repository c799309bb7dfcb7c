#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A D-Bus daemon of the test's own, on a socket in a temporary directory, so
// that stand-in services never meet the machine's buses.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // The bus address, or "" when the daemon did not start (see error()).
    QString address() const { return m_address; }
    QString error() const { return m_error; }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QString m_error;
};
