#pragma once

#include "net/AdapterConfigBackend.h"

#include <QMap>

// An in-memory configuration service: a list of configurations with their
// properties, a log of every method called, and codes to answer with.
class FakeAdapterConfigBackend final : public AdapterConfigBackend {
public:
    struct Entry {
        Configuration config;
        std::optional<QStringList> ipAddress, ipSubnet, gateways, dns;
        std::optional<bool> dhcp;
    };

    QList<Entry> entries;
    bool serviceDown = false;
    bool readsFail = false;
    // Code each method answers with, by method name; 0 when not set. A
    // missing value (nullopt) makes the method fail as a service error.
    QMap<QString, std::optional<qint32>> codes;
    // "method(id: args)" per call, in order.
    QStringList calls;

    std::optional<QList<Configuration>> ipEnabledConfigurations() override
    {
        if (serviceDown)
            return std::nullopt;
        QList<Configuration> out;
        for (const Entry& e : entries)
            out << e.config;
        return out;
    }
    ListRead readList(const Configuration& c, ListProperty property) override
    {
        if (readsFail)
            return {};
        const Entry& e = find(c);
        switch (property) {
        case ListProperty::IPAddress:
            return { true, e.ipAddress };
        case ListProperty::IPSubnet:
            return { true, e.ipSubnet };
        case ListProperty::DefaultIPGateway:
            return { true, e.gateways };
        case ListProperty::DNSServerSearchOrder:
            return { true, e.dns };
        }
        return {};
    }
    FlagRead dhcpEnabled(const Configuration& c) override
    {
        if (readsFail)
            return {};
        return { true, find(c).dhcp };
    }
    std::optional<qint32> enableStatic(const Configuration& c, const QStringList& a, const QStringList& m) override
    {
        return record(
            QStringLiteral("EnableStatic"), c, a.join(QLatin1Char(',')) + QLatin1Char('/') + m.join(QLatin1Char(',')));
    }
    std::optional<qint32> setGateways(
        const Configuration& c, const QStringList& g, const QList<quint16>& metrics) override
    {
        QStringList ms;
        for (quint16 m : metrics)
            ms << QString::number(m);
        return record(
            QStringLiteral("SetGateways"), c, g.join(QLatin1Char(',')) + QLatin1Char('/') + ms.join(QLatin1Char(',')));
    }
    std::optional<qint32> setDnsServerSearchOrder(const Configuration& c, const QStringList& s) override
    {
        return record(QStringLiteral("SetDNSServerSearchOrder"), c, s.join(QLatin1Char(',')));
    }
    std::optional<qint32> enableDhcp(const Configuration& c) override
    {
        return record(QStringLiteral("EnableDHCP"), c, QString());
    }
    std::optional<qint32> releaseDhcpLease(const Configuration& c) override
    {
        return record(QStringLiteral("ReleaseDHCPLease"), c, QString());
    }
    std::optional<qint32> renewDhcpLease(const Configuration& c) override
    {
        return record(QStringLiteral("RenewDHCPLease"), c, QString());
    }
    std::optional<qint32> setWinsServer(const Configuration& c, const QString& p, const QString& s) override
    {
        return record(QStringLiteral("SetWINSServer"), c, QStringLiteral("'%1','%2'").arg(p, s));
    }

private:
    const Entry& find(const Configuration& c) const
    {
        for (const Entry& e : entries) {
            if (e.config.id == c.id)
                return e;
        }
        static const Entry none;
        return none;
    }
    std::optional<qint32> record(const QString& method, const Configuration& c, const QString& args)
    {
        calls << QStringLiteral("%1(%2: %3)").arg(method, c.id, args);
        return codes.value(method, 0);
    }
};
