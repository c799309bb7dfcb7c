#pragma once

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

// A small /sys/class/net look-alike in a temporary directory: one directory per
// interface holding the attribute files the kernel would show.
class SysfsFixture {
public:
    struct Iface {
        QString name;
        int index = 1;
        int arphrd = 1;
        int addrLen = 6;
        QString address = QStringLiteral("00:0a:95:9d:68:16");
        int mtu = 1500;
        QString operstate = QStringLiteral("up");
        QString flags = QStringLiteral("0x1003");
        QString speed = QStringLiteral("1000");
        // Extra files, path relative to the interface directory -> content.
        QMap<QString, QString> extra = {};
        // Directories to make, e.g. "wireless" or "phy80211".
        QStringList dirs = {};
        // The link this one is enslaved to (a bridge, a bond): the kernel's
        // "master" link to the master's directory.
        QString master = {};
        // Upper links (a VLAN on this one): "upper_<name>" links, no master.
        QStringList uppers = {};
    };

    SysfsFixture() { m_dir.setAutoRemove(true); }

    QString root() const { return m_dir.path(); }

    void add(const Iface& i)
    {
        const QString d = m_dir.path() + QLatin1Char('/') + i.name;
        QDir().mkpath(d + QStringLiteral("/statistics"));
        write(d, QStringLiteral("ifindex"), QString::number(i.index));
        write(d, QStringLiteral("type"), QString::number(i.arphrd));
        write(d, QStringLiteral("addr_len"), QString::number(i.addrLen));
        write(d, QStringLiteral("address"), i.address);
        write(d, QStringLiteral("mtu"), QString::number(i.mtu));
        write(d, QStringLiteral("operstate"), i.operstate);
        write(d, QStringLiteral("flags"), i.flags);
        if (!i.speed.isNull())
            write(d, QStringLiteral("speed"), i.speed);
        write(d, QStringLiteral("ifalias"), QString());
        for (const QString& sub : i.dirs)
            QDir().mkpath(d + QLatin1Char('/') + sub);
        if (!i.master.isEmpty())
            QFile::link(QStringLiteral("../") + i.master, d + QStringLiteral("/master"));
        for (const QString& upper : i.uppers)
            QFile::link(QStringLiteral("../") + upper, d + QStringLiteral("/upper_") + upper);
        for (auto it = i.extra.cbegin(); it != i.extra.cend(); ++it) {
            QDir().mkpath(QFileInfo(d + QLatin1Char('/') + it.key()).path());
            write(d, it.key(), it.value());
        }
    }

private:
    static void write(const QString& dir, const QString& file, const QString& content)
    {
        QFile f(dir + QLatin1Char('/') + file);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(content.toUtf8() + '\n');
    }

    QTemporaryDir m_dir;
};
