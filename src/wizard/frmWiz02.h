#pragma once

#include "wizard/WizardPage.h"

class QComboBox;
class QLabel;
class QPushButton;
class StepLabel;

// The adaptor page: which of the PC's usable interfaces shares the unit's
// network. Shown only when there are two or more to choose from.
class frmWiz02 : public WizardPage {
    Q_OBJECT
public:
    // The interface table comes from the services' readInterfaces, the
    // discovery object from the services' main window.
    explicit frmWiz02(WizardRouter& router, QWidget* owner = nullptr);

    QLabel* lblTitle;
    QLabel* Label6;
    QLabel* Label1;
    QComboBox* cbInterfaces;
    QLabel* Label4;
    QLabel* lblIP;
    QLabel* Label3;
    QLabel* lblmask;
    QLabel* Label5;
    QLabel* lblDesc;
    StepLabel* Label2;
    QPushButton* cmdCancel;
    QPushButton* cmdBack;
    QPushButton* cmdNext;

protected:
    void onLoad() override;
    void nextClicked() override;

private:
    QLabel* addValueLabel(const QString& name, int left, int top, int width, int height);
    void cbInterfaces_Click();
};
