#pragma once

#include "wizard/WizardPage.h"

#include <QPixmap>

class ClickLabel;
class QLabel;
class QPushButton;
class QRadioButton;

// The welcome page: what to configure. The Ethernet-and-cellular road is
// offered only when Shift is held while the page loads.
class frmWiz01 : public WizardPage {
    Q_OBJECT
public:
    frmWiz01(WizardRouter& router, QWidget* owner = nullptr);

    QLabel* Label1;
    QLabel* Label2;
    QRadioButton* Option1;
    ClickLabel* Label3;
    QRadioButton* Option2;
    ClickLabel* Label4;
    QPushButton* cmdNext;
    QPushButton* cmdCancel;

protected:
    void onLoad() override;
    void paintEvent(QPaintEvent* event) override;
    void nextClicked() override;

private:
    QPixmap m_background;
};
