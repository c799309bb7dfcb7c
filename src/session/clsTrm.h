#pragma once

#include "net/CallLifetime.h"
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
//
// Its calls wait, and an owner may close the session from inside one of them
// (its window closed, the unit hung up): the owner then closes it and gives
// it up with CallLifetime::release, and the call returns as for a session
// closed under it.
class clsTrm : public QObject {
    Q_OBJECT
public:
    clsTrm(Clock& clock, UserPrompts& prompts, TrmOptions options = {}, QObject* parent = nullptr);
    ~clsTrm() override;

    void Setup();
    // Closes the socket; a wait in progress returns as at its deadline.
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

    // Called by the session window. What an owner does with these may end
    // this object, so each counts as a call of its own.
    void ForwardReceivedText(const QString& text);
    void NotifyClosed();
    void NewStatusMessage(const QString& text);
    void NewErrMessage(const QString& text);

    CallLifetime& lifetime() { return m_life; }

signals:
    void DataArrival(const QString& text);
    void Connected();
    void Closed();
    void StatusMessage(const QString& text);
    void ErrMessage(const QString& text);

private:
    CallLifetime m_life;
    Clock& m_clock;
    UserPrompts& m_prompts;
    TrmOptions m_options;
    std::unique_ptr<frmComms> m_window;
    bool m_setUp = false;
};
