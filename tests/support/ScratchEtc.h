#pragma once

#include "PrivateEtc.h"

#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

// Makes what the program changes of the PC's system files throw-away, for a
// test that has entered a namespace of its own (NetLab::enter gives it a
// private mount namespace): /etc becomes an overlay whose changes live on a
// tmpfs, with a plain resolv.conf of the test's choosing, and the system bus
// is hidden, so that no daemon of the machine (systemd-resolved,
// NetworkManager) is asked to change anything. The layer lasts until the
// mount namespace ends, so a helper that outlives the test still writes
// into it.
class ScratchEtc {
public:
    ScratchEtc() = default;
    ScratchEtc(const ScratchEtc&) = delete;
    ScratchEtc& operator=(const ScratchEtc&) = delete;
    ~ScratchEtc()
    {
        // Lazily, so that nothing still open there holds the test up.
        if (m_busHidden)
            ::umount2("/run/dbus", MNT_DETACH);
    }

    // True when both are in place; else lastError() says why.
    bool apply(const QByteArray& resolvConf)
    {
        if (!m_etc.start(resolvConf)) {
            m_error = m_etc.lastError();
            return false;
        }
        if (QFile::exists(QStringLiteral("/run/dbus"))) {
            if (::mount("tmpfs", "/run/dbus", "tmpfs", 0, nullptr) != 0) {
                m_error = QStringLiteral("tmpfs on /run/dbus: ") + QString::fromLocal8Bit(strerror(errno));
                return false;
            }
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
    PrivateEtc m_etc;
    bool m_busHidden = false;
    QString m_error;
};
