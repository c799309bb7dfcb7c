#include "wizard/WizardPage.h"

#include "net/UserPrompts.h"
#include "wizard/Twips.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardState.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace {
constexpr int kClientWidth = 8925;
constexpr int kClientHeight = 5445;
constexpr int kButtonWidth = 1095;
constexpr int kButtonHeight = 375;
} // namespace

WizardPage::WizardPage(PageId id, WizardRouter& router, QWidget* owner)
    : QWidget(owner,
        Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
            | Qt::WindowMinimizeButtonHint)
    , m_id(id)
    , m_router(&router)
{
    setAttribute(Qt::WA_DeleteOnClose);
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
}

QString WizardPage::exitQuestion()
{
    return QStringLiteral("Are you sure you want to exit the Calvantor Linkwise?");
}

QString WizardPage::helpStubText()
{
    return QStringLiteral("Help not yet implemented!");
}

bool WizardPage::leave(PageGraph::Button button)
{
    const std::optional<PageGraph::Route> r = PageGraph::route(m_id, button, routeInputs());
    if (!r) {
        Navigating = false;
        return false;
    }
    return leaveTo(r->to, r->startup);
}

bool WizardPage::leaveTo(PageId target, bool runStartup)
{
    Navigating = true;
    if (target == PageId::EndProgram) {
        router().endProgram();
        return true;
    }
    if (!router().isAvailable(target)) {
        prompts().message(
            QStringLiteral("This step of the wizard is not yet available."), UserPrompts::Icon::Exclamation);
        Navigating = false;
        return false;
    }
    // The target's startup pumps events; this page may be gone when it returns.
    QPointer<WizardPage> self(this);
    QPointer<WizardPage> next(router().open(target));
    if (runStartup && next) {
        hide();
        next->startup();
    }
    if (self)
        close();
    return true;
}

void WizardPage::confirmCancel()
{
    if (prompts().askYesNo(exitQuestion(), UserPrompts::Icon::Question))
        router().endProgram();
}

void WizardPage::showHelpStub()
{
    prompts().message(helpStubText(), UserPrompts::Icon::Exclamation);
}

void WizardPage::place(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(Twips::rect(left, top, width, height));
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

void WizardPage::closeEvent(QCloseEvent* event)
{
    // A window closed other than by the page's own leaving ends the whole run.
    if (!Navigating && m_router)
        m_router->endProgram();
    event->accept();
    if (m_router)
        m_router->forget(this);
}

WizardRouter& WizardPage::router()
{
    return *m_router;
}

WizardState& WizardPage::state()
{
    return router().state();
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
