#pragma once

#include "wizard/InstructionPage.h"

// First instruction page: power off the unit and insert the SIM.
class frmWiz03 : public InstructionPage {
    Q_OBJECT
public:
    frmWiz03(WizardRouter& router, QWidget* owner = nullptr);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;

protected:
    void onLoad() override;
};
