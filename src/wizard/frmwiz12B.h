#pragma once

#include "wizard/PcSettingsPage.h"

class QFrame;
class QLabel;
class QLineEdit;

// The PC page of the static-address option: Configure PC shows the PC's
// address, mask, gateway and name server (defaults that fit the unit's own
// defaults); Next gives them to the adapter and offers to try again when a
// change failed or needs a restart.
class frmwiz12B : public PcSettingsPage {
    Q_OBJECT
public:
    explicit frmwiz12B(WizardRouter& router, QWidget* owner = nullptr);

    static QString tryAgainQuestion();

    QFrame* Frame2;
    QLabel* Label3;
    QLineEdit* txtIP;
    QLabel* Label4;
    QLineEdit* txtMask;
    QLabel* Label6;
    QLineEdit* txtgateway;
    QLabel* Label8;
    QLineEdit* txtDNS;

protected:
    void configure() override;
    void nextClicked() override;

private:
    QLineEdit* addField(const QString& name, const QString& label, QLabel*& labelOut, const QString& value, int top);
};
