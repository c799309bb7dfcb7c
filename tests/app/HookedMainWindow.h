#pragma once

#include "ModalDriver.h"
#include "RecordingPrompts.h"
#include "SimulatedClock.h"
#include "app/AppWindows.h"

#include <QAction>

#include <functional>
#include <memory>

// The main window with its Tools and Help windows hooked up as start-up
// does it, for the tests that open them from its menus.
struct HookedMainWindow {
    SimulatedClock clock;
    RecordingPrompts prompts;
    UsableInterfaces interfaces;
    AppSettings settings;
    QSettings* store = nullptr;
    AppWindows::Extras extras;
    std::unique_ptr<frmMain> w;

    void build()
    {
        frmMain::Services s {
            .clock = clock,
            .interfaces = interfaces,
            .createDiscovery = {},
            .PingAddress = [](quint32, const QString&, qint32) { return false; },
            .settings = settings,
            .WizardMode = [] { return 1; },
            .store = store,
            .prompts = &prompts,
        };
        AppWindows::fill(s, extras);
        w = std::make_unique<frmMain>(std::move(s));
    }

    // Chooses item and runs act on the dialog it opens while that is up;
    // true when it came up.
    template<typename Dialog> bool open(QAction* item, std::function<void(Dialog*)> act)
    {
        bool seen = false;
        const auto script = whenModal<Dialog>([&seen, act = std::move(act)](Dialog* d) {
            seen = true;
            act(d);
        });
        item->trigger();
        return seen;
    }
};
