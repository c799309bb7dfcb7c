#include "wizard/ProgramFiles.h"

#include <QDir>
#include <QFileInfo>

namespace ProgramFiles {

QString find(const QString& programFolder, const QString& relativePath)
{
    if (programFolder.isEmpty())
        return {};
    const QDir folder(programFolder);
    for (const QString& candidate :
        { folder.filePath(relativePath), folder.filePath(QStringLiteral("../share/linkwise/") + relativePath) }) {
        const QFileInfo info(QDir::cleanPath(candidate));
        if (info.isFile())
            return info.absoluteFilePath();
    }
    return {};
}

} // namespace ProgramFiles
