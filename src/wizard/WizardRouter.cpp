#include "wizard/WizardRouter.h"

#include "app/UnitLookup.h"
#include "app/frmMain.h"
#include "wizard/WizardArt.h"
#include "wizard/WizardPage.h"
#include "wizard/WizardState.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

namespace {
// The frame's width on each side, from a window that is on screen.
QMargins frameMargins(const QWidget* w)
{
    const QRect inner = w->geometry();
    const QRect outer = w->frameGeometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
        outer.bottom() - inner.bottom());
}

// The frame moved the least distance that puts it inside the area; when it is
// larger than the area its top left corner stays inside, so the title bar and
// the close box can still be reached.
QPoint keptInside(const QRect& frame, const QRect& area)
{
    const int x = qMax(area.left(), qMin(frame.left(), area.right() + 1 - frame.width()));
    const int y = qMax(area.top(), qMin(frame.top(), area.bottom() + 1 - frame.height()));
    return { x, y };
}
} // namespace

WizardRouter::WizardRouter(WizardState& state, UserPrompts& prompts, Clock& clock, std::function<bool()> shiftKeyDown,
    Ender ender, QWidget* owner, WizardServices services)
    : m_state(state)
    , m_prompts(prompts)
    , m_clock(clock)
    , m_shift(std::move(shiftKeyDown))
    , m_ender(ender ? std::move(ender) : Ender(&ProgramEnd::now))
    , m_owner(owner)
    , m_services(std::move(services))
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

WizardPage* WizardRouter::open(PageId id)
{
    const auto it = m_factories.find(id);
    if (it == m_factories.end())
        return nullptr;
    WizardPage* p = it->second(*this, m_owner.data());
    m_pages.append(p);
    p->load();
    place(p);
    p->show();
    emit pageShown(id);
    QPointer<WizardPage> alive(p);
    p->shown();
    return alive.data();
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

WizardPage* WizardRouter::visiblePage() const
{
    for (auto it = m_pages.crbegin(); it != m_pages.crend(); ++it) {
        if ((*it)->isVisible())
            return *it;
    }
    return nullptr;
}

std::shared_ptr<CQarUnitInfo> WizardRouter::selectedUnit() const
{
    if (!m_services.main)
        return nullptr;
    return UnitLookup::bySelectedUnitNo(m_services.main->Units(), m_state.SelectedUnitNo);
}

clsVerevo* WizardRouter::discovery() const
{
    return m_services.main ? m_services.main->cz() : nullptr;
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

void WizardRouter::remember(const QWidget* page)
{
    if (!page->isVisible())
        return;
    m_lastFrame = page->frameGeometry();
    m_frameMargins = frameMargins(page);
}

void WizardRouter::place(WizardPage* page)
{
    // A wizard is one window to the person: the next page takes over the spot
    // of the one on screen, wherever it was moved to, instead of wherever the
    // window manager would put a new window.
    if (const WizardPage* onScreen = visiblePage(); onScreen && onScreen != page)
        remember(onScreen);
    const QSize frameSize = page->size().grownBy(m_frameMargins);
    QScreen* screen = nullptr;
    QRect frame;
    if (m_lastFrame.isValid()) {
        frame = QRect(m_lastFrame.topLeft(), frameSize);
        screen = QGuiApplication::screenAt(m_lastFrame.center());
    } else {
        screen = QGuiApplication::screenAt(QCursor::pos());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (!screen)
            return;
        frame = QRect(QPoint(), frameSize);
        frame.moveCenter(screen->availableGeometry().center());
    }
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        frame.moveTopLeft(keptInside(frame, screen->availableGeometry()));
    // A window not yet shown is placed by its frame's corner.
    page->move(frame.topLeft());
}

void WizardRouter::forget(WizardPage* page)
{
    remember(page);
    if (m_pages.removeOne(page))
        emit pageUnloaded(page->id());
}
