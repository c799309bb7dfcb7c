#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <csignal>
#include <sys/mount.h>

// Throw-away copies of what changing the PC's adapter writes outside the
// namespace's own kernel state: /etc (the DHCP client's script rewrites
// /etc/resolv.conf, the kernel backend writes it too) and /run/linkwise (the
// program's DHCP clients). Only for a process that has a mount namespace of
// its own (NetLab::enter made one); the machine's files stay as they are.
class PrivateSystemFiles {
public:
    // resolvConf: what /etc/resolv.conf holds at the start.
    bool make(const QByteArray& resolvConf, QString* error)
    {
        m_layer = m_dir.filePath(QStringLiteral("layer"));
        const QByteArray layer = QFile::encodeName(m_layer);
        QDir().mkpath(m_layer);
        if (::mount("tmpfs", layer.constData(), "tmpfs", 0, nullptr) != 0)
            return fail(error, QStringLiteral("tmpfs for the layer over /etc"));
        QDir().mkpath(m_layer + QStringLiteral("/up"));
        QDir().mkpath(m_layer + QStringLiteral("/work"));
        const QByteArray options = "lowerdir=/etc,upperdir=" + layer + "/up,workdir=" + layer + "/work";
        if (::mount("overlay", "/etc", "overlay", 0, options.constData()) != 0)
            return fail(error, QStringLiteral("overlay on /etc"));
        m_etcMounted = true;
        // The client's script follows a symlinked resolv.conf out of /etc.
        QFile::remove(QStringLiteral("/etc/resolv.conf"));
        QFile layered(QStringLiteral("/etc/resolv.conf"));
        if (!layered.open(QIODevice::WriteOnly))
            return fail(error, QStringLiteral("/etc/resolv.conf in the layer"));
        layered.write(resolvConf);
        layered.close();
        // The directory itself may stay behind on the machine: it is the
        // program's own and empty there.
        QDir().mkpath(runDir());
        if (::mount("tmpfs", QFile::encodeName(runDir()).constData(), "tmpfs", 0, nullptr) != 0)
            return fail(error, QStringLiteral("tmpfs on ") + runDir());
        m_runMounted = true;
        return true;
    }

    ~PrivateSystemFiles()
    {
        // DHCP clients the program left running go before their namespace.
        if (m_runMounted) {
            for (const QString& name : QDir(runDir()).entryList({ QStringLiteral("*.pid") }, QDir::Files)) {
                QFile pid(runDir() + u'/' + name);
                if (pid.open(QIODevice::ReadOnly))
                    if (const qint64 n = pid.readAll().trimmed().toLongLong(); n > 0)
                        ::kill(pid_t(n), SIGTERM);
            }
            ::umount2(QFile::encodeName(runDir()).constData(), MNT_DETACH);
        }
        // The next road's namespace starts as a copy of this one: it must
        // find the machine's /etc, not this layer.
        if (m_etcMounted)
            ::umount2("/etc", MNT_DETACH);
        if (!m_layer.isEmpty())
            ::umount2(QFile::encodeName(m_layer).constData(), MNT_DETACH);
    }

    static QString runDir() { return QStringLiteral("/run/linkwise"); }

private:
    static bool fail(QString* error, const QString& why)
    {
        if (error)
            *error = why;
        return false;
    }

    QTemporaryDir m_dir;
    QString m_layer;
    bool m_etcMounted = false;
    bool m_runMounted = false;
};
