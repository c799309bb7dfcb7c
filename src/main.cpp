#include "app/AppSettings.h"
#include "app/DialogPrompts.h"
#include "app/Module1.h"
#include "app/ProgramState.h"
#include "app/VerevoChannel.h"
#include "app/frmMain.h"
#include "discovery/clsVerevo.h"
#include "net/AdapterConfig.h"
#include "net/CAdapterHelper.h"
#include "net/KernelAdapterConfig.h"
#include "net/ModQar.h"
#include "net/ModQarWmi.h"
#include "net/NetworkManagerAdapterConfig.h"
#include "net/SystemClock.h"
#include "session/RemoteManagementStore.h"
#include "session/clsTrm.h"
#include "unit/CQarUnitInfo.h"
#include "unit/clsUnitQuerier.h"
#include "wizard/PageId.h"
#include "wizard/ProgramEnd.h"
#include "wizard/ScanPages.h"
#include "wizard/WizardPages.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardState.h"
#include "wizard/frmEnd.h"

#include <QApplication>
#include <QSettings>

#include <cstdio>
#include <memory>

namespace {
// Test-only: with LINKWISE_AUTOCLOSE_MS set, the no-adaptor page says on
// stderr that it is up and is closed by its frame after that many
// milliseconds, so a test can run the real binary without a person.
void armAutoClose(Clock& clock, frmEnd& page)
{
    bool ok = false;
    const int delayMs = qEnvironmentVariableIntValue("LINKWISE_AUTOCLOSE_MS", &ok);
    if (!ok)
        return;
    clock.schedule(0, [&page] {
        if (page.isVisible())
            std::fputs("frmEnd shown\n", stderr);
    });
    clock.schedule(delayMs, [&page] { page.close(); });
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Linkwise"));
    QApplication::setApplicationName(QStringLiteral("Linkwise"));
    // ~/.config/Linkwise/Linkwise.ini
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings store;
    // The telnet retry count is shared with the remote-management tool's own settings.
    const auto remoteManagement = RemoteManagementStore::open();

    SystemClock clock;
    DialogPrompts prompts;
    ProgramState state;
    AppSettings settings;
    UsableInterfaces usable;
    WizardState wizardState(usable);

    // NetworkManager configures the devices it manages; the kernel backend the rest.
    KernelAdapterConfig kernelConfig(clock);
    std::unique_ptr<NetworkManagerAdapterConfig> networkManager;
    if (auto nm = std::make_unique<NetworkManagerAdapterConfig>(clock); nm->available())
        networkManager = std::move(nm);
    AdapterConfig adapterConfig(networkManager.get(), kernelConfig);

    CAdapterHelper adapterHelper(QStringLiteral("/sys/class/net"), &prompts, {},
        [&](const QString& mac) { return adapterConfig.dhcpEnabledForMac(mac); });

    std::unique_ptr<frmMain> mainWindow;
    std::unique_ptr<WizardRouter> router;

    Module1::StartupHooks hooks;
    hooks.buildInterfaceList = [&]() -> qint32 { return ModQar::BuildInterfaceList(adapterHelper, usable); };
    hooks.loadMainWindowAndShowWelcome = [&] {
        auto selectedAddressAndMask = [&]() -> std::pair<QString, QString> {
            const InterfaceEntry* entry = usable.selected();
            if (!entry)
                return {};
            qint32 first = 0;
            return { ModQar::WmiGetIPAddress(adapterConfig, *entry, first),
                ModQar::WmiGetIPSubnet(adapterConfig, *entry, first) };
        };
        auto createDiscovery = [&, selectedAddressAndMask]() -> std::unique_ptr<DiscoveryChannel> {
            VerevoSocketOptions socket;
            // Discovery leaves through the selected interface, whatever the routes say.
            socket.outgoingInterface = [&]() -> qint32 {
                const InterfaceEntry* entry = usable.selected();
                return entry && entry->Adapter ? entry->Adapter->InterfaceIndex() : 0;
            };
            socket.problemLog = [&](const QString& text) {
                if (mainWindow)
                    mainWindow->AddLogEntry(QString(), text);
            };
            auto verevo = std::make_unique<clsVerevo>(
                clock, prompts, state.BroadcastAddress, selectedAddressAndMask, &ProgramEnd::now, socket);
            // Replies outside a unit command are checked against the wizard's current unit.
            verevo->setReplyMacProvider([&]() -> std::optional<QByteArray> {
                if (!wizardState.CurrentUnit)
                    return std::nullopt;
                return wizardState.CurrentUnit->Mac();
            });
            return std::make_unique<VerevoChannel>(std::move(verevo));
        };
        mainWindow = std::make_unique<frmMain>(frmMain::Services {
            .clock = clock,
            .interfaces = usable,
            .createDiscovery = createDiscovery,
            .PingAddress = {},
            .settings = settings,
            .WizardMode = [&] { return wizardState.WizardMode; },
            .createQuerier =
                [&](CQarUnitInfo& unit) {
                    // The record owns its command object, so the key reads the record directly.
                    return std::make_unique<clsUnitQuerier>(
                        clock, wizardState.Prefixes, settings.RebootTime, state.CancelRequested,
                        [&](const QString& serial, const QString& text) { mainWindow->AddLogEntry(serial, text); },
                        [&unit] { return unit.Mac(); },
                        std::make_unique<clsTrm>(clock, prompts, TrmOptions { 23, remoteManagement.get(), {} }));
                },
            // The unload writes the settings back here.
            .store = &store,
            .CancelRequested = &state.CancelRequested,
            .prompts = &prompts,
        });
        router = std::make_unique<WizardRouter>(
            wizardState, prompts, clock, &Module1::ShiftKeyDown, WizardRouter::defaultEnder(), mainWindow.get());
        WizardPages::registerAll(*router);
        ScanPages::registerPages(*router, *mainWindow);
        router->open(PageId::Wiz01);
    };
    hooks.showNoAdaptorPage = [&] {
        frmEnd page(&ProgramEnd::now);
        armAutoClose(clock, page);
        page.exec();
        // The page ends the program itself; reaching here would be a fault.
        ProgramEnd::now();
    };

    Module1::Main(state, store, settings, usable, hooks);
    wizardState.Prefixes.GPRSPPP = settings.GPRSPPP;
    return app.exec();
}
