#pragma once

#include "wizard/UnitAddressPage.h"

class QFrame;

// The unit as the LAN's DHCP server: its pool, mask, gateway and DNS server,
// then its own Ethernet address, then its configuration saved.
class frmwiz11A : public UnitAddressPage {
    Q_OBJECT
public:
    frmwiz11A(WizardRouter& router, QWidget* owner = nullptr);

    // Sent with every pool; the person does not see or change them.
    static QString poolRange() { return QStringLiteral("20"); }
    static QString leaseTime() { return QStringLiteral("60"); }

    QLabel* Label2;
    QLineEdit* txtasgdIP;
    QLabel* Label3;
    QLineEdit* txtasgdMASK;
    QLabel* Label6;
    QLineEdit* txtasgdgateway;
    QLabel* Label8;
    QLineEdit* txtasgdDNS;
    QLabel* Label7;
    QLabel* Label5;
    QFrame* lblResults;

protected:
    void onLoad() override;
    void nextClicked() override;

private:
    bool applyPass(UnitCommands& unit);

    static constexpr int kPoolGap = 240;
};
