#include "PrivateEtc.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

PrivateEtc::~PrivateEtc()
{
    // The layer's files live on while /etc uses them; only the mount point
    // goes, so the temporary directory can be removed.
    if (!m_layer.isEmpty())
        ::umount2(QFile::encodeName(m_layer).constData(), MNT_DETACH);
}

bool PrivateEtc::start(const QByteArray& resolvConf)
{
    const auto fail = [this](const QString& what) {
        m_lastError = what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    };
    if (!m_dir.isValid())
        return fail(QStringLiteral("temporary directory"));
    const QString layer = m_dir.path() + QStringLiteral("/layer");
    const QByteArray path = QFile::encodeName(layer);
    if (!QDir().mkpath(layer) || ::mount("tmpfs", path.constData(), "tmpfs", 0, nullptr) != 0)
        return fail(QStringLiteral("tmpfs on ") + layer);
    m_layer = layer;
    if (!QDir().mkpath(layer + QStringLiteral("/up")) || !QDir().mkpath(layer + QStringLiteral("/work")))
        return fail(QStringLiteral("layer directories"));
    const QByteArray options = "lowerdir=/etc,upperdir=" + path + "/up,workdir=" + path + "/work";
    if (::mount("overlay", "/etc", "overlay", 0, options.constData()) != 0)
        return fail(QStringLiteral("overlay on /etc"));
    // A DHCP client's script follows a symlinked resolv.conf out of /etc.
    QFile::remove(QStringLiteral("/etc/resolv.conf"));
    QFile file(QStringLiteral("/etc/resolv.conf"));
    if (!file.open(QIODevice::WriteOnly) || file.write(resolvConf) != resolvConf.size())
        return fail(QStringLiteral("/etc/resolv.conf"));
    return true;
}
