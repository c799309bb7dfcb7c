#pragma once

#include "RecordingPrompts.h"
#include "StandInDiscovery.h"
#include "UnitSimReady.h"
#include "WizardFixture.h"
#include "app/frmMain.h"
#include "net/CIpHelper.h"
#include "wizard/WizardPages.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardState.h"
#include "wizard/frmWiz07.h"

#include <QProcess>

#include <functional>
#include <memory>

// A discovery object that answers every query at once with a fixed set of
// identity records, for tests that do not need a network.
class ScriptedDiscovery final : public StandInDiscovery {
public:
    using StandInDiscovery::StandInDiscovery;
    struct Answer {
        QByteArray mac;
        QString serial;
        QString ip;
        QString model = QStringLiteral("Calvantor KR5004 Router");
    };
    void SetMac(const QByteArray& mac) override { key = mac; }
    void SendQuery(const QString&) override
    {
        ++queries;
        for (const Answer& a : answers)
            raiseIdentity(a.mac, a.serial, a.ip, QStringLiteral("1"), QStringLiteral("CV100"), a.model);
    }
    QList<Answer> answers;
    QByteArray key;
    int queries = 0;
};

// The hidden main window with its scan engine, a router with the two scan
// pages, and stand-ins for every other page. Pings are answered at once.
struct ScanPageRig {
    explicit ScanPageRig(Clock& c)
        : clock(c)
    {
        settings.PingTimeout = 300;
    }
    ~ScanPageRig()
    {
        router.reset();
        main.reset();
    }

    // An interface of the PC on the lab's subnet.
    void addInterface(const QString& ip, const QString& mask, const QByteArray& mac, qint32 index = 2)
    {
        auto adapter = std::make_shared<CAdapter>();
        adapter->setIPAddress(ip);
        adapter->setMask(mask);
        adapter->setInterfaceIndex(index);
        adapter->SetPhysAddr(6, mac);
        interfaces.InterfaceList << InterfaceEntry { mac, adapter };
        interfaces.LanAdapterCount = qint32(interfaces.InterfaceList.size());
    }

    // The discovery object on the socket start-up makes, unless options say
    // otherwise.
    std::unique_ptr<clsVerevo> realDiscovery() { return realDiscovery(VerevoSocketOptions::outOfSelected(interfaces)); }
    std::unique_ptr<clsVerevo> realDiscovery(const VerevoSocketOptions& options)
    {
        auto address = [this]() -> std::pair<QString, QString> {
            const InterfaceEntry* e = interfaces.selected();
            if (!e || !e->Adapter)
                return {};
            return { e->Adapter->IPAddress(), e->Adapter->mask() };
        };
        return std::make_unique<clsVerevo>(
            clock, prompts, broadcast, address, [this] { ++ends; }, options);
    }

    // table: the PC's interface table as the adaptor page reads it; the
    // kernel's own when empty.
    void build(
        std::function<std::unique_ptr<clsVerevo>()> discovery, std::function<std::shared_ptr<CInterfaces>()> table = {})
    {
        frmMain::Services s {
            .clock = clock,
            .interfaces = interfaces,
            .createDiscovery = std::move(discovery),
            .PingAddress = [](quint32, const QString&, qint32) { return true; },
            .settings = settings,
            .WizardMode = [this] { return state.WizardMode; },
            .ShiftKeyDown = [this] { return shift; },
            .createQuerier = createQuerier,
            .prompts = &prompts,
            .ConfigureUnits = configureUnits,
        };
        main = std::make_unique<frmMain>(std::move(s));
        WizardServices services;
        services.main = main.get();
        services.settings = &settings;
        if (!table) {
            auto helper = std::make_shared<CIpHelper>();
            table = [helper] { return helper->Interfaces(); };
        }
        services.readInterfaces = std::move(table);
        services.adapters = adapters;
        services.pingHost = pingHost;
        router = std::make_unique<WizardRouter>(
            state, prompts, clock, [this] { return shift; }, [this] { ++ends; }, nullptr, std::move(services));
        WizardPages::registerAll(*router);
        for (PageId id : { PageId::Wiz01, PageId::Wiz03, PageId::Wiz06, PageId::Wiz08 })
            if (id != PageId::Wiz08 || !adapters)
                stub(id);
    }

    void stub(PageId id)
    {
        router->registerPage(id, [this, id](WizardRouter& r, QWidget* owner) -> WizardPage* {
            auto* page = new StubPage(id, r, owner);
            page->onStartup = [this, id](StubPage&) {
                startups << id;
                configOptionAtStartup = state.ConfigOption;
            };
            return page;
        });
    }

    // Opens the search page and lets it start its search, which it does once
    // it is on screen.
    frmWiz07* openSearch()
    {
        auto* page = static_cast<frmWiz07*>(router->open(PageId::Wiz07));
        QCoreApplication::sendPostedEvents(page, QEvent::MetaCall);
        return page;
    }

    // Runs the clock until the scan has been handed to the page and the
    // discovery object is back at rest.
    bool waitForResults(qint64 ms = 15000)
    {
        // A search page just opened starts its search from the event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        const qint64 deadline = clock.monotonicMs() + ms;
        while ((main->ScanState() != frmMain::Idle || !main->cz()) && clock.monotonicMs() < deadline)
            clock.waitForEvents(deadline);
        return main->ScanState() == frmMain::Idle && main->cz();
    }

    PageId currentId() const { return router->current() ? router->current()->id() : PageId::EndProgram; }

    Clock& clock;
    UsableInterfaces interfaces;
    WizardState state { interfaces };
    RecordingPrompts prompts;
    AppSettings settings;
    QString broadcast = QStringLiteral("255.255.255.255");
    bool shift = false;
    int ends = 0;
    QList<PageId> startups;
    // The main window's Configure Units run, when a test wants one.
    std::function<void(const QString&, const std::shared_ptr<CQarUnitInfos>&, clsVerevo*)> configureUnits;
    qint16 configOptionAtStartup = -1;
    // Makes the command object of each unit record, when a test talks to units.
    std::function<std::unique_ptr<clsUnitQuerier>(CQarUnitInfo&)> createQuerier;
    // The PC's adapter layer and the pages' ping, when a test gives them; with
    // an adapter layer the option page is the program's own.
    AdapterConfigBackend* adapters = nullptr;
    std::function<bool(const QString&, const QString&, qint32)> pingHost;
    std::unique_ptr<frmMain> main;
    std::unique_ptr<WizardRouter> router;
};

// The unit simulator built with the tests.
inline QString unitsimPath()
{
    return qEnvironmentVariable("LINKWISE_BUILD_DIR") + QStringLiteral("/tools/unitsim/unitsim");
}

inline quint16 unitsimReady(QProcess& sim)
{
    return unitsimReadyPort(sim, 10000);
}
