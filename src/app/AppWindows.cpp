#include "app/AppWindows.h"

#include "app/DialogPrompts.h"
#include "app/frmAbout.h"
#include "app/frmInterface.h"
#include "app/frmOptions.h"
#include "app/frmTerminal2.h"
#include "discovery/clsVerevo.h"
#include "net/CIpHelper.h"
#include "unit/CQarUnitInfo.h"
#include "unit/clsUnitQuerier.h"

#include <memory>

namespace {
// The discovery object wherever it is: resting, or lent to a scan.
clsVerevo* discoveryOf(QWidget* owner)
{
    auto* main = qobject_cast<frmMain*>(owner);
    if (!main)
        return nullptr;
    return main->cz() ? main->cz() : main->cVerevo();
}
} // namespace

namespace AppWindows {

void fill(frmMain::Services& services, Extras extras)
{
    Clock& clock = services.clock;
    UsableInterfaces& interfaces = services.interfaces;
    AppSettings& settings = services.settings;
    QSettings* store = services.store;
    // The windows' boxes need somewhere to go even when the main window's
    // unit actions stay silent.
    std::shared_ptr<UserPrompts> ownPrompts;
    if (!services.prompts)
        ownPrompts = std::make_shared<DialogPrompts>();
    UserPrompts& prompts = services.prompts ? *services.prompts : *ownPrompts;
    const QString sysClassNet = extras.sysClassNet;

    services.SelectInterface = [&interfaces, &prompts, sysClassNet, ownPrompts](QWidget* owner) {
        frmInterface dialog(
            interfaces, [&prompts, sysClassNet] { return CIpHelper(sysClassNet, &prompts).Interfaces(); },
            // As on the adaptor page: the discovery broadcast follows the
            // chosen interface's subnet at once (the datagrams themselves
            // leave through whichever interface is selected at each send).
            [owner] {
                if (clsVerevo* verevo = discoveryOf(owner))
                    verevo->setInterface();
            },
            owner);
        dialog.exec();
    };

    services.AdvancedOptions = [&settings, &prompts, ownPrompts](QWidget* owner) {
        frmOptions dialog(settings, prompts, owner);
        dialog.exec();
    };

    services.About = [store, &prompts, ownPrompts](QWidget* owner) {
        frmAbout dialog(store, prompts, owner);
        dialog.exec();
    };

    auto opening = std::make_shared<bool>(false);
    services.openTerminal = [&clock, &prompts, ownPrompts, terminal = extras.terminal, opening](
                                CQarUnitInfo& unit, clsVerevo* verevo) -> std::unique_ptr<frmTerminal2> {
        clsUnitQuerier* cuq = unit.cuq();
        // The login and the connection wait with events running; a second
        // Telnet meanwhile would make a second profile and a second window.
        if (!cuq || !verevo || *opening)
            return nullptr;
        *opening = true;
        const QString serial = unit.Serial();
        QString profile, user, password;
        std::unique_ptr<frmTerminal2> window;
        if (cuq->SetupTempUser(serial, *verevo, profile, user, password)) {
            window = std::make_unique<frmTerminal2>(std::make_unique<clsTrm>(clock, prompts, terminal), prompts);
            const qint32 result = window->connectNow(0, user, password, unit.ip(), QString());
            // The login has served its purpose; the session stays open.
            cuq->ClearUser(serial, *verevo, profile);
            if (result != 0)
                CallLifetime::release(std::move(window));
        }
        *opening = false;
        return window;
    };
}

} // namespace AppWindows
