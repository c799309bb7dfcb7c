#include "wizard/frmwiz11C.h"

#include "app/AppSettings.h"
#include "net/IPHlpAPI.h"
#include "net/ModQarWmi.h"
#include "net/UserPrompts.h"
#include "unit/CQarUnitInfo.h"
#include "wizard/StepLabel.h"
#include "wizard/UnitCommands.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardState.h"
#include "wizard/frmWiz13.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <arpa/inet.h>

frmwiz11C::frmwiz11C(WizardRouter& router, QWidget* owner)
    : UnitAddressPage(PageId::Wiz11C, router, owner, fieldTop(0), fieldTop(1))
{
    // Progress and outcome of the search; its advice names a button.
    lblInfo = new StepLabel(QStringLiteral("Info"), this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setAlignment(Qt::AlignCenter);
    lblInfo->setWordWrap(true);
    place(lblInfo, 840, 1920, 7455, 555);

    Label7 = addStep(QStringLiteral("Label7"), QStringLiteral("1) Please wait for the scan to complete."), 3420);
    Label2 = addStep(
        QStringLiteral("Label2"), QStringLiteral("2) Advanced users may make changes to the above fields."), 3720);
    Label5 = addStep(QStringLiteral("Label5"), QStringLiteral("3) Then click &Next"), 4020);

    setNavigationEnabled(false);
}

void frmwiz11C::onLoad()
{
    lblTitle->setText(QStringLiteral("Locate a free IP address for the ") + QStringLiteral("Calvantor"));
    Label4->setText(QStringLiteral("Calvantor") + QStringLiteral(" IP address:"));
    Label1->setText(QStringLiteral("Calvantor") + QStringLiteral(" Mask:"));
}

void frmwiz11C::startup()
{
    lblInfo->setText(QStringLiteral("Locating a free IP address please wait .."));
    QString ip;
    QString mask;
    if (AdapterConfigBackend* adapters = services().adapters) {
        if (const InterfaceEntry* entry = state().Interfaces.selected()) {
            qint32 first = 0;
            ip = ModQar::WmiGetIPAddress(*adapters, *entry, first);
            mask = ModQar::WmiGetIPSubnet(*adapters, *entry, first);
        }
    }
    // The search fills the fields; typing into them meanwhile would be lost.
    txtIP->setEnabled(false);
    txtMask->setEnabled(false);
    if (ip.isEmpty() || mask.isEmpty() || !services().findFreeAddress) {
        askForAnAddress();
    } else {
        // Each ping is awaited in the event loop: the page repaints and its
        // Cancel and close box work while the subnet is walked.
        const qint32 free = services().findFreeAddress(ip, mask, 0);
        if (unloaded())
            return;
        if (free != 0) {
            txtIP->setText(IPHlpAPI::IPToString(htonl(quint32(free))));
            txtMask->setText(mask);
            lblInfo->setText(QStringLiteral("A free IP address has been located."));
            Label7->setText(QStringLiteral("1) The above IP address has been identifed as currenlty free."));
        } else {
            askForAnAddress();
        }
    }
    txtIP->setEnabled(true);
    txtMask->setEnabled(true);
    setNavigationEnabled(true);
    cmdNext->setFocus(Qt::OtherFocusReason);
}

void frmwiz11C::askForAnAddress()
{
    lblInfo->setText(QStringLiteral("Unable to find free IP address, please enter one and click &Next."));
    Label7->setText(QStringLiteral("Please enter a free IP address and the correct subnet mask."));
}

void frmwiz11C::nextClicked()
{
    // On the Shift road from the search page the option page, which sets
    // the interface words, never ran: without them every command would be
    // refused.
    if (state().Prefixes.EthIf.isEmpty() && state().CurrentUnit)
        state().Prefixes.setModel(state().CurrentUnit->model());
    if (!applyWithRetry([this](UnitCommands& unit) { return applyEthernet(unit); }))
        return;
    // Shift is read once, as the unit is done: it decides the road.
    PageGraph::Inputs inputs = routeInputs();
    inputs.shift = router().shiftKeyDown();
    if (inputs.shift && !browseUnit())
        return;
    leaveAfterApply(inputs);
}

bool frmwiz11C::browseUnit()
{
    // The final page shown without its check, and its Browse run.
    if (auto* final = qobject_cast<frmWiz13*>(router().open(PageId::Wiz13)))
        final->cmdConfigure_Click();
    return !runEnded();
}
