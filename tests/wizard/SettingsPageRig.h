#pragma once

#include "RecordingPrompts.h"
#include "SimulatedClock.h"
#include "WizardFixture.h"
#include "wizard/WizardPages.h"
#include "wizard/frmWiz09.h"

#include <QTest>
#include <QUrl>

#include <functional>
#include <memory>

// The router with the page under test and stand-ins around it; the program's
// folder and the desktop's URL handler are the test's.
struct SettingsPageRig {
    explicit SettingsPageRig(QString folder = QString(), std::function<bool(const QUrl&)> openUrl = {})
    {
        interfaces.LanAdapterCount = 1;
        state.WizardMode = 0;
        WizardServices services;
        services.programFolder = std::move(folder);
        services.openUrl = openUrl ? std::move(openUrl) : [this](const QUrl& url) {
            opened << url;
            return true;
        };
        router = std::make_unique<WizardRouter>(
            state, prompts, clock, [] { return false; }, [this] { ++ends; }, nullptr, std::move(services));
        WizardPages::registerAll(*router);
        for (PageId id : { PageId::Wiz08, PageId::Wiz10 })
            router->registerPage(id, [this, id](WizardRouter& r, QWidget* owner) -> WizardPage* {
                auto* page = new StubPage(id, r, owner);
                page->onStartup = [this, id](StubPage&) { startups << id; };
                return page;
            });
    }
    ~SettingsPageRig() { router.reset(); }

    frmWiz09* open()
    {
        auto* page = qobject_cast<frmWiz09*>(router->open(PageId::Wiz09));
        if (page) {
            page->activateWindow();
            if (!QTest::qWaitForWindowActive(page))
                qWarning("the page did not become active");
        }
        return page;
    }
    PageId currentId() const { return router->current() ? router->current()->id() : PageId::EndProgram; }

    UsableInterfaces interfaces;
    WizardState state { interfaces };
    RecordingPrompts prompts;
    SimulatedClock clock;
    int ends = 0;
    QList<PageId> startups;
    QList<QUrl> opened;
    std::unique_ptr<WizardRouter> router;
};
