#include "wizard/UnitAddressPage.h"

#include "net/UserPrompts.h"
#include "wizard/PageFonts.h"
#include "wizard/StepLabel.h"
#include "wizard/UnitCommands.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardState.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr int kCaptionLeft = 1680;
constexpr int kCaptionWidth = 2520;
constexpr int kBoxLeft = 4320;
constexpr int kBoxWidth = 2400;
} // namespace

UnitAddressPage::UnitAddressPage(PageId id, WizardRouter& router, QWidget* owner, int ipTop, int maskTop)
    : WizardPage(id, router, owner)
{
    setFont(PageFonts::body());

    lblTitle = addLabel(QString(), 75, 120, 8775, 435);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setFont(PageFonts::title());
    lblTitle->setAlignment(Qt::AlignCenter);

    Label4 = addCaption(QStringLiteral("Label4"), QString());
    txtIP = addField(QStringLiteral("txtIP"), Label4, QString(), ipTop);
    Label1 = addCaption(QStringLiteral("Label1"), QString());
    txtMask = addField(QStringLiteral("txtMask"), Label1, QString(), maskTop);

    cmdHelp = addNavButton(Nav::Help, 240);
    cmdHelp->setVisible(false);
    cmdCancel = addNavButton(Nav::Cancel, 5280);
    cmdBack = addNavButton(Nav::Back, 6480);
    cmdNext = addNavButton(Nav::Next, 7680);
}

QLabel* UnitAddressPage::addCaption(const QString& name, const QString& text)
{
    auto* caption = new QLabel(text, this);
    caption->setObjectName(name);
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return caption;
}

QLineEdit* UnitAddressPage::addField(const QString& name, QLabel* caption, const QString& text, int top)
{
    auto* box = new QLineEdit(text, this);
    box->setObjectName(name);
    place(box, kBoxLeft, top, kBoxWidth, kFieldHeight);
    place(caption, kCaptionLeft, top, kCaptionWidth - 120, kFieldHeight);
    return box;
}

QLabel* UnitAddressPage::addStep(const QString& name, const QString& text, int top)
{
    auto* step = new StepLabel(text, this);
    step->setObjectName(name);
    step->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    place(step, kStepLeft, top, 7455, 300);
    return step;
}

void UnitAddressPage::setNavigationEnabled(bool enabled)
{
    cmdNext->setEnabled(enabled);
    cmdBack->setEnabled(enabled);
}

bool UnitAddressPage::applyEthernet(UnitCommands& unit)
{
    const QString address = txtIP->text();
    if (!unit.run(&clsUnitQuerier::SetEth, address, txtMask->text())) {
        state().UnitIP = failedAddress();
        return false;
    }
    state().UnitIP = address;
    return unit.run(&clsUnitQuerier::SaveCfg);
}

bool UnitAddressPage::applyWithRetry(const std::function<bool(UnitCommands&)>& pass)
{
    // Next leaves the page however the unit answers: from here on its close
    // box ends nothing.
    Navigating = true;
    setNavigationEnabled(false);
    for (;;) {
        UnitCommands unit(router(), state().CurrentUnit);
        const bool ok = pass(unit);
        if (runEnded())
            return false;
        if (ok)
            return true;
        const bool retry = prompts().askYesNo(
            QStringLiteral("An error has occurred, do you wish to retry?"), UserPrompts::Icon::Question);
        if (runEnded())
            return false;
        if (!retry)
            return true;
    }
}

void UnitAddressPage::leaveAfterApply(const PageGraph::Inputs& inputs)
{
    const std::optional<PageGraph::Route> road = PageGraph::route(id(), PageGraph::Button::Next, inputs);
    if (!road || !leaveTo(road->to, road->startup)) {
        Navigating = false;
        setNavigationEnabled(true);
    }
}
