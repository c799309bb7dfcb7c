#include "SysfsFixture.h"
#include "net/CAdapterHelper.h"
#include "net/InterfaceEntry.h"
#include "net/ModQar.h"

#include <QTest>

namespace {
struct Adapter {
    QString name;
    int index;
    int arphrd;
    QString mac;
    QString address; // empty: none
    QString dir; // "wireless" to make it IEEE 802.11
};

// A fixture tree of adapters and the address source that goes with it.
struct Machine {
    SysfsFixture fx;
    QList<Ipv4Assignment> addresses;

    explicit Machine(const QList<Adapter>& adapters)
    {
        for (const Adapter& a : adapters) {
            SysfsFixture::Iface i;
            i.name = a.name;
            i.index = a.index;
            i.arphrd = a.arphrd;
            i.address = a.mac;
            if (!a.dir.isEmpty())
                i.dirs = { a.dir };
            fx.add(i);
            if (!a.address.isEmpty())
                addresses.append({ a.name, a.address, QStringLiteral("255.255.255.0") });
        }
    }
    CAdapterHelper helper()
    {
        const auto list = addresses;
        return CAdapterHelper(fx.root(), nullptr, [list] { return list; });
    }
};
} // namespace

class tst_ModQar : public QObject {
    Q_OBJECT
private slots:
    void wiredWithoutAddressWirelessWithOne()
    {
        Machine m({ { QStringLiteral("eth0"), 2, 1, QStringLiteral("00:0a:95:9d:68:16"), QString(), QString() },
            { QStringLiteral("wlan0"), 3, 1, QStringLiteral("02:11:22:33:44:55"), QStringLiteral("198.51.100.20"),
                QStringLiteral("wireless") } });
        auto helper = m.helper();
        UsableInterfaces usable;
        usable.SelectedInterface = 5;
        QCOMPARE(ModQar::BuildInterfaceList(helper, usable), 1);
        QCOMPARE(usable.InterfaceList.size(), 1);
        QCOMPARE(usable.InterfaceList[0].Adapter->InterfaceName(), QStringLiteral("wlan0"));
        QCOMPARE(usable.InterfaceList[0].Adapter->InterfaceType(), 71);
        QCOMPARE(usable.InterfaceList[0].Mac, QByteArray::fromHex("021122334455"));
        QCOMPARE(usable.SelectedInterface, 5);
    }

    void pppAndLoopbackAreNotUsable()
    {
        Machine m({ { QStringLiteral("lo"), 1, 772, QStringLiteral("00:00:00:00:00:00"), QStringLiteral("127.0.0.1"),
                        QString() },
            { QStringLiteral("ppp0"), 4, 512, QString(), QStringLiteral("203.0.113.5"), QString() } });
        auto helper = m.helper();
        UsableInterfaces usable;
        QCOMPARE(ModQar::BuildInterfaceList(helper, usable), 0);
        QVERIFY(usable.InterfaceList.isEmpty());
    }

    void twoUsableKeepTheListOrder()
    {
        Machine m({ { QStringLiteral("eth1"), 7, 1, QStringLiteral("02:00:00:00:00:07"), QStringLiteral("203.0.113.7"),
                        QString() },
            { QStringLiteral("eth0"), 2, 1, QStringLiteral("02:00:00:00:00:02"), QStringLiteral("198.51.100.2"),
                QString() } });
        auto helper = m.helper();
        UsableInterfaces usable;
        // A list from an earlier build does not linger.
        usable.InterfaceList.append({ QByteArray("stale!"), nullptr });
        QCOMPARE(ModQar::BuildInterfaceList(helper, usable), 2);
        QCOMPARE(usable.InterfaceList.size(), 2);
        QCOMPARE(usable.InterfaceList[0].Adapter->InterfaceIndex(), 2);
        QCOMPARE(usable.InterfaceList[1].Adapter->InterfaceIndex(), 7);
        QCOMPARE(usable.InterfaceList[1].Mac, QByteArray::fromHex("020000000007"));
    }

    void unreadableTableGivesNone()
    {
        CAdapterHelper helper(QStringLiteral("/nonexistent/class/net"));
        UsableInterfaces usable;
        QCOMPARE(ModQar::BuildInterfaceList(helper, usable), 0);
        QVERIFY(usable.InterfaceList.isEmpty());
    }

    void formatMacAddress_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("six bytes") << QByteArray::fromHex("000a959d6816") << QStringLiteral("00:0A:95:9D:68:16");
        QTest::newRow("all ones") << QByteArray::fromHex("ffffffffffff") << QStringLiteral("FF:FF:FF:FF:FF:FF");
        QTest::newRow("one byte") << QByteArray::fromHex("0f") << QStringLiteral("0F");
        QTest::newRow("none") << QByteArray() << QString();
    }
    void formatMacAddress()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const QByteArray before = bytes;
        QCOMPARE(ModQar::FormatMacAddress(bytes), text);
        QCOMPARE(bytes, before);
    }

    void textHelpers_data()
    {
        QTest::addColumn<QString>("helper");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("callerAfter");
        const QString nul(QChar(0));
        QTest::newRow("trim: two spaces and CR LF") << "Trim"
                                                    << "  Hello world\r\n"
                                                    << "Hello world"
                                                    << "Hello world\r\n";
        QTest::newRow("trim: inner control stays") << "Trim"
                                                   << "\ta\tb\x01"
                                                   << "a\tb"
                                                   << "a\tb\x01";
        QTest::newRow("trim: only blanks") << "Trim"
                                           << " \r\n "
                                           << ""
                                           << "";
        QTest::newRow("trim: empty") << "Trim"
                                     << ""
                                     << ""
                                     << "";
        QTest::newRow("ltrim: NUL and spaces") << "LTrim" << (nul + "  x  ") << "x  "
                                               << "x  ";
        QTest::newRow("ltrim: nothing to do") << "LTrim"
                                              << "x "
                                              << "x "
                                              << "x ";
        QTest::newRow("rtrim: description ending in NUL")
            << "RTrim" << ("Intel(R) PRO/1000" + nul) << "Intel(R) PRO/1000"
            << "Intel(R) PRO/1000";
        QTest::newRow("rtrim: leading kept") << "RTrim"
                                             << " \x1f"
                                                "a \x1f"
                                             << " \x1f"
                                                "a"
                                             << " \x1f"
                                                "a";
        QTest::newRow("rtrim: char 127 stays") << "RTrim"
                                               << "a\x7f"
                                               << "a\x7f"
                                               << "a\x7f";
        QTest::newRow("squeeze: five to two") << "Squeeze"
                                              << "Intel     PRO"
                                              << "Intel  PRO"
                                              << "Intel  PRO";
        QTest::newRow("squeeze: two stay") << "Squeeze"
                                           << "a  b"
                                           << "a  b"
                                           << "a  b";
        QTest::newRow("squeeze: three to two") << "Squeeze"
                                               << "a   b"
                                               << "a  b"
                                               << "a  b";
        QTest::newRow("squeeze: several runs") << "Squeeze"
                                               << "    a b      c   "
                                               << "  a b  c  "
                                               << "  a b  c  ";
        QTest::newRow("squeeze: tabs are no spaces") << "Squeeze"
                                                     << "a\t\t\tb"
                                                     << "a\t\t\tb"
                                                     << "a\t\t\tb";
    }
    void textHelpers()
    {
        QFETCH(QString, helper);
        QFETCH(QString, input);
        QFETCH(QString, result);
        QFETCH(QString, callerAfter);
        QString text = input;
        QString out;
        if (helper == QLatin1String("Trim"))
            out = ModQar::TrimControlChars(text);
        else if (helper == QLatin1String("LTrim"))
            out = ModQar::LTrimControlChars(text);
        else if (helper == QLatin1String("RTrim"))
            out = ModQar::RTrimControlChars(text);
        else
            out = ModQar::SqueezeSpaces(text);
        QCOMPARE(out, result);
        QCOMPARE(text, callerAfter);
    }
};

QTEST_MAIN(tst_ModQar)
#include "tst_ModQar.moc"
