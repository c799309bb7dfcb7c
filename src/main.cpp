#include "app/AppSettings.h"
#include "app/DialogPrompts.h"
#include "app/Module1.h"
#include "app/ProgramState.h"
#include "net/CAdapterHelper.h"
#include "net/ModQar.h"
#include "net/InterfaceEntry.h"
#include "net/SystemClock.h"
#include "wizard/ProgramEnd.h"
#include "wizard/frmEnd.h"

#include <QApplication>
#include <QSettings>


#include <cstdio>

namespace {
// Test-only: with LINKWISE_AUTOCLOSE_MS set, the no-adaptor page says on
// stderr that it is up and is closed by its frame after that many
// milliseconds, so a test can run the real binary without a person.
void armAutoClose(Clock& clock, frmEnd& page)
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
    QSettings store;

    SystemClock clock;
    DialogPrompts prompts;
    ProgramState state;
    AppSettings settings;
    UsableInterfaces usable;
    bool wizardMissing = false;

    Module1::StartupHooks hooks;
    CAdapterHelper adapterHelper(QStringLiteral("/sys/class/net"), &prompts);
    hooks.buildInterfaceList = [&]() -> qint32 { return ModQar::BuildInterfaceList(adapterHelper, usable); };
    hooks.loadMainWindowAndShowWelcome = [&] {
        // The main window and the welcome page are not part of this build yet.
        std::fputs("Linkwise: wizard not yet available\n", stderr);
        wizardMissing = true;
    };
    hooks.showNoAdaptorPage = [&] {
        frmEnd page(&ProgramEnd::now);
        armAutoClose(clock, page);
        page.exec();
        // The page ends the program itself; reaching here would be a fault.
        ProgramEnd::now();
    };

    Module1::Main(state, store, settings, usable, hooks);
    if (wizardMissing)
        return 0;
    return app.exec();
}
