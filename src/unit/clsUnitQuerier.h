#pragma once

#include "discovery/clsVerevo.h"
#include "net/CallLifetime.h"
#include "net/Clock.h"
#include "session/clsTrm.h"
#include "unit/PPPStatus.h"
#include "unit/TelnetCheckServices.h"
#include "unit/UnitInterfacePrefixes.h"
#include "unit/UnitLog.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class CQarUnitInfo;
class PingReplyWatch;

// The conversation with one unit over the discovery command channel: one
// command line out, its reply awaited on the clock, and the log lines every
// command writes. Each unit record owns one.
//
// The unit's terminal session (cTrm) comes with the object when the owner
// gives one; the serial-number check and the cellular ping test log into it
// with a temporary user profile made over the discovery channel.
//
// Every command waits, and its record may be discarded meanwhile (a new
// scan): end() then makes every wait return as for a silent unit and every
// loop stop as for a cancel, and the object sends, asks and logs nothing
// more. The record gives it up with CallLifetime::release.
class clsUnitQuerier : public QObject {
    Q_OBJECT
public:
    // The six bytes of the unit this object talks to; read at every command,
    // since the scan fills the record after it has been created.
    using UnitMacFn = std::function<QByteArray()>;

    // prefixes, rebootTime and cancelRequested are the program's own values,
    // read when a command runs; the owner keeps them alive.
    clsUnitQuerier(Clock& clock, const UnitInterfacePrefixes& prefixes, const qint32& rebootTime,
        const bool& cancelRequested, UnitLog log, UnitMacFn unitMac, QObject* parent = nullptr);
    // With the unit's terminal session, which is set up here and closed when
    // this object goes; everything it receives is collected in sTrmData.
    clsUnitQuerier(Clock& clock, const UnitInterfacePrefixes& prefixes, const qint32& rebootTime,
        const bool& cancelRequested, UnitLog log, UnitMacFn unitMac, std::unique_ptr<clsTrm> trm,
        QObject* parent = nullptr);
    // With the terminal session and what the telnet checks ask of the
    // person: the retry question, the host prompt and the run's test host.
    clsUnitQuerier(Clock& clock, const UnitInterfacePrefixes& prefixes, const qint32& rebootTime,
        const bool& cancelRequested, UnitLog log, UnitMacFn unitMac, std::unique_ptr<clsTrm> trm,
        TelnetCheckServices checks, QObject* parent = nullptr);
    ~clsUnitQuerier() override;

    clsTrm* terminal() const { return cTrm.get(); }
    const QString& terminalData() const { return sTrmData; }

    // Capability probes: report the capability as missing, without asking,
    // while another command of this object waits.
    bool HasDHCPCli(const QString& serial, clsVerevo& v);
    bool HasGPRS(const QString& serial, clsVerevo& v);
    bool HasDHCPSrv(const QString& serial, clsVerevo& v);
    bool DHCPServerPresent(const QString& serial, clsVerevo& v);

    QString GetRuraResp(
        clsVerevo& v, const QString& serial, const QString& command, qint32 timeoutSeconds, const QString& marker);

    bool SetDHCPCli(const QString& serial, clsVerevo& v, const QString& value);
    bool SaveCfg(const QString& serial, clsVerevo& v);
    bool SetEth(const QString& serial, clsVerevo& v, const QString& address, const QString& mask);
    // SetEth on the Ethernet interface ethIf: a unit's own, whatever EthIf
    // the wizard's unit has given the program.
    bool SetEthOn(
        const QString& serial, clsVerevo& v, const QString& ethIf, const QString& address, const QString& mask);
    bool setAPN(const QString& serial, clsVerevo& v, const QString& apn);
    bool SetPhonenum(const QString& serial, clsVerevo& v, const QString& number);
    bool Reboot(const QString& serial, clsVerevo& v);
    bool SetGeneric(const QString& serial, clsVerevo& v, const QString& command);
    PPPStatus GetPPPStatus(const QString& serial, clsVerevo& v);
    static QString GetLine(const QString& text);
    bool WaitForPPPConnect(const QString& serial, clsVerevo& v, qint32 timeoutSeconds);
    bool setPIN(const QString& serial, clsVerevo& v, const QString& pin);
    bool setPPP1username(const QString& serial, clsVerevo& v, const QString& user);
    bool setPPP1password(const QString& serial, clsVerevo& v, const QString& password);
    bool activateGPRS(const QString& serial, clsVerevo& v);
    bool deactivateGPRS(const QString& serial, clsVerevo& v);
    bool SetDHCP(const QString& serial, clsVerevo& v, const QString& firstAddress, const QString& range,
        const QString& mask, const QString& gateway, const QString& dnsServer, const QString& lease);
    bool confMUX(const QString& serial, clsVerevo& v);
    bool resetConfig(const QString& serial, clsVerevo& v);
    QString SendCommand(const QString& serial, clsVerevo& v, const QString& command);

    // The temporary user profile "TEMPUSER" with the program's fixed
    // password and access level 0, on a profile of the unit's that still
    // carries that name or else on a free one. Gives back the profile number,
    // the user name and the password.
    bool SetupTempUser(const QString& serial, clsVerevo& v, QString& profile, QString& userName, QString& password);
    bool ClearUser(const QString& serial, clsVerevo& v, const QString& profile);
    // Proves that the unit at address is the unit with this serial number:
    // 1 no temporary profile could be made, 2 no telnet connection or login,
    // 3 another serial number, 4 this one.
    qint32 checkSerial(const QString& serial, const QString& address, clsVerevo& v);
    // Makes the unit ping the test host through its cellular link; on no
    // reply the person may try other hosts. True when a ping came back.
    bool TestGPRS(CQarUnitInfo& unit, const QString& serial, clsVerevo& v);

    bool busy() const { return bBusy; }
    bool terminalOpen() const { return bTrmOpen; }

    // Ends the object for good; its terminal session closes.
    void end();
    bool ended() const { return m_life.ended(); }
    CallLifetime& lifetime() { return m_life; }

    // The common success test: "OK" anywhere, in any letter case.
    static bool replyOk(const QString& reply);
    // A value sent between two double quotes, exactly as given.
    static QString quoted(const QString& value);
    // The value of a dotted address as the link checks read it; 0 for ""
    // and for a text that is no address.
    static quint32 addressValue(const QString& address);

    static constexpr const char* TempUserName = "TEMPUSER";
    static constexpr const char* TempUserPassword = "WZKQRVN";
    // The highest user profile number the temporary profile is looked for
    // in, whatever the unit's listing claims.
    static constexpr qint32 HighestUserProfile = 63;
    // The most of the terminal's text that sTrmData keeps, the latest part.
    static constexpr qsizetype TerminalDataLimit = 64 * 1024;

private:
    // Connection method 0 is telnet; any other gives -1, as does a command
    // object without a terminal session (after a box).
    qint32 ConnectTrm(qint32 method, const QString& userName, const QString& password, const QString& host,
        const QString& expectedSerial);
    // One walk over the profiles 0 to highest: takes the first whose name
    // begins with "TEMPUSER" (reuse) or is empty (not reuse) and sets it up.
    // -1 when none was taken or its set-up failed, -2 on cancel.
    qint32 takeProfile(const QString& serial, clsVerevo& v, qint32 highest, bool reuse);
    // Sends the ping and watches the reply for 15 seconds.
    void pingOnce(const QString& serial, const QString& host, bool& answered, bool& success);
    void onTerminalData(const QString& text);

    bool SendRuraAndWait(clsVerevo& v, const QString& serial, QString& reply, const QString& command,
        const QString& marker, qint32 timeoutSeconds);
    // GetRuraResp for a restart probe: any reply of the unit counts, even
    // one that may belong to an earlier command.
    QString probeReply(clsVerevo& v, const QString& serial, const QString& command, qint32 timeoutSeconds);
    QString awaitReply(clsVerevo& v, const QString& serial, const QString& command, qint32 timeoutSeconds,
        const QString& marker, bool anyReply);
    void SetVerevo(clsVerevo* v);
    void cVerevo_RuraCMDResponse(quint64 call, const QString& authenticator, const QString& response);
    // What a command found when it hooked the discovery object, put back when
    // it ends, so that a command run from inside another one's wait leaves
    // the outer one hooked and collecting as it was.
    struct Hook {
        QPointer<clsVerevo> verevo;
        clsVerevo::CallId call = 0;
        bool busy = false;
    };
    // Hooks v, waits until the unit owes no answer to an earlier command
    // (unless any reply will do), opens the call, clears the reply text and
    // sends the line; the caller then waits. v may be gone on return.
    Hook beginCommand(clsVerevo& v, const QString& serial, const QString& command, const QString& marker,
        Qt::CaseSensitivity caseSensitivity, bool anyReply);
    // Unhooks v when it is still there, and puts back what the command found.
    void endCommand(const QPointer<clsVerevo>& v, const Hook& before);
    // One command and its wait: true once the reply holds marker (any text
    // when marker is empty); reply has what came either way.
    bool runCommand(clsVerevo& v, const QString& serial, const QString& command, const QString& marker,
        Qt::CaseSensitivity caseSensitivity, bool anyReply, qint32 timeoutSeconds, QString& reply);
    QByteArray unitMac() const { return m_unitMac ? m_unitMac() : QByteArray(); }

    // The person cancelled the run, or the object has been ended.
    bool stopped() const { return m_cancelRequested || m_life.ended(); }
    void log(const QString& serial, const QString& text) const;
    // noun + (" " or " not ") + tail, the closing line of most commands.
    void logClosing(const QString& serial, const QString& noun, bool ok, const QString& tail) const;
    // One line, 5 seconds, "OK" as success, the standard closing line.
    bool singleStep(const QString& serial, clsVerevo& v, const QString& firstLine, const QString& command,
        const QString& noun, const QString& tail);
    // Lines in order until the first that fails; one closing line.
    bool steps(const QString& serial, clsVerevo& v, const QString& firstLine, const QStringList& commands,
        const QString& noun, const QString& tail);
    bool probe(
        const QString& serial, clsVerevo& v, const QString& firstLine, const QString& command, const QString& what);

    CallLifetime m_life;
    Clock& m_clock;
    const UnitInterfacePrefixes& m_prefixes;
    const qint32& m_rebootTime;
    const bool& m_cancelRequested;
    UnitLog m_log;
    UnitMacFn m_unitMac;

    QPointer<clsVerevo> cVerevo;
    QMetaObject::Connection m_responseHook;
    // The call of the command in progress; its replies are collected.
    clsVerevo::CallId m_call = 0;
    bool bBusy = false;
    QString sRuraResp;
    std::unique_ptr<clsTrm> cTrm;
    QString sTrmData;
    bool bTrmOpen = false;
    TelnetCheckServices m_checks;
    // The watch of the ping test in progress, fed with the terminal's text.
    PingReplyWatch* m_pingWatch = nullptr;
};
