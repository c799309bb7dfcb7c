#pragma once

// The PC settings pages and the final page on a real PC adapter: this process
// lives in the PC's network namespace, whose one Ethernet link (lwpc0,
// 198.51.100.1/24, no default route) is cabled to a unit at 198.51.100.10
// (another host answers at .11). The adapter layer is the kernel backend;
// /etc is layered, so the machine's files stay as they are. Pages not under
// test are stand-ins; the pages under test are the program's own, on the
// router with the services they use in the program. The name servers are
// those of the layered /etc/resolv.conf, which the DHCP client's script also
// writes.

#include "NetLab.h"
#include "NetworkManagerLab.h"
#include "PcPageStubs.h"
#include "PrivateSystemFiles.h"
#include "RecordingPrompts.h"
#include "WizardFixture.h"
#include "app/AppSettings.h"
#include "net/IPHlpAPI.h"
#include "net/KernelAdapterConfig.h"
#include "net/ModQarWmi.h"
#include "net/NetworkManagerAdapterConfig.h"
#include "net/SystemClock.h"
#include "wizard/WizardPages.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardServices.h"
#include "wizard/WizardState.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

class PcPageRig {
public:
    static inline const QString kPc = QStringLiteral("198.51.100.1");
    static inline const QString kUnit = QStringLiteral("198.51.100.10");
    static inline const QString kOther = QStringLiteral("198.51.100.11");
    static inline const QByteArray kPcMac = QByteArray::fromHex("02005e000c01");
    static inline const QByteArray kResolvSeed = QByteArrayLiteral("search lab.test\nnameserver 203.0.113.53\n");

    // Builds the LAN, enters the PC's namespace and layers /etc; false with
    // lastError() on failure.
    bool build()
    {
        m_pc = m_lab.addHost(QStringLiteral("pc"));
        m_unit = m_lab.addHost(QStringLiteral("unit"));
        if (m_pc.isEmpty() || m_unit.isEmpty()
            || !m_lab.link(m_pc, QStringLiteral("lwpc0"), kPc + QStringLiteral("/24"), m_unit, QStringLiteral("eth0"),
                kUnit + QStringLiteral("/24"), QStringLiteral("02:00:5e:00:0c:01"))
            || !m_lab.sh(m_unit, QStringLiteral("ip addr add ") + kOther + QStringLiteral("/24 dev eth0"))
            || !m_lab.enter(m_pc))
            return fail(m_lab.lastError());
        if (!m_system.make(kResolvSeed, &m_error))
            return false;
        KernelAdapterConfig::Paths paths;
        paths.runDir = m_dir.filePath(QStringLiteral("run"));
        // The program's own file, as the DHCP client's script writes it.
        paths.resolvConf = QStringLiteral("/etc/resolv.conf");
        paths.useResolved = false;
        paths.leaseTimeoutMs = 20'000;
        m_resolvConf = paths.resolvConf;
        adapters = std::make_unique<KernelAdapterConfig>(clock, paths);
        interfaces.InterfaceList << InterfaceEntry { kPcMac, nullptr };
        interfaces.LanAdapterCount = 1;
        return resetPc();
    }

    ~PcPageRig()
    {
        router.reset();
        // A DHCP client of a test must not outlive the namespace's layers.
        if (adapters && adapters->dhcpMode(QStringLiteral("lwpc0")))
            ModQar::WmiEnableStatic(*adapters, interfaces.InterfaceList.first(), kPc, QStringLiteral("255.255.255.0"));
        adapters.reset();
    }

    // The PC as cabled: its static address, no default route, the seed
    // name server; and a fresh router with the program's pages.
    bool resetPc()
    {
        router.reset();
        if (ModQar::WmiEnableStatic(*adapters, interfaces.InterfaceList.first(), kPc, QStringLiteral("255.255.255.0"))
            != 0)
            return fail(QStringLiteral("static address back"));
        m_lab.sh(m_pc, QStringLiteral("ip route flush dev lwpc0 0/0; true"));
        QFile seed(m_resolvConf);
        if (!seed.open(QIODevice::WriteOnly))
            return fail(m_resolvConf);
        seed.write(kResolvSeed);
        seed.close();
        prompts.boxes.clear();
        prompts.answers.clear();
        opened.clear();
        ends = 0;
        newRouter(adapters.get());
        return true;
    }

    // The PC's adapter under NetworkManager instead: the link (lwnm0) is
    // managed by a real daemon from a saved DHCP profile, and the far side
    // (198.51.100.1, where the lab's DHCP server runs; .11 answers too)
    // hands out .100 to .110 with itself as router and name server.
    bool buildWithNetworkManager(NetworkManagerLab& nm)
    {
        m_pc = m_lab.addHost(QStringLiteral("nmpc"));
        m_unit = m_lab.addHost(QStringLiteral("nmunit"));
        if (m_pc.isEmpty() || m_unit.isEmpty()
            || !m_lab.link(m_pc, QStringLiteral("lwnm0"), QString(), m_unit, QStringLiteral("eth0"),
                QStringLiteral("198.51.100.1/24"), QStringLiteral("02:00:5e:00:0c:01"))
            || !m_lab.sh(m_unit, QStringLiteral("ip addr add ") + kOther + QStringLiteral("/24 dev eth0")))
            return fail(m_lab.lastError());
        if (!nm.startDhcpServer(m_unit, QStringLiteral("eth0")) || !nm.start(m_pc, QStringLiteral("lwnm0")))
            return fail(nm.error());
        if (!m_lab.enter(m_pc))
            return fail(m_lab.lastError());
        networkManager = std::make_unique<NetworkManagerAdapterConfig>(clock, nm.bus());
        if (!networkManager->available())
            return fail(QStringLiteral("NetworkManager not on the lab's bus"));
        interfaces.InterfaceList << InterfaceEntry { kPcMac, nullptr };
        interfaces.LanAdapterCount = 1;
        newRouter(networkManager.get());
        return true;
    }

    // A fresh router with the program's pages on the given adapter layer.
    void newRouter(AdapterConfigBackend* backend)
    {
        router.reset();
        // The program's default; a busy machine may take more than a fraction of it.
        settings.PingTimeout = 1000;
        WizardServices services;
        services.adapters = backend;
        services.settings = &settings;
        services.pingHost = [](const QString& host, const QString& payload, qint32 timeoutMs) {
            return IPHlpAPI::PingHost(host, payload, timeoutMs);
        };
        services.http = [this] { return &http; };
        services.openUrl = [this](const QUrl& url) {
            opened << url;
            return true;
        };
        router = std::make_unique<WizardRouter>(
            state, prompts, clock, [] { return false; }, [this] { ++ends; }, nullptr, std::move(services));
        WizardPages::registerAll(*router);
        stubPagesBeforePcSettings(*router, startups);
        startups.clear();
    }

    // Runs a DHCP server for the PC's link in the unit's namespace, handing
    // out .100 to .110 with the unit as router and name server.
    bool startDhcpServer()
    {
        if (m_dhcp)
            return true;
        m_dhcp = m_lab.start(m_unit,
            { QStringLiteral("dnsmasq"), QStringLiteral("--no-daemon"), QStringLiteral("--conf-file=/dev/null"),
                QStringLiteral("--interface=eth0"), QStringLiteral("--bind-interfaces"), QStringLiteral("--port=0"),
                QStringLiteral("--user=root"),
                QStringLiteral("--dhcp-range=198.51.100.100,198.51.100.110,255.255.255.0,10m"),
                QStringLiteral("--dhcp-option=3,") + kUnit, QStringLiteral("--dhcp-option=6,") + kUnit,
                QStringLiteral("--pid-file=") + m_dir.filePath(QStringLiteral("dnsmasq.pid")),
                QStringLiteral("--dhcp-leasefile=") + m_dir.filePath(QStringLiteral("dnsmasq.leases")) });
        return m_dhcp && m_dhcp->state() != QProcess::NotRunning;
    }

    // What the PC's link carries, as the ip tool shows it.
    QString addresses(const QString& dev = QStringLiteral("lwpc0"))
    {
        return shown(QStringLiteral("ip -4 -o addr show dev ") + dev + QStringLiteral(" | awk '{print $4}'"));
    }
    QString defaultRoutes() { return shown(QStringLiteral("ip -4 route show default")); }
    QByteArray resolvConf() const
    {
        QFile f(m_resolvConf);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    PageId currentId() const { return router->current() ? router->current()->id() : PageId::EndProgram; }
    template<class Page> Page* page() const { return qobject_cast<Page*>(router->current()); }
    QString lastError() const { return m_error; }

    SystemClock clock;
    std::unique_ptr<KernelAdapterConfig> adapters;
    std::unique_ptr<NetworkManagerAdapterConfig> networkManager;
    UsableInterfaces interfaces;
    WizardState state { interfaces };
    RecordingPrompts prompts;
    AppSettings settings;
    QNetworkAccessManager http;
    QList<QUrl> opened;
    QList<PageId> startups;
    int ends = 0;
    std::unique_ptr<WizardRouter> router;

private:
    bool fail(const QString& why)
    {
        m_error = why;
        return false;
    }
    QString shown(const QString& command)
    {
        QString out;
        m_lab.sh(m_pc, command, &out);
        return out.trimmed();
    }

    NetLab m_lab;
    QTemporaryDir m_dir;
    QString m_pc;
    QString m_unit;
    PrivateSystemFiles m_system;
    QString m_resolvConf;
    QProcess* m_dhcp = nullptr;
    QString m_error;
};
