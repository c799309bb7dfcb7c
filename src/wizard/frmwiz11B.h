#pragma once

#include "wizard/UnitAddressPage.h"

// A static Ethernet address for the unit, then its configuration saved. A
// refusal lets the person change the fields and try again.
class frmwiz11B : public UnitAddressPage {
    Q_OBJECT
public:
    frmwiz11B(WizardRouter& router, QWidget* owner = nullptr);

    QLabel* Label7;
    QLabel* Label5;

protected:
    void onLoad() override;
    void nextClicked() override;
};
