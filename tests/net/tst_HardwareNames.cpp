#include "net/HardwareNames.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {
void write(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text);
}

// A sysfs look-alike: /devices/... with a PCI card or a USB adapter, and
// /class/net/<name> linking to the card's net directory as the kernel does.
struct Sysfs {
    QTemporaryDir dir;

    QString pciCard(const QString& name)
    {
        const QString dev = dir.filePath(QStringLiteral("devices/pci0000:00/0000:00:19.0"));
        write(dev + QStringLiteral("/modalias"), "pci:v00008086d000010D3sv00008086sd0000A01Fbc02sc00i00\n");
        write(dev + QStringLiteral("/vendor"), "0x8086\n");
        write(dev + QStringLiteral("/device"), "0x10d3\n");
        bus(dev, QStringLiteral("pci"));
        return netDir(dev, name);
    }

    QString usbAdapter(const QString& name)
    {
        const QString usbDev = dir.filePath(QStringLiteral("devices/pci0000:00/0000:00:14.0/usb2/2-1"));
        write(usbDev + QStringLiteral("/idVendor"), "0bda\n");
        write(usbDev + QStringLiteral("/idProduct"), "8153\n");
        bus(usbDev, QStringLiteral("usb"));
        const QString intf = usbDev + QStringLiteral("/2-1:1.0");
        write(intf + QStringLiteral("/modalias"), "usb:v0BDAp8153d3000dc00dsc00dp00icFFiscFFip00in00\n");
        bus(intf, QStringLiteral("usb"));
        return netDir(intf, name);
    }

    QString virtualLink(const QString& name)
    {
        const QString net = dir.filePath(QStringLiteral("devices/virtual/net/") + name);
        QDir().mkpath(net);
        return net;
    }

    void bus(const QString& dev, const QString& which)
    {
        QDir().mkpath(dir.filePath(QStringLiteral("bus/") + which));
        QFile::link(dir.filePath(QStringLiteral("bus/") + which), dev + QStringLiteral("/subsystem"));
    }

    QString netDir(const QString& dev, const QString& name)
    {
        const QString net = dev + QStringLiteral("/net/") + name;
        QDir().mkpath(net);
        QFile::link(dev, net + QStringLiteral("/device"));
        QDir().mkpath(dir.filePath(QStringLiteral("class/net")));
        QFile::link(net, dir.filePath(QStringLiteral("class/net/") + name));
        return dir.filePath(QStringLiteral("class/net/") + name);
    }
};

const QByteArray pciIds = "# comment\n"
                          "10ec  Realtek Semiconductor Co., Ltd.\n"
                          "\t8168  RTL8111/8168/8411 PCI Express Gigabit Ethernet Controller\n"
                          "8086  Intel Corporation\n"
                          "\t10d2  82571EB\n"
                          "\t10d3  82574L Gigabit Network Connection\n"
                          "\t\t8086 a01f  Gigabit CT Desktop Adapter\n"
                          "80ee  InnoTek\n";
const QByteArray usbIds = "0bda  Realtek Semiconductor Corp.\n"
                          "\t8152  RTL8152 Fast Ethernet Adapter\n"
                          "\t8153  RTL8153 Gigabit Ethernet Adapter\n";
} // namespace

class tst_HardwareNames : public QObject {
    Q_OBJECT
private slots:
    void describe_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<bool>("hwdbKnows");
        QTest::addColumn<bool>("idListsThere");
        QTest::addColumn<QString>("description");
        QTest::newRow("PCI card named by hwdb") << "pci" << true << true << "Intel 82574L (hwdb)";
        QTest::newRow("PCI card, only pci.ids") << "pci" << false << true << "Intel 82574L Gigabit Network Connection";
        QTest::newRow("USB adapter, only usb.ids")
            << "usb" << false << true << "Realtek RTL8153 Gigabit Ethernet Adapter";
        QTest::newRow("USB adapter named by hwdb") << "usb" << true << false << "Realtek (hwdb) RTL8153 (hwdb)";
        QTest::newRow("no database at all") << "pci" << false << false << "";
        QTest::newRow("virtual link") << "virtual" << true << true << "";
    }
    void describe()
    {
        QFETCH(QString, device);
        QFETCH(bool, hwdbKnows);
        QFETCH(bool, idListsThere);
        QFETCH(QString, description);
        Sysfs sys;
        const QString name = QStringLiteral("enp0s25");
        const QString dir = device == u"pci" ? sys.pciCard(name)
            : device == u"usb"               ? sys.usbAdapter(name)
                                             : sys.virtualLink(name);
        QTemporaryDir ids;
        HardwareNames::Sources sources;
        QStringList asked;
        sources.hwdb = [&](const QString& modalias) {
            asked << modalias;
            QMap<QString, QString> p;
            if (!hwdbKnows)
                return p;
            if (modalias.startsWith(QLatin1String("pci:v00008086d000010D3"))) {
                p.insert(QStringLiteral("ID_VENDOR_FROM_DATABASE"), QStringLiteral("Intel Corp."));
                p.insert(QStringLiteral("ID_MODEL_FROM_DATABASE"), QStringLiteral("82574L (hwdb)"));
            } else if (modalias.startsWith(QLatin1String("usb:v0BDAp8153"))) {
                p.insert(QStringLiteral("ID_VENDOR_FROM_DATABASE"), QStringLiteral("Realtek (hwdb)"));
                p.insert(QStringLiteral("ID_MODEL_FROM_DATABASE"), QStringLiteral("RTL8153 (hwdb)"));
            }
            return p;
        };
        sources.pciIds = { ids.filePath(QStringLiteral("missing.ids")) };
        sources.usbIds = { ids.filePath(QStringLiteral("missing.ids")) };
        if (idListsThere) {
            write(ids.filePath(QStringLiteral("pci.ids")), pciIds);
            write(ids.filePath(QStringLiteral("usb.ids")), usbIds);
            sources.pciIds << ids.filePath(QStringLiteral("pci.ids"));
            sources.usbIds << ids.filePath(QStringLiteral("usb.ids"));
        }
        QCOMPARE(HardwareNames::describe(dir, sources), description);
        // A virtual link has no device to look up.
        QCOMPARE(asked.isEmpty(), device == u"virtual");
    }

    void makersNameIsShortened_data()
    {
        QTest::addColumn<QString>("vendor");
        QTest::addColumn<QString>("shown");
        QTest::newRow("corporation") << "Intel Corporation"
                                     << "Intel";
        QTest::newRow("company limited") << "Realtek Semiconductor Co., Ltd."
                                         << "Realtek";
        QTest::newRow("comma before Inc.") << "Red Hat, Inc."
                                           << "Red Hat";
        QTest::newRow("Corp.") << "ASIX Electronics Corp."
                               << "ASIX Electronics";
        QTest::newRow("GmbH") << "Hilscher GmbH"
                              << "Hilscher";
        QTest::newRow("nothing to drop") << "Broadcom"
                                         << "Broadcom";
        QTest::newRow("only such words") << "Semiconductor Inc."
                                         << "Semiconductor Inc.";
    }
    void makersNameIsShortened()
    {
        QFETCH(QString, vendor);
        QFETCH(QString, shown);
        Sysfs sys;
        const QString dir = sys.pciCard(QStringLiteral("eth0"));
        HardwareNames::Sources sources;
        sources.hwdb = [&](const QString&) {
            return QMap<QString, QString> { { QStringLiteral("ID_VENDOR_FROM_DATABASE"), vendor },
                { QStringLiteral("ID_MODEL_FROM_DATABASE"), QStringLiteral("NIC") } };
        };
        QCOMPARE(HardwareNames::describe(dir, sources), shown + QStringLiteral(" NIC"));
    }

    void idListLookUp_data()
    {
        QTest::addColumn<int>("vendor");
        QTest::addColumn<int>("device");
        QTest::addColumn<QString>("vendorName");
        QTest::addColumn<QString>("deviceName");
        QTest::newRow("known pair") << 0x8086 << 0x10d3 << "Intel Corporation"
                                    << "82574L Gigabit Network Connection";
        QTest::newRow("first device of a vendor") << 0x10ec << 0x8168 << "Realtek Semiconductor Co., Ltd."
                                                  << "RTL8111/8168/8411 PCI Express Gigabit Ethernet Controller";
        QTest::newRow("unknown device of a known vendor") << 0x8086 << 0x1234 << "Intel Corporation"
                                                          << "";
        QTest::newRow("a subsystem id is no device") << 0x8086 << 0xa01f << "Intel Corporation"
                                                     << "";
        QTest::newRow("unknown vendor") << 0x1234 << 0x10d3 << ""
                                        << "";
    }
    void idListLookUp()
    {
        QFETCH(int, vendor);
        QFETCH(int, device);
        QFETCH(QString, vendorName);
        QFETCH(QString, deviceName);
        QTemporaryDir ids;
        write(ids.filePath(QStringLiteral("pci.ids")), pciIds);
        const auto [v, d]
            = HardwareNames::lookUpIds(ids.filePath(QStringLiteral("pci.ids")), quint16(vendor), quint16(device));
        QCOMPARE(v, vendorName);
        QCOMPARE(d, deviceName);
    }

    void systemDatabase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("systemd-hwdb")).isEmpty()
            && QStandardPaths::findExecutable(QStringLiteral("udevadm")).isEmpty())
            QSKIP("no hardware database on this system");
        const auto p
            = HardwareNames::systemHwdb(QStringLiteral("pci:v00008086d000010D3sv00008086sd0000A01Fbc02sc00i00"));
        if (p.isEmpty())
            QSKIP("the hardware database is not built here");
        QVERIFY(p.value(QStringLiteral("ID_VENDOR_FROM_DATABASE")).startsWith(QStringLiteral("Intel")));
        QVERIFY(p.value(QStringLiteral("ID_MODEL_FROM_DATABASE")).contains(QStringLiteral("82574L")));
    }
};

QTEST_GUILESS_MAIN(tst_HardwareNames)
#include "tst_HardwareNames.moc"
