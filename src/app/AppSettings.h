#pragma once

#include <QString>

// The per-user settings the program keeps between runs, as they stand during
// this run. The application owns one and lends it by reference; the options
// dialog may change RebootTime and the rest for the current run only.
struct AppSettings {
    // Answers ICMP echo from almost anywhere; only the connectivity checks ping it.
    static constexpr const char* DefaultTestHost = "www.google.com";

    QString APN;
    QString PPPPhonenum = QStringLiteral("*99#");
    QString CfgDir = QStringLiteral("files");
    QString GPRSCfgFile = QStringLiteral("gprscfg.da0");
    QString TestHost = QString::fromLatin1(DefaultTestHost);
    qint32 RebootTime = 50; // seconds
    qint32 PPPWaitTime = 180; // seconds
    QString GPRSPPP = QStringLiteral("1");
    qint32 PingTimeout = 1000; // milliseconds
    bool ShowStatusLog = false;

    // A stored number outside these bounds reads as the default: a time-out
    // of 2^31 ms hangs the scan's first ping for weeks, one below 1 makes
    // every ping fail, and a link wait below a few seconds can never succeed.
    static constexpr qint32 MinPingTimeout = 50;
    static constexpr qint32 MaxPingTimeout = 60'000;
    static constexpr qint32 MinPPPWaitTime = 10;
    static constexpr qint32 MaxPPPWaitTime = 3'600;
};
