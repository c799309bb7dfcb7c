#include "wizard/frmWiz04.h"

#include <QLabel>

frmWiz04::frmWiz04(WizardRouter& router, QWidget* owner)
    : InstructionPage(PageId::Wiz04, QStringLiteral("Connect the Ethernet cable"), router, owner)
{
    Label1 = addStep(QStringLiteral("Label1"),
        QStringLiteral("Connect the Ethernet cable to the port labelled \"LAN\" or \"LAN 0\" on the rear"), kFirstStep);
    Label4 = addStep(QStringLiteral("Label4"), QString(), kFirstStep + kStepPitch);
    Label3 = addStep(QStringLiteral("Label3"), QStringLiteral("a hub or switch to which your PC is also connected."),
        kFirstStep + 2 * kStepPitch);
    imageEth = addCable();
    setBlinking(imageEth);
}

void frmWiz04::onLoad()
{
    InstructionPage::onLoad();
    Label4->setText(QStringLiteral("of the Calvantor. The other end of the Ethernet cable must be plugged into"));
}
