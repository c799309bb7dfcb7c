#pragma once

#include "wizard/UnitAddressPage.h"

// A free address of the PC's own subnet for the unit: found by pinging the
// subnet from its first host upwards, open to the person's change, then set
// on the unit and saved. With Shift held as the unit is done, the unit's web
// interface opens at once and the run ends.
class frmwiz11C : public UnitAddressPage {
    Q_OBJECT
public:
    frmwiz11C(WizardRouter& router, QWidget* owner = nullptr);

    QLabel* lblInfo;
    QLabel* Label7;
    QLabel* Label2;
    QLabel* Label5;

protected:
    void onLoad() override;
    void startup() override;
    void nextClicked() override;

private:
    void askForAnAddress();
    // The final page's Browse, without its check; false when the run has
    // ended meanwhile.
    bool browseUnit();
};
