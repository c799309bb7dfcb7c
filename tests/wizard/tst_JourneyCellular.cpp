// The Ethernet-and-cellular road as a person takes it: the program started as
// main() starts it on a bare LAN, Shift held as the welcome page opens, the
// instruction pages, the search, the configuration option page's probe, the
// cellular settings typed with the keyboard, the unit configured and its link
// tested, then the unit address page of the option chosen, the PC settings
// page, whose change really reconfigures the PC's adapter, and the final page.
#include "AddressRoad.h"
#include "CellularRoad.h"
#include "PrivateSystemFiles.h"
#include "wizard/frmWiz08.h"
#include "wizard/frmWiz09.h"
#include "wizard/frmWiz10.h"
#include "wizard/frmWiz13.h"
#include "wizard/frmwiz11A.h"
#include "wizard/frmwiz12A.h"

#include <QFile>
#include <QLineEdit>
#include <QRadioButton>

using AddressRoad::BoxHand;
using CellularRoad::changes;
using CellularRoad::typeSettings;

namespace {
const QString kResetQuestion = QStringLiteral(
    "Do you want to reset the Calvantor to the factory default configuration before continuing with the Wizard?");
// What the probe sends a KR5004 on the cellular road when nobody else serves addresses.
const QStringList kProbe { "dhcpcli discover eth 0", "PPP 1 aodion off", "def_route 0 ll_ent !", "PPP 1 deact_rq",
    "PPP 1 ipaddr 0.0.0.0" };

PageId shownId(Journey::Run& run)
{
    WizardPage* page = run.router().visiblePage();
    return page ? page->id() : PageId::EndProgram;
}

QString pcSide(Journey::Lan& lan, const QString& command)
{
    QString out;
    lan.onPcSide(command, &out);
    return out.trimmed();
}

// The page of this type once it is on screen and takes input.
template<class Page> Page* enabledPage(Journey::Run& run, int timeoutMs)
{
    Page* page = nullptr;
    AddressRoad::waitUntil(
        [&] {
            page = run.page<Page>();
            return page && page->isEnabled();
        },
        timeoutMs);
    return page && page->isEnabled() ? page : nullptr;
}
} // namespace

class tst_JourneyCellular : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    void cellularRoad()
    {
        AddressRoad::Bench bench;
        QVERIFY2(bench.build(), qPrintable(bench.lastError()));
        PrivateSystemFiles files;
        QString error;
        QVERIFY2(files.make("nameserver 203.0.113.53\n", &error), qPrintable(error));
        // The unit's side of the cable follows its saved Ethernet and DHCP
        // settings, so the PC can take a lease from it at the end. Its restart
        // outlasts two of the wizard's looks at it (a 2 s probe, a pause of
        // about 2 s): a late answer to "reboot" may count as the first's.
        QVERIFY(bench.startUnits({ "--reboot-down", "5000", "--ppp-idle", "800", "--ppp-activating", "1200", "--signal",
            "-85", "--lan-dev", "eth0" }));
        Journey::Run run;
        run.shift = true;
        Journey::inEventLoop([&] { walk(run, bench); });
    }

private:
    void walk(Journey::Run& run, AddressRoad::Bench& bench)
    {
        run.program.start();
        run.shift = false;
        auto* welcome = run.page<frmWiz01>();
        QVERIFY(welcome);
        QVERIFY(welcome->Option2->isVisible());
        QTest::mouseClick(welcome->Option2, Qt::LeftButton);
        QTest::mouseClick(welcome->cmdNext, Qt::LeftButton);
        for (PageId id : { PageId::Wiz03, PageId::Wiz04, PageId::Wiz05, PageId::Wiz06 }) {
            WizardPage* page = run.router().visiblePage();
            QVERIFY(page);
            QCOMPARE(page->id(), id);
            QTest::mouseClick(page->navButton(WizardPage::Nav::Next), Qt::LeftButton);
        }
        frmWiz07* search = Journey::waitForUnits(run);
        QVERIFY(search);

        // The probe: the reset question answered No, the cellular link taken
        // down; nobody else serves addresses, so the unit is recommended to.
        BoxHand hand;
        frmWiz08* options = AddressRoad::probe(run, *search);
        QVERIFY(options);
        QCOMPARE(hand.texts(), QStringList { kResetQuestion });
        QCOMPARE(bench.commands(), kProbe);
        QVERIFY(options->Option1->isChecked());
        QTest::mouseClick(options->cmdNext, Qt::LeftButton);

        auto* settings = run.page<frmWiz09>();
        QVERIFY(settings);
        QVERIFY(QTest::qWaitForWindowActive(settings));
        QCOMPARE(settings->focusWidget(), settings->txtAPN);
        QCOMPARE(settings->lblTitle->text(), QStringLiteral("Enter your APN and PIN"));
        // Help: the page shipped beside the program, in the desktop's viewer.
        QTest::mouseClick(settings->cmdHelp, Qt::LeftButton);
        QCOMPARE(run.opened.size(), 1);
        QVERIFY(QFile::exists(run.opened[0].toLocalFile()));
        QVERIFY(run.opened[0].toLocalFile().endsWith(QLatin1String("/help/apn_and_pin.htm")));

        // Back (Alt+B) probes again, reset question and all; Next returns.
        settings->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(settings));
        QTest::keyClick(settings, Qt::Key_B, Qt::AltModifier);
        options = enabledPage<frmWiz08>(run, 60000);
        QVERIFY(options);
        QCOMPARE(hand.texts(), (QStringList { kResetQuestion, kResetQuestion }));
        QCOMPARE(bench.commands(), kProbe + kProbe);
        QVERIFY(!run.router().page(PageId::Wiz09) || !run.router().page(PageId::Wiz09)->isVisible());
        QTest::mouseClick(options->cmdNext, Qt::LeftButton);
        settings = run.page<frmWiz09>();
        QVERIFY(settings);
        QVERIFY(QTest::qWaitForWindowActive(settings));

        typeSettings(*settings);
        if (QTest::currentTestFailed())
            return;
        // A quick second click lands on the test page while it works.
        Journey::doubleClick(settings->cmdNext);

        auto* test = enabledPage<frmWiz10>(run, 30000);
        QVERIFY(test);
        QTRY_COMPARE(
            test->lblInfo->text(), QStringLiteral("The GPRS test was successful! GPRS IP address = 203.0.113.5"));
        QTRY_COMPARE(test->lblSignal->text(),
            QStringLiteral("The signal strength is currently: -85 dBm This signal strength should allow the "
                           "Calvantor to work although it is low."));
        QVERIFY(run.program.wizardState().GPRSTestOK);
        // The settings reached the unit once, in the eight steps' order,
        // and the link was polled until it came up, then the signal.
        QStringList lines = bench.commands();
        QCOMPARE(changes(lines), kProbe + kProbe + CellularRoad::kSettingsApplied);
        QVERIFY(lines.contains(QStringLiteral("PPP 1 status")));
        QVERIFY(lines.contains(QStringLiteral("modemstat ?")));

        // Back shows the settings page afresh, its boxes empty, without
        // touching the unit; typed again, Next runs the steps again.
        QTest::mouseClick(test->cmdBack, Qt::LeftButton);
        QTRY_COMPARE(shownId(run), PageId::Wiz09);
        settings = run.page<frmWiz09>();
        QVERIFY(QTest::qWaitForWindowActive(settings));
        for (const QLineEdit* box :
            { settings->txtAPN, settings->txtPIN, settings->txtUserName, settings->txtPassword })
            QCOMPARE(box->text(), QString());
        QCOMPARE(changes(bench.commands()), kProbe + kProbe + CellularRoad::kSettingsApplied);
        typeSettings(*settings);
        if (QTest::currentTestFailed())
            return;
        QTest::keyClick(settings->txtPassword, Qt::Key_Return);
        test = enabledPage<frmWiz10>(run, 30000);
        QVERIFY(test);
        QTRY_VERIFY(test->lblInfo->text().startsWith(QLatin1String("The GPRS test was successful!")));
        QCOMPARE(changes(bench.commands()),
            kProbe + kProbe + CellularRoad::kSettingsApplied + CellularRoad::kSettingsApplied);

        // On to the unit address page of option 1: the unit serves addresses.
        QTest::mouseClick(test->cmdNext, Qt::LeftButton);
        QTRY_COMPARE(shownId(run), PageId::Wiz11A);
        auto* address = run.page<frmwiz11A>();
        QCOMPARE(address->lblTitle->text(), QStringLiteral("Configure the Calvantor for DHCP"));
        QTest::mouseClick(address->cmdNext, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(shownId(run), PageId::Wiz12A, 30000);
        QCOMPARE(AddressRoad::linesFrom(changes(bench.commands()), "dhcp 0"),
            (QStringList { "dhcp 0 ipmin \"192.168.0.1\"", "dhcp 0 IPrange \"20\"", "dhcp 0 mask \"255.255.255.0\"",
                "dhcp 0 gateway \"192.168.0.99\"", "dhcp 0 DNS \"192.168.0.99\"", "dhcp 0 lease \"60\"",
                "eth 0 ipaddr \"192.168.0.99\"", "eth 0 mask \"255.255.255.0\"", "config 0 save" }));

        // The PC takes its address from the unit.
        auto* pc = run.page<frmwiz12A>();
        QTest::mouseClick(pc->cmdConfigure, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(pc->cmdNext->isEnabled(), 60'000);
        QCOMPARE(pc->lblInfo->text(), QStringLiteral("Click next to continue."));
        const QString leased = pcSide(bench.lan, QStringLiteral("ip -4 -o addr show dev eth0 | awk '{print $4}'"));
        QVERIFY2(leased.startsWith(QLatin1String("192.168.0.")) && leased.endsWith(QLatin1String("/24")),
            qPrintable(leased));
        QVERIFY2(
            pcSide(bench.lan, QStringLiteral("ip -4 route show default")).contains(QLatin1String("via 192.168.0.99")),
            qPrintable(pcSide(bench.lan, QStringLiteral("ip -4 route show default"))));

        // The final page tells of the tested cellular link.
        QTest::mouseClick(pc->cmdNext, Qt::LeftButton);
        auto* final = enabledPage<frmWiz13>(run, 30000);
        QVERIFY(final);
        QTRY_VERIFY(final->cmdNext->isEnabled());
        QVERIFY2(final->outcomeText().startsWith(QStringLiteral("Congratulations, you have successfully configured the "
                                                                "Calvantor. The Calvantor connected succesfully")),
            qPrintable(final->outcomeText()));
        QVERIFY(final->outcomeText().contains(QLatin1String("you should be able to route through the Calvantor")));
        // Joined, so a failure names every box that came up.
        QCOMPARE(hand.texts().join(QStringLiteral(" | ")), kResetQuestion + QStringLiteral(" | ") + kResetQuestion);
        QCOMPARE(run.ends, 0);
        QTest::mouseClick(final->cmdNext, Qt::LeftButton);
        QCOMPARE(run.ends, 1);
    }
};

QTEST_MAIN(tst_JourneyCellular)
#include "tst_JourneyCellular.moc"
