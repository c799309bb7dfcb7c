#pragma once

#include "wizard/PcStepsPage.h"

// The PC page of the option where the unit keeps (or takes) an address of the
// PC's own network: Configure PC makes the unit the adapter's default gateway
// and name server.
class frmwiz12C : public PcStepsPage {
    Q_OBJECT
public:
    explicit frmwiz12C(WizardRouter& router, QWidget* owner = nullptr);

protected:
    QList<Step> steps() override;
};
