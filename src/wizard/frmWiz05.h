#pragma once

#include "wizard/InstructionPage.h"

// Third instruction page: connect the aerial.
class frmWiz05 : public InstructionPage {
    Q_OBJECT
public:
    frmWiz05(WizardRouter& router, QWidget* owner = nullptr);

    QLabel* Label1;
    QLabel* Label4;
    QLabel* imageEth;
    QLabel* imageAnt;
};
