#include "FakeAdapterConfigBackend.h"
#include "RecordingPrompts.h"
#include "net/ModQarWmi.h"

#include <QTest>

using Entry = FakeAdapterConfigBackend::Entry;

namespace {
const QByteArray mac = QByteArray::fromHex("000a959d6816");

InterfaceEntry entryFor(const QByteArray& bytes)
{
    InterfaceEntry e;
    e.Mac = bytes;
    return e;
}

Entry config(const QString& id, const std::optional<QString>& macText)
{
    Entry e;
    e.config = { id, macText };
    e.ipAddress = QStringList { QStringLiteral("198.51.100.%1").arg(id.size()), QStringLiteral("203.0.113.9") };
    e.ipSubnet = QStringList { QStringLiteral("255.255.255.0"), QStringLiteral("255.255.0.0") };
    e.gateways = QStringList { QStringLiteral("198.51.100.1") };
    e.dns = QStringList { QStringLiteral("198.51.100.53"), QStringLiteral("198.51.100.54") };
    e.dhcp = false;
    return e;
}
} // namespace

class tst_ModQarWmi : public QObject {
    Q_OBJECT
private slots:
    void lowerCaseMacMatches()
    {
        FakeAdapterConfigBackend fake;
        fake.entries << config(QStringLiteral("other"), QStringLiteral("00:0A:95:9D:68:17"))
                     << config(QStringLiteral("lower"), QStringLiteral("00:0a:95:9d:68:16"));
        QCOMPARE(ModQar::WmiEnableDhcp(fake, entryFor(mac)), 0);
        QCOMPARE(fake.calls, QStringList { QStringLiteral("EnableDHCP(lower: )") });
    }

    // A bridge over its port, a VLAN on its link and a bond over its members
    // share one MAC: the entry's index names the link, the MAC only where an
    // index is not known on either side.
    void indexNamesTheLink_data()
    {
        QTest::addColumn<qint32>("entryIndex");
        QTest::addColumn<QList<int>>("indexes");
        QTest::addColumn<QString>("acted");
        // Only the second carries DHCP: with an index the one link tells its
        // state, without one the last with the MAC does.
        QTest::addColumn<qint32>("dhcp");
        QTest::newRow("bridge after its port") << 5 << QList<int> { 4, 5 } << QStringLiteral("second") << 1;
        QTest::newRow("plain link under its VLAN") << 4 << QList<int> { 4, 5 } << QStringLiteral("first") << 0;
        QTest::newRow("entry without an index: first with the MAC")
            << 0 << QList<int> { 4, 5 } << QStringLiteral("first") << 1;
        QTest::newRow("service without indexes: first with the MAC")
            << 5 << QList<int> { 0, 0 } << QStringLiteral("first") << 1;
        QTest::newRow("the entry's link is gone") << 9 << QList<int> { 4, 5 } << QString() << 2;
    }
    void indexNamesTheLink()
    {
        QFETCH(qint32, entryIndex);
        QFETCH(QList<int>, indexes);
        QFETCH(QString, acted);
        QFETCH(qint32, dhcp);
        FakeAdapterConfigBackend fake;
        Entry first = config(QStringLiteral("first"), QStringLiteral("00:0A:95:9D:68:16"));
        Entry second = config(QStringLiteral("second"), QStringLiteral("00:0a:95:9d:68:16"));
        first.config.ifindex = indexes[0];
        second.config.ifindex = indexes[1];
        second.dhcp = true;
        fake.entries << first << second;
        InterfaceEntry a = entryFor(mac);
        a.InterfaceIndex = entryIndex;
        qint32 index = 0;
        QCOMPARE(ModQar::WmiIsDhcpEnabled(fake, a), dhcp);
        if (acted.isEmpty()) {
            QCOMPARE(ModQar::WmiGetIPAddress(fake, a, index), QString());
            QCOMPARE(ModQar::WmiSetGateways(fake, a, QStringLiteral("198.51.100.254")), -1);
            QVERIFY(fake.calls.isEmpty());
            return;
        }
        // The fake gives each its own first address, by the length of its name.
        QCOMPARE(ModQar::WmiGetIPAddress(fake, a, index), QStringLiteral("198.51.100.%1").arg(acted.size()));
        QCOMPARE(ModQar::WmiSetGateways(fake, a, QStringLiteral("198.51.100.254")), 0);
        QCOMPARE(fake.calls, QStringList { QStringLiteral("SetGateways(%1: 198.51.100.254/1)").arg(acted) });
    }

    void noMatchResults_data()
    {
        QTest::addColumn<bool>("nullMac");
        QTest::newRow("adapter not among the IP-enabled ones") << false;
        QTest::newRow("configuration without a MAC") << true;
    }
    void noMatchResults()
    {
        QFETCH(bool, nullMac);
        FakeAdapterConfigBackend fake;
        fake.entries << config(
            QStringLiteral("x"), nullMac ? std::nullopt : std::optional<QString>(QStringLiteral("00:0A:95:9D:68:99")));
        const InterfaceEntry a = entryFor(mac);
        RecordingPrompts prompts;
        qint32 index = 0;
        QCOMPARE(ModQar::WmiEnableStatic(fake, a, QStringLiteral("198.51.100.7"), QStringLiteral("255.255.255.0")), -1);
        QCOMPARE(ModQar::WmiSetGateways(fake, a, QStringLiteral("198.51.100.1")), -1);
        QCOMPARE(ModQar::WmiSetDnsServer(fake, a, QStringLiteral("198.51.100.1")), -1);
        QCOMPARE(ModQar::WmiEnableDhcp(fake, a), -1);
        QCOMPARE(ModQar::WmiReleaseDhcpLease(fake, a), -1);
        QCOMPARE(ModQar::WmiRenewDhcpLease(fake, a), -1);
        QCOMPARE(ModQar::WmiClearWinsAndDns(fake, a, prompts), -1);
        QCOMPARE(ModQar::WmiIsDhcpEnabled(fake, a), 2);
        QCOMPARE(ModQar::WmiGetDefaultGateway(fake, a), QString());
        QCOMPARE(ModQar::WmiGetDnsServer(fake, a), QString());
        QCOMPARE(ModQar::WmiGetIPAddress(fake, a, index), QString());
        QCOMPARE(ModQar::WmiGetIPSubnet(fake, a, index), QString());
        QVERIFY(fake.calls.isEmpty());
        QVERIFY(prompts.boxes.isEmpty());
    }

    void firstMatchActsLastMatchTellsDhcp()
    {
        FakeAdapterConfigBackend fake;
        Entry first = config(QStringLiteral("first"), QStringLiteral("00:0A:95:9D:68:16"));
        Entry second = config(QStringLiteral("second!"), QStringLiteral("00:0a:95:9d:68:16"));
        first.dhcp = false;
        second.dhcp = true;
        second.gateways = QStringList { QStringLiteral("203.0.113.1") };
        fake.entries << first << second;
        const InterfaceEntry a = entryFor(mac);
        qint32 index = 0;
        QCOMPARE(ModQar::WmiGetIPAddress(fake, a, index), QStringLiteral("198.51.100.5"));
        QCOMPARE(ModQar::WmiGetDefaultGateway(fake, a), QStringLiteral("198.51.100.1"));
        QCOMPARE(ModQar::WmiSetGateways(fake, a, QStringLiteral("198.51.100.254")), 0);
        QCOMPARE(fake.calls, QStringList { QStringLiteral("SetGateways(first: 198.51.100.254/1)") });
        QCOMPARE(ModQar::WmiIsDhcpEnabled(fake, a), 1);
        fake.entries[1].dhcp = std::nullopt;
        QCOMPARE(ModQar::WmiIsDhcpEnabled(fake, a), 0);
        fake.entries[0].dhcp = true;
        QCOMPARE(ModQar::WmiIsDhcpEnabled(fake, a), 0);
    }

    void methodsPassArgumentsAndCodes_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<std::optional<qint32>>("code");
        QTest::addColumn<qint32>("result");
        QTest::addColumn<QString>("call");
        const auto row = [](const char* name, const QString& m, std::optional<qint32> code, qint32 result,
                             const QString& call) { QTest::newRow(name) << m << code << result << call; };
        const QString st = QStringLiteral("EnableStatic");
        const QString gw = QStringLiteral("SetGateways");
        const QString dns = QStringLiteral("SetDNSServerSearchOrder");
        const QString en = QStringLiteral("EnableDHCP");
        const QString rel = QStringLiteral("ReleaseDHCPLease");
        const QString ren = QStringLiteral("RenewDHCPLease");
        row("static done", st, 0, 0, QStringLiteral("EnableStatic(a: 198.51.100.7/255.255.255.0)"));
        row("static needs restart", st, 1, 1, QStringLiteral("EnableStatic(a: 198.51.100.7/255.255.255.0)"));
        row("static not supported", st, 64, 64, QStringLiteral("EnableStatic(a: 198.51.100.7/255.255.255.0)"));
        row("static service failure", st, std::nullopt, -1,
            QStringLiteral("EnableStatic(a: 198.51.100.7/255.255.255.0)"));
        row("gateway with metric 1", gw, 0, 0, QStringLiteral("SetGateways(a: 198.51.100.254/1)"));
        row("gateway failure code", gw, 71, 71, QStringLiteral("SetGateways(a: 198.51.100.254/1)"));
        row("dns one server", dns, 0, 0, QStringLiteral("SetDNSServerSearchOrder(a: 198.51.100.53)"));
        row("dhcp on", en, 0, 0, QStringLiteral("EnableDHCP(a: )"));
        row("dhcp on failure code", en, 81, 81, QStringLiteral("EnableDHCP(a: )"));
        row("release", rel, 0, 0, QStringLiteral("ReleaseDHCPLease(a: )"));
        row("release failure code", rel, 83, 83, QStringLiteral("ReleaseDHCPLease(a: )"));
        row("renew", ren, 1, 1, QStringLiteral("RenewDHCPLease(a: )"));
        row("renew service failure", ren, std::nullopt, -1, QStringLiteral("RenewDHCPLease(a: )"));
    }
    void methodsPassArgumentsAndCodes()
    {
        QFETCH(QString, method);
        QFETCH(std::optional<qint32>, code);
        QFETCH(qint32, result);
        QFETCH(QString, call);
        FakeAdapterConfigBackend fake;
        fake.entries << config(QStringLiteral("a"), QStringLiteral("00:0A:95:9D:68:16"));
        fake.codes[method] = code;
        const InterfaceEntry a = entryFor(mac);
        qint32 got = -99;
        if (method == QLatin1String("EnableStatic"))
            got = ModQar::WmiEnableStatic(fake, a, QStringLiteral("198.51.100.7"), QStringLiteral("255.255.255.0"));
        else if (method == QLatin1String("SetGateways"))
            got = ModQar::WmiSetGateways(fake, a, QStringLiteral("198.51.100.254"));
        else if (method == QLatin1String("SetDNSServerSearchOrder"))
            got = ModQar::WmiSetDnsServer(fake, a, QStringLiteral("198.51.100.53"));
        else if (method == QLatin1String("EnableDHCP"))
            got = ModQar::WmiEnableDhcp(fake, a);
        else if (method == QLatin1String("ReleaseDHCPLease"))
            got = ModQar::WmiReleaseDhcpLease(fake, a);
        else if (method == QLatin1String("RenewDHCPLease"))
            got = ModQar::WmiRenewDhcpLease(fake, a);
        QCOMPARE(got, result);
        QCOMPARE(fake.calls, QStringList { call });
    }

    void badInputTouchesNothing_data()
    {
        QTest::addColumn<QString>("routine");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<qint32>("result");
        QTest::newRow("static, empty mask") << "static"
                                            << "198.51.100.7"
                                            << "" << -1;
        QTest::newRow("static, empty address") << "static"
                                               << ""
                                               << "255.255.255.0" << -1;
        QTest::newRow("static, malformed address") << "static"
                                                   << "198.51.100.256"
                                                   << "255.255.255.0" << 70;
        QTest::newRow("static, address with a name") << "static"
                                                     << "unit.local"
                                                     << "255.255.255.0" << 70;
        QTest::newRow("static, holey mask") << "static"
                                            << "198.51.100.7"
                                            << "255.0.255.0" << 66;
        QTest::newRow("static, three parts") << "static"
                                             << "198.51.100"
                                             << "255.255.255.0" << 70;
        QTest::newRow("gateway, empty") << "gateway"
                                        << ""
                                        << "" << -1;
        QTest::newRow("gateway, malformed") << "gateway"
                                            << "198.51..1"
                                            << "" << 71;
        QTest::newRow("dns, empty") << "dns"
                                    << ""
                                    << "" << -1;
        QTest::newRow("dns, malformed") << "dns"
                                        << " 198.51.100.53"
                                        << "" << 70;
    }
    void badInputTouchesNothing()
    {
        QFETCH(QString, routine);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(qint32, result);
        FakeAdapterConfigBackend fake;
        fake.entries << config(QStringLiteral("a"), QStringLiteral("00:0A:95:9D:68:16"));
        const InterfaceEntry a = entryFor(mac);
        qint32 got = -99;
        if (routine == QLatin1String("static"))
            got = ModQar::WmiEnableStatic(fake, a, first, second);
        else if (routine == QLatin1String("gateway"))
            got = ModQar::WmiSetGateways(fake, a, first);
        else
            got = ModQar::WmiSetDnsServer(fake, a, first);
        QCOMPARE(got, result);
        QVERIFY(fake.calls.isEmpty());
    }

    void clearWinsAndDns_data()
    {
        QTest::addColumn<std::optional<qint32>>("wins");
        QTest::addColumn<std::optional<qint32>>("dns");
        QTest::addColumn<qint32>("result");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<int>("callCount");
        const QString winsBox = QStringLiteral("Error re-setting WINS servers!");
        const QString dnsBox = QStringLiteral("Error re-setting DNS servers!");
        QTest::newRow("both done") << std::optional<qint32>(0) << std::optional<qint32>(0) << 0 << QStringList() << 2;
        QTest::newRow("wins restart, dns done")
            << std::optional<qint32>(1) << std::optional<qint32>(0) << 1 << QStringList() << 2;
        QTest::newRow("wins done, dns restart")
            << std::optional<qint32>(0) << std::optional<qint32>(1) << 1 << QStringList() << 2;
        QTest::newRow("wins fails, dns done")
            << std::optional<qint32>(64) << std::optional<qint32>(0) << 0 << QStringList { winsBox } << 2;
        QTest::newRow("dns failure code returned")
            << std::optional<qint32>(0) << std::optional<qint32>(65) << 65 << QStringList { dnsBox } << 2;
        QTest::newRow("both fail") << std::optional<qint32>(65) << std::optional<qint32>(91) << 91
                                   << QStringList { winsBox, dnsBox } << 2;
        QTest::newRow("wins service failure skips dns")
            << std::optional<qint32>() << std::optional<qint32>(0) << -1 << QStringList() << 1;
        QTest::newRow("dns service failure")
            << std::optional<qint32>(0) << std::optional<qint32>() << -1 << QStringList() << 2;
    }
    void clearWinsAndDns()
    {
        QFETCH(std::optional<qint32>, wins);
        QFETCH(std::optional<qint32>, dns);
        QFETCH(qint32, result);
        QFETCH(QStringList, boxes);
        QFETCH(int, callCount);
        FakeAdapterConfigBackend fake;
        fake.entries << config(QStringLiteral("a"), QStringLiteral("00:0A:95:9D:68:16"));
        fake.codes[QStringLiteral("SetWINSServer")] = wins;
        fake.codes[QStringLiteral("SetDNSServerSearchOrder")] = dns;
        RecordingPrompts prompts;
        QCOMPARE(ModQar::WmiClearWinsAndDns(fake, entryFor(mac), prompts), result);
        QCOMPARE(prompts.texts(), boxes);
        for (const RecordingPrompts::Box& b : prompts.boxes) {
            QCOMPARE(b.icon, UserPrompts::Icon::Exclamation);
            QVERIFY(b.title.isEmpty());
            QVERIFY(!b.question);
        }
        const QStringList expected { QStringLiteral("SetWINSServer(a: '','')"),
            QStringLiteral("SetDNSServerSearchOrder(a: )") };
        QCOMPARE(fake.calls, expected.mid(0, callCount));
    }

    void reads()
    {
        FakeAdapterConfigBackend fake;
        fake.entries << config(QStringLiteral("a"), QStringLiteral("00:0A:95:9D:68:16"));
        const InterfaceEntry a = entryFor(mac);
        qint32 index = 1;
        QCOMPARE(ModQar::WmiGetIPAddress(fake, a, index), QStringLiteral("203.0.113.9"));
        QCOMPARE(ModQar::WmiGetIPSubnet(fake, a, index), QStringLiteral("255.255.0.0"));
        QCOMPARE(index, 1);
        index = 2;
        QCOMPARE(ModQar::WmiGetIPAddress(fake, a, index), QString());
        index = -1;
        QCOMPARE(ModQar::WmiGetIPSubnet(fake, a, index), QString());
        QCOMPARE(ModQar::WmiGetDnsServer(fake, a), QStringLiteral("198.51.100.53"));

        fake.entries[0].gateways = std::nullopt;
        fake.entries[0].ipAddress = std::nullopt;
        fake.entries[0].dns = QStringList();
        index = 0;
        QCOMPARE(ModQar::WmiGetDefaultGateway(fake, a), QString());
        QCOMPARE(ModQar::WmiGetIPAddress(fake, a, index), QString());
        QCOMPARE(ModQar::WmiGetDnsServer(fake, a), QStringLiteral("False"));
        fake.entries[0].dns = std::nullopt;
        QCOMPARE(ModQar::WmiGetDnsServer(fake, a), QStringLiteral("False"));
    }

    void serviceFailures()
    {
        FakeAdapterConfigBackend fake;
        fake.entries << config(QStringLiteral("a"), QStringLiteral("00:0A:95:9D:68:16"));
        const InterfaceEntry a = entryFor(mac);
        qint32 index = 0;
        fake.readsFail = true;
        QCOMPARE(ModQar::WmiIsDhcpEnabled(fake, a), -1);
        // The gateway is checked against the adapter's networks: without them
        // nothing is known about the gateway, and nothing is done.
        QCOMPARE(ModQar::WmiSetGateways(fake, a, QStringLiteral("198.51.100.254")), -1);
        QCOMPARE(ModQar::WmiGetDnsServer(fake, a), QStringLiteral("False"));
        QCOMPARE(ModQar::WmiGetIPAddress(fake, a, index), QString());
        fake.readsFail = false;
        fake.serviceDown = true;
        QCOMPARE(ModQar::WmiIsDhcpEnabled(fake, a), -1);
        QCOMPARE(ModQar::WmiGetDnsServer(fake, a), QStringLiteral("False"));
        QCOMPARE(ModQar::WmiGetDefaultGateway(fake, a), QString());
        QCOMPARE(ModQar::WmiEnableDhcp(fake, a), -1);
        QVERIFY(fake.calls.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_ModQarWmi)
#include "tst_ModQarWmi.moc"
