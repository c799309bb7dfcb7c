#include "wizard/WizardPage.h"

#include "app/Twips.h"
#include "net/UserPrompts.h"
#include "wizard/PageFonts.h"
#include "wizard/StepLabel.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardState.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int kClientWidth = 8925;
constexpr int kClientHeight = 5445;
constexpr int kButtonWidth = 1095;
constexpr int kButtonHeight = 375;

struct NavDesign {
    const char* caption;
    const char* name;
};
constexpr NavDesign kNav[] = {
    { "&Cancel", "cmdCancel" },
    { "&Back", "cmdBack" },
    { "&Next", "cmdNext" },
    { "&Retry", "cmdRetry" },
    { "&Help", "cmdHelp" },
};

bool usable(const QPushButton* button)
{
    return button && button->isVisible() && button->isEnabled();
}
} // namespace

WizardPage::WizardPage(PageId id, WizardRouter& router, QWidget* owner)
    : QWidget(owner,
        Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
            | Qt::WindowMinimizeButtonHint)
    , m_id(id)
    , m_router(&router)
{
    setObjectName(pageName(id));
    setWindowTitle(QStringLiteral("Calvantor Linkwise"));
    setFixedSize(Twips::toPx(kClientWidth), Twips::toPx(kClientHeight));
}

WizardPage::~WizardPage()
{
    if (m_router)
        m_router->forget(this);
}

void WizardPage::load()
{
    Navigating = false;
    setWindowIcon(router().windowIcon());
    onLoad();
    // Return goes to the focused button; the page opens with the one that
    // leads on, as a dialog opens with its default button.
    if (QPushButton* next = navButton(Nav::Next); next && next->isEnabled() && !next->isHidden())
        next->setFocus(Qt::OtherFocusReason);
}

void WizardPage::shown()
{
    RunScope scope(m_life);
    onShown();
}

void WizardPage::runStartup()
{
    RunScope scope(m_life);
    startup();
}

void WizardPage::setBusy(bool busy)
{
    m_busy = busy;
    if (!busy)
        runDeferred();
}

void WizardPage::whenIdle(std::function<void()> action)
{
    m_deferred.push_back(std::move(action));
    runDeferred();
}

void WizardPage::runDeferred()
{
    RunScope scope(m_life);
    while (!m_busy && !m_deferred.empty()) {
        std::function<void()> action = std::move(m_deferred.front());
        m_deferred.pop_front();
        action();
    }
}

QPushButton* WizardPage::navButton(Nav role) const
{
    return m_nav[int(role)].data();
}

QString WizardPage::exitQuestion()
{
    return QStringLiteral("Are you sure you want to exit the Calvantor Linkwise?");
}

QString WizardPage::helpStubText()
{
    return QStringLiteral("Help not yet implemented!");
}

void WizardPage::nextClicked()
{
    leave(PageGraph::Button::Next);
}

void WizardPage::backClicked()
{
    leave(PageGraph::Button::Back);
}

void WizardPage::cancelClicked()
{
    if (prompts().askYesNo(exitQuestion(), UserPrompts::Icon::Question))
        endProgramWhenIdle();
}

void WizardPage::helpClicked()
{
    showHelpStub();
}

void WizardPage::onNav(Nav role)
{
    RunScope scope(m_life);
    switch (role) {
    case Nav::Next:
        if (!m_leaving)
            nextClicked();
        break;
    case Nav::Back:
        if (!m_leaving)
            backClicked();
        break;
    case Nav::Cancel:
        cancelClicked();
        break;
    case Nav::Retry: {
        QPushButton* retry = navButton(Nav::Retry);
        retry->setEnabled(false);
        whenIdle([this, retry] {
            retry->setEnabled(true);
            retryClicked();
        });
        break;
    }
    case Nav::Help:
        helpClicked();
        break;
    }
}

bool WizardPage::leave(PageGraph::Button button)
{
    const std::optional<PageGraph::Route> r = PageGraph::route(m_id, button, routeInputs());
    if (!r) {
        if (!m_leaving)
            Navigating = false;
        return false;
    }
    return leaveTo(r->to, r->startup);
}

bool WizardPage::leaveTo(PageId target, bool runStartup)
{
    if (m_leaving)
        return false;
    m_leaving = true;
    Navigating = true;
    if (target == PageId::EndProgram) {
        router().endProgram();
        return true;
    }
    onLeave();
    // The target's startup pumps events; this page must outlive it.
    RunScope scope(m_life);
    QPointer<WizardPage> next(router().open(target));
    if (runStartup && next) {
        hide();
        next->runStartup();
    }
    unloadWhenIdle();
    return true;
}

void WizardPage::stay()
{
    Navigating = false;
    m_leaving = false;
    setEnabled(true);
    if (QPushButton* next = navButton(Nav::Next))
        next->setEnabled(true);
}

void WizardPage::unloadWhenIdle()
{
    if (m_busy)
        hide();
    whenIdle([this] { close(); });
}

void WizardPage::endProgramWhenIdle()
{
    if (m_busy)
        hide();
    whenIdle([this] {
        if (m_router)
            m_router->endProgram();
    });
}

void WizardPage::runGuarded(const std::function<void()>& work)
{
    RunScope scope(m_life);
    work();
}

void WizardPage::showHelpStub()
{
    prompts().message(helpStubText(), UserPrompts::Icon::Exclamation);
}

void WizardPage::place(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(Twips::rect(left, top, width, height));
}

QPushButton* WizardPage::addNavButton(Nav role, int left, int top)
{
    const NavDesign& design = kNav[int(role)];
    QPushButton* button = addButton(QString::fromLatin1(design.caption), left, top);
    button->setObjectName(QString::fromLatin1(design.name));
    if (role == Nav::Next)
        button->setDefault(true);
    m_nav[int(role)] = button;
    connect(button, &QPushButton::clicked, this, [this, role] { onNav(role); });
    return button;
}

QPushButton* WizardPage::addButton(const QString& text, int left, int top)
{
    auto* button = new QPushButton(text, this);
    place(button, left, top, kButtonWidth, kButtonHeight);
    return button;
}

QLabel* WizardPage::addLabel(const QString& text, int left, int top, int width, int height)
{
    auto* label = new QLabel(text, this);
    place(label, left, top, width, height);
    return label;
}

void WizardPage::onClicked(QAbstractButton* button, std::function<void()> handler)
{
    connect(button, &QAbstractButton::clicked, this, [this, handler = std::move(handler)] {
        RunScope scope(m_life);
        handler();
    });
}

QLabel* WizardPage::addTitle(const QString& text, int top, int height)
{
    QLabel* title = addLabel(text, 75, top, 8775, height);
    title->setObjectName(QStringLiteral("lblTitle"));
    title->setFont(PageFonts::title());
    title->setAlignment(Qt::AlignCenter);
    return title;
}

QLabel* WizardPage::addStepLine(const QString& name, const QString& text, int left, int top, int width)
{
    auto* label = new StepLabel(text, this);
    place(label, left, top, width, 300);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

void WizardPage::closeEvent(QCloseEvent* event)
{
    if (!Navigating && ignoresCloseBox()) {
        event->ignore();
        return;
    }
    // A window closed other than by the page's own leaving ends the whole run.
    if (!Navigating && m_router)
        m_router->endProgram();
    event->accept();
    unload();
}

void WizardPage::unload()
{
    if (m_life.ended())
        return;
    // Unloaded from inside its close, a page still has Qt's close on the
    // stack: it goes from the event loop, and not before its own work is back.
    m_life.end([this] { deleteLater(); });
    if (m_router)
        m_router->forget(this);
}

void WizardPage::keyPressEvent(QKeyEvent* event)
{
    // Keys the focused control left alone. Pages are plain windows, not
    // dialogs, so Return and Escape get the dialog meaning here: Return
    // presses the focused button (the default one when the focus is on a
    // list or a choice), Escape presses Cancel.
    QPushButton* target = nullptr;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        target = qobject_cast<QPushButton*>(focusWidget());
        if (!usable(target))
            target = navButton(Nav::Next);
        break;
    case Qt::Key_Escape:
        target = navButton(Nav::Cancel);
        break;
    default:
        break;
    }
    if (event->modifiers() & ~(Qt::KeypadModifier) || !usable(target)) {
        QWidget::keyPressEvent(event);
        return;
    }
    target->click();
}

WizardRouter& WizardPage::router()
{
    return *m_router;
}

WizardState& WizardPage::state()
{
    return router().state();
}

const WizardServices& WizardPage::services()
{
    return router().services();
}

UserPrompts& WizardPage::prompts()
{
    return router().prompts();
}

PageGraph::Inputs WizardPage::routeInputs()
{
    const WizardState& s = state();
    return PageGraph::Inputs { s.WizardMode, s.LanAdapterCount(), router().shiftKeyDown(), s.PCCanPingUnit,
        s.ConfigOption };
}
