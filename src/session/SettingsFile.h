#pragma once

#include <QSettings>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// An application's per-user settings file, <config>/<organization>/<application>.ini
// (<config> is $XDG_CONFIG_HOME or ~/.config). A path that holds something
// other than a regular file counts as unreadable: reading a FIFO would block
// start-up for good and a directory cannot be read. The run then starts from
// the defaults, says so on stderr, and what it writes goes to a scratch file
// that is dropped at exit, so the odd file is left alone.
class SettingsFile {
public:
    // configRoot: where <organization>/ lies; the user's configuration folder when empty.
    SettingsFile(const QString& organization, const QString& application, const QString& configRoot = QString());

    QSettings& store() { return *m_store; }
    // The file this run reads and writes, or would have.
    const QString& path() const { return m_path; }
    bool usable() const { return !m_scratch; }

    // Whether path names nothing yet or a regular file (after links).
    static bool isUsablePath(const QString& path);

private:
    QString m_path;
    std::unique_ptr<QTemporaryDir> m_scratch;
    std::unique_ptr<QSettings> m_store;
};
