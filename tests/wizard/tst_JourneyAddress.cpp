// The Ethernet road past the search page, as a person walks it: the program
// started as main() starts it on a bare LAN, the units played by unitsim, on
// through the configuration option page to the unit address page of each
// option and the PC page after it (a stand-in here).
#include "AddressRoad.h"
#include "wizard/ClickLabel.h"
#include "wizard/frmWiz08.h"
#include "wizard/frmwiz11A.h"
#include "wizard/frmwiz11B.h"
#include "wizard/frmwiz11C.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using AddressRoad::BoxHand;

namespace {
const QString kResetQuestion = QStringLiteral(
    "Do you want to reset the Calvantor to the factory default configuration before continuing with the Wizard?");

PageId shownId(Journey::Run& run)
{
    WizardPage* page = run.router().visiblePage();
    return page ? page->id() : PageId::EndProgram;
}
} // namespace

class tst_JourneyAddress : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    // Option 1: the unit serves addresses. The probe's page ignores its close
    // box while it probes; Back from the address page probes again.
    void unitAsDhcpServer()
    {
        AddressRoad::Bench bench;
        QVERIFY2(bench.build(), qPrintable(bench.lastError()));
        // A slow first DHCP line keeps the apply step busy for a second click.
        QVERIFY(bench.startUnits({ "--late", "dhcp 0 ipmin=500" }));
        Journey::Run run;
        Journey::inEventLoop([&] {
            frmWiz07* search = AddressRoad::reachSearch(run);
            QVERIFY(search);
            bool stayedOpen = false;
            BoxHand hand([&](const Journey::Box&) {
                // While the reset question is up the probe is under way.
                if (auto* probing = run.router().page(PageId::Wiz08); probing && !probing->isEnabled()) {
                    probing->close();
                    stayedOpen = probing->isVisible() && run.ends == 0;
                }
                return QMessageBox::No;
            });
            frmWiz08* options = AddressRoad::probe(run, *search);
            QVERIFY(options);
            QVERIFY(stayedOpen);
            QVERIFY(options->Option1->isChecked());
            QCOMPARE(run.program.wizardState().UnitIP, QStringLiteral("198.51.100.11"));

            QTest::mouseClick(options->cmdNext, Qt::LeftButton);
            auto* page = run.page<frmwiz11A>();
            QVERIFY(page);
            QCOMPARE(run.program.wizardState().ConfigOption, qint16(1));
            QCOMPARE(page->lblTitle->text(), QStringLiteral("Configure the Calvantor for DHCP"));
            QVERIFY(!page->cmdHelp->isVisible());

            // Escape asks the exit question; No keeps the page.
            page->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(page));
            QTest::keyClick(page, Qt::Key_Escape);
            QCOMPARE(hand.texts().value(1), WizardPage::exitQuestion());
            QCOMPARE(shownId(run), PageId::Wiz11A);

            // Back (Alt+B) runs the whole probe again, reset question included.
            page->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(page));
            QTest::keyClick(page, Qt::Key_B, Qt::AltModifier);
            QVERIFY(AddressRoad::waitUntil(
                [&] {
                    options = run.page<frmWiz08>();
                    return options && options->isEnabled();
                },
                20000));
            QCOMPARE(hand.texts(), (QStringList { kResetQuestion, WizardPage::exitQuestion(), kResetQuestion }));
            QCOMPARE(options->Label1->text().count(QStringLiteral(" (RECOMMENDED)")), 1);
            QCOMPARE(bench.commands(), (QStringList { "dhcpcli discover eth 0", "dhcpcli discover eth 0" }));

            QTest::mouseClick(options->cmdNext, Qt::LeftButton);
            page = run.page<frmwiz11A>();
            QVERIFY(page);
            QCOMPARE(page->txtIP->text(), QStringLiteral("192.168.0.99"));
            Journey::doubleClick(page->cmdNext);
            QTRY_COMPARE(shownId(run), PageId::Wiz12A);
            QCOMPARE(AddressRoad::linesFrom(bench.commands(), "dhcp 0"),
                (QStringList { "dhcp 0 ipmin \"192.168.0.1\"", "dhcp 0 IPrange \"20\"", "dhcp 0 mask \"255.255.255.0\"",
                    "dhcp 0 gateway \"192.168.0.99\"", "dhcp 0 DNS \"192.168.0.99\"", "dhcp 0 lease \"60\"",
                    "eth 0 ipaddr \"192.168.0.99\"", "eth 0 mask \"255.255.255.0\"", "config 0 save" }));
            QCOMPARE(run.program.wizardState().UnitIP, QStringLiteral("192.168.0.99"));
            QCOMPARE(hand.boxes.size(), 3);
            QCOMPARE(run.ends, 0);
        });
    }

    // Option 2: a static address. A refusal lets the person change the
    // address on the page and send it again.
    void staticAddressEditedAfterRefusal()
    {
        AddressRoad::Bench bench;
        QVERIFY2(bench.start({ "--lan-dhcp-server", "1", "--ip", "198.51.100.75", "--refuse",
                     "eth 0 ipaddr \"192.168.0.99\"" }),
            qPrintable(bench.lastError()));
        Journey::Run run;
        Journey::inEventLoop([&] {
            BoxHand hand({ QMessageBox::No, QMessageBox::Yes });
            frmWiz08* options = AddressRoad::reachOptionPage(run);
            QVERIFY(options);
            QVERIFY(options->Option2->isChecked());
            QTest::keyClick(options, Qt::Key_Return);
            auto* page = run.page<frmwiz11B>();
            QVERIFY(page);
            QCOMPARE(page->lblTitle->text(), QStringLiteral("Configure the Calvantor's Ethernet IP Address"));
            QCOMPARE(page->Label4->text(), QStringLiteral("Calvantor IP address:"));
            QCOMPARE(page->Label1->text(), QStringLiteral("Calvantor Mask:"));

            QTest::mouseClick(page->cmdNext, Qt::LeftButton);
            QCOMPARE(hand.texts().value(1),
                QStringLiteral("An error has occurred, do you want to change your settings and try again."));
            QCOMPARE(shownId(run), PageId::Wiz11B);
            QVERIFY(page->cmdNext->isEnabled() && page->cmdBack->isEnabled());
            QVERIFY(!page->navigating());
            QCOMPARE(run.program.wizardState().UnitIP, UnitAddressPage::failedAddress());

            // The person types another address and presses Return.
            page->txtIP->selectAll();
            QTest::keyClicks(page->txtIP, QStringLiteral("192.168.0.98"));
            QTest::keyClick(page->txtIP, Qt::Key_Return);
            QTRY_COMPARE(shownId(run), PageId::Wiz12B);
            QCOMPARE(AddressRoad::linesFrom(bench.commands(), "eth 0"),
                (QStringList { "eth 0 ipaddr \"192.168.0.99\"", "eth 0 ipaddr \"192.168.0.98\"",
                    "eth 0 mask \"255.255.255.0\"", "config 0 save" }));
            QCOMPARE(run.program.wizardState().UnitIP, QStringLiteral("192.168.0.98"));
            QCOMPARE(hand.boxes.size(), 2);
        });
    }

    // Option 3 with a unit the PC can't reach: a free address of the PC's
    // subnet. .1 is the PC and .2 to .4 answer, so .5 is the first free one;
    // the page repaints and takes Cancel while the search waits on .5.
    void freeAddressFoundByPing()
    {
        AddressRoad::Bench bench;
        QVERIFY2(bench.build(), qPrintable(bench.lastError()));
        QVERIFY(bench.lan.onUnitSide(
            QStringLiteral("ip addr add 198.51.100.2/24 dev eth0 && ip addr add 198.51.100.3/24 dev eth0 && "
                           "ip addr add 198.51.100.4/24 dev eth0")));
        QVERIFY(bench.startUnits({ "--ip", "198.51.100.75" }));
        Journey::Run run;
        Journey::inEventLoop([&] {
            BoxHand hand;
            frmWiz08* options = AddressRoad::reachOptionPage(run);
            QVERIFY(options);
            QVERIFY(options->Option1->isChecked());
            QVERIFY(!run.program.wizardState().PCCanPingUnit);
            QTest::mouseClick(options->Label3, Qt::LeftButton);
            QVERIFY(options->Option3->isChecked());

            std::unique_ptr<AddressRoad::ShownTexts> info;
            QString fieldDuringSearch = QStringLiteral("unset");
            QObject::connect(&run.router(), &WizardRouter::pageShown, qApp, [&](PageId id) {
                if (id != PageId::Wiz11C)
                    return;
                auto* searching = static_cast<frmwiz11C*>(run.router().page(id));
                info = std::make_unique<AddressRoad::ShownTexts>(searching->lblInfo);
                // Well inside the wait on .5; Cancel, then No, goes on.
                QTimer::singleShot(400, searching, [&, searching] {
                    fieldDuringSearch = searching->txtIP->text();
                    QTest::mouseClick(searching->cmdCancel, Qt::LeftButton);
                });
            });
            QTest::mouseClick(options->cmdNext, Qt::LeftButton);
            auto* page = run.page<frmwiz11C>();
            QVERIFY(page);
            QCOMPARE(hand.texts(), (QStringList { kResetQuestion, WizardPage::exitQuestion() }));
            QCOMPARE(fieldDuringSearch, QString());
            QVERIFY(info);
            QCOMPARE(info->texts.value(0), QStringLiteral("Locating a free IP address please wait .."));
            QCOMPARE(page->lblTitle->text(), QStringLiteral("Locate a free IP address for the Calvantor"));
            QCOMPARE(page->txtIP->text(), QStringLiteral("198.51.100.5"));
            QCOMPARE(page->txtMask->text(), QStringLiteral("255.255.255.0"));
            QCOMPARE(page->lblInfo->text(), QStringLiteral("A free IP address has been located."));
            QCOMPARE(
                page->Label7->text(), QStringLiteral("1) The above IP address has been identifed as currenlty free."));
            QVERIFY(page->cmdNext->isEnabled() && page->cmdBack->isEnabled());
            QCOMPARE(page->focusWidget(), page->cmdNext);
            QCOMPARE(run.ends, 0);

            QTest::mouseClick(page->cmdNext, Qt::LeftButton);
            QTRY_COMPARE(shownId(run), PageId::Wiz12C);
            QCOMPARE(AddressRoad::linesFrom(bench.commands(), "eth 0"),
                (QStringList { "eth 0 ipaddr \"198.51.100.5\"", "eth 0 mask \"255.255.255.0\"", "config 0 save" }));
            QCOMPARE(run.program.wizardState().UnitIP, QStringLiteral("198.51.100.5"));
        });
    }

    // Option 3 with a unit the PC can already reach: no address page at all.
    void reachableUnitKeepsItsAddress()
    {
        AddressRoad::Bench bench;
        QVERIFY2(bench.start({ "--lan-dhcp-server", "1" }), qPrintable(bench.lastError()));
        Journey::Run run;
        Journey::inEventLoop([&] {
            BoxHand hand;
            frmWiz08* options = AddressRoad::reachOptionPage(run);
            QVERIFY(options);
            QVERIFY(options->Option3->isChecked());
            QTest::mouseClick(options->cmdNext, Qt::LeftButton);
            QCOMPARE(shownId(run), PageId::Wiz12C);
            QVERIFY(!run.router().page(PageId::Wiz11C));
            QCOMPARE(run.program.wizardState().ConfigOption, qint16(3));
            QCOMPARE(run.program.wizardState().UnitIP, QStringLiteral("198.51.100.11"));
            QCOMPARE(bench.commands(), QStringList { "dhcpcli discover eth 0" });
        });
    }
};

QTEST_MAIN(tst_JourneyAddress)
#include "tst_JourneyAddress.moc"
