#include "wizard/LinkwiseProgram.h"

#include "app/AppWindows.h"
#include "app/ModQarConfigureUnits.h"
#include "app/ModQarFindFreeAddress.h"
#include "app/Module1.h"
#include "app/frmMain.h"
#include "discovery/clsVerevo.h"
#include "net/IPHlpAPI.h"
#include "net/ModQar.h"
#include "net/ModQarWmi.h"
#include "net/NetworkManagerAdapterConfig.h"
#include "session/clsTrm.h"
#include "unit/CQarUnitInfo.h"
#include "unit/clsUnitQuerier.h"
#include "wizard/PageId.h"
#include "wizard/WizardPage.h"
#include "wizard/WizardPages.h"
#include "wizard/WizardRouter.h"
#include "wizard/frmEnd.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QSettings>
#include <QUrl>

LinkwiseProgram::LinkwiseProgram(Platform platform)
    : m_platform(std::move(platform))
    , m_prompts([this] { return boxAnchor(); })
{
    if (!m_platform.ender)
        m_platform.ender = &ProgramEnd::now;
    if (!m_platform.shiftKeyDown)
        m_platform.shiftKeyDown = &Module1::ShiftKeyDown;
    if (!m_platform.openUrl)
        m_platform.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    if (m_platform.programFolder.isEmpty())
        m_platform.programFolder = QCoreApplication::applicationDirPath();

    // NetworkManager configures the devices it manages; the kernel backend
    // the rest. It is looked for when the adapters are first configured.
    m_adapterConfig = std::make_unique<AdapterConfig>(
        [this]() -> NetworkManagerAdapterConfig* {
            if (auto nm = std::make_unique<NetworkManagerAdapterConfig>(m_platform.clock); nm->available())
                m_networkManager = std::move(nm);
            return m_networkManager.get();
        },
        m_kernelConfig);
    m_adapterHelper = std::make_unique<CAdapterHelper>(m_platform.sysClassNet, &m_prompts, Ipv4AddressSource {},
        [this](qint32 ifindex, const QString& mac) { return m_adapterConfig->dhcpEnabledFor(ifindex, mac); });
    m_ipHelper = std::make_unique<CIpHelper>(m_platform.sysClassNet, &m_prompts);
    // The unit commands read the PPP instance from the settings as each
    // command is built, so the options dialog's changes reach them.
    m_wizardState.Prefixes.GPRSPPP = [this] { return m_settings.GPRSPPP; };
}

LinkwiseProgram::~LinkwiseProgram()
{
    // The pages are windows owned by the main window; the router goes first.
    m_router.reset();
    m_main.reset();
    m_pipeline.reset();
}

void LinkwiseProgram::start()
{
    // Only the endings the wizard names end the run. Qt would otherwise quit
    // when the last window without an owner closes, which is any message box
    // over the pages (they are owned by the hidden main window), and its quit
    // closes every page as if by its close box.
    QGuiApplication::setQuitOnLastWindowClosed(false);

    Module1::StartupHooks hooks;
    hooks.buildInterfaceList = [this] { return buildInterfaceList(); };
    hooks.loadMainWindowAndShowWelcome = [this] { loadMainWindowAndShowWelcome(); };
    hooks.showNoAdaptorPage = [this] { showNoAdaptorPage(); };
    Module1::Main(m_state, m_platform.store, m_settings, m_usable, hooks);
}

void LinkwiseProgram::logProblem(const QString& text)
{
    if (m_main)
        m_main->AddLogEntry(QString(), text);
}

qint32 LinkwiseProgram::buildInterfaceList()
{
    return ModQar::BuildInterfaceList(*m_adapterHelper, m_usable);
}

void LinkwiseProgram::loadMainWindowAndShowWelcome()
{
    auto selectedAddressAndMask = [this]() -> std::pair<QString, QString> {
        const InterfaceEntry* entry = m_usable.selected();
        if (!entry)
            return {};
        qint32 first = 0;
        return { ModQar::WmiGetIPAddress(*m_adapterConfig, *entry, first),
            ModQar::WmiGetIPSubnet(*m_adapterConfig, *entry, first) };
    };
    auto createDiscovery = [this, selectedAddressAndMask]() -> std::unique_ptr<clsVerevo> {
        // Discovery leaves through the selected interface, whatever the routes say.
        VerevoSocketOptions socket = VerevoSocketOptions::outOfSelected(m_usable);
        socket.problemLog = [this](const QString& text) { logProblem(text); };
        return std::make_unique<clsVerevo>(
            m_platform.clock, m_prompts, m_state.BroadcastAddress, selectedAddressAndMask, m_platform.ender, socket);
    };
    auto createQuerier = [this](CQarUnitInfo& unit) {
        // The record owns its command object, so the key reads the record directly.
        return std::make_unique<clsUnitQuerier>(
            m_platform.clock, m_wizardState.Prefixes, m_settings.RebootTime, m_state.CancelRequested,
            [this](const QString& serial, const QString& text) { m_main->AddLogEntry(serial, text); },
            [&unit] { return unit.Mac(); },
            std::make_unique<clsTrm>(m_platform.clock, m_prompts, TrmOptions { 23, &m_platform.remoteManagement, {} }),
            TelnetCheckServices { &m_prompts, &m_hostPrompt, &m_settings.TestHost });
    };
    m_pipeline = std::make_unique<ModQar::ConfigureUnitsPipeline>(ModQar::ConfigureUnitsServices {
        .settings = m_settings,
        .CfgOptions = m_state.CfgOptions,
        .CancelRequested = m_state.CancelRequested,
        .interfaces = m_usable,
        .adapters = m_adapterConfig.get(),
        .prompts = m_prompts,
        .hostPrompt = &m_hostPrompt,
        .log = [this](const QString& serial, const QString& text) { m_main->AddLogEntry(serial, text); },
        .store = &m_platform.store,
        .owner = [this] { return boxAnchor(); },
        .setStopEnabled = [this](bool on) { m_main->stopScanToolButton()->setEnabled(on); },
    });
    frmMain::Services mainServices {
        .clock = m_platform.clock,
        .interfaces = m_usable,
        .createDiscovery = createDiscovery,
        .PingAddress = {},
        .settings = m_settings,
        .WizardMode = [this] { return m_wizardState.WizardMode; },
        .ShiftKeyDown = m_platform.shiftKeyDown,
        .createQuerier = createQuerier,
        // The unload writes the settings back here.
        .store = &m_platform.store,
        .CancelRequested = &m_state.CancelRequested,
        .prompts = &m_prompts,
        .ConfigureUnits = [this](const QString& serial, const std::shared_ptr<CQarUnitInfos>& units,
                              clsVerevo* discovery) { m_pipeline->ConfigureUnits(serial, units, discovery); },
        // The unload has written the settings; nothing else is left to do.
        .endProgram = m_platform.ender,
    };
    AppWindows::fill(mainServices,
        { .terminal = TrmOptions { 23, &m_platform.remoteManagement, {} }, .sysClassNet = m_platform.sysClassNet });
    m_main = std::make_unique<frmMain>(std::move(mainServices));

    WizardServices services;
    services.main = m_main.get();
    services.adapters = m_adapterConfig.get();
    services.settings = &m_settings;
    services.store = &m_platform.store;
    services.program = &m_state;
    services.readInterfaces = [this] { return m_ipHelper->Interfaces(); };
    services.pingHost = [](const QString& host, const QString& payload, qint32 timeoutMs) {
        return IPHlpAPI::PingHost(host, payload, timeoutMs);
    };
    services.findFreeAddress = [this](const QString& address, const QString& mask, qint32 lastRejected) {
        return ModQar::FindFreeAddress(
            m_platform.clock, address, mask, lastRejected, m_settings.PingTimeout, m_state.CancelRequested);
    };
    services.http = [this] {
        // Made on first use: the client costs start-up time, and only the
        // last page reaches for it.
        if (!m_http)
            m_http = std::make_unique<QNetworkAccessManager>();
        return m_http.get();
    };
    services.openUrl = m_platform.openUrl;
    services.programFolder = m_platform.programFolder;

    m_router = std::make_unique<WizardRouter>(m_wizardState, m_prompts, m_platform.clock, m_platform.shiftKeyDown,
        m_platform.ender, m_main.get(), std::move(services));
    WizardPages::registerAll(*m_router);
    m_router->open(PageId::Wiz01);
}

void LinkwiseProgram::showNoAdaptorPage()
{
    bool ended = false;
    frmEnd page([this, &ended] {
        ended = true;
        m_platform.ender();
    });
    if (m_platform.noAdaptorPageShown)
        m_platform.noAdaptorPageShown(page);
    page.exec();
    // The page ends the run itself; an event loop with no window left would
    // otherwise wait for ever.
    if (!ended)
        m_platform.ender();
}

QWidget* LinkwiseProgram::boxAnchor() const
{
    // A box asked for while another box is up stands over that box; else
    // over the window the person is working in, else over the page on screen.
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return m_router ? m_router->visiblePage() : nullptr;
}
