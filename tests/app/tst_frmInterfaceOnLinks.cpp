#include "ModalDriver.h"
#include "NetLab.h"
#include "RecordingPrompts.h"
#include "RecordingScanView.h"
#include "UnitSimReady.h"
#include "app/AppWindows.h"
#include "app/frmInterface.h"
#include "discovery/clsVerevo.h"
#include "net/CAdapterHelper.h"
#include "net/ModQar.h"
#include "net/SystemClock.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <arpa/inet.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/ip.h>
#include <netinet/udp.h>
#include <sys/socket.h>
#include <unistd.h>

// Choosing an interface in the dialog moves the discovery traffic onto it:
// a PC with two links, each to a LAN with a unit of its own, as start-up
// finds it; the test process moves into the PC's namespace and watches both
// links with packet sockets while the main window scans.
namespace {

// The discovery datagrams this PC sends out of one link.
class LinkWatch {
public:
    explicit LinkWatch(const char* name)
    {
        // Only taps on every protocol see what the host itself sends.
        m_fd = ::socket(AF_PACKET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, htons(ETH_P_ALL));
        sockaddr_ll at {};
        at.sll_family = AF_PACKET;
        at.sll_protocol = htons(ETH_P_ALL);
        at.sll_ifindex = int(if_nametoindex(name));
        if (m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~LinkWatch()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool ok() const { return m_fd >= 0; }

    // Destinations of the discovery datagrams sent since the last call.
    QStringList discoverySent()
    {
        QStringList out;
        unsigned char buf[2048];
        for (;;) {
            sockaddr_ll from {};
            socklen_t len = sizeof from;
            const ssize_t n = ::recvfrom(m_fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
            if (n <= 0)
                break;
            if (from.sll_pkttype != PACKET_OUTGOING || from.sll_protocol != htons(ETH_P_IP)
                || size_t(n) < sizeof(iphdr) + sizeof(udphdr))
                continue;
            const auto* ip = reinterpret_cast<const iphdr*>(buf);
            if (ip->protocol != IPPROTO_UDP)
                continue;
            const auto* udp = reinterpret_cast<const udphdr*>(buf + ip->ihl * 4);
            if (ntohs(udp->dest) != 7477)
                continue;
            in_addr dst { ip->daddr };
            out << QString::fromLatin1(::inet_ntoa(dst));
        }
        return out;
    }

private:
    int m_fd = -1;
};

} // namespace

class tst_frmInterfaceOnLinks : public QObject {
    Q_OBJECT
private slots:
    void choosingMovesTheDiscoveryTraffic()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        NetLab lab;
        const QString pc = lab.addHost(QStringLiteral("pc"));
        const QString office = lab.addHost(QStringLiteral("office"));
        const QString bench = lab.addHost(QStringLiteral("bench"));
        QVERIFY2(!pc.isEmpty() && !office.isEmpty() && !bench.isEmpty(), qPrintable(lab.lastError()));
        QVERIFY2(lab.link(pc, QStringLiteral("eth0"), QStringLiteral("203.0.113.1/24"), office, QStringLiteral("eth0"),
                     QStringLiteral("203.0.113.2/24"), QStringLiteral("02:00:5e:00:00:a1")),
            qPrintable(lab.lastError()));
        QVERIFY2(lab.link(pc, QStringLiteral("eth1"), QStringLiteral("198.51.100.1/24"), bench, QStringLiteral("eth0"),
                     QStringLiteral("198.51.100.2/24"), QStringLiteral("02:00:5e:00:00:b2")),
            qPrintable(lab.lastError()));
        for (const auto& [ns, serial, ip] :
            { std::tuple { office, "4711", "203.0.113.2" }, std::tuple { bench, "5811", "198.51.100.2" } }) {
            QProcess* sim = lab.start(ns,
                { QStringLiteral(UNITSIM_PATH), "--bind", "0.0.0.0", "--port", "7477", "--serial", serial, "--ip", ip,
                    "--telnet-port", "off" });
            QVERIFY(sim && unitsimReadyPort(*sim) == 7477);
        }
        QVERIFY2(lab.enter(pc), qPrintable(lab.lastError()));

        // As start-up does: the usable interfaces from the kernel, the
        // limited broadcast, the discovery object keyed and routed by the
        // selected entry.
        SystemClock clock;
        RecordingPrompts prompts;
        UsableInterfaces usable;
        CAdapterHelper adapters(QStringLiteral("/sys/class/net"), &prompts);
        QCOMPARE(ModQar::BuildInterfaceList(adapters, usable), 2);
        int officeEntry = -1, benchEntry = -1;
        for (int i = 0; i < usable.InterfaceList.size(); ++i)
            (usable.InterfaceList[i].Adapter->InterfaceName() == u"eth0" ? officeEntry : benchEntry) = i;
        QVERIFY(officeEntry >= 0 && benchEntry >= 0);
        usable.SelectedInterface = officeEntry;
        QString broadcast = QStringLiteral("255.255.255.255");
        AppSettings settings;
        RecordingView view;
        auto addressOfSelected = [&usable]() -> std::pair<QString, QString> {
            const InterfaceEntry* e = usable.selected();
            return e ? std::pair { e->Adapter->IPAddress(), e->Adapter->mask() } : std::pair<QString, QString> {};
        };
        frmMain::Services services {
            .clock = clock,
            .interfaces = usable,
            .createDiscovery = [&]() -> std::unique_ptr<clsVerevo> {
                return std::make_unique<clsVerevo>(clock, prompts, broadcast, addressOfSelected, [] {},
                    VerevoSocketOptions::outOfSelected(usable));
            },
            .PingAddress = [](quint32, const QString&, qint32) { return true; },
            .settings = settings,
            .WizardMode = [] { return 1; },
            .ShiftKeyDown = [] { return false; },
            .prompts = &prompts,
        };
        AppWindows::fill(services);
        frmMain w(std::move(services));
        view.window = &w;
        w.setScanResultsView(&view);

        LinkWatch officeLink("eth0");
        LinkWatch benchLink("eth1");
        QVERIFY(officeLink.ok() && benchLink.ok());

        // The person picks the bench link with the keyboard and presses OK.
        bool seen = false;
        QString shownAddress;
        const auto script = whenModal<frmInterface>([&](frmInterface* d) {
            seen = true;
            d->cbInterfaces->setFocus();
            QTest::keyClick(d->cbInterfaces, benchEntry > officeEntry ? Qt::Key_Down : Qt::Key_Up);
            shownAddress = d->lblIP->text();
            QTest::mouseClick(d->OKButton, Qt::LeftButton);
        });
        w.mnuInterface()->trigger();
        QVERIFY(seen);
        QCOMPARE(shownAddress, QStringLiteral("198.51.100.1"));
        QCOMPARE(usable.SelectedInterface, benchEntry);
        QCOMPARE(broadcast, QStringLiteral("198.51.100.255"));

        w.mnumnuScan()->trigger();
        const qint64 deadline = clock.monotonicMs() + 15000;
        while (view.displays == 0 && clock.monotonicMs() < deadline)
            clock.waitForEvents(deadline);
        QCOMPARE(view.displays, 1);
        QCOMPARE(view.rowTexts(), QStringList { "5811" });
        const QStringList onBench = benchLink.discoverySent();
        QVERIFY2(!onBench.isEmpty() && onBench.count(QStringLiteral("198.51.100.255")) == onBench.size(),
            qPrintable(onBench.join(u' ')));
        QCOMPARE(officeLink.discoverySent(), QStringList());
        QVERIFY(prompts.boxes.isEmpty());
    }
};

QTEST_MAIN(tst_frmInterfaceOnLinks)
#include "tst_frmInterfaceOnLinks.moc"
