#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

// The maker and model of the card behind a network interface, as people know
// them from the box or the system's settings ("Intel Corporation 82574L
// Gigabit Network Connection"), looked up in the system's hardware database.
namespace HardwareNames {

// Where the names come from; the defaults are the system's own.
struct Sources {
    // The hardware database's properties for a modalias (ID_VENDOR_FROM_DATABASE,
    // ID_MODEL_FROM_DATABASE); empty when it has none. Default: systemd's hwdb.
    std::function<QMap<QString, QString>(const QString& modalias)> hwdb;
    // ID lists of the pciutils and usbutils kind, used when hwdb knows nothing.
    QStringList pciIds = { QStringLiteral("/usr/share/misc/pci.ids"), QStringLiteral("/usr/share/hwdata/pci.ids") };
    QStringList usbIds = { QStringLiteral("/usr/share/misc/usb.ids"), QStringLiteral("/usr/share/hwdata/usb.ids") };
};

// "Vendor Model" of the PCI or USB device behind the interface whose sysfs
// directory is interfaceDir (…/class/net/<name>); empty for a virtual link or
// a card no database knows.
QString describe(const QString& interfaceDir, const Sources& sources = {});

// The systemd hwdb lookup (systemd-hwdb query, or udevadm hwdb --test on older
// systems); answers are kept for the run, the hardware does not change.
QMap<QString, QString> systemHwdb(const QString& modalias);

// Vendor and device names of a pci.ids / usb.ids file; empty texts when absent.
std::pair<QString, QString> lookUpIds(const QString& idsFile, quint16 vendor, quint16 device);

} // namespace HardwareNames
