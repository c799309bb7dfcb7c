// The PC settings pages against an adapter layer that answers with chosen
// codes (a restart needed, a failed step), and the ways off the pages: Back
// by the page graph, the final page's Back, keys and a second click.
#include "FakeAdapterConfigBackend.h"
#include "PcPageStubs.h"
#include "WizardFixture.h"
#include "wizard/WizardPages.h"
#include "wizard/frmWiz13.h"
#include "wizard/frmwiz12A.h"
#include "wizard/frmwiz12B.h"
#include "wizard/frmwiz12C.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {
const QByteArray kMac = QByteArray::fromHex("02005e000c01");
const QString kReboot = QStringLiteral("It is neccesery to reboot your PC for the changes to take effect.");
const QString kDhcpFailure = QStringLiteral("A problem occurred enabling DHCP on the selected interface.");
const QString kTryAgain = QStringLiteral("Do you want to change your settings and try again.");

struct Rig {
    explicit Rig(qint32 mode = 1)
    {
        FakeAdapterConfigBackend::Entry e;
        e.config = { QStringLiteral("eth0"), QStringLiteral("02:00:5E:00:0C:01") };
        // The unit's default network, so the gateway is one the adapter reaches.
        e.ipAddress = QStringList { QStringLiteral("192.168.0.1") };
        e.ipSubnet = QStringList { QStringLiteral("255.255.255.0") };
        adapters.entries << e;
        interfaces.InterfaceList << InterfaceEntry { kMac, nullptr };
        interfaces.LanAdapterCount = 1;
        state.WizardMode = mode;
        state.UnitIP = QStringLiteral("192.168.0.99");
        WizardServices services;
        services.adapters = &adapters;
        services.pingHost = [](const QString&, const QString&, qint32) { return true; };
        router = std::make_unique<WizardRouter>(
            state, prompts, clock, [] { return false; }, [this] { ++ends; }, nullptr, std::move(services));
        WizardPages::registerAll(*router);
        stubPagesBeforePcSettings(*router, startups);
    }
    ~Rig() { router.reset(); }

    template<class Page> Page* open(PageId id) { return qobject_cast<Page*>(router->open(id)); }
    PageId currentId() const { return router->current() ? router->current()->id() : PageId::EndProgram; }
    QStringList methods() const
    {
        QStringList out;
        for (const QString& call : adapters.calls)
            out << call.section(u'(', 0, 0);
        return out;
    }

    FakeAdapterConfigBackend adapters;
    UsableInterfaces interfaces;
    WizardState state { interfaces };
    RecordingPrompts prompts;
    SimulatedClock clock;
    int ends = 0;
    QList<PageId> startups;
    std::unique_ptr<WizardRouter> router;
};
} // namespace

class tst_PcSettingsCodes : public QObject {
    Q_OBJECT

private slots:
    // The DHCP page runs its four steps whatever each answers; a failure is
    // named by its step, a 1 only earns the restart note at the end.
    void dhcpSteps_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<qint32>("code");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("all done") << QString() << 0 << QStringList();
        QTest::newRow("enabling DHCP needs a restart") << QStringLiteral("EnableDHCP") << 1 << QStringList { kReboot };
        QTest::newRow("release refused") << QStringLiteral("ReleaseDHCPLease") << 83 << QStringList { kDhcpFailure };
        QTest::newRow("DNS list refused")
            << QStringLiteral("SetDNSServerSearchOrder") << 91
            << QStringList { QStringLiteral("Error re-setting DNS servers!"),
                   QStringLiteral("A problem occurred enabling DNS via DHCP on the selected interface.") };
    }
    void dhcpSteps()
    {
        QFETCH(QString, method);
        QFETCH(qint32, code);
        QFETCH(QStringList, boxes);
        Rig rig;
        if (!method.isEmpty())
            rig.adapters.codes[method] = code;
        auto* page = rig.open<frmwiz12A>(PageId::Wiz12A);
        QTest::mouseClick(page->cmdConfigure, Qt::LeftButton);
        QCOMPARE(rig.methods(),
            (QStringList {
                "EnableDHCP", "SetWINSServer", "SetDNSServerSearchOrder", "ReleaseDHCPLease", "RenewDHCPLease" }));
        QCOMPARE(rig.prompts.texts(), boxes);
        QCOMPARE(page->lblInfo->text(), QStringLiteral("Click next to continue."));
        QVERIFY(page->cmdBack->isEnabled() && page->cmdNext->isEnabled());
        QCOMPARE(rig.currentId(), PageId::Wiz12A);
    }

    // The static page treats a 1 as a reason to ask again: the note, then
    // the question; Yes keeps the page, No goes on to the final page.
    void staticRestartAsks_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes") << true;
        QTest::newRow("No") << false;
    }
    void staticRestartAsks()
    {
        QFETCH(bool, yes);
        Rig rig;
        rig.adapters.codes[QStringLiteral("EnableStatic")] = 1;
        rig.prompts.answers = { yes };
        auto* page = rig.open<frmwiz12B>(PageId::Wiz12B);
        QTest::mouseClick(page->cmdConfigure, Qt::LeftButton);
        QVERIFY(rig.adapters.calls.isEmpty());
        QTest::mouseClick(page->cmdNext, Qt::LeftButton);
        QCOMPARE(rig.adapters.calls,
            (QStringList { "EnableStatic(eth0: 192.168.0.1/255.255.255.0)", "SetGateways(eth0: 192.168.0.99/1)",
                "SetDNSServerSearchOrder(eth0: 192.168.0.99)" }));
        QCOMPARE(rig.prompts.texts(), (QStringList { kReboot, kTryAgain }));
        QCOMPARE(rig.currentId(), yes ? PageId::Wiz12B : PageId::Wiz13);
        if (yes)
            QVERIFY(page->cmdNext->isEnabled() && page->cmdBack->isEnabled());
    }

    // The gateway-and-DNS page with a restart needed: no failure box, the
    // note once after both steps.
    void gatewayRestartNote()
    {
        Rig rig;
        rig.adapters.codes[QStringLiteral("SetGateways")] = 1;
        rig.adapters.codes[QStringLiteral("SetDNSServerSearchOrder")] = 1;
        auto* page = rig.open<frmwiz12C>(PageId::Wiz12C);
        QTest::mouseClick(page->cmdConfigure, Qt::LeftButton);
        QCOMPARE(rig.prompts.texts(), QStringList { kReboot });
        QCOMPARE(rig.adapters.calls,
            (QStringList { "SetGateways(eth0: 192.168.0.99/1)", "SetDNSServerSearchOrder(eth0: 192.168.0.99)" }));
    }

    // Back of each PC page, after Configure PC, by the page graph.
    void back_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<qint32>("mode");
        QTest::addColumn<bool>("canPing");
        QTest::addColumn<int>("target");
        QTest::addColumn<bool>("startup");
        QTest::newRow("DHCP page") << int(PageId::Wiz12A) << 1 << true << int(PageId::Wiz11A) << false;
        QTest::newRow("static page") << int(PageId::Wiz12B) << 0 << true << int(PageId::Wiz11B) << false;
        QTest::newRow("gateway page, unit not pingable")
            << int(PageId::Wiz12C) << 1 << false << int(PageId::Wiz11C) << true;
        QTest::newRow("gateway page, cellular") << int(PageId::Wiz12C) << 0 << true << int(PageId::Wiz10) << true;
        QTest::newRow("gateway page, Ethernet only") << int(PageId::Wiz12C) << 1 << true << int(PageId::Wiz08) << true;
    }
    void back()
    {
        QFETCH(int, page);
        QFETCH(qint32, mode);
        QFETCH(bool, canPing);
        QFETCH(int, target);
        QFETCH(bool, startup);
        Rig rig(mode);
        rig.state.PCCanPingUnit = canPing;
        auto* p = rig.open<PcSettingsPage>(PageId(page));
        QTest::mouseClick(p->cmdConfigure, Qt::LeftButton);
        QTest::mouseClick(p->cmdBack, Qt::LeftButton);
        QCOMPARE(int(rig.currentId()), target);
        QCOMPARE(rig.startups.contains(PageId(target)), startup);
        QVERIFY(!rig.router->page(PageId(page)));
        QCOMPARE(rig.ends, 0);
    }

    // The final page's Back shows the page of the option on its warning,
    // with its Back usable once Configure PC shows it.
    void finalPageBack_data()
    {
        QTest::addColumn<qint16>("option");
        QTest::addColumn<int>("target");
        QTest::newRow("1") << qint16(1) << int(PageId::Wiz12A);
        QTest::newRow("2") << qint16(2) << int(PageId::Wiz12B);
        QTest::newRow("3") << qint16(3) << int(PageId::Wiz12C);
        QTest::newRow("never chosen") << qint16(0) << int(PageId::Wiz12C);
    }
    void finalPageBack()
    {
        QFETCH(qint16, option);
        QFETCH(int, target);
        Rig rig;
        rig.state.ConfigOption = option;
        auto* final = rig.open<frmWiz13>(PageId::Wiz13);
        QVERIFY(!final->cmdBack->isEnabled() && !final->cmdNext->isEnabled());
        final->runStartup();
        QTest::mouseClick(final->cmdBack, Qt::LeftButton);
        QCOMPARE(int(rig.currentId()), target);
        auto* page = qobject_cast<PcSettingsPage*>(rig.router->page(PageId(target)));
        QVERIFY(page);
        QVERIFY(page->Frame1->isVisibleTo(page));
        QVERIFY(!page->cmdBack->isVisibleTo(page));
        QVERIFY(page->cmdBack->isEnabled());
        QVERIFY(rig.adapters.calls.isEmpty());
        QCOMPARE(rig.ends, 0);
    }

    // Keys on the warning: Return presses Skip (nothing is changed by a
    // stray Return), Alt+C is Configure PC, after which the focus is on Next
    // and Escape is Cancel.
    void keys()
    {
        {
            Rig rig;
            auto* page = rig.open<frmwiz12C>(PageId::Wiz12C);
            QVERIFY(QTest::qWaitForWindowActive(page));
            QTest::keyClick(page, Qt::Key_Return);
            QCOMPARE(rig.currentId(), PageId::Wiz13);
            QVERIFY(rig.adapters.calls.isEmpty());
        }
        {
            Rig rig;
            auto* page = rig.open<frmwiz12C>(PageId::Wiz12C);
            QVERIFY(QTest::qWaitForWindowActive(page));
            QTest::keyClick(page->focusWidget(), Qt::Key_C, Qt::AltModifier);
            // Alt+letter presses the button as a click with its 100 ms press.
            QTest::qWait(250);
            QCOMPARE(rig.adapters.calls.size(), 2);
            // A second press meets no button: Configure PC has gone with the warning.
            QVERIFY(!page->cmdConfigure->isVisible());
            QCOMPARE(QApplication::focusWidget(), page->cmdNext);
            // Escape now asks the exit question, as Cancel does.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            QVERIFY(!rig.prompts.boxes.isEmpty());
            QCOMPARE(
                rig.prompts.texts().last(), QStringLiteral("Are you sure you want to exit the Calvantor Linkwise?"));
            QCOMPARE(rig.ends, 0);
        }
    }

    // The final page has no Cancel: Escape does nothing; Finish ends the run
    // without a question; the close box ends it too.
    void finalPageEndings()
    {
        Rig rig;
        auto* final = rig.open<frmWiz13>(PageId::Wiz13);
        final->runStartup();
        QVERIFY(QTest::qWaitForWindowActive(final));
        QTest::keyClick(final, Qt::Key_Escape);
        QCOMPARE(rig.ends, 0);
        QVERIFY(rig.prompts.boxes.isEmpty());
        QTest::mouseClick(final->cmdNext, Qt::LeftButton);
        QCOMPARE(rig.ends, 1);
        QVERIFY(rig.prompts.boxes.isEmpty());

        Rig closed;
        auto* other = closed.open<frmWiz13>(PageId::Wiz13);
        other->close();
        QCOMPARE(closed.ends, 1);
    }
};

QTEST_MAIN(tst_PcSettingsCodes)
#include "tst_PcSettingsCodes.moc"
