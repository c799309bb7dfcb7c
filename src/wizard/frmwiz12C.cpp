#include "wizard/frmwiz12C.h"

#include "net/ModQarWmi.h"
#include "wizard/WizardState.h"

frmwiz12C::frmwiz12C(WizardRouter& router, QWidget* owner)
    : PcStepsPage(PageId::Wiz12C, router, owner,
        QStringLiteral("To configure your PC to use the Velmar's IP address as it's default gateway and DNS "
                       "server click 'Configure PC'."))
{ }

QList<PcStepsPage::Step> frmwiz12C::steps()
{
    // The unit's address as the address page left it; "Error!" when the unit
    // refused it, which the adapter layer refuses in turn.
    const QString unit = state().UnitIP;
    return {
        { QString(),
            [unit](AdapterConfigBackend& c, const InterfaceEntry& e) { return ModQar::WmiSetGateways(c, e, unit); },
            QStringLiteral("A problem occurred setting the default gateway on the selected interface.") },
        { QString(),
            [unit](AdapterConfigBackend& c, const InterfaceEntry& e) { return ModQar::WmiSetDnsServer(c, e, unit); },
            QStringLiteral("A problem occurred setting the name server on the selected interface.") },
    };
}
