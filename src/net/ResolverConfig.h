#pragma once

#include <QDBusConnection>
#include <QString>
#include <QStringList>

#include <optional>

// The system's DNS servers as the kernel backend sets them: per link through
// systemd-resolved when it runs on the system bus, else the nameserver lines of
// a resolv.conf file (one list for the whole PC; the path is injectable so that
// tests never touch the machine's own file).
class ResolverConfig {
public:
    // bus is where systemd-resolved is looked for; useResolved false keeps to the file.
    explicit ResolverConfig(QString resolvConfPath = QStringLiteral("/etc/resolv.conf"), bool useResolved = true,
        QDBusConnection bus = QDBusConnection::systemBus());

    // nullopt when the servers cannot be read.
    std::optional<QStringList> servers(int ifindex) const;
    // 0 done, else a failure code; an empty list clears the servers.
    qint32 setServers(int ifindex, const QStringList& servers) const;

private:
    bool resolvedRunning() const;
    std::optional<QStringList> fileServers() const;
    qint32 setFileServers(const QStringList& servers) const;

    QString m_path;
    bool m_useResolved;
    QDBusConnection m_bus;
};
