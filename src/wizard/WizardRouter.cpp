#include "wizard/WizardRouter.h"

#include "wizard/WizardArt.h"
#include "wizard/WizardPage.h"

#include <cstdio>
#include <unistd.h>

WizardRouter::WizardRouter(WizardState& state, UserPrompts& prompts, Clock& clock, std::function<bool()> shiftKeyDown,
    Ender ender, QWidget* owner)
    : m_state(state)
    , m_prompts(prompts)
    , m_clock(clock)
    , m_shift(std::move(shiftKeyDown))
    , m_ender(ender ? std::move(ender) : defaultEnder())
    , m_owner(owner)
    , m_icon(WizardArt::windowIcon())
{ }

WizardRouter::~WizardRouter()
{
    // Pages outliving the router must not call back into it.
    const QList<WizardPage*> pages = m_pages;
    m_pages.clear();
    for (WizardPage* p : pages) {
        p->m_router = nullptr;
        p->Navigating = true;
        delete p;
    }
}

void WizardRouter::registerPage(PageId id, Factory factory)
{
    m_factories[id] = std::move(factory);
}

bool WizardRouter::isAvailable(PageId id) const
{
    return m_factories.contains(id);
}

WizardPage* WizardRouter::open(PageId id)
{
    const auto it = m_factories.find(id);
    if (it == m_factories.end())
        return nullptr;
    WizardPage* p = it->second(*this, m_owner.data());
    m_pages.append(p);
    p->load();
    p->show();
    emit pageShown(id);
    return p;
}

WizardPage* WizardRouter::current() const
{
    return m_pages.isEmpty() ? nullptr : m_pages.last();
}

WizardPage* WizardRouter::page(PageId id) const
{
    for (WizardPage* p : m_pages) {
        if (p->id() == id)
            return p;
    }
    return nullptr;
}

void WizardRouter::endProgram()
{
    emit programEnding();
    m_ender();
}

bool WizardRouter::shiftKeyDown() const
{
    return m_shift && m_shift();
}

WizardRouter::Ender WizardRouter::defaultEnder()
{
    return [] {
        std::fflush(nullptr);
        _exit(0);
    };
}

void WizardRouter::forget(WizardPage* page)
{
    if (m_pages.removeOne(page))
        emit pageUnloaded(page->id());
}
