#pragma once

#include "wizard/WizardPage.h"

class QLabel;
class QPushButton;

// The final page: checks once more whether the PC reaches the unit and uses it
// as gateway and name server, tells the outcome, and can log into the unit's
// web interface and open it in the person's browser (Browse).
class frmWiz13 : public WizardPage {
    Q_OBJECT
public:
    explicit frmWiz13(WizardRouter& router, QWidget* owner = nullptr);

    // The outcome as the page words it, from the four facts: the unit answers
    // the ping, the PC's gateway and name server are the unit, the cellular
    // test passed. Paragraphs are parted by two carriage returns.
    static QString OutcomeText(bool unitReachable, bool gatewayIsUnit, bool dnsIsUnit, bool cellularOk);
    // The outcome text as the label shows it: a paragraph break for each
    // pair of carriage returns.
    QString outcomeText() const { return m_outcome; }

    // Browse: the web login to the unit, then its pages in the browser. Also
    // run by the free-address page's shortcut, with the page shown but
    // without its startup.
    void cmdConfigure_Click();
    // The wizard's exit question, which this page has no Cancel button to
    // ask: Yes ends the run. Nothing on the wizard's roads calls it.
    void ConfirmExit();
    // Opens the results summary window empty, beside the page, and returns
    // at once. Nothing on the wizard's roads calls it.
    void ShowSummary();

    QLabel* lblTitle;
    QLabel* lblResults;
    QLabel* lblInstructions;
    QPushButton* cmdConfigure;
    QPushButton* cmdHelp;
    QPushButton* cmdBack;
    QPushButton* cmdNext;

protected:
    void onLoad() override;
    void startup() override;
    void backClicked() override;

private:
    void showOnPanel(const QString& text);
    void browse();

    QString m_outcome;
};
