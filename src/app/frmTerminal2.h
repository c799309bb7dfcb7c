#pragma once

#include "app/TelnetNegotiation.h"
#include "app/TerminalScreen.h"
#include "net/CallLifetime.h"
#include "net/UserPrompts.h"
#include "session/clsTrm.h"

#include <QWidget>

#include <memory>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// "Remote Unit": an interactive terminal on one unit. It shows everything
// the unit sends, sends every key typed in its screen, and reads the unit's
// serial number on request. Every way out (Close, the close box, the unit
// hanging up, a failed connection) closes the session first. Its connection
// and its serial-number exchange wait with events running: a way out taken
// meanwhile ends the session, whose wait returns at once, and whoever owns
// the window gives it up with CallLifetime::release.
class frmTerminal2 : public QWidget {
    Q_OBJECT
public:
    // The window sets the session up and owns it; without one it can only
    // say that it has no interface.
    frmTerminal2(std::unique_ptr<clsTrm> session, UserPrompts& prompts, QWidget* parent = nullptr);
    ~frmTerminal2() override;

    // Shows the window and opens the session: method 0 is telnet to host
    // (port 23), logging in with user and password unless both are empty,
    // checking the serial number when one is expected. 0 connected, -1 no
    // session, -2 an unknown method, else the session's failure (4 no
    // connection, 5 no login). Any result but -1 and 0 unloads the window.
    qint32 connectNow(qint32 method, const QString& user, const QString& password, const QString& host,
        const QString& expectedSerial);

    void messagePrint(const QString& text) { m_screen->messagePrint(text); }

    // The session while it is open.
    clsTrm* clsrx() const { return m_clsrx.get(); }
    const TerminalScreen& screen() const { return *m_screen; }

    // Closes the session and the window, as Close does.
    void unload();

    CallLifetime& lifetime() { return m_life; }

    QFrame* Frame1;
    QLabel* lblStatus;
    QPlainTextEdit* txtmsgs;
    QPushButton* CommandButton1;
    QPushButton* cmdClose;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void clsrx_DataArrival(const QString& text);
    void CommandButton1_Click();
    bool txtmsgs_KeyPress(QKeyEvent* key);
    void sendTyped(const QString& text);
    void forwardWaiting();
    // Closes and releases the session; nothing when it is gone already.
    void closeSession();

    CallLifetime m_life;
    UserPrompts& m_prompts;
    std::unique_ptr<clsTrm> m_clsrx;
    TelnetNegotiation m_telnet;
    std::unique_ptr<TerminalScreen> m_screen;
    // connectNow is still connecting and logging in; Get Serial Number was
    // pressed meanwhile and runs once the session is online.
    bool m_connecting = false;
    bool m_serialAsked = false;
};
