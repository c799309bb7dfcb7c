#pragma once

#include "wizard/PcStepsPage.h"

// The PC page of the option where the unit serves addresses: Configure PC
// switches the PC's adapter to DHCP, clears its WINS and DNS servers, and
// gives back and renews its lease, so that it takes its address, gateway and
// name server from the unit.
class frmwiz12A : public PcStepsPage {
    Q_OBJECT
public:
    explicit frmwiz12A(WizardRouter& router, QWidget* owner = nullptr);

protected:
    QList<Step> steps() override;
};
