#include "wizard/frmwiz12A.h"

#include "net/ModQarWmi.h"

#include <QPushButton>

frmwiz12A::frmwiz12A(WizardRouter& router, QWidget* owner)
    : PcStepsPage(PageId::Wiz12A, router, owner,
        QStringLiteral("To configure your PC to obtain it's IP address from the router click 'Configure PC', "
                       "otherwise click 'Skip'."))
{
    cmdBack->setEnabled(false);
    cmdNext->setEnabled(false);
}

QList<PcStepsPage::Step> frmwiz12A::steps()
{
    const QString dhcpFailure = QStringLiteral("A problem occurred enabling DHCP on the selected interface.");
    return {
        { QStringLiteral("Configuring PC for DHCP"),
            [](AdapterConfigBackend& c, const InterfaceEntry& e) { return ModQar::WmiEnableDhcp(c, e); }, dhcpFailure },
        { QStringLiteral("Configuring PC for DNS"),
            [this](AdapterConfigBackend& c, const InterfaceEntry& e) {
                return ModQar::WmiClearWinsAndDns(c, e, prompts());
            },
            QStringLiteral("A problem occurred enabling DNS via DHCP on the selected interface.") },
        { QStringLiteral("DHCP release in operation"),
            [](AdapterConfigBackend& c, const InterfaceEntry& e) { return ModQar::WmiReleaseDhcpLease(c, e); },
            dhcpFailure },
        { QStringLiteral("DHCP renew in operation"),
            [](AdapterConfigBackend& c, const InterfaceEntry& e) { return ModQar::WmiRenewDhcpLease(c, e); },
            dhcpFailure },
    };
}
