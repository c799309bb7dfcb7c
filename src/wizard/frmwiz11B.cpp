#include "wizard/frmwiz11B.h"

#include "net/UserPrompts.h"
#include "wizard/UnitCommands.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardState.h"

#include <QLabel>
#include <QLineEdit>

frmwiz11B::frmwiz11B(WizardRouter& router, QWidget* owner)
    : UnitAddressPage(PageId::Wiz11B, router, owner, fieldTop(1), fieldTop(2))
{
    txtIP->setText(QStringLiteral("192.168.0.99"));
    txtMask->setText(QStringLiteral("255.255.255.0"));
    Label7 = addStep(
        QStringLiteral("Label7"), QStringLiteral("1) Advanced users may make changes to the above fields."), 3720);
    Label5 = addStep(QStringLiteral("Label5"), QStringLiteral("2) Then click &Next"), 4020);
}

void frmwiz11B::onLoad()
{
    lblTitle->setText(
        QStringLiteral("Configure the ") + QStringLiteral("Calvantor") + QStringLiteral("'s Ethernet IP Address"));
    Label4->setText(QStringLiteral("Calvantor") + QStringLiteral(" IP address:"));
    Label1->setText(QStringLiteral("Calvantor") + QStringLiteral(" Mask:"));
}

void frmwiz11B::nextClicked()
{
    setNavigationEnabled(false);
    UnitCommands unit(router(), state().CurrentUnit);
    const bool ok = applyEthernet(unit);
    if (unloaded())
        return;
    if (!ok) {
        const bool edit = prompts().askYesNo(
            QStringLiteral("An error has occurred, do you want to change your settings and try again."),
            UserPrompts::Icon::Question);
        if (unloaded())
            return;
        if (edit) {
            setNavigationEnabled(true);
            stay();
            txtIP->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    leaveAfterApply(routeInputs());
}
