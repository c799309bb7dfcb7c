#include "session/SettingsFile.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

SettingsFile::SettingsFile(const QString& organization, const QString& application, const QString& configRoot)
{
    const QString root
        = configRoot.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) : configRoot;
    m_path = root + QLatin1Char('/') + organization + QLatin1Char('/') + application + QStringLiteral(".ini");
    if (isUsablePath(m_path)) {
        m_store = std::make_unique<QSettings>(m_path, QSettings::IniFormat);
        return;
    }
    std::fprintf(stderr,
        "linkwise: %s is not a regular file; this run neither reads its settings from it nor "
        "writes them to it\n",
        qPrintable(m_path));
    m_scratch = std::make_unique<QTemporaryDir>();
    m_store
        = std::make_unique<QSettings>(m_scratch->filePath(application + QStringLiteral(".ini")), QSettings::IniFormat);
}

bool SettingsFile::isUsablePath(const QString& path)
{
    // Both follow links; stat() does not open the file, so a FIFO cannot block here.
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}
