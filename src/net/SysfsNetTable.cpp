#include "net/SysfsNetTable.h"

#include "net/HardwareNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace {
// Kernel values that the interface table needs (linux/if_arp.h, linux/if.h).
constexpr int arphrdEther = 1;
constexpr int arphrdPpp = 512;
constexpr int arphrdLoopback = 772;
constexpr int arphrdIeee80211 = 801;
constexpr int arphrdIeee80211Radiotap = 803;
constexpr quint32 iffUp = 0x1;

struct Attributes {
    QString dir;

    // The text of an attribute without the newline the kernel ends it with;
    // nullopt when the attribute is missing or refuses to be read (speed of a
    // link that is down answers EINVAL).
    std::optional<QByteArray> text(const QString& attr) const
    {
        QFile f(dir + QLatin1Char('/') + attr);
        if (!f.open(QIODevice::ReadOnly))
            return std::nullopt;
        QByteArray data = f.readAll();
        if (f.error() != QFileDevice::NoError)
            return std::nullopt;
        if (data.endsWith('\n'))
            data.chop(1);
        return data;
    }

    std::optional<qint64> number(const QString& attr) const
    {
        const auto t = text(attr);
        if (!t)
            return std::nullopt;
        bool ok = false;
        const qint64 v = t->trimmed().toLongLong(&ok, 0);
        return ok ? std::optional<qint64>(v) : std::nullopt;
    }

    quint64 counter(const QString& attr) const
    {
        const auto t = text(attr);
        if (!t)
            return 0;
        bool ok = false;
        const quint64 v = t->trimmed().toULongLong(&ok);
        return ok ? v : 0;
    }

    bool exists(const QString& entry) const { return QFileInfo::exists(dir + QLatin1Char('/') + entry); }

    QString ueventValue(const QString& file, const QByteArray& key) const
    {
        const auto t = text(file);
        if (!t)
            return QString();
        for (const QByteArray& line : t->split('\n')) {
            if (line.startsWith(key + '='))
                return QString::fromLocal8Bit(line.mid(key.size() + 1));
        }
        return QString();
    }
};

// "02:fc:00:00:00:01" into bytes; at most addrLen of them.
QByteArray macBytes(const QByteArray& text, qint64 addrLen)
{
    QByteArray out;
    if (addrLen < 1)
        return out;
    for (const QByteArray& pair : text.trimmed().split(':')) {
        if (out.size() >= addrLen)
            break;
        bool ok = false;
        const uint v = pair.toUInt(&ok, 16);
        if (!ok || v > 0xff)
            return QByteArray();
        out.append(char(v));
    }
    return out;
}

QString describe(const Attributes& a, const QString& name)
{
    // A description the administrator gave the interface wins.
    if (const auto alias = a.text(QStringLiteral("ifalias")); alias && !alias->trimmed().isEmpty())
        return QString::fromLocal8Bit(*alias);
    // Then what people recognise: the card's maker and model.
    const QString card = HardwareNames::describe(a.dir);
    return card.isEmpty() ? name : card;
}

// What names the link: the part of the record every reader needs.
std::optional<KernelInterface> readLink(const Attributes& a, const QString& name)
{
    const auto index = a.number(QStringLiteral("ifindex"));
    if (!index)
        return std::nullopt;
    KernelInterface k;
    k.index = qint32(*index);
    k.name = name;
    if (const auto address = a.text(QStringLiteral("address")))
        k.mac = macBytes(*address, a.number(QStringLiteral("addr_len")).value_or(0));
    const quint64 flags = quint64(a.number(QStringLiteral("flags")).value_or(0));
    k.adminStatus = (flags & iffUp) ? 1 : 2;
    const bool wireless = a.exists(QStringLiteral("wireless")) || a.exists(QStringLiteral("phy80211"))
        || a.ueventValue(QStringLiteral("uevent"), "DEVTYPE") == QLatin1String("wlan");
    k.ianaType = SysfsNetTable::ianaType(int(a.number(QStringLiteral("type")).value_or(0)), wireless);
    // The kernel links a bridge port or a bond member to its master's
    // directory; a VLAN or macvlan on a link is an upper link, no master.
    const QFileInfo master(a.dir + QStringLiteral("/master"));
    if (master.isSymLink())
        k.master = QFileInfo(master.symLinkTarget()).fileName();
    return k;
}

std::optional<KernelInterface> readOne(
    const QString& root, const QString& name, const QHash<QString, Ipv4Assignment>& firstAddress)
{
    const Attributes a { root + QLatin1Char('/') + name };
    std::optional<KernelInterface> link = readLink(a, name);
    if (!link)
        return std::nullopt;
    KernelInterface& k = *link;
    k.description = describe(a, name);
    k.mtu = qint32(a.number(QStringLiteral("mtu")).value_or(0));
    k.operStatus
        = SysfsNetTable::operStatus(QString::fromLatin1(a.text(QStringLiteral("operstate")).value_or(QByteArray())));
    // Mb/s; -1 (or a refused read) when the driver does not know it.
    const qint64 speed = a.number(QStringLiteral("speed")).value_or(-1);
    k.speedBitsPerSecond = speed > 0 ? quint64(speed) * 1'000'000u : 0;
    const QString s = QStringLiteral("statistics/");
    k.rxBytes = a.counter(s + QStringLiteral("rx_bytes"));
    k.txBytes = a.counter(s + QStringLiteral("tx_bytes"));
    k.rxPackets = a.counter(s + QStringLiteral("rx_packets"));
    k.txPackets = a.counter(s + QStringLiteral("tx_packets"));
    k.rxMulticast = a.counter(s + QStringLiteral("multicast"));
    k.rxErrors = a.counter(s + QStringLiteral("rx_errors"));
    k.txErrors = a.counter(s + QStringLiteral("tx_errors"));
    k.rxDropped = a.counter(s + QStringLiteral("rx_dropped"));
    k.txDropped = a.counter(s + QStringLiteral("tx_dropped"));
    k.rxNoHandler = a.counter(s + QStringLiteral("rx_nohandler"));
    const auto it = firstAddress.constFind(name);
    if (it != firstAddress.cend()) {
        k.ipAddress = it->address;
        k.mask = it->mask;
    }
    return k;
}

void sortByIndex(QList<KernelInterface>& list)
{
    std::stable_sort(
        list.begin(), list.end(), [](const KernelInterface& x, const KernelInterface& y) { return x.index < y.index; });
}

std::optional<QStringList> names(const QString& root)
{
    const QDir dir(root);
    if (!dir.exists() || !dir.isReadable())
        return std::nullopt;
    return dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}
} // namespace

namespace SysfsNetTable {

qint32 ianaType(int arphrdType, bool wireless)
{
    switch (arphrdType) {
    case arphrdEther:
        return wireless ? 71 : 6;
    case arphrdIeee80211:
    case arphrdIeee80211 + 1: // prism header
    case arphrdIeee80211Radiotap:
        return 71;
    case arphrdPpp:
        return 23;
    case arphrdLoopback:
        return 24;
    default:
        return 1;
    }
}

qint32 operStatus(const QString& operstate)
{
    static const QHash<QString, qint32> states { { QStringLiteral("up"), 1 }, { QStringLiteral("down"), 2 },
        { QStringLiteral("testing"), 3 }, { QStringLiteral("unknown"), 4 }, { QStringLiteral("dormant"), 5 },
        { QStringLiteral("notpresent"), 6 }, { QStringLiteral("lowerlayerdown"), 7 } };
    return states.value(operstate.trimmed(), 4);
}

std::optional<QList<KernelInterface>> read(const QString& root, const Ipv4AddressSource& addresses)
{
    const std::optional<QStringList> all = names(root);
    if (!all)
        return std::nullopt;
    QHash<QString, Ipv4Assignment> firstAddress;
    const QList<Ipv4Assignment> assigned = addresses ? addresses() : systemIpv4Addresses();
    for (const Ipv4Assignment& a : assigned) {
        if (!firstAddress.contains(a.interfaceName))
            firstAddress.insert(a.interfaceName, a);
    }
    QList<KernelInterface> out;
    for (const QString& name : *all) {
        if (auto k = readOne(root, name, firstAddress))
            out.append(std::move(*k));
    }
    sortByIndex(out);
    return out;
}

std::optional<QList<KernelInterface>> links(const QString& root)
{
    const std::optional<QStringList> all = names(root);
    if (!all)
        return std::nullopt;
    QList<KernelInterface> out;
    for (const QString& name : *all) {
        if (auto k = readLink(Attributes { root + QLatin1Char('/') + name }, name))
            out.append(std::move(*k));
    }
    sortByIndex(out);
    return out;
}

} // namespace SysfsNetTable
