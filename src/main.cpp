#include "net/SystemClock.h"
#include "session/RemoteManagementStore.h"
#include "session/SettingsFile.h"
#include "wizard/LinkwiseProgram.h"
#include "wizard/WizardArt.h"
#include "wizard/WizardPage.h"
#include "wizard/WizardRouter.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
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

// Says once on stderr that a window has painted, the moment a person first
// sees it.
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget& window, const char* line)
        : QObject(&window)
        , m_line(line)
    {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            std::fputs(m_line, stderr);
        }
        return false;
    }

private:
    const char* m_line;
};

// Test-only, with the same variable: the welcome page says on stderr when it
// has painted and is closed after that many milliseconds, which ends the run
// as its close box does. The start-up benchmark times the real binary so.
void armWelcomeAutoClose(Clock& clock, WizardRouter* router)
{
    bool ok = false;
    const int delayMs = qEnvironmentVariableIntValue("LINKWISE_AUTOCLOSE_MS", &ok);
    QWidget* page = router ? router->visiblePage() : nullptr;
    if (!ok || !page)
        return;
    new FirstPaint(*page, "frmWiz01 shown\n");
    clock.schedule(delayMs, [page] { page->close(); });
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Linkwise"));
    QApplication::setApplicationName(QStringLiteral("Linkwise"));
    // The desktop entry and icon installed with the program carry this id;
    // Wayland compositors match the window to them by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("invalid.linkwise.Linkwise"));
    QApplication::setWindowIcon(WizardArt::windowIcon());
    // ~/.config/Linkwise/Linkwise.ini
    QSettings::setDefaultFormat(QSettings::IniFormat);
    SettingsFile settingsFile(QStringLiteral("Linkwise"), QStringLiteral("Linkwise"));
    QSettings& store = settingsFile.store();
    // The telnet retry count is shared with the remote-management tool's own settings.
    SettingsFile remoteManagementFile = RemoteManagementStore::open();
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
    armWelcomeAutoClose(clock, program.router());
    return app.exec();
}
