#pragma once

#include "wizard/WizardPage.h"

#include <QPixmap>

#include <memory>

class ClickLabel;
class QLabel;
class QPushButton;
class QRadioButton;
class ShiftWatch;

// The welcome page: what to configure. The Ethernet-and-cellular road is
// offered only when Shift is held as the page opens: at its load, or seen
// while it is up before the person has touched a choice or a button (the
// window system may tell a new window of a held key only after it has the
// keyboard, and nobody can be asked to press it before the window exists).
class frmWiz01 : public WizardPage {
    Q_OBJECT
public:
    frmWiz01(WizardRouter& router, QWidget* owner = nullptr);
    ~frmWiz01() override;

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
    void offerBothChoices();
    void showSingleChoice();
    // The person has acted on the page: a Shift from now on is a key press
    // of theirs, no longer part of opening the page.
    void choicesTouched();

    QPixmap m_background;
    std::unique_ptr<ShiftWatch> m_shiftWatch;
};
