#include "PrivateBus.h"
#include "net/ResolverConfig.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QFile>
#include <QMutex>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {
struct DnsEntry {
    qint32 family = 0;
    QByteArray address;
};
QDBusArgument& operator<<(QDBusArgument& a, const DnsEntry& e)
{
    a.beginStructure();
    a << e.family << e.address;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, DnsEntry& e)
{
    a.beginStructure();
    a >> e.family >> e.address;
    a.endStructure();
    return a;
}
} // namespace
Q_DECLARE_METATYPE(DnsEntry)

namespace {
const QString root = QStringLiteral("/org/freedesktop/resolve1");

// A stand-in systemd-resolved: per-link DNS lists set and read over the bus,
// served from its own thread.
class FakeResolved final : public QDBusVirtualObject {
public:
    QMap<int, QList<DnsEntry>> links;
    QStringList calls;
    QMutex mutex;

    QString introspect(const QString&) const override { return QString(); }
    bool handleMessage(const QDBusMessage& m, const QDBusConnection& c) override
    {
        QMutexLocker lock(&mutex);
        calls << m.member() + QLatin1Char(':') + m.signature();
        if (m.path() == root && m.member() == QLatin1String("GetLink"))
            return c.send(m.createReply(QVariant::fromValue(
                QDBusObjectPath(root + QStringLiteral("/link/_3") + QString::number(m.arguments().value(0).toInt())))));
        if (m.path() == root && m.member() == QLatin1String("SetLinkDNS")) {
            links[m.arguments().value(0).toInt()]
                = qdbus_cast<QList<DnsEntry>>(m.arguments().value(1).value<QDBusArgument>());
            return c.send(m.createReply());
        }
        if (m.path() == root && m.member() == QLatin1String("RevertLink")) {
            links.remove(m.arguments().value(0).toInt());
            return c.send(m.createReply());
        }
        if (m.member() == QLatin1String("Get")) {
            const int ifindex = m.path().section(QStringLiteral("_3"), -1).toInt();
            return c.send(m.createReply(QVariant::fromValue(QDBusVariant(QVariant::fromValue(links.value(ifindex))))));
        }
        return false;
    }
};

DnsEntry v4(const char (&b)[5])
{
    return { 2, QByteArray(b, 4) };
}
} // namespace

class tst_ResolverConfig : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qDBusRegisterMetaType<DnsEntry>();
        qDBusRegisterMetaType<QList<DnsEntry>>();
    }

    void fileKeepsOtherLinesAndReplacesServers()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + QStringLiteral("/resolv.conf");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(
            "# written by hand\nsearch lab.test\nnameserver 203.0.113.53\noptions edns0\nnameserver 203.0.113.54\n");
        f.close();
        ResolverConfig resolver(path, false);
        QCOMPARE(resolver.servers(3), (QStringList { QStringLiteral("203.0.113.53"), QStringLiteral("203.0.113.54") }));
        QCOMPARE(resolver.setServers(3, { QStringLiteral("198.51.100.1") }), 0);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(
            f.readAll(), QByteArray("# written by hand\nsearch lab.test\noptions edns0\nnameserver 198.51.100.1\n"));
        f.close();
        QCOMPARE(resolver.setServers(3, {}), 0);
        QCOMPARE(resolver.servers(3), QStringList());
        QCOMPARE(ResolverConfig(dir.path() + QStringLiteral("/none"), false).servers(3), QStringList());
        QCOMPARE(ResolverConfig(dir.path() + QStringLiteral("/no/dir/resolv.conf"), false).setServers(3, {}), 65);
    }

    void resolvedPerLink()
    {
        PrivateBus bus;
        if (bus.address().isEmpty())
            QSKIP(qPrintable(bus.error()));
        QThread thread;
        FakeResolved fake;
        {
            QDBusConnection service = QDBusConnection::connectToBus(bus.address(), QStringLiteral("resolved"));
            QVERIFY(service.registerVirtualObject(root, &fake, QDBusConnection::SubPath));
            fake.moveToThread(&thread);
            thread.start();
            QVERIFY(service.registerService(QStringLiteral("org.freedesktop.resolve1")));
        }
        QTemporaryDir dir;
        const QString path = dir.path() + QStringLiteral("/resolv.conf");
        {
            ResolverConfig resolver(path, true, QDBusConnection::connectToBus(bus.address(), QStringLiteral("client")));
            QCOMPARE(resolver.setServers(7, { QStringLiteral("198.51.100.1"), QStringLiteral("203.0.113.53") }), 0);
            {
                QMutexLocker lock(&fake.mutex);
                QCOMPARE(fake.links.value(7).size(), 2);
                QCOMPARE(fake.links.value(7)[0].family, 2);
                QCOMPARE(fake.links.value(7)[0].address, v4("\xc6\x33\x64\x01").address);
                QVERIFY(fake.calls.contains(QStringLiteral("SetLinkDNS:ia(iay)")));
            }
            QCOMPARE(
                resolver.servers(7), (QStringList { QStringLiteral("198.51.100.1"), QStringLiteral("203.0.113.53") }));
            QCOMPARE(resolver.servers(8), QStringList());
            QCOMPARE(resolver.setServers(7, {}), 0);
            QCOMPARE(resolver.servers(7), QStringList());
            QVERIFY(!QFile::exists(path));
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        QDBusConnection(QStringLiteral("resolved")).unregisterObject(root, QDBusConnection::UnregisterTree);
        QDBusConnection::disconnectFromBus(QStringLiteral("resolved"));
        thread.quit();
        thread.wait();
    }
};

QTEST_GUILESS_MAIN(tst_ResolverConfig)
#include "tst_ResolverConfig.moc"
