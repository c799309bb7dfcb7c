#include "net/HardwareNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>

#include <optional>

namespace {

QString readLine(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readLine()).trimmed();
}

// "0x8086" as sysfs writes PCI and USB ids ("8086" for USB).
std::optional<quint16> hexId(const QString& text)
{
    QString t = text;
    if (t.startsWith(QLatin1String("0x")))
        t = t.mid(2);
    bool ok = false;
    const uint v = t.toUInt(&ok, 16);
    if (!ok || t.isEmpty() || v > 0xffff)
        return std::nullopt;
    return quint16(v);
}

struct BusDevice {
    QString dir;
    QString bus; // "pci" or "usb"
};

// The nearest PCI or USB device at or above the interface's device, as udev's
// own network rules look it up.
std::optional<BusDevice> busDevice(const QString& interfaceDir)
{
    QString dir = QFileInfo(interfaceDir + QStringLiteral("/device")).canonicalFilePath();
    for (int depth = 0; !dir.isEmpty() && depth < 16; ++depth) {
        const QString bus = QFileInfo(QFileInfo(dir + QStringLiteral("/subsystem")).canonicalFilePath()).fileName();
        if (bus == QLatin1String("pci") || bus == QLatin1String("usb"))
            return BusDevice { dir, bus };
        const QString up = QFileInfo(dir).path();
        if (up == dir)
            break;
        dir = up;
    }
    return std::nullopt;
}

// The maker as people say it: the databases carry the company's full legal
// name ("Realtek Semiconductor Co., Ltd."), which makes the adaptor's line
// too long to read; the desktop's network settings cut it the same way.
QString shortVendor(const QString& vendor)
{
    static const QStringList dropped { QStringLiteral("Corporation"), QStringLiteral("Corp."), QStringLiteral("Corp"),
        QStringLiteral("Co."), QStringLiteral("Co"), QStringLiteral("Ltd."), QStringLiteral("Ltd"),
        QStringLiteral("Inc."), QStringLiteral("Inc"), QStringLiteral("Incorporated"), QStringLiteral("Limited"),
        QStringLiteral("Semiconductor"), QStringLiteral("Semiconductors"), QStringLiteral("GmbH"), QStringLiteral("AG"),
        QStringLiteral("S.A."), QStringLiteral("Technology"), QStringLiteral("Technologies") };
    QStringList kept;
    for (QString word : vendor.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        while (word.endsWith(QLatin1Char(',')))
            word.chop(1);
        if (!word.isEmpty() && !dropped.contains(word, Qt::CaseInsensitive))
            kept << word;
    }
    // A maker whose whole name is such words keeps it.
    return kept.isEmpty() ? vendor.trimmed() : kept.join(QLatin1Char(' '));
}

QString joined(const QString& fullVendor, const QString& model)
{
    const QString vendor = shortVendor(fullVendor);
    if (vendor.isEmpty())
        return model;
    if (model.isEmpty())
        return vendor;
    return vendor + QLatin1Char(' ') + model;
}

} // namespace

namespace HardwareNames {

QMap<QString, QString> systemHwdb(const QString& modalias)
{
    static QHash<QString, QMap<QString, QString>> known;
    if (const auto it = known.constFind(modalias); it != known.cend())
        return *it;
    QMap<QString, QString> out;
    QList<QStringList> commands;
    if (const QString tool = QStandardPaths::findExecutable(QStringLiteral("systemd-hwdb")); !tool.isEmpty())
        commands << QStringList { tool, QStringLiteral("query"), modalias };
    if (const QString tool = QStandardPaths::findExecutable(QStringLiteral("udevadm")); !tool.isEmpty())
        commands << QStringList { tool, QStringLiteral("hwdb"), QStringLiteral("--test=") + modalias };
    for (QStringList argv : commands) {
        QProcess p;
        p.start(argv.takeFirst(), argv);
        // A database lookup takes milliseconds; a tool that hangs costs the
        // description only.
        if (!p.waitForFinished(2000)) {
            p.kill();
            p.waitForFinished(1000);
            continue;
        }
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            continue;
        for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
            const qsizetype eq = line.indexOf('=');
            if (eq > 0)
                out.insert(QString::fromUtf8(line.left(eq)).trimmed(), QString::fromUtf8(line.mid(eq + 1)).trimmed());
        }
        break;
    }
    known.insert(modalias, out);
    return out;
}

std::pair<QString, QString> lookUpIds(const QString& idsFile, quint16 vendor, quint16 device)
{
    QFile f(idsFile);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray vendorKey = QByteArray::number(vendor, 16).rightJustified(4, '0');
    const QByteArray deviceKey = '\t' + QByteArray::number(device, 16).rightJustified(4, '0');
    QString vendorName;
    bool inVendor = false;
    while (!f.atEnd()) {
        const QByteArray line = f.readLine();
        if (line.startsWith('#') || line.trimmed().isEmpty())
            continue;
        if (line[0] != '\t') {
            if (inVendor)
                break; // past our vendor's devices
            // "8086  Intel Corporation"
            if (line.startsWith(vendorKey) && line.size() > 4 && (line[4] == ' ' || line[4] == '\t')) {
                inVendor = true;
                vendorName = QString::fromUtf8(line.mid(4)).trimmed();
            }
            continue;
        }
        // "\t10d3  82574L Gigabit Network Connection"; subsystems have two tabs.
        if (inVendor && line.startsWith(deviceKey) && line.size() > 5 && (line[5] == ' ' || line[5] == '\t'))
            return { vendorName, QString::fromUtf8(line.mid(5)).trimmed() };
    }
    return { vendorName, QString() };
}

QString describe(const QString& interfaceDir, const Sources& sources)
{
    const auto device = busDevice(interfaceDir);
    if (!device)
        return QString();
    const QString modalias = readLine(device->dir + QStringLiteral("/modalias"));
    const auto hwdb = sources.hwdb ? sources.hwdb : &systemHwdb;
    if (!modalias.isEmpty()) {
        const QMap<QString, QString> p = hwdb(modalias);
        const QString name = joined(
            p.value(QStringLiteral("ID_VENDOR_FROM_DATABASE")), p.value(QStringLiteral("ID_MODEL_FROM_DATABASE")));
        if (!name.isEmpty())
            return name;
    }

    // The id lists: a PCI device carries its ids itself, a USB interface's
    // device lies one level up.
    std::optional<quint16> vendor;
    std::optional<quint16> product;
    QStringList lists;
    if (device->bus == QLatin1String("pci")) {
        vendor = hexId(readLine(device->dir + QStringLiteral("/vendor")));
        product = hexId(readLine(device->dir + QStringLiteral("/device")));
        lists = sources.pciIds;
    } else {
        for (const QString& dir : { device->dir, QFileInfo(device->dir).path() }) {
            vendor = hexId(readLine(dir + QStringLiteral("/idVendor")));
            product = hexId(readLine(dir + QStringLiteral("/idProduct")));
            if (vendor && product)
                break;
        }
        lists = sources.usbIds;
    }
    if (!vendor || !product)
        return QString();
    for (const QString& file : lists) {
        const auto [v, m] = lookUpIds(file, *vendor, *product);
        if (!v.isEmpty() || !m.isEmpty())
            return joined(v, m);
    }
    return QString();
}

} // namespace HardwareNames
