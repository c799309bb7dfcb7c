#pragma once

#include <QString>

// The per-user settings the program keeps between runs, as they stand during
// this run. The application owns one and lends it by reference; the options
// dialog may change RebootTime and the rest for the current run only. Which
// values PingTimeout, PPPWaitTime and GPRSPPP take: SettingRules.
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
};
