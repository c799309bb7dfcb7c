#include "wizard/frmWiz03.h"

#include <QLabel>

frmWiz03::frmWiz03(WizardRouter& router, QWidget* owner)
    : InstructionPage(PageId::Wiz03, QStringLiteral("Insert the GPRS\\Edge\\3G enabled SIM"), router, owner)
{
    Label2 = addStep(QStringLiteral("Label2"), QString(), kFirstStep);
    Label3 = addStep(QStringLiteral("Label3"),
        QStringLiteral("2) Insert the SIM with contacts facing downards, notched corner first. If you"),
        kFirstStep + kStepPitch);
    // The second line of step 2 lines up under its text, not its number.
    Label1 = addStep(QStringLiteral("Label1"), QStringLiteral("have a unit with two SIM slots, use the top SIM slot."),
        kFirstStep + 2 * kStepPitch, 1110);
    Label4 = addStep(QStringLiteral("Label4"), QStringLiteral("3) Click &Next."), kFirstStep + 3 * kStepPitch);
}

void frmWiz03::onLoad()
{
    InstructionPage::onLoad();
    Label2->setText(QStringLiteral("1) Ensure that the Calvantor is powered off. "));
}
