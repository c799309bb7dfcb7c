#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

// What a unit does wrong on purpose, to exercise the PC's checks.
enum class SimFault {
    None,
    Silence, // never answers
    WrongAuthenticator, // answers under a key that is not its MAC
    Short, // answers with a datagram of 20 bytes
    NoCarriageReturn, // answers without the CR after the prefix
    Overrun, // answers with a record whose length runs past the end
};

// How the units' web server behaves: as a unit's does, reading every request
// and answering none, or with its port closed.
enum class SimWebMode { Normal, Hang, Refuse };

// What a flooding peer sends: identity records of ever new units, or bytes
// that are no datagram of the protocol.
enum class SimFloodKind { Identity, Garbage };

// How one simulator process behaves: the first unit's identity (the others
// count up from it), where it listens, and its faults.
struct SimConfig {
    QString firstSerial = QStringLiteral("1000");
    QByteArray firstMac = QByteArray::fromHex("0050c2aa0000");
    QHostAddress firstAddress = QHostAddress(QStringLiteral("198.51.100.10"));
    QString unitId = QStringLiteral("1");
    QString productId = QStringLiteral("CV100");
    QString model = QStringLiteral("Calvantor CV100-E3G");
    int count = 1;
    QHostAddress bindAddress = QHostAddress::LocalHost;
    quint16 port = 7477;
    int replyDelayMs = 0;
    // Replies of the units to one query are spread evenly over this window.
    int spreadMs = 0;
    SimFault fault = SimFault::None;
    // Units the fault applies to; empty means every unit.
    QSet<QString> faultSerials;
    bool verbose = false;
    // After the first query: this many milliseconds of datagrams sent back to
    // the querying socket as fast as the simulator can (0: no flood).
    int floodMs = 0;
    SimFloodKind floodKind = SimFloodKind::Identity;
    // The address the flood's identity records report.
    QString floodAddress = QStringLiteral("0.0.0.0");

    // The command language (see UnitCommandLanguage).
    int rebootDownMs = 5000; // silent after "reboot", then answering again
    int pppIdleMs = 2000; // after the link is switched on: Idle this long,
    int pppActivatingMs = 3000; // then activating (0.0.0.0) this long, then connected
    QString pppAddress = QStringLiteral("203.0.113.5");
    // The saved configuration has the PPP link switched on, so the link
    // comes up at every power-up (the first command counts as one).
    bool pppOn = false;
    bool gprs = true; // has a modem
    bool dhcpClient = true; // Ethernet DHCP client supported
    bool dhcpServer = true; // DHCP server supported
    bool lanDhcpServer = false; // a DHCP discovery on the LAN finds a server
    // The LAN port's address in the factory configuration; empty: the
    // address the unit reports.
    QString factoryAddress;
    // Names of user profiles 1, 2, ... ("" is a free profile); profile 0 is "admin".
    QStringList users = { QStringLiteral(""), QStringLiteral("") };
    // Faults of single commands, matched against the start of the line in
    // any letter case: refused with "ERROR", never answered, answered late,
    // or answered with a text of the test's own.
    QStringList refuse;
    QStringList mute;
    QList<QPair<QString, int>> late;
    QList<QPair<QString, QByteArray>> replies;
    // Faults of the answer's carriage, matched likewise: sent twice in a
    // row; the first copy of the command lost, so that only the PC's resend
    // is answered; split into one datagram a line, this many ms apart.
    QStringList twice;
    QStringList resendOnly;
    QList<QPair<QString, int>> split;

    // The entry of a prefix list that line starts with, in any letter case.
    static bool matches(const QStringList& prefixes, const QString& line)
    {
        for (const QString& p : prefixes)
            if (line.startsWith(p, Qt::CaseInsensitive))
                return true;
        return false;
    }
    // The telnet server: whether there is one, its port (0 lets the system
    // choose), its prompts and the line a login earns.
    quint16 telnetPort = 23;
    bool telnet = true;
    bool telnetNoUserPrompt = false;
    QString telnetPasswordPrompt = QStringLiteral("password:");
    QByteArray telnetLoginBanner = QByteArrayLiteral("SUPER\r\n");
    // Every command line received, one "<serial>\t<line>" a line.
    QString commandLog;
    // The web server (see SimWebServer): whether there is one, its port and
    // mode, and a file that receives every request read.
    bool web = true;
    quint16 webPort = 80;
    SimWebMode webMode = SimWebMode::Normal;
    QString webLog;
    // The network device whose addresses and DHCP server follow the units'
    // saved Ethernet and DHCP settings (see SimLan); none when empty. Only
    // for a simulator inside a network namespace of its own.
    QString lanDevice;

    // The terminal side: a unit that refuses every telnet login; hosts
    // whose pings through the cellular link go unanswered; how long the
    // unit's ping command takes before it prints its statistics.
    bool telnetRefuseLogin = false;
    // After refusing a login the unit hangs up instead of asking again.
    bool telnetHangUpOnRefusal = false;
    // A unit whose terminal takes the connection and then says nothing at
    // all: no prompt, no answer.
    bool telnetSilent = false;
    // Lines typed after the login (prefixes, any letter case) whose answer
    // stops half-way: the unit hangs up in the middle of it.
    QStringList telnetHangUp;
    QStringList pingUnreachable;
    int pingMs = 0;
    // What the identity banner ("ATI5") reports besides the serial number,
    // and the serial number it shows when not the unit's own as it answers
    // discovery (a banner may write it in other letter case).
    QString softwareBuild = QStringLiteral("4113.27 14-Jun-2005");
    QString biosVersion = QStringLiteral("1.07");
    QString bannerSerial;
    // The flash: files added to the standard ones (a new image waiting to
    // be moved into place), files a scan finds corrupt, files already
    // read-only.
    QStringList flashAdd;
    QStringList flashBad;
    QStringList flashReadOnly;
    // The modem: what a "call" ends in ("CONNECT", "BUSY", "NO CARRIER",
    // or "" for nothing at all) and how long the dialling takes.
    QString callResult = QStringLiteral("CONNECT");
    int callDelayMs = 3000;

    // The modem of each unit, keyed by serial number ("" for every unit not
    // named): the SIM's state ("ready", "pin", "puk" or "not-ready"), the PIN
    // a ready SIM asks for at power-up ("" asks none) and the level received
    // in dBm ("" prints no signal line).
    QHash<QString, QString> simState;
    QHash<QString, QString> simPin;
    QHash<QString, QString> signalDbm;

    // The unit's own entry of such a table, else the entry for every unit,
    // else fallback.
    static QString forUnit(const QHash<QString, QString>& table, const QString& serial, const QString& fallback)
    {
        return table.value(serial, table.value(QString(), fallback));
    }
};

// Reads the command line; "--config file" reads key=value lines with the same
// names first, and options on the command line win. Empty on error, with the
// reason in *error.
std::optional<SimConfig> loadSimConfig(const QStringList& arguments, QString* error);
