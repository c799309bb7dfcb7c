// The configuration option page on the road a person takes to it: the program
// started as main() starts it on a bare LAN, the unit played by unitsim, the
// PC's own settings read from its real interface.
#include "AddressRoad.h"
#include "wizard/ClickLabel.h"
#include "wizard/SearchAnimation.h"
#include "wizard/frmWiz08.h"
#include "wizard/frmwiz11A.h"

#include <QPushButton>
#include <QRadioButton>

using AddressRoad::BoxHand;

namespace {
const QString kResetQuestion = QStringLiteral(
    "Do you want to reset the Calvantor to the factory default configuration before continuing with the Wizard?");
const QString kMark = QStringLiteral(" (RECOMMENDED)");

QList<QRadioButton*> options(const frmWiz08& page)
{
    return { page.Option1, page.Option2, page.Option3 };
}
QList<ClickLabel*> texts(const frmWiz08& page)
{
    return { page.Label1, page.Label2, page.Label3 };
}
} // namespace

class tst_frmWiz08 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    // What the probe found, worded in the results and recommended: a DHCP
    // server on the unit's LAN rules option 1 out; then the ping decides.
    void recommendation_data()
    {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<bool>("server");
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<int>("recommended");
        // The unit at .76 is reported but nobody holds the address.
        const QStringList away { "--ip", "198.51.100.76" };
        const QStringList server { "--lan-dhcp-server", "1" };
        QTest::newRow("no DHCP server, unit answers the ping") << QStringList() << false << true << 1;
        QTest::newRow("no DHCP server, unit silent") << away << false << false << 1;
        QTest::newRow("DHCP server, unit silent") << server + away << true << false << 2;
        QTest::newRow("DHCP server, unit answers the ping") << server << true << true << 3;
    }
    void recommendation()
    {
        QFETCH(QStringList, sim);
        QFETCH(bool, server);
        QFETCH(bool, reachable);
        QFETCH(int, recommended);
        AddressRoad::Bench bench;
        QVERIFY2(bench.start(AddressRoad::oneUnit(sim)), qPrintable(bench.lastError()));
        Journey::Run run;
        Journey::inEventLoop([&] {
            BoxHand hand;
            frmWiz08* page = AddressRoad::reachOptionPage(run);
            QVERIFY(page);
            QCOMPARE(hand.texts(), QStringList { kResetQuestion });

            const QString unitIp = reachable ? Journey::kUnitAddress : QStringLiteral("198.51.100.76");
            QCOMPARE(page->lblResults->text(),
                (server ? QStringLiteral("DHCP server is present on network.")
                        : QStringLiteral("No DHCP server was detected on this network."))
                    + QStringLiteral("\nThe PC is NOT configured to use a DHCP server.")
                    + (reachable ? QStringLiteral("\nThis PC CAN ping the Calvantor unit now.")
                                 : QStringLiteral("\nThis PC can NOT ping the Calvantor now.")));
            QVERIFY(page->Label3->text().startsWith(reachable ? QStringLiteral("Just configure the Calvantor.")
                                                              : QStringLiteral("Assign a free IP address")));
            for (int i = 0; i < 3; ++i) {
                QCOMPARE(options(*page)[i]->isChecked(), i + 1 == recommended);
                QCOMPARE(texts(*page)[i]->text().count(kMark), i + 1 == recommended ? 1 : 0);
            }
            QVERIFY(texts(*page)[recommended - 1]->text().endsWith(kMark));
            QVERIFY(page->Animation1->isHidden());

            const WizardState& s = run.program.wizardState();
            QCOMPARE(s.DHCPSrvOnLAN, server);
            QCOMPARE(s.UnitReachable, reachable);
            QCOMPARE(s.PCCanPingUnit, reachable);
            QCOMPARE(s.UnitIP, reachable ? unitIp : QString());
            QCOMPARE(s.CurrentUnit->ip(), unitIp);
            QCOMPARE(s.PCUsesDHCP, false);
            QCOMPARE(s.PCGatewayIsUnit, false);
            QCOMPARE(s.PCDNSIsUnit, false);
            // A unit with an address, no reset, the Ethernet road: one command.
            QCOMPARE(bench.commands(), QStringList { "dhcpcli discover eth 0" });

            // Taking input now: the close box ends the run.
            page->close();
            QCOMPARE(run.ends, 1);
        });
    }

    // With another DHCP server on the LAN, option 1 may not be chosen, by its
    // button, its text or the keyboard; Next then asks for a choice.
    void optionOneNotAllowed()
    {
        AddressRoad::Bench bench;
        QVERIFY2(bench.start(AddressRoad::oneUnit({ "--lan-dhcp-server", "1" })), qPrintable(bench.lastError()));
        Journey::Run run;
        Journey::inEventLoop([&] {
            BoxHand hand;
            frmWiz08* page = AddressRoad::reachOptionPage(run);
            QVERIFY(page);
            QVERIFY(page->Option3->isChecked());
            const QString notAllowed = QStringLiteral(
                "This option is not allowed because the Calvantor detected another DHCP server on the network.");
            const QString chooseFirst = QStringLiteral("You must select one of the above options before clicking Next");

            QTest::mouseClick(page->Label1, Qt::LeftButton);
            QTRY_COMPARE(hand.texts().value(1), notAllowed);
            for (QRadioButton* option : options(*page))
                QVERIFY(!option->isChecked());

            QTest::mouseClick(page->cmdNext, Qt::LeftButton);
            QTRY_COMPARE(hand.texts().value(2), chooseFirst);
            QCOMPARE(run.router().visiblePage(), page);
            QVERIFY(!page->navigating());

            // Up from option 2 by the arrow key lands on option 1: refused too.
            page->Option2->click();
            page->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(page));
            page->Option2->setFocus();
            QCOMPARE(QApplication::focusWidget(), page->Option2);
            QTest::keyClick(page->Option2, Qt::Key_Up);
            QTRY_COMPARE(hand.texts().value(3), notAllowed);
            QVERIFY(!page->Option1->isChecked());

            // Return with nothing chosen is Next with nothing chosen.
            QTest::keyClick(page, Qt::Key_Return);
            QTRY_COMPARE(hand.texts().value(4), chooseFirst);
            QCOMPARE(hand.boxes.size(), 5);
            QCOMPARE(hand.boxes[1].title, QStringLiteral("Linkwise"));
            QCOMPARE(hand.boxes[1].over.data(), page);

            // The page stayed: its close box still ends the run.
            page->close();
            QCOMPARE(run.ends, 1);
        });
    }

    // A probe whose choice matches no unit of the last search (the list and
    // the collection disagree, which no road of the wizard brings about)
    // keeps no verdict of the probe before: the unit counts as out of reach,
    // and the page still takes a choice.
    void probeOfNoUnitForgetsTheLastPing()
    {
        AddressRoad::Bench bench;
        QVERIFY2(bench.start(AddressRoad::oneUnit()), qPrintable(bench.lastError()));
        Journey::Run run;
        Journey::inEventLoop([&] {
            BoxHand hand;
            frmWiz08* page = AddressRoad::reachOptionPage(run);
            QVERIFY(page);
            WizardState& s = run.program.wizardState();
            QVERIFY(s.UnitReachable);
            QVERIFY(page->Option1->isChecked());
            QTest::mouseClick(page->cmdNext, Qt::LeftButton);
            auto* address = run.page<frmwiz11A>();
            QVERIFY(address);

            s.SelectedUnitNo = 4711;
            QTest::mouseClick(address->cmdBack, Qt::LeftButton);
            QTRY_VERIFY((page = run.page<frmWiz08>()) && page->isEnabled());
            QVERIFY(!s.UnitReachable);
            QVERIFY(!s.PCCanPingUnit);
            QVERIFY(page->lblResults->text().endsWith(QLatin1String("\nThis PC can NOT ping the Calvantor now.")));
            QVERIFY(page->Label3->text().startsWith(QLatin1String("Assign a free IP address")));
            QVERIFY(page->Option1->isChecked());
            // The reset question went to the unit of the first probe only.
            QCOMPARE(hand.texts(), QStringList { kResetQuestion });
            QCOMPARE(bench.commands(), QStringList { "dhcpcli discover eth 0" });
            page->close();
            QCOMPARE(run.ends, 1);
        });
    }

    // Back leads to the search page, which searches again; the unit chosen
    // there anew is probed anew.
    void backSearchesAgain()
    {
        AddressRoad::Bench bench;
        QVERIFY2(bench.start(AddressRoad::oneUnit()), qPrintable(bench.lastError()));
        Journey::Run run;
        Journey::inEventLoop([&] {
            BoxHand hand;
            frmWiz08* page = AddressRoad::reachOptionPage(run);
            QVERIFY(page);
            QTest::mouseClick(page->cmdBack, Qt::LeftButton);
            frmWiz07* search = Journey::waitForUnits(run);
            QVERIFY(search);
            QVERIFY(!run.router().page(PageId::Wiz08));
            QCOMPARE(Journey::rowTexts(*search), QStringList { "10" });
            QVERIFY(AddressRoad::probe(run, *search));
            QCOMPARE(hand.texts(), (QStringList { kResetQuestion, kResetQuestion }));
            QCOMPARE(bench.commands(), (QStringList { "dhcpcli discover eth 0", "dhcpcli discover eth 0" }));
            QCOMPARE(run.ends, 0);
        });
    }
};

QTEST_MAIN(tst_frmWiz08)
#include "tst_frmWiz08.moc"
