#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

// Makes what the program changes of the PC's system files throw-away, for a
// test that has entered a namespace of its own (NetLab::enter gives it a
// private mount namespace): /etc becomes an overlay whose changes live on a
// tmpfs, with a plain resolv.conf of the test's choosing, and the system bus
// is hidden, so that no daemon of the machine (systemd-resolved,
// NetworkManager) is asked to change anything. Lasts until the mount
// namespace ends; a helper that outlives the test can't write through.
class ScratchEtc {
public:
    ScratchEtc() = default;
    ScratchEtc(const ScratchEtc&) = delete;
    ScratchEtc& operator=(const ScratchEtc&) = delete;
    ~ScratchEtc()
    {
        // Lazily, so that nothing still open there holds the test up; the
        // scratch files go with the directory afterwards.
        if (m_busHidden)
            ::umount2("/run/dbus", MNT_DETACH);
        if (m_etc)
            ::umount2("/etc", MNT_DETACH);
        if (!m_layer.isEmpty())
            ::umount2(m_layer.constData(), MNT_DETACH);
    }

    // True when both are in place; else lastError() says why.
    bool apply(const QByteArray& resolvConf)
    {
        if (!m_dir.isValid())
            return fail(QStringLiteral("no temporary directory"));
        const QString layer = m_dir.path() + QStringLiteral("/layer");
        const QByteArray layerPath = QFile::encodeName(layer);
        if (!QDir().mkpath(layer) || ::mount("tmpfs", layerPath.constData(), "tmpfs", 0, nullptr) != 0)
            return fail(QStringLiteral("tmpfs on ") + layer);
        m_layer = layerPath;
        if (!QDir().mkpath(layer + QStringLiteral("/up")) || !QDir().mkpath(layer + QStringLiteral("/work")))
            return fail(QStringLiteral("overlay directories"));
        const QByteArray options = "lowerdir=/etc,upperdir=" + layerPath + "/up,workdir=" + layerPath + "/work";
        if (::mount("overlay", "/etc", "overlay", 0, options.constData()) != 0)
            return fail(QStringLiteral("overlay on /etc"));
        m_etc = true;
        // A symlinked resolv.conf would lead out of /etc: make it a plain file.
        QFile::remove(QStringLiteral("/etc/resolv.conf"));
        if (!writeResolvConf(resolvConf))
            return fail(QStringLiteral("/etc/resolv.conf"));
        if (QFile::exists(QStringLiteral("/run/dbus"))) {
            if (::mount("tmpfs", "/run/dbus", "tmpfs", 0, nullptr) != 0)
                return fail(QStringLiteral("tmpfs on /run/dbus"));
            m_busHidden = true;
        }
        return true;
    }

    static bool writeResolvConf(const QByteArray& text)
    {
        QFile f(QStringLiteral("/etc/resolv.conf"));
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
    }

    static QByteArray resolvConf()
    {
        QFile f(QStringLiteral("/etc/resolv.conf"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString lastError() const { return m_error; }

private:
    bool fail(const QString& what)
    {
        m_error = what + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(errno));
        return false;
    }

    QTemporaryDir m_dir;
    QByteArray m_layer;
    bool m_etc = false;
    bool m_busHidden = false;
    QString m_error;
};
