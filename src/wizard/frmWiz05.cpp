#include "wizard/frmWiz05.h"

#include <QLabel>

frmWiz05::frmWiz05(WizardRouter& router, QWidget* owner)
    : InstructionPage(PageId::Wiz05, QStringLiteral("Connect the Aerial"), router, owner)
{
    Label1 = addStep(QStringLiteral("Label1"),
        QStringLiteral("1) Connect the Aerial to the port labelled Aerial, GPRS, Edge or 3G."), kFirstStep);
    Label4 = addStep(QStringLiteral("Label4"), QStringLiteral("2) Click &Next."), kFirstStep + kStepPitch);
    imageEth = addCable();
    imageAnt = addAerial();
    setBlinking(imageAnt);
}
