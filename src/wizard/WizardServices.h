#pragma once

#include "net/CInterfaces.h"

#include <QString>

#include <functional>
#include <memory>

class AdapterConfigBackend;
class QNetworkAccessManager;
class QSettings;
class QUrl;
class frmMain;
struct AppSettings;
struct ProgramState;

// What the pages reach beyond their own controls, handed to the router once at
// start-up. A page takes what it needs from here instead of growing its
// constructor: the composition of the program stays in one place, and a test
// gives a page the same bundle with stand-ins where it needs them. A member
// left empty means the service is not there; pages that need it are not
// registered without it.
struct WizardServices {
    // The hidden main window: scan engine, program-wide log (AddLogEntry), the
    // found units and the two slots of the one discovery object.
    frmMain* main = nullptr;
    // The PC adapter settings layer (reads and changes of the selected
    // interface's addresses, gateway, DNS and DHCP).
    AdapterConfigBackend* adapters = nullptr;
    // The run's settings (PingTimeout, RebootTime, GPRSPPP ...), read live.
    AppSettings* settings = nullptr;
    // The per-user settings store, where the windows the pages open keep
    // their place (the results summary's "Summary..." keys).
    QSettings* store = nullptr;
    // The broadcast address and the program-wide cancel flag.
    ProgramState* program = nullptr;
    // A fresh read of the PC's interface table on every call.
    std::function<std::shared_ptr<CInterfaces>()> readInterfaces;
    // One ICMP echo to a host name or dotted address: host, payload, time-out
    // in ms; true when answered. Blocks for at most the time-out.
    std::function<bool(const QString&, const QString&, qint32)> pingHost;
    // The first address of the PC's subnet that gives no echo reply, after
    // lastRejected (0: from the start): PC address, mask, lastRejected; 0
    // when none is free or the search was cancelled. Each echo is awaited in
    // the event loop, so the page repaints and its Cancel works meanwhile.
    std::function<qint32(const QString&, const QString&, qint32)> findFreeAddress;
    // The unit's web server (login form) is reached through the client this
    // returns; the program makes it when it is first asked for.
    std::function<QNetworkAccessManager*()> http;
    // Opens a URL or local file in the desktop's handler (the browser, the
    // help viewer); false when the desktop could not.
    std::function<bool(const QUrl&)> openUrl;
    // The folder of the running program, where its own files are looked for
    // (the help pages beside it, or under the install prefix's share folder).
    QString programFolder;
};
