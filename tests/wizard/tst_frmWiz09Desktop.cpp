// The cellular settings page's Help on a real X display with a window
// manager, where Qt hands a file to the desktop's own URL handler.
#include "DesktopTestMain.h"
#include "SettingsPageRig.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {
bool writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}
} // namespace

class tst_frmWiz09Desktop : public QObject {
    Q_OBJECT
private slots:
    // The help page as shipped, opened by the desktop's own URL handler
    // (xdg-open) in the viewer the person's desktop names for HTML.
    void helpOpensInTheDesktopsViewer()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
            QSKIP("xdg-open is not installed");
        const QString built = qEnvironmentVariable("LINKWISE_BUILD_DIR") + QStringLiteral("/src");
        QVERIFY2(QFile::exists(built + QStringLiteral("/help/apn_and_pin.htm")), "the build has no help page");

        QTemporaryDir desktop;
        const QString seen = desktop.filePath(QStringLiteral("seen"));
        // The person's HTML viewer: notes the file it was asked to show.
        const QString viewer = desktop.filePath(QStringLiteral("viewer"));
        QVERIFY(writeFile(viewer, QStringLiteral("#!/bin/sh\nprintf %s \"$1\" > '%1'\n").arg(seen).toUtf8()));
        QVERIFY(QFile::setPermissions(viewer, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(writeFile(desktop.filePath(QStringLiteral("data/applications/linkwise-test-viewer.desktop")),
            QStringLiteral("[Desktop Entry]\nType=Application\nName=Viewer\nMimeType=text/html;\nExec=%1 %f\n")
                .arg(viewer)
                .toUtf8()));
        QVERIFY(writeFile(desktop.filePath(QStringLiteral("config/mimeapps.list")),
            "[Default Applications]\ntext/html=linkwise-test-viewer.desktop\n"));
        qputenv("XDG_DATA_HOME", desktop.filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", desktop.filePath(QStringLiteral("config")).toUtf8());
        qunsetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("DESKTOP_SESSION");
        qunsetenv("BROWSER");

        SettingsPageRig rig(built, [](const QUrl& url) { return QDesktopServices::openUrl(url); });
        frmWiz09* page = rig.open();
        QVERIFY(page);
        QTest::mouseClick(page->cmdHelp, Qt::LeftButton);
        QDeadlineTimer deadline(15000);
        while (!QFile::exists(seen) && !deadline.hasExpired())
            QTest::qWait(50);
        QFile got(seen);
        QVERIFY2(got.open(QIODevice::ReadOnly), "the viewer was never started");
        QCOMPARE(QFileInfo(QString::fromUtf8(got.readAll())).canonicalFilePath(),
            QFileInfo(built + QStringLiteral("/help/apn_and_pin.htm")).canonicalFilePath());
    }
};

LINKWISE_DESKTOP_TEST_MAIN(tst_frmWiz09Desktop, QApplication)
#include "tst_frmWiz09Desktop.moc"
