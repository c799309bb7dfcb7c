#pragma once

#include "wizard/WizardPage.h"

#include <QString>

#include <functional>

class AdapterConfigBackend;
class QFrame;
class QLabel;
class QPushButton;
class StepLabel;
struct InterfaceEntry;

// What the three pages that change the PC's own adapter share: they open on a
// warning frame (the change is optional and needs the administrator's
// permission) with Skip and Configure PC; Configure PC takes the frame away
// and shows the navigation buttons. Each change goes to the adapter of the
// selected interface and answers 0 (done), 1 (done, the PC must be restarted)
// or a failure code; a failure is named in its own box and the page goes on
// with its next step.
class PcSettingsPage : public WizardPage {
    Q_OBJECT
public:
    QLabel* lblTitle;
    QFrame* Frame1;
    QLabel* Label2;
    QLabel* lblWARN;
    QLabel* lblwarn1;
    QPushButton* cmdSkip;
    QPushButton* cmdConfigure;
    StepLabel* Label7;
    StepLabel* Label5;
    QPushButton* cmdHelp;
    QPushButton* cmdCancel;
    QPushButton* cmdBack;
    QPushButton* cmdNext;

    static QString rebootNote();

protected:
    PcSettingsPage(PageId id, WizardRouter& router, QWidget* owner, const QString& title, const QString& warning);

    void onLoad() override;
    // After the shared part of Configure PC: the page's own changes, if any.
    virtual void configure() { }
    // Skip leaves for the final page without changing anything.
    virtual void skipClicked();

    // Runs one change on the selected interface's adapter: a failure shows
    // failureText, a 1 marks the restart as needed. Returns the code (-1
    // when there is no adapter to change).
    qint32 apply(
        const std::function<qint32(AdapterConfigBackend&, const InterfaceEntry&)>& change, const QString& failureText);
    // The restart note, when a change of this click asked for one.
    void tellRebootIfNeeded();

    bool m_rebootNeeded = false;

private:
    void cmdConfigure_Click();
};
