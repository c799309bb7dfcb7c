#pragma once

#include "app/AppSettings.h"
#include "app/DialogHostPrompt.h"
#include "app/DialogPrompts.h"
#include "app/ProgramState.h"
#include "net/AdapterConfig.h"
#include "net/CAdapterHelper.h"
#include "net/CIpHelper.h"
#include "net/InterfaceEntry.h"
#include "net/KernelAdapterConfig.h"
#include "wizard/ProgramEnd.h"
#include "wizard/WizardState.h"

#include <QNetworkAccessManager>
#include <QString>

#include <functional>
#include <memory>

class Clock;
class NetworkManagerAdapterConfig;
class QDialog;
class QSettings;
class QUrl;
class WizardRouter;
class frmMain;
namespace ModQar {
class ConfigureUnitsPipeline;
}

// The whole program as main() starts it: the settings, the PC's usable
// interfaces, the hidden main window with the discovery object, the wizard's
// pages and the services they share, wired once here. main() hands it the
// machine it runs on; a test that wants to see the program as a person does
// starts this same object, with only the platform below chosen by the test.
class LinkwiseProgram {
public:
    // What the program takes from the machine and the session it runs in.
    struct Platform {
        Clock& clock;
        // Application Linkwise; the settings live in its group "Settings".
        QSettings& store;
        // The remote-management tool's own settings (the telnet retry count).
        QSettings& remoteManagement;
        // Ends the run at once (process exit); never returns in a real run.
        ProgramEnder ender = &ProgramEnd::now;
        // True while a Shift key is held.
        std::function<bool()> shiftKeyDown;
        // Opens a URL in the desktop's handler; QDesktopServices when empty.
        std::function<bool(const QUrl&)> openUrl;
        // Where the kernel lists the network interfaces.
        QString sysClassNet = QStringLiteral("/sys/class/net");
        // Told when the no-adaptor page is up, before it waits for the person.
        std::function<void(QDialog&)> noAdaptorPageShown;
        // Where the program's own files are looked for (the help pages); the
        // executable's folder when empty.
        QString programFolder = {};
    };

    explicit LinkwiseProgram(Platform platform);
    ~LinkwiseProgram();
    LinkwiseProgram(const LinkwiseProgram&) = delete;
    LinkwiseProgram& operator=(const LinkwiseProgram&) = delete;

    // The start routine: broadcast address, settings, the interface count,
    // then the first window. Returns once the welcome page is up (the event
    // loop runs the rest); with no usable interface it shows the no-adaptor
    // page, which ends the run.
    void start();

    // What is on screen and in force, for whoever watches the run.
    WizardRouter* router() const { return m_router.get(); }
    frmMain* mainWindow() const { return m_main.get(); }
    // The Configure Units run of the main window's unit list.
    ModQar::ConfigureUnitsPipeline* pipeline() const { return m_pipeline.get(); }
    AppSettings& settings() { return m_settings; }
    WizardState& wizardState() { return m_wizardState; }

private:
    qint32 buildInterfaceList();
    void loadMainWindowAndShowWelcome();
    void showNoAdaptorPage();
    QWidget* boxAnchor() const;
    void logProblem(const QString& text);

    Platform m_platform;
    ProgramState m_state;
    AppSettings m_settings;
    UsableInterfaces m_usable;
    WizardState m_wizardState { m_usable };
    DialogPrompts m_prompts;
    DialogHostPrompt m_hostPrompt;
    // What the kernel backend leaves undone goes to the program-wide log.
    // It reads the same list of links as the adapter list.
    KernelAdapterConfig m_kernelConfig { m_platform.clock,
        KernelAdapterConfig::Paths { .sysClassNet = m_platform.sysClassNet },
        [this](const QString& text) { logProblem(text); } };
    std::unique_ptr<NetworkManagerAdapterConfig> m_networkManager;
    std::unique_ptr<AdapterConfig> m_adapterConfig;
    std::unique_ptr<CAdapterHelper> m_adapterHelper;
    std::unique_ptr<CIpHelper> m_ipHelper;
    std::unique_ptr<QNetworkAccessManager> m_http;
    std::unique_ptr<ModQar::ConfigureUnitsPipeline> m_pipeline;
    std::unique_ptr<frmMain> m_main;
    std::unique_ptr<WizardRouter> m_router;
};
