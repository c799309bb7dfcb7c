#include "app/SystemInfoTool.h"

#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

namespace SystemInfoTool {

QStringList knownPrograms()
{
    return { QStringLiteral("kinfocenter"), QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"),
        QStringLiteral("gnome-system-monitor"), QStringLiteral("mate-system-monitor"), QStringLiteral("xfce4-about") };
}

std::optional<QStringList> lookup(QSettings* store)
{
    if (store) {
        store->beginGroup(QStringLiteral("Settings"));
        const QString named = store->value(QString::fromLatin1(SettingKey)).toString().trimmed();
        store->endGroup();
        if (!named.isEmpty()) {
            // A path with blanks in it is still one program.
            if (QFileInfo::exists(named))
                return QStringList { named };
            const QStringList words = QProcess::splitCommand(named);
            if (!words.isEmpty())
                return words;
        }
    }
    for (const QString& name : knownPrograms()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return QStringList { path };
    }
    return std::nullopt;
}

bool start(const QStringList& command)
{
    if (command.isEmpty())
        return false;
    return QProcess::startDetached(command.first(), command.mid(1));
}

} // namespace SystemInfoTool
