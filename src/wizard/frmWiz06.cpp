#include "wizard/frmWiz06.h"

#include <QLabel>

frmWiz06::frmWiz06(WizardRouter& router, QWidget* owner)
    : InstructionPage(PageId::Wiz06, QStringLiteral("Connect the PSU"), router, owner)
{
    Label1 = addStep(
        QStringLiteral("Label1"), QStringLiteral("1) Connect the power adaptor to the port labelled DC."), kFirstStep);
    Label4 = addStep(QStringLiteral("Label4"), QStringLiteral("2) Plug the power adaptor into the mains supply."),
        kFirstStep + kStepPitch);
    Label3 = addStep(QStringLiteral("Label3"),
        QStringLiteral("3) Wait for the GSM LED to start flashing if there is one."), kFirstStep + 2 * kStepPitch);
    Label2 = addStep(QStringLiteral("Label2"), QStringLiteral("4) Click &Next."), kFirstStep + 3 * kStepPitch);
    imageEth = addCable();
    imageAnt = addAerial();
    imagePwr = addPower();
    setBlinking(imagePwr);
}
