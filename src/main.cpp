#include "app/SettingsFile.h"
#include "net/SystemClock.h"
#include "wizard/LinkwiseProgram.h"

#include <QApplication>
#include <QDialog>
#include <QSettings>

#include <cstdio>

namespace {
// Test-only: with LINKWISE_AUTOCLOSE_MS set, the no-adaptor page says on
// stderr that it is up and is closed by its frame after that many
// milliseconds, so a test can run the real binary without a person.
void armAutoClose(Clock& clock, QDialog& page)
{
    bool ok = false;
    const int delayMs = qEnvironmentVariableIntValue("LINKWISE_AUTOCLOSE_MS", &ok);
    if (!ok)
        return;
    clock.schedule(0, [&page] {
        if (page.isVisible())
            std::fputs("frmEnd shown\n", stderr);
    });
    clock.schedule(delayMs, [&page] { page.close(); });
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Linkwise"));
    QApplication::setApplicationName(QStringLiteral("Linkwise"));
    // ~/.config/Linkwise/Linkwise.ini
    QSettings::setDefaultFormat(QSettings::IniFormat);
    SettingsFile settingsFile(QStringLiteral("Linkwise"), QStringLiteral("Linkwise"));
    QSettings& store = settingsFile.store();
    // The telnet retry count is shared with the remote-management tool's own settings.
    SettingsFile remoteManagementFile(QStringLiteral("VelmarQuillstone"), QStringLiteral("VelmarQuillstone"));
    QSettings& remoteManagement = remoteManagementFile.store();

    SystemClock clock;
    LinkwiseProgram program({
        .clock = clock,
        .store = store,
        .remoteManagement = remoteManagement,
        .ender = &ProgramEnd::now,
        .shiftKeyDown = {},
        .openUrl = {},
        .sysClassNet = QStringLiteral("/sys/class/net"),
        .noAdaptorPageShown = [&clock](QDialog& page) { armAutoClose(clock, page); },
    });
    program.start();
    return app.exec();
}
