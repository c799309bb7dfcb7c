#pragma once

#include "wizard/WizardPage.h"

#include <memory>

class CQarUnitInfo;
class ClockTimer;
class QLabel;
class QPushButton;
class SatAnimation;

// The cellular apply-and-test page. Its startup writes the settings typed on
// the page before into the chosen unit (APN, PIN, PPP user name and password,
// the modem's multiplexer), saves them, reboots the unit, switches its
// cellular link on and waits for the link's address, asking every minute
// whether to keep waiting. From then on a poll every 2 seconds shows the
// SIM's state or the signal strength until the page is left; the unit hears
// none during the next page's own long work (the free-address search).
//
// The poll is the page's busy state: Back, Next, Cancel's Yes and Retry
// finish only once a poll in flight has ended (the page goes from the screen
// at once), and the poll keeps receiving its replies meanwhile.
class frmWiz10 : public WizardPage {
    Q_OBJECT
public:
    explicit frmWiz10(WizardRouter& router, QWidget* owner = nullptr);

    // The person gave up waiting for the link in the last startup.
    bool TestFailed = false;
    // A signal poll is in flight.
    bool SigBusy() const { return isBusy(); }

    QLabel* lblTitle;
    QLabel* lblResults;
    QLabel* lblInfo;
    QLabel* lblIP;
    QLabel* lblSignal;
    QLabel* lblInstuctions;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    SatAnimation* Animation1;
    ClockTimer* timerSig;
    QPushButton* cmdRetry;
    QPushButton* cmdBack;
    QPushButton* cmdNext;
    QPushButton* cmdCancel;
    QPushButton* cmdHelp;

protected:
    void startup() override;
    void onLeave() override;
    void retryClicked() override;
    void closeEvent(QCloseEvent* event) override;

private:
    // One pass of the eight steps; true when one of them failed.
    bool applySettings(CQarUnitInfo& unit);
    void waitForLink(CQarUnitInfo& unit);
    void timerSig_Timer();
    void poll();
    // One command line, its first reply within 5 seconds ("" on silence).
    QString ask(CQarUnitInfo& unit, const QString& command);
    // The page is gone or the run is ending: waits return without going on.
    bool stopped() const;

    QLabel* addText(const QString& name, int left, int top, int width, int height);

    bool m_ending = false;
    // The record this page works on, kept while a wait runs even if a new
    // search drops it from the collection.
    std::shared_ptr<CQarUnitInfo> m_unit;
};
