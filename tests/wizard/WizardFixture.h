#pragma once

#include "RecordingPrompts.h"
#include "SimulatedClock.h"
#include "net/InterfaceEntry.h"
#include "wizard/WizardPage.h"
#include "wizard/WizardPages.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardState.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>

#include <memory>

// A page with only the navigation buttons, that records its startup and
// lets a test step into its load, startup and close box, standing in for
// pages that other tests cover.
class StubPage : public WizardPage {
public:
    StubPage(PageId id, WizardRouter& router, QWidget* owner)
        : WizardPage(id, router, owner)
    {
        cmdCancel = addNavButton(Nav::Cancel, 5280);
        cmdBack = addNavButton(Nav::Back, 6480);
        cmdNext = addNavButton(Nav::Next, 7680);
    }

    bool press(PageGraph::Button button) { return leave(button); }
    void pressHelp() { showHelpStub(); }
    void startup() override
    {
        ++startups;
        if (onStartup)
            onStartup(*this);
    }
    bool ignoresCloseBox() const override { return ignoreCloseBox; }
    using WizardPage::endProgramWhenIdle;

    QPushButton* cmdCancel;
    QPushButton* cmdBack;
    QPushButton* cmdNext;
    int startups = 0;
    bool ignoreCloseBox = false;
    std::function<void(StubPage&)> onStartup;
    std::function<void(StubPage&)> onLoaded;

protected:
    void onLoad() override
    {
        if (onLoaded)
            onLoaded(*this);
    }
};

// The wizard's surroundings as tests need them: state, recorded prompts,
// a simulated clock, a Shift key under the test's control and an ender that
// counts instead of leaving the process.
struct WizardFixture {
    explicit WizardFixture(int adapters = 1)
    {
        interfaces.LanAdapterCount = adapters;
        router = std::make_unique<WizardRouter>(
            state, prompts, clock, [this] { return shift; }, [this] { ++ends; });
    }
    ~WizardFixture() { router.reset(); }

    // The program's pages, with stand-ins for those that work on the main
    // window or the PC's adapter: this fixture has neither.
    void programPages()
    {
        WizardPages::registerAll(*router);
        for (PageId id : { PageId::Wiz02, PageId::Wiz07, PageId::Wiz08, PageId::Wiz10, PageId::Wiz11A, PageId::Wiz11B,
                 PageId::Wiz11C, PageId::Wiz12A, PageId::Wiz12B, PageId::Wiz12C })
            stub(id);
    }

    // Pages that are not under test answer as stubs.
    void stubAll()
    {
        for (int i = 0; i <= int(PageId::End); ++i)
            stub(PageId(i));
    }
    void stub(PageId id)
    {
        router->registerPage(
            id, [id](WizardRouter& r, QWidget* owner) -> WizardPage* { return new StubPage(id, r, owner); });
    }

    // Pages closed by leaving are deleted from the event loop.
    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    PageId currentId() const { return router->current() ? router->current()->id() : PageId::EndProgram; }

    UsableInterfaces interfaces;
    WizardState state { interfaces };
    RecordingPrompts prompts;
    SimulatedClock clock;
    bool shift = false;
    int ends = 0;
    std::unique_ptr<WizardRouter> router;
};
