// The PC settings pages on a real PC adapter (see PcPageRig): what Configure
// PC and Next leave on the link, the steps it shows on the way, what a
// refused change shows, and that Skip leaves the PC alone. Each page is
// opened through the router with the state the unit address page before it
// leaves.
#include "PcPageRig.h"
#include "wizard/frmWiz13.h"
#include "wizard/frmwiz12A.h"
#include "wizard/frmwiz12B.h"
#include "wizard/frmwiz12C.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace {
const QString kStaticFailure
    = QStringLiteral("A problem occurred setting the static IP address on the selected interface.");
const QString kGatewayFailure
    = QStringLiteral("A problem occurred setting the default gateway on the selected interface.");
const QString kDnsFailure = QStringLiteral("A problem occurred setting the name server on the selected interface.");
const QString kTryAgain = QStringLiteral("Do you want to change your settings and try again.");

// Each new text a label paints, with what the PC's link looked like then.
class PaintedSteps : public QObject {
public:
    PaintedSteps(QLabel& label, std::function<QString()> pcNow)
        : m_label(label)
        , m_pcNow(std::move(pcNow))
    {
        label.installEventFilter(this);
    }
    QStringList seen;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && (seen.isEmpty() || !seen.last().startsWith(m_label.text() + u':')))
            seen << m_label.text() + QStringLiteral(": ") + m_pcNow();
        return false;
    }

private:
    QLabel& m_label;
    std::function<QString()> m_pcNow;
};
} // namespace

class tst_PcSettingsPages : public QObject {
    Q_OBJECT

    PcPageRig m_rig;

    PcSettingsPage* open(PageId id, qint16 option, const QString& unitIp)
    {
        m_rig.state.WizardMode = 1;
        m_rig.state.ConfigOption = option;
        m_rig.state.UnitIP = unitIp;
        return qobject_cast<PcSettingsPage*>(m_rig.router->open(id));
    }

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QVERIFY2(m_rig.build(), qPrintable(m_rig.lastError()));
    }

    void init() { QVERIFY2(m_rig.resetPc(), qPrintable(m_rig.lastError())); }

    // The static page with its defaults: the PC takes 192.168.0.1/24 with the
    // unit's default address as gateway and name server, and the final page
    // reads them back.
    void staticDefaults()
    {
        auto* page = qobject_cast<frmwiz12B*>(open(PageId::Wiz12B, 2, QStringLiteral("192.168.0.99")));
        QVERIFY(page);
        QVERIFY(page->Frame1->isVisibleTo(page));
        QVERIFY(!page->cmdNext->isVisibleTo(page));
        QTest::mouseClick(page->cmdConfigure, Qt::LeftButton);
        QVERIFY(!page->Frame1->isVisibleTo(page));
        QVERIFY(page->Frame2->isVisibleTo(page));
        QVERIFY(page->cmdNext->isVisibleTo(page) && page->cmdNext->isEnabled());
        QVERIFY(page->cmdBack->isVisibleTo(page) && page->cmdBack->isEnabled());
        QVERIFY(page->cmdCancel->isVisibleTo(page) && page->cmdHelp->isVisibleTo(page));
        QVERIFY(!page->cmdSkip->isVisibleTo(page));
        // Nothing changes before Next.
        QCOMPARE(m_rig.addresses(), PcPageRig::kPc + QStringLiteral("/24"));

        QTest::mouseClick(page->cmdNext, Qt::LeftButton);
        QCOMPARE(m_rig.prompts.texts(), QStringList());
        QCOMPARE(m_rig.addresses(), QStringLiteral("192.168.0.1/24"));
        QVERIFY2(m_rig.defaultRoutes().contains(QLatin1String("default via 192.168.0.99 dev lwpc0")),
            qPrintable(m_rig.defaultRoutes()));
        QCOMPARE(m_rig.resolvConf(), QByteArray("search lab.test\nnameserver 192.168.0.99\n"));
        QCOMPARE(m_rig.currentId(), PageId::Wiz13);
        QVERIFY(m_rig.state.PCGatewayIsUnit);
        QVERIFY(m_rig.state.PCDNSIsUnit);
        QCOMPARE(m_rig.ends, 0);
    }

    // A field the adapter refuses names its own step; the later steps still
    // run; the try-again question keeps the page (Yes) or goes on (No).
    void staticRefusals_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("gateway");
        QTest::addColumn<QString>("dns");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("resolv");
        QTest::newRow("empty gateway") << QStringLiteral("198.51.100.2") << QString() << QStringLiteral("198.51.100.10")
                                       << QStringList { kGatewayFailure, kTryAgain }
                                       << QStringLiteral("198.51.100.2/24")
                                       << QByteArray("search lab.test\nnameserver 198.51.100.10\n");
        QTest::newRow("address outside any host range")
            << QStringLiteral("198.51.100.255") << QStringLiteral("198.51.100.10") << QStringLiteral("198.51.100.10")
            << QStringList { kStaticFailure, kTryAgain } << QStringLiteral("198.51.100.1/24")
            << QByteArray("search lab.test\nnameserver 198.51.100.10\n");
        QTest::newRow("typed text everywhere")
            << QStringLiteral("pc") << QStringLiteral("router") << QStringLiteral("dns")
            << QStringList { kStaticFailure, kGatewayFailure, kDnsFailure, kTryAgain }
            << QStringLiteral("198.51.100.1/24") << PcPageRig::kResolvSeed;
    }
    void staticRefusals()
    {
        QFETCH(QString, ip);
        QFETCH(QString, gateway);
        QFETCH(QString, dns);
        QFETCH(QStringList, boxes);
        QFETCH(QString, address);
        QFETCH(QByteArray, resolv);
        auto* page = qobject_cast<frmwiz12B*>(open(PageId::Wiz12B, 2, PcPageRig::kUnit));
        QTest::mouseClick(page->cmdConfigure, Qt::LeftButton);
        page->txtIP->setText(ip);
        page->txtgateway->setText(gateway);
        page->txtDNS->setText(dns);

        m_rig.prompts.answers = { true };
        QTest::mouseClick(page->cmdNext, Qt::LeftButton);
        QCOMPARE(m_rig.prompts.texts(), boxes);
        QCOMPARE(m_rig.addresses(), address);
        QCOMPARE(m_rig.resolvConf(), resolv);
        // Yes: the page stays with the fields as typed, ready for Next again.
        QCOMPARE(m_rig.currentId(), PageId::Wiz12B);
        QVERIFY(page->cmdNext->isEnabled() && page->cmdBack->isEnabled());
        QCOMPARE(page->txtgateway->text(), gateway);
        QVERIFY(!page->navigating());

        // No: on to the final page as things stand.
        m_rig.prompts.boxes.clear();
        m_rig.prompts.answers = { false };
        QTest::mouseClick(page->cmdNext, Qt::LeftButton);
        QCOMPARE(m_rig.prompts.texts().last(), kTryAgain);
        QCOMPARE(m_rig.currentId(), PageId::Wiz13);
    }

    // The gateway-and-DNS page points the PC at the unit; an address page
    // that failed leaves "Error!", which both steps refuse by name.
    void gatewayAndDns_data()
    {
        QTest::addColumn<QString>("unitIp");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("routes");
        QTest::addColumn<QByteArray>("resolv");
        QTest::newRow("the unit's address")
            << PcPageRig::kUnit << QStringList() << QStringLiteral("default via 198.51.100.10 dev lwpc0")
            << QByteArray("search lab.test\nnameserver 198.51.100.10\n");
        QTest::newRow("Error!") << QStringLiteral("Error!") << QStringList { kGatewayFailure, kDnsFailure } << QString()
                                << PcPageRig::kResolvSeed;
    }
    void gatewayAndDns()
    {
        QFETCH(QString, unitIp);
        QFETCH(QStringList, boxes);
        QFETCH(QString, routes);
        QFETCH(QByteArray, resolv);
        auto* page = qobject_cast<frmwiz12C*>(open(PageId::Wiz12C, 3, unitIp));
        QVERIFY(page->lblResults->isVisibleTo(page));
        QTest::mouseClick(page->cmdConfigure, Qt::LeftButton);
        QCOMPARE(m_rig.prompts.texts(), boxes);
        QCOMPARE(page->lblInfo->text(), QStringLiteral("Click next to continue."));
        QVERIFY(!page->lblResults->isVisibleTo(page));
        QVERIFY(page->cmdNext->isEnabled() && page->cmdBack->isEnabled());
        QVERIFY(m_rig.defaultRoutes().startsWith(routes));
        QCOMPARE(m_rig.defaultRoutes().isEmpty(), routes.isEmpty());
        QCOMPARE(m_rig.resolvConf(), resolv);
        QCOMPARE(m_rig.addresses(), PcPageRig::kPc + QStringLiteral("/24"));

        QTest::mouseClick(page->cmdNext, Qt::LeftButton);
        QCOMPARE(m_rig.currentId(), PageId::Wiz13);
        QCOMPARE(m_rig.state.PCGatewayIsUnit, boxes.isEmpty());
    }

    // The DHCP page: the PC gives up its static address for a lease from the
    // unit's LAN, and the final page sees the lease's gateway and name server.
    void dhcpFromTheUnit()
    {
        QVERIFY(m_rig.startDhcpServer());
        auto* page = qobject_cast<frmwiz12A*>(open(PageId::Wiz12A, 1, PcPageRig::kUnit));
        QVERIFY(!page->cmdNext->isEnabled() && !page->cmdBack->isEnabled());
        // Each step's text is on the page before its change to the PC begins.
        PaintedSteps painted(*page->lblInfo, [this] {
            const InterfaceEntry& entry = m_rig.interfaces.InterfaceList.first();
            return (ModQar::WmiIsDhcpEnabled(*m_rig.adapters, entry) == 1 ? QStringLiteral("DHCP, ")
                                                                          : QStringLiteral("static, "))
                + (m_rig.addresses().isEmpty() ? QStringLiteral("no address") : QStringLiteral("an address"));
        });
        // The person clicks on a page that is on screen.
        QVERIFY(QTest::qWaitForWindowExposed(page));
        QTest::mouseClick(page->cmdConfigure, Qt::LeftButton);
        QCOMPARE(m_rig.prompts.texts(), QStringList());
        QTRY_COMPARE(painted.seen,
            (QStringList { "Configuring PC for DHCP: static, an address", "Configuring PC for DNS: DHCP, an address",
                "DHCP release in operation: DHCP, an address", "DHCP renew in operation: DHCP, no address",
                "Click next to continue.: DHCP, an address" }));
        QCOMPARE(page->lblInfo->text(), QStringLiteral("Click next to continue."));
        QVERIFY(page->cmdNext->isEnabled() && page->cmdBack->isEnabled());
        const QString leased = m_rig.addresses();
        QVERIFY2(leased.startsWith(QLatin1String("198.51.100.1")) && leased != QLatin1String("198.51.100.1/24"),
            qPrintable(leased));
        QCOMPARE(ModQar::WmiIsDhcpEnabled(*m_rig.adapters, m_rig.interfaces.InterfaceList.first()), 1);

        QTest::mouseClick(page->cmdNext, Qt::LeftButton);
        auto* final = m_rig.page<frmWiz13>();
        QVERIFY(final);
        QVERIFY(m_rig.state.UnitReachable);
        QVERIFY(m_rig.state.PCGatewayIsUnit);
        QVERIFY(m_rig.state.PCDNSIsUnit);
        QVERIFY(final->cmdConfigure->isEnabled());
    }

    // Skip leaves the PC exactly as it was and the final page reports it so.
    void skipChangesNothing_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("option");
        QTest::newRow("DHCP page") << int(PageId::Wiz12A) << 1;
        QTest::newRow("static page") << int(PageId::Wiz12B) << 2;
        QTest::newRow("gateway-and-DNS page") << int(PageId::Wiz12C) << 3;
    }
    void skipChangesNothing()
    {
        QFETCH(int, page);
        QFETCH(int, option);
        const QString routes = m_rig.defaultRoutes();
        PcSettingsPage* p = open(PageId(page), qint16(option), PcPageRig::kUnit);
        QTest::mouseClick(p->cmdSkip, Qt::LeftButton);
        QCOMPARE(m_rig.currentId(), PageId::Wiz13);
        QCOMPARE(m_rig.addresses(), PcPageRig::kPc + QStringLiteral("/24"));
        QCOMPARE(m_rig.defaultRoutes(), routes);
        QCOMPARE(m_rig.resolvConf(), PcPageRig::kResolvSeed);
        QCOMPARE(m_rig.prompts.texts(), QStringList());
        QVERIFY(m_rig.state.UnitReachable);
        QVERIFY(!m_rig.state.PCGatewayIsUnit);
        QVERIFY(!m_rig.state.PCDNSIsUnit);
    }
};

QTEST_MAIN(tst_PcSettingsPages)
#include "tst_PcSettingsPages.moc"
