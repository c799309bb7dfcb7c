#pragma once

// The program as main() builds it, with settings of its own in a scratch
// folder, for the benchmarks that run it end to end. Counts its endings.

#include "net/Clock.h"
#include "wizard/LinkwiseProgram.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

#include <functional>

struct BenchProgram {
    explicit BenchProgram(Clock& clock, std::function<bool(const QUrl&)> openUrl = {})
        : store(home.filePath(QStringLiteral("Linkwise.ini")), QSettings::IniFormat)
        , remote(home.filePath(QStringLiteral("remote.ini")), QSettings::IniFormat)
        , program({
              .clock = clock,
              .store = store,
              .remoteManagement = remote,
              .ender = [this] { ++ends; },
              .shiftKeyDown = [] { return false; },
              .openUrl = std::move(openUrl),
              .sysClassNet = QStringLiteral("/sys/class/net"),
              .noAdaptorPageShown = {},
          })
    { }

    QTemporaryDir home;
    QSettings store;
    QSettings remote;
    int ends = 0;
    LinkwiseProgram program;
};
