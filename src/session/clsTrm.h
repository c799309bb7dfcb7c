#pragma once

#include "net/Clock.h"
#include "net/UserPrompts.h"
#include "session/TrmOptions.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class frmComms;

// One terminal session to one unit: a telnet connection with retries, the
// unit's login dialogue, an optional serial-number check, and then either
// every received text as DataArrival or command exchanges that wait for a
// marker. The socket and its logic live in the session window that Setup
// creates; this object is what owners hold and connect to.
class clsTrm : public QObject {
    Q_OBJECT
public:
    clsTrm(Clock& clock, UserPrompts& prompts, TrmOptions options = {}, QObject* parent = nullptr);
    ~clsTrm() override;

    void Setup();
    void CloseComm();
    bool isSetUp() const { return m_setUp; }

    // 0 connected (and logged in when credentials are given), 4 the
    // connection failed, 5 the login failed. Connected follows a 0.
    qint32 ConnectNowTelnet(
        const QString& user, const QString& password, const QString& host, const QString& expectedSerial = QString());
    // Text goes one byte per character; raw bytes go unconverted. Nothing is
    // appended to either.
    void Send(const QString& data);
    void Send(const QByteArray& raw);
    QString SendCommand(const QString& command, bool* error = nullptr);
    QString readSerialNumber();
    bool Online() const;
    bool IPMode() const;

    // The session window, for the maintenance operations that run on it;
    // null when not set up.
    frmComms* window() const { return m_window.get(); }

    // Called by the session window.
    void ForwardReceivedText(const QString& text) { emit DataArrival(text); }
    void NotifyClosed() { emit Closed(); }
    void NewStatusMessage(const QString& text) { emit StatusMessage(text); }
    void NewErrMessage(const QString& text) { emit ErrMessage(text); }

signals:
    void DataArrival(const QString& text);
    void Connected();
    void Closed();
    void StatusMessage(const QString& text);
    void ErrMessage(const QString& text);

private:
    Clock& m_clock;
    UserPrompts& m_prompts;
    TrmOptions m_options;
    // A call into the window that waits lets events run, and an owner may
    // close the session from one of them; the window then goes once the
    // outermost call has returned.
    struct InCall {
        explicit InCall(clsTrm& t);
        ~InCall();
        clsTrm& trm;
    };
    std::unique_ptr<frmComms> m_window;
    std::unique_ptr<frmComms> m_closedWindow;
    int m_calls = 0;
    bool m_setUp = false;
};
