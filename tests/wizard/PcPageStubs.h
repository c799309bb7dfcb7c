#pragma once

#include "WizardFixture.h"

// The pages on either side of the PC settings pages that their tests don't
// cover (configuration option, cellular test, unit address pages) as stubs
// that note each startup run on them.
inline void stubPagesBeforePcSettings(WizardRouter& router, QList<PageId>& startups)
{
    for (PageId id : { PageId::Wiz08, PageId::Wiz10, PageId::Wiz11A, PageId::Wiz11B, PageId::Wiz11C })
        router.registerPage(id, [&startups, id](WizardRouter& r, QWidget* owner) -> WizardPage* {
            auto* page = new StubPage(id, r, owner);
            page->onStartup = [&startups, id](StubPage&) { startups << id; };
            return page;
        });
}
