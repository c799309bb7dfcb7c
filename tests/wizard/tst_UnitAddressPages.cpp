// The unit address pages' other ways: a refused step retried or given up, a
// PC without an address when the free-address page opens, the Shift road
// that opens the unit's web interface and ends the run, and the close box
// while the pages search or give the unit its address. The program runs as
// main() starts it on a bare LAN, the unit played by unitsim.
#include "AddressRoad.h"
#include "IcmpCounters.h"
#include "wizard/frmWiz08.h"
#include "wizard/frmWiz13.h"
#include "wizard/frmwiz11A.h"
#include "wizard/frmwiz11C.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

Q_DECLARE_METATYPE(PageId)

using AddressRoad::BoxHand;

namespace {
const QString kRetry = QStringLiteral("An error has occurred, do you wish to retry?");

PageId shownId(Journey::Run& run)
{
    WizardPage* page = run.router().visiblePage();
    return page ? page->id() : PageId::EndProgram;
}
} // namespace

class tst_UnitAddressPages : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    // The unit refuses the DHCP pool: Yes starts again from the DHCP step
    // with the fields as they stand then; No goes on with UnitIP untouched.
    void refusedDhcpStep_data()
    {
        QTest::addColumn<bool>("retry");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("unitIp");
        QTest::newRow("Yes, after changing the pool's start")
            << true
            << QStringList { "dhcp 0 ipmin \"192.168.0.1\"", "dhcp 0 ipmin \"192.168.0.5\"", "dhcp 0 IPrange \"20\"",
                   "dhcp 0 mask \"255.255.255.0\"", "dhcp 0 gateway \"192.168.0.99\"", "dhcp 0 DNS \"192.168.0.99\"",
                   "dhcp 0 lease \"60\"", "eth 0 ipaddr \"192.168.0.99\"", "eth 0 mask \"255.255.255.0\"",
                   "config 0 save" }
            << "192.168.0.99";
        QTest::newRow("No") << false << QStringList { "dhcp 0 ipmin \"192.168.0.1\"" } << Journey::kUnitAddress;
    }
    void refusedDhcpStep()
    {
        QFETCH(bool, retry);
        QFETCH(QStringList, lines);
        QFETCH(QString, unitIp);
        AddressRoad::Bench bench;
        QVERIFY2(bench.start(AddressRoad::oneUnit({ "--refuse", "dhcp 0 ipmin \"192.168.0.1\"" })),
            qPrintable(bench.lastError()));
        Journey::Run run;
        Journey::inEventLoop([&] {
            BoxHand hand([&](const Journey::Box& box) {
                auto* page = qobject_cast<frmwiz11A*>(run.router().page(PageId::Wiz11A));
                if (box.text != kRetry || !page)
                    return QMessageBox::No;
                // Still on the page, its buttons held while the step runs.
                if (page->cmdNext->isEnabled() || page->cmdBack->isEnabled() || !page->isVisible())
                    return QMessageBox::Cancel;
                page->txtasgdIP->setText(QStringLiteral("192.168.0.5"));
                return retry ? QMessageBox::Yes : QMessageBox::No;
            });
            frmWiz08* options = AddressRoad::reachOptionPage(run);
            QVERIFY(options);
            QTest::mouseClick(options->cmdNext, Qt::LeftButton);
            auto* page = run.page<frmwiz11A>();
            QVERIFY(page);
            QTest::mouseClick(page->cmdNext, Qt::LeftButton);
            QTRY_COMPARE(shownId(run), PageId::Wiz12A);
            QCOMPARE(hand.texts().mid(1), QStringList { kRetry });
            QCOMPARE(hand.boxes[1].over.data(), page);
            QCOMPARE(AddressRoad::linesFrom(bench.commands(), "dhcp 0"), lines);
            QCOMPARE(run.program.wizardState().UnitIP, unitIp);
            QCOMPARE(run.ends, 0);
        });
    }

    // The PC lost its address after the search: no search, no ping, the
    // person is asked for an address, and what is typed goes to the unit.
    void pcWithoutAddress()
    {
        AddressRoad::Bench bench;
        QVERIFY2(bench.start(AddressRoad::oneUnit()), qPrintable(bench.lastError()));
        Journey::Run run;
        Journey::inEventLoop([&] {
            BoxHand hand;
            frmWiz07* search = AddressRoad::reachSearch(run);
            QVERIFY(search);
            Journey::choose(*search, QStringLiteral("10"));
            QVERIFY(bench.lan.onPcSide(QStringLiteral("ip addr flush dev eth0")));
            const qint64 echoes = outEchos();
            // Shift on the search page's Next goes straight for a free address.
            run.shift = true;
            QTest::mouseClick(search->cmdNext, Qt::LeftButton);
            run.shift = false;
            auto* page = run.page<frmwiz11C>();
            QVERIFY(page);
            QCOMPARE(run.program.wizardState().ConfigOption, qint16(3));
            QCOMPARE(outEchos(), echoes);
            QCOMPARE(page->lblInfo->text(),
                QStringLiteral("Unable to find free IP address, please enter one and click &Next."));
            QCOMPARE(
                page->Label7->text(), QStringLiteral("Please enter a free IP address and the correct subnet mask."));
            QCOMPARE(page->txtIP->text(), QString());
            QCOMPARE(page->txtMask->text(), QString());
            QVERIFY(page->cmdNext->isEnabled() && page->cmdBack->isEnabled());
            QVERIFY(hand.boxes.isEmpty());

            QVERIFY(bench.lan.onPcSide(QStringLiteral("ip addr add 198.51.100.1/24 dev eth0")));
            page->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(page));
            QTest::keyClicks(page->txtIP, QStringLiteral("198.51.100.50"));
            QTest::keyClicks(page->txtMask, QStringLiteral("255.255.255.0"));
            QTest::keyClick(page->txtMask, Qt::Key_N, Qt::AltModifier);
            QTRY_COMPARE(shownId(run), PageId::Wiz12C);
            QCOMPARE(bench.commands(),
                (QStringList { "eth 0 ipaddr \"198.51.100.50\"", "eth 0 mask \"255.255.255.0\"", "config 0 save" }));
            QCOMPARE(run.program.wizardState().UnitIP, QStringLiteral("198.51.100.50"));
        });
    }

    // Shift held as the free address is set: the final page's Browse runs on
    // the new address and the run ends; no PC page, no final check.
    void shiftOpensTheUnitAndEnds()
    {
        AddressRoad::Bench bench;
        // The unit's LAN device takes the address it is given, so that its
        // web pages answer there.
        QVERIFY2(bench.start(AddressRoad::oneUnit({ "--lan-dev", "eth0" })), qPrintable(bench.lastError()));
        Journey::Run run([](const QUrl&) { return true; });
        Journey::inEventLoop([&] {
            BoxHand hand;
            frmWiz07* search = AddressRoad::reachSearch(run);
            QVERIFY(search);
            Journey::choose(*search, QStringLiteral("10"));
            run.shift = true;
            QTest::mouseClick(search->cmdNext, Qt::LeftButton);
            auto* page = run.page<frmwiz11C>();
            QVERIFY(page);
            // .1 is the PC; nobody holds .2. The option page, passed by, set
            // no interface words: they come from the unit's model all the same.
            QCOMPARE(page->txtIP->text(), QStringLiteral("198.51.100.2"));
            QTest::mouseClick(page->cmdNext, Qt::LeftButton);
            // Browse logged in on the new address and handed its pages on.
            QStringList browsed;
            for (const QUrl& url : run.opened)
                browsed << url.host();
            QCOMPARE(browsed, QStringList { "198.51.100.2" });
            QPointer<frmWiz13> final = qobject_cast<frmWiz13*>(run.router().page(PageId::Wiz13));
            QVERIFY(final);
            // Its check never ran: no outcome, Finish still disabled.
            QVERIFY(final->outcomeText().isEmpty());
            QVERIFY(!final->cmdNext->isEnabled());
            QCOMPARE(run.ends, 1);
            QVERIFY(!run.router().page(PageId::Wiz12C));
            QCOMPARE(bench.commands(),
                (QStringList { "eth 0 ipaddr \"198.51.100.2\"", "eth 0 mask \"255.255.255.0\"", "config 0 save" }));
            QVERIFY(hand.boxes.isEmpty());
        });
    }

    // The close box while Next gives the unit its address (its first command
    // answered late) ends nothing: the page is being left already. The unit
    // is told the rest, and the next page takes the closed one's place.
    void closeBoxDuringTheApplyLoop_data()
    {
        QTest::addColumn<bool>("freeAddress");
        QTest::addColumn<QString>("late");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("unitIp");
        QTest::addColumn<PageId>("next");
        QTest::newRow("the unit as DHCP server")
            << false << "dhcp 0 ipmin=1500"
            << QStringList { "dhcp 0 ipmin \"192.168.0.1\"", "dhcp 0 IPrange \"20\"", "dhcp 0 mask \"255.255.255.0\"",
                   "dhcp 0 gateway \"192.168.0.99\"", "dhcp 0 DNS \"192.168.0.99\"", "dhcp 0 lease \"60\"",
                   "eth 0 ipaddr \"192.168.0.99\"", "eth 0 mask \"255.255.255.0\"", "config 0 save" }
            << "192.168.0.99" << PageId::Wiz12A;
        QTest::newRow("a free address") << true << "eth 0 ipaddr=1500"
                                        << QStringList { "eth 0 ipaddr \"198.51.100.2\"",
                                               "eth 0 mask \"255.255.255.0\"", "config 0 save" }
                                        << "198.51.100.2" << PageId::Wiz12C;
    }
    void closeBoxDuringTheApplyLoop()
    {
        QFETCH(bool, freeAddress);
        QFETCH(QString, late);
        QFETCH(QStringList, lines);
        QFETCH(QString, unitIp);
        QFETCH(PageId, next);
        AddressRoad::Bench bench;
        QVERIFY2(bench.start(AddressRoad::oneUnit({ "--late", late })), qPrintable(bench.lastError()));
        Journey::Run run;
        Journey::inEventLoop([&] {
            BoxHand hand;
            frmWiz07* search = AddressRoad::reachSearch(run);
            QVERIFY(search);
            UnitAddressPage* page = nullptr;
            if (freeAddress) {
                // Shift on the search page's Next: straight to the search.
                Journey::choose(*search, QStringLiteral("10"));
                run.shift = true;
                QTest::mouseClick(search->cmdNext, Qt::LeftButton);
                run.shift = false;
                page = run.page<frmwiz11C>();
            } else {
                frmWiz08* options = AddressRoad::probe(run, *search);
                QVERIFY(options);
                QVERIFY(options->Option1->isChecked());
                QTest::mouseClick(options->cmdNext, Qt::LeftButton);
                page = run.page<frmwiz11A>();
            }
            QVERIFY(page);
            QVERIFY(page->cmdNext->isEnabled());
            const QRect stood = page->frameGeometry();
            QPointer<UnitAddressPage> closing(page);
            bool closedWhileApplying = false;
            QTimer::singleShot(300, page, [&] {
                closedWhileApplying = !closing->cmdNext->isEnabled();
                closing->close();
            });
            QTest::mouseClick(page->cmdNext, Qt::LeftButton);
            QVERIFY(closedWhileApplying);
            QCOMPARE(run.ends, 0);
            QTRY_COMPARE(shownId(run), next);
            QCOMPARE(run.router().visiblePage()->frameGeometry().topLeft(), stood.topLeft());
            QTRY_VERIFY(!closing);
            // The late one heard twice: it was sent again when no answer came.
            QCOMPARE(AddressRoad::linesFrom(bench.commands(), lines.first().section(u' ', 0, 1)),
                QStringList { lines.first() } + lines);
            QCOMPARE(run.program.wizardState().UnitIP, unitIp);
            QVERIFY(hand.boxes.size() <= 1);
            QCOMPARE(run.ends, 0);
        });
    }

    // Closing the free-address page while it searches ends the run at once.
    void closeBoxDuringTheSearch()
    {
        AddressRoad::Bench bench;
        QVERIFY2(bench.start(AddressRoad::oneUnit()), qPrintable(bench.lastError()));
        Journey::Run run;
        Journey::inEventLoop([&] {
            frmWiz07* search = AddressRoad::reachSearch(run);
            QVERIFY(search);
            int endsDuringSearch = -1;
            QObject::connect(&run.router(), &WizardRouter::pageShown, qApp, [&](PageId id) {
                if (id != PageId::Wiz11C)
                    return;
                WizardPage* searching = run.router().page(id);
                QTimer::singleShot(300, searching, [&, searching] {
                    searching->close();
                    endsDuringSearch = run.ends;
                });
            });
            Journey::choose(*search, QStringLiteral("10"));
            run.shift = true;
            QTest::mouseClick(search->cmdNext, Qt::LeftButton);
            QCOMPARE(endsDuringSearch, 1);
            QVERIFY(!run.router().page(PageId::Wiz11C));
        });
    }
};

QTEST_MAIN(tst_UnitAddressPages)
#include "tst_UnitAddressPages.moc"
