#pragma once

#include "wizard/WizardPage.h"

class ClockTimer;
class QLabel;
class QPushButton;

// The frame of the four instruction pages: a title, a picture of the unit,
// numbered steps and Next, Back and Cancel. A page may draw attention to one
// picture by blinking it once a second.
class InstructionPage : public WizardPage {
    Q_OBJECT
public:
    InstructionPage(PageId id, const QString& title, WizardRouter& router, QWidget* owner);

    QLabel* lblTitle;
    QLabel* Image1;
    QPushButton* cmdNext;
    QPushButton* cmdBack;
    QPushButton* cmdCancel;
    // Runs from load to unload on pages with a blinking picture.
    ClockTimer* Timer1 = nullptr;

protected:
    void onLoad() override;

    // A step line; left and top in twips.
    QLabel* addStep(const QString& name, const QString& text, int top, int left = kStepLeft);
    // A piece drawn over the unit picture (cable, aerial, power plug), shown still.
    QLabel* addOverlay(const QString& name, const QRect& designRect);
    QLabel* addCable();
    QLabel* addAerial();
    QLabel* addPower();
    void setBlinking(QLabel* picture);

    static constexpr int kStepLeft = 840;
    static constexpr int kFirstStep = 3600;
    static constexpr int kStepPitch = 300;

private:
    void Timer1_Timer();
    QRect overlayGeometry(const QRect& designRect) const;

    QLabel* m_blinking = nullptr;
};
