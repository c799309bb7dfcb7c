#pragma once

#include "wizard/InstructionPage.h"

// Last instruction page: connect the power supply.
class frmWiz06 : public InstructionPage {
    Q_OBJECT
public:
    frmWiz06(WizardRouter& router, QWidget* owner = nullptr);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* imageEth;
    QLabel* imageAnt;
    QLabel* imagePwr;
};
