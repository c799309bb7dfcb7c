#pragma once

#include "wizard/InstructionPage.h"

// Second instruction page: connect the Ethernet cable.
class frmWiz04 : public InstructionPage {
    Q_OBJECT
public:
    frmWiz04(WizardRouter& router, QWidget* owner = nullptr);

    QLabel* Label1;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* imageEth;

protected:
    void onLoad() override;
};
