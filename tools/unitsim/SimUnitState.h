#pragma once

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

// The settings of one simulated unit, as a configuration file would hold
// them: keys such as "eth 0 ipaddr" or "dhcp 0 lease" (lower case) with the
// values as the PC sent them, quotes removed.
using SimSettings = QMap<QString, QString>;

struct SimUserProfile {
    QString name;
    QString password;
    QString access = QStringLiteral("1");
};

// Everything a unit remembers between commands.
struct SimUnitState {
    SimSettings running;
    // Files of the unit's flash: "config.da0" is loaded at power-up,
    // "config.fac" is the factory configuration.
    QMap<QString, SimSettings> files;
    // The rest of the flash: firmware images and data files with their sizes.
    QMap<QString, qint64> binaries;
    // Files marked read-only, and files whose checksum a "scan" finds wrong
    // (the mark travels with the file when it is moved).
    QSet<QString> readOnly;
    QSet<QString> badCrc;
    // The clock as the last "TIME" set it, "hh mm ss dd mm yyyy"; empty
    // until then.
    QString time;
    bool muxOn = true;
    QList<SimUserProfile> users; // profile 0 first

    // Restart: silent until this time of the clock (monotonic ms); -1 when up.
    qint64 downUntilMs = -1;
    // The PPP link came up (was switched on, or the unit powered up with it
    // on) at this time; -1 while it is off.
    qint64 linkStartMs = -1;

    // The modem's SIM as the unit prints it ("READY", "SIM PIN", "SIM PUK",
    // "Not Ready"), and how many power-ups in a row gave it a wrong PIN.
    QString sim = QStringLiteral("READY");
    int wrongPins = 0;

    QString value(const QString& key) const { return running.value(key); }
};
