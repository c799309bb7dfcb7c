// Every road of the wizard walked to its end as a person walks it, Ethernet
// only and (Shift held as the welcome page opens) Ethernet and cellular with
// its instruction pages, its settings typed and its link tested: the program
// started as main() starts it on a bare LAN, the unit played by unitsim (its
// saved address and DHCP pool made real on its side of the cable, its web
// server listening), the PC's adapter really changed by the PC settings page,
// and the final page's Browse handed to the desktop's URL handler (xdg-open,
// which runs $BROWSER: a stand-in that notes its URL). Variants walk a road
// going Back once from each page and on again, press Cancel and answer No on
// each page, or answer Yes and end there. Each road ends with what a person
// would check: the final page's words, what the unit was told (unitsim's
// command log, the cellular settings among it) and the PC's adapter. Every
// page on the way is photographed and checked for cut texts by the journey
// harness.
//
// The rows are shared out among several CTest entries (LINKWISE_TEST_SHARD
// "k/n" runs every n-th row from the k-th), so that the roads run side by
// side.
#include "AddressRoad.h"
#include "CellularRoad.h"
#include "DesktopTestMain.h"
#include "PrivateSystemFiles.h"
#include "StandInBrowser.h"
#include "wizard/frmWiz01.h"
#include "wizard/frmWiz02.h"
#include "wizard/frmWiz07.h"
#include "wizard/frmWiz08.h"
#include "wizard/frmWiz09.h"
#include "wizard/frmWiz10.h"
#include "wizard/frmWiz13.h"
#include "wizard/frmwiz11C.h"
#include "wizard/frmwiz12B.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>

using AddressRoad::BoxHand;
using Journey::Lan;

namespace {
const QString kOpening = QStringLiteral("The wizard is now complete. ");
const QString kEverythingDone = QStringLiteral("Congratulations, you have successfully configured the Calvantor. ");
const QString kLinkTested = QStringLiteral("The Calvantor connected succesfully to the Internet or other WAN. ");
const QString kBoth = QStringLiteral("The PC is now using the Calvantor as its default gateway and DNS server. ");
const QString kResetQuestion = QStringLiteral(
    "Do you want to reset the Calvantor to the factory default configuration before continuing with the Wizard?");

// What the person does along a road besides going on.
enum class Detour {
    None,
    // Back once from each page that has it, then on again.
    BackEverywhere,
    // Cancel on each page that shows it, and No to the exit question.
    CancelNoEverywhere,
    // Cancel on the last page of the road, and Yes: the run ends there.
    CancelYesAtLast,
};

// What a road leaves behind. Empty fields are not checked.
struct Outcome {
    // The unit's last commands, in order; on a cellular road, what it heard
    // after the test page was left for the last time (empty: nothing).
    QStringList unitTold {};
    // The cellular settings as the unit last heard them, in order (the
    // restart's looks at the unit left out).
    QStringList cellularTold {};
    // The PC's LAN adapter: its address (a prefix of "address/len" will
    // do), the start of its default route, what resolv.conf holds.
    QString pcAddress {};
    QString defaultRoute {};
    QByteArray resolvConf {};
    // How the final page opens, words on it, and where Browse goes.
    QString opening = kOpening;
    QStringList finalWords {};
    QString browsed {};
};

bool inShard(int row)
{
    const QList<QByteArray> shard = qgetenv("LINKWISE_TEST_SHARD").split('/');
    if (shard.size() != 2)
        return true;
    const int k = shard[0].toInt();
    const int n = shard[1].toInt();
    return n <= 0 || row % n == k;
}

// What the person set on the page: choices, fields, the adaptor and the unit
// picked. Pages shown again by Back show these again.
QStringList inputsOf(const QWidget& page)
{
    QStringList out;
    for (const QWidget* w : page.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&page))
            continue;
        if (const auto* choice = qobject_cast<const QRadioButton*>(w))
            out << w->objectName() + (choice->isChecked() ? QStringLiteral(" on") : QStringLiteral(" off"));
        else if (const auto* box = qobject_cast<const QCheckBox*>(w))
            out << w->objectName() + (box->isChecked() ? QStringLiteral(" on") : QStringLiteral(" off"));
        else if (const auto* edit = qobject_cast<const QLineEdit*>(w))
            out << w->objectName() + QStringLiteral(" = ") + edit->text();
        else if (const auto* combo = qobject_cast<const QComboBox*>(w))
            out << w->objectName() + QStringLiteral(" = ") + combo->currentText();
        else if (const auto* list = qobject_cast<const QTreeWidget*>(w))
            out << w->objectName() + QStringLiteral(" rows ") + QString::number(list->topLevelItemCount());
    }
    return out;
}

PageId shownId(Journey::Run& run)
{
    WizardPage* page = run.router().visiblePage();
    return page ? page->id() : PageId::EndProgram;
}

// The page is on screen and waits for the person: its work done (a search,
// a probe, a change to the PC), its way on open or not offered yet.
bool settled(const WizardPage& page)
{
    const QPushButton* next = page.navButton(WizardPage::Nav::Next);
    return page.isVisible() && page.isEnabled() && !page.navigating() && !page.isBusy()
        && (!next || !next->isVisible() || next->isEnabled());
}
} // namespace

Q_DECLARE_METATYPE(Detour)
Q_DECLARE_METATYPE(Outcome)

class tst_JourneyMatrix : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    StandInBrowser m_browser;
    int m_roads = 0;
    int m_rows = 0;

    struct Walk {
        Journey::Run& run;
        int option;
        bool shiftOnFreeAddress;
        // Ethernet and cellular: Shift held as the program starts.
        bool cellular = false;
        // The exit question is answered Yes while this is set.
        bool leaving = false;
        // unitsim's log of what the unit heard, and how many lines it held
        // when the test page was last left by Next.
        QString commandLog {};
        qsizetype heardAtTestExit = -1;
    };

    // Next, as the person clicks it. As the test page is left, what the unit
    // has heard so far is noted: nothing after it may be that page's.
    static void next(Walk& walk, WizardPage& page)
    {
        if (page.id() == PageId::Wiz10)
            walk.heardAtTestExit = AddressRoad::commandsTo(walk.commandLog, QStringLiteral("10")).size();
        QTest::mouseClick(page.navButton(WizardPage::Nav::Next), Qt::LeftButton);
    }

    // Waits until the page with this id is on screen and settled.
    static WizardPage* reach(Journey::Run& run, PageId id, int timeoutMs = 90'000)
    {
        WizardPage* page = nullptr;
        AddressRoad::waitUntil(
            [&] {
                page = run.router().visiblePage();
                return page && page->id() == id && settled(*page);
            },
            timeoutMs);
        if (!page || page->id() != id || !settled(*page))
            return nullptr;
        run.photos.lookNow();
        return page;
    }

    // What the person does on the page to go on from it, up to (not
    // including) the click that leaves.
    static void prepare(Walk& walk, WizardPage& page)
    {
        switch (page.id()) {
        case PageId::Wiz01: {
            auto& welcome = static_cast<frmWiz01&>(page);
            QCOMPARE(welcome.Option2->isVisible(), walk.cellular);
            if (walk.cellular) {
                QTest::mouseClick(welcome.Option2, Qt::LeftButton);
                QVERIFY(welcome.Option2->isChecked());
            }
            break;
        }
        case PageId::Wiz02: {
            auto& adaptor = static_cast<frmWiz02&>(page);
            for (int i = 0; i < adaptor.cbInterfaces->count(); ++i) {
                adaptor.cbInterfaces->setCurrentIndex(i);
                if (adaptor.lblIP->text() == Journey::kPcAddress)
                    break;
            }
            QCOMPARE(adaptor.lblIP->text(), Journey::kPcAddress);
            break;
        }
        case PageId::Wiz07:
            Journey::choose(static_cast<frmWiz07&>(page), QStringLiteral("10"));
            break;
        case PageId::Wiz08: {
            auto& options = static_cast<frmWiz08&>(page);
            QRadioButton* pick[] = { options.Option1, options.Option2, options.Option3 };
            QTest::mouseClick(pick[walk.option - 1], Qt::LeftButton);
            QVERIFY(pick[walk.option - 1]->isChecked());
            break;
        }
        case PageId::Wiz12A:
        case PageId::Wiz12B:
        case PageId::Wiz12C: {
            auto* configure = page.findChild<QPushButton*>(QStringLiteral("cmdConfigure"));
            QVERIFY(configure && configure->isVisible());
            QTest::mouseClick(configure, Qt::LeftButton);
            // The steps pages change the PC at once; the static page first
            // shows its fields.
            QVERIFY2(AddressRoad::waitUntil([&] { return settled(page); }, 90'000), qPrintable(pageName(page.id())));
            QVERIFY(page.navButton(WizardPage::Nav::Next)->isVisible());
            break;
        }
        case PageId::Wiz09: {
            // The page shows its boxes empty each time it comes up.
            auto& settings = static_cast<frmWiz09&>(page);
            for (const QLineEdit* box :
                { settings.txtAPN, settings.txtPIN, settings.txtUserName, settings.txtPassword })
                QCOMPARE(box->text(), QString());
            settings.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&settings));
            CellularRoad::typeSettings(settings);
            break;
        }
        case PageId::Wiz10:
            QVERIFY2(static_cast<frmWiz10&>(page).lblInfo->text().startsWith(
                         QLatin1String("The GPRS test was successful! GPRS IP address = ")),
                qPrintable(static_cast<frmWiz10&>(page).lblInfo->text()));
            QVERIFY(walk.run.program.wizardState().GPRSTestOK);
            break;
        case PageId::Wiz11C:
            walk.run.shift = walk.shiftOnFreeAddress;
            break;
        default:
            break;
        }
    }

    // Cancel, and No to the exit question: the page stays as it was.
    // Returns whether the page offered Cancel.
    static bool cancelAndStay(Walk& walk, WizardPage& page, BoxHand& hand)
    {
        QPushButton* cancel = page.navButton(WizardPage::Nav::Cancel);
        if (!cancel || !cancel->isVisible())
            return false;
        const QStringList before = inputsOf(page);
        const qsizetype boxes = hand.boxes.size();
        QTest::mouseClick(cancel, Qt::LeftButton);
        [&] {
            QTRY_COMPARE(hand.boxes.size(), boxes + 1);
            QCOMPARE(hand.boxes.last().text, WizardPage::exitQuestion());
            QCOMPARE(hand.boxes.last().over.data(), &page);
            QTRY_VERIFY(settled(page));
            QCOMPARE(walk.run.ends, 0);
            QCOMPARE(walk.run.router().visiblePage(), &page);
        }();
        [&] { QCOMPARE(inputsOf(page), before); }();
        return true;
    }

    // Back to a page earlier on the road (the page graph says which: the
    // search page's Back skips the adaptor page), which shows again what it
    // should, and on again along the road to this page.
    static void backAndOn(
        Walk& walk, const QList<PageId>& road, qsizetype here, const QHash<PageId, QStringList>& expectedBack)
    {
        Journey::Run& run = walk.run;
        // The welcome page offers the cellular choice only while Shift is
        // held as it comes up, so the person holds it again.
        run.shift = walk.cellular && road[here] == PageId::Wiz03;
        QTest::mouseClick(run.router().visiblePage()->navButton(WizardPage::Nav::Back), Qt::LeftButton);
        run.shift = false;
        WizardPage* page = nullptr;
        QVERIFY(AddressRoad::waitUntil(
            [&] {
                page = run.router().visiblePage();
                return page && page->id() != road[here] && settled(*page);
            },
            90'000));
        const qsizetype from = road.indexOf(page->id());
        QVERIFY2(from >= 0 && from < here,
            qPrintable(QStringLiteral("Back from %1 showed %2").arg(pageName(road[here]), pageName(page->id()))));
        for (qsizetype j = from; j < here; ++j) {
            page = reach(run, road[j]);
            QVERIFY2(page, qPrintable(pageName(road[j]) + QStringLiteral(" never settled on the way on again")));
            if (j == from && road[j] == PageId::Wiz11C) {
                // The unit holds the address found last time: the search
                // finds another one.
                QCOMPARE(static_cast<frmwiz11C*>(page)->lblInfo->text(),
                    QStringLiteral("A free IP address has been located."));
                QVERIFY2(inputsOf(*page) != expectedBack.value(road[j]), qPrintable(inputsOf(*page).join(' ')));
            } else if (j == from) {
                QCOMPARE(inputsOf(*page), expectedBack.value(road[j]));
            }
            prepare(walk, *page);
            next(walk, *page);
        }
        QVERIFY2(reach(run, road[here]),
            qPrintable(QStringLiteral("on again, %1 did not show (%2 is up)")
                           .arg(pageName(road[here]), pageName(shownId(run)))));
    }

    void walkRoad(Walk& walk, BoxHand& hand, const QList<PageId>& pages, Detour detour)
    {
        Journey::Run& run = walk.run;
        run.shift = walk.cellular;
        run.program.start();
        run.shift = false;
        // What each page passed should show when Back leads to it again.
        QHash<PageId, QStringList> expectedBack;
        for (qsizetype i = 0; i < pages.size(); ++i) {
            const PageId id = pages[i];
            WizardPage* page = reach(run, id);
            QVERIFY2(page,
                qPrintable(
                    QStringLiteral("%1 never settled on screen (%2 is up)").arg(pageName(id), pageName(shownId(run)))));
            QCOMPARE(run.ends, 0);
            const QStringList onArrival = inputsOf(*page);
            bool cancelled = false;
            if (detour == Detour::CancelNoEverywhere)
                cancelled = cancelAndStay(walk, *page, hand);
            if (QTest::currentTestFailed())
                return;
            const bool last = i == pages.size() - 1;
            if (detour == Detour::CancelYesAtLast && last) {
                // The PC pages show Cancel once the person has chosen to
                // change the PC.
                if (!page->navButton(WizardPage::Nav::Cancel)->isVisible())
                    prepare(walk, *page);
                walk.leaving = true;
                QTest::mouseClick(page->navButton(WizardPage::Nav::Cancel), Qt::LeftButton);
                QTRY_COMPARE(run.ends, 1);
                QCOMPARE(hand.boxes.last().text, WizardPage::exitQuestion());
                return;
            }
            // Back once from the page, when it shows Back (the PC pages only
            // once the person has chosen to change the PC); the page is new
            // when the road comes back to it.
            bool wentBack = false;
            auto backOnce = [&] {
                QPushButton* back = page->navButton(WizardPage::Nav::Back);
                if (detour != Detour::BackEverywhere || i == 0 || wentBack || !back || !back->isVisible()
                    || !back->isEnabled())
                    return false;
                wentBack = true;
                backAndOn(walk, pages, i, expectedBack);
                page = run.router().visiblePage();
                return true;
            };
            backOnce();
            if (QTest::currentTestFailed())
                return;
            prepare(walk, *page);
            if (QTest::currentTestFailed())
                return;
            if (backOnce() && !QTest::currentTestFailed())
                prepare(walk, *page);
            if (QTest::currentTestFailed())
                return;
            if (detour == Detour::CancelNoEverywhere && !cancelled)
                cancelAndStay(walk, *page, hand);
            if (id == PageId::Wiz13 || QTest::currentTestFailed())
                return;
            // A page whose arrival searches, probes or tests anew shows what
            // it found, a PC page its warning again, and the welcome and
            // cellular settings pages their first choice and empty boxes, as
            // on the first arrival; the others what the person left on them.
            const bool fresh = id == PageId::Wiz01 || id == PageId::Wiz07 || id == PageId::Wiz08 || id == PageId::Wiz09
                || id == PageId::Wiz10 || id == PageId::Wiz11C || id == PageId::Wiz12A || id == PageId::Wiz12B
                || id == PageId::Wiz12C;
            expectedBack[id] = fresh ? onArrival : inputsOf(*page);
            next(walk, *page);
        }
    }

    // pingTimeoutMs: the ping time-out the person set in the options dialog
    // before this run (0: the program's own).
    void addRoad(const char* name, int shape, const QStringList& unit, int option, bool shift, Detour detour,
        const QList<PageId>& pages, const Outcome& outcome, int pingTimeoutMs = 0)
    {
        if (inShard(m_rows++))
            QTest::newRow(name) << shape << unit << option << shift << detour << pages << outcome << pingTimeoutMs;
    }

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        if (const QString why = StandInBrowser::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QVERIFY(m_browser.install());
    }

    void road_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<QStringList>("unit");
        QTest::addColumn<int>("option");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<Detour>("detour");
        QTest::addColumn<QList<PageId>>("pages");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<int>("pingTimeoutMs");

        using P = PageId;
        const int bare = int(Lan::Shape::Bare);
        const int two = int(Lan::Shape::TwoInterfaces);
        const QStringList served { "--lan-dhcp-server", "1" };
        const QStringList away { "--ip", "198.51.100.75" };
        const QList<PageId> road1 { P::Wiz01, P::Wiz07, P::Wiz08, P::Wiz11A, P::Wiz12A, P::Wiz13 };
        const QList<PageId> road2 { P::Wiz01, P::Wiz07, P::Wiz08, P::Wiz11B, P::Wiz12B, P::Wiz13 };
        const QList<PageId> road3 { P::Wiz01, P::Wiz07, P::Wiz08, P::Wiz12C, P::Wiz13 };
        const QList<PageId> road3free { P::Wiz01, P::Wiz07, P::Wiz08, P::Wiz11C, P::Wiz12C, P::Wiz13 };
        // Ethernet and cellular: the instruction pages before the search,
        // the cellular settings and the link's test after the option page.
        const QList<PageId> cellularStart { P::Wiz01, P::Wiz03, P::Wiz04, P::Wiz05, P::Wiz06, P::Wiz07, P::Wiz08,
            P::Wiz09, P::Wiz10 };
        const QList<PageId> cellularRoad1 = cellularStart + QList<PageId> { P::Wiz11A, P::Wiz12A, P::Wiz13 };
        const QList<PageId> cellularRoad2 = cellularStart + QList<PageId> { P::Wiz11B, P::Wiz12B, P::Wiz13 };
        const QList<PageId> cellularRoad3 = cellularStart + QList<PageId> { P::Wiz12C, P::Wiz13 };
        const QList<PageId> cellularRoad3free = cellularStart + QList<PageId> { P::Wiz11C, P::Wiz12C, P::Wiz13 };
        // The unit's restart outlasts two of the wizard's looks at it; its
        // cellular link comes up a little after it is switched on.
        const QStringList cellular { "--reboot-down", "5000", "--ppp-idle", "800", "--ppp-activating", "1200",
            "--signal", "-85" };

        const Outcome dhcp {
            .unitTold = { "dhcp 0 ipmin \"192.168.0.1\"", "dhcp 0 IPrange \"20\"", "dhcp 0 mask \"255.255.255.0\"",
                "dhcp 0 gateway \"192.168.0.99\"", "dhcp 0 DNS \"192.168.0.99\"", "dhcp 0 lease \"60\"",
                "eth 0 ipaddr \"192.168.0.99\"", "eth 0 mask \"255.255.255.0\"", "config 0 save" },
            .pcAddress = "192.168.0.",
            .defaultRoute = "default via 192.168.0.99 dev eth0",
            .resolvConf = {},
            .finalWords = { kBoth },
            .browsed = "http://192.168.0.99/default.asp",
        };
        const Outcome fixed {
            .unitTold = { "eth 0 ipaddr \"192.168.0.99\"", "eth 0 mask \"255.255.255.0\"", "config 0 save" },
            .pcAddress = "192.168.0.1/24",
            .defaultRoute = "default via 192.168.0.99 dev eth0",
            .resolvConf = "nameserver 192.168.0.99\n",
            .finalWords = { kBoth },
            .browsed = "http://192.168.0.99/default.asp",
        };
        const Outcome gateway {
            .unitTold = { "dhcpcli discover eth 0" },
            .pcAddress = Journey::kPcAddress + "/24",
            .defaultRoute = "default via 198.51.100.11 dev eth0",
            .resolvConf = "nameserver 198.51.100.11\n",
            .finalWords = { kBoth },
            .browsed = "http://198.51.100.11/default.asp",
        };
        const Outcome freeAddress {
            .unitTold = { "eth 0 ipaddr \"198.51.100.2\"", "eth 0 mask \"255.255.255.0\"", "config 0 save" },
            .pcAddress = Journey::kPcAddress + "/24",
            .defaultRoute = "default via 198.51.100.2 dev eth0",
            .resolvConf = "nameserver 198.51.100.2\n",
            .finalWords = { kBoth },
            .browsed = "http://198.51.100.2/default.asp",
        };
        // The same, Back from the PC page: the unit has the address found
        // first, so the search finds the next one.
        const Outcome nextFreeAddress {
            .unitTold = { "eth 0 ipaddr \"198.51.100.3\"", "eth 0 mask \"255.255.255.0\"", "config 0 save" },
            .pcAddress = Journey::kPcAddress + "/24",
            .defaultRoute = "default via 198.51.100.3 dev eth0",
            .resolvConf = "nameserver 198.51.100.3\n",
            .finalWords = { kBoth },
            .browsed = "http://198.51.100.3/default.asp",
        };
        // The same roads with the cellular link configured and tested first:
        // the settings typed reach the unit before its address does, and
        // the final page tells of the working link.
        auto withCellular = [](Outcome outcome) {
            outcome.cellularTold = CellularRoad::kSettingsApplied;
            outcome.opening = kEverythingDone;
            outcome.finalWords << kLinkTested;
            return outcome;
        };
        // The unit reachable as it is: nothing told it after the test.
        const Outcome cellularGateway = withCellular({
            .unitTold = {},
            .pcAddress = gateway.pcAddress,
            .defaultRoute = gateway.defaultRoute,
            .resolvConf = gateway.resolvConf,
            .finalWords = gateway.finalWords,
            .browsed = gateway.browsed,
        });
        // The road ends at Cancel: the PC as it was.
        const Outcome untouched { .pcAddress = Journey::kPcAddress + "/24", .resolvConf = "nameserver 203.0.113.53\n" };

        addRoad("option 1, the unit serves addresses", bare, {}, 1, false, Detour::CancelNoEverywhere, road1, dhcp);
        addRoad("option 1, Back from every page", bare, {}, 1, false, Detour::BackEverywhere, road1, dhcp);
        addRoad("option 2, static addresses", bare, {}, 2, false, Detour::CancelNoEverywhere, road2, fixed);
        addRoad("option 2, Back from every page", bare, {}, 2, false, Detour::BackEverywhere, road2, fixed);
        addRoad("option 3, unit already reachable", bare, served, 3, false, Detour::CancelNoEverywhere, road3, gateway);
        addRoad(
            "option 3 reachable, Back from every page", bare, served, 3, false, Detour::BackEverywhere, road3, gateway);
        addRoad("option 3, unit out of reach: a free address", bare, away, 3, false, Detour::CancelNoEverywhere,
            road3free, freeAddress);
        addRoad("option 3 out of reach, Back from every page", bare, away, 3, false, Detour::BackEverywhere, road3free,
            nextFreeAddress);
        addRoad("free-address page with Shift: browse at once", bare, away, 3, true, Detour::None,
            { P::Wiz01, P::Wiz07, P::Wiz08, P::Wiz11C },
            { .unitTold = freeAddress.unitTold,
                .pcAddress = untouched.pcAddress,
                .resolvConf = untouched.resolvConf,
                .browsed = freeAddress.browsed });
        addRoad("two adaptors, option 2 through the adaptor page", two, {}, 2, false, Detour::BackEverywhere,
            { P::Wiz01, P::Wiz02, P::Wiz07, P::Wiz08, P::Wiz11B, P::Wiz12B, P::Wiz13 }, fixed);
        addRoad("Cancel, Yes on the adaptor page", two, {}, 1, false, Detour::CancelYesAtLast, { P::Wiz01, P::Wiz02 },
            untouched);
        addRoad("Cancel, Yes on the option page", bare, {}, 1, false, Detour::CancelYesAtLast,
            { P::Wiz01, P::Wiz07, P::Wiz08 }, untouched);
        addRoad("Cancel, Yes on the free-address page", bare, away, 3, false, Detour::CancelYesAtLast,
            { P::Wiz01, P::Wiz07, P::Wiz08, P::Wiz11C }, untouched);
        addRoad("Cancel, Yes on the PC settings page", bare, {}, 2, false, Detour::CancelYesAtLast,
            { P::Wiz01, P::Wiz07, P::Wiz08, P::Wiz11B, P::Wiz12B },
            { .unitTold = fixed.unitTold, .pcAddress = untouched.pcAddress, .resolvConf = untouched.resolvConf });
        addRoad("cellular, option 1, the unit serves addresses", bare, cellular, 1, false, Detour::CancelNoEverywhere,
            cellularRoad1, withCellular(dhcp));
        addRoad("cellular, option 2, Back from every page", bare, cellular, 2, false, Detour::BackEverywhere,
            cellularRoad2, withCellular(fixed));
        addRoad("cellular, option 3, unit already reachable", bare, cellular + served, 3, false,
            Detour::CancelNoEverywhere, cellularRoad3, cellularGateway);
        // A ping time-out longer than the test page's poll interval: the
        // free-address search that follows the page outlasts it.
        addRoad("cellular, option 3, unit out of reach: a free address", bare, cellular + away, 3, false,
            Detour::CancelNoEverywhere, cellularRoad3free, withCellular(freeAddress), 3500);
    }

    void road()
    {
        QFETCH(int, shape);
        QFETCH(QStringList, unit);
        QFETCH(int, option);
        QFETCH(bool, shift);
        QFETCH(Detour, detour);
        QFETCH(QList<PageId>, pages);
        QFETCH(Outcome, outcome);
        QFETCH(int, pingTimeoutMs);

        Lan lan;
        PrivateSystemFiles files;
        QString error;
        QVERIFY2(lan.build(Lan::Shape(shape)), qPrintable(lan.lastError()));
        QVERIFY2(files.make("nameserver 203.0.113.53\n", &error), qPrintable(error));
        m_browser.clear();
        const QString webLog = m_dir.filePath(QStringLiteral("web%1.log").arg(++m_roads));
        const QString commandLog = m_dir.filePath(QStringLiteral("commands%1.log").arg(m_roads));
        QVERIFY(lan.startUnits(
            QStringList { "--lan-dev", "eth0", "--web-log", webLog, "--command-log", commandLog } + unit));

        Journey::Run run(nullptr);
        if (pingTimeoutMs > 0) {
            run.store.setValue(QStringLiteral("Settings/PingTimeout"), QString::number(pingTimeoutMs));
            run.store.sync();
        }
        Walk walk { run, option, shift, pages.contains(PageId::Wiz03) };
        walk.commandLog = commandLog;
        Journey::inEventLoop([&] {
            BoxHand hand([&walk](const Journey::Box& box) {
                if (box.text == WizardPage::exitQuestion())
                    return walk.leaving ? QMessageBox::Yes : QMessageBox::No;
                if (box.text == kResetQuestion)
                    return QMessageBox::No;
                return QMessageBox::Ok;
            });
            walkRoad(walk, hand, pages, detour);
            if (QTest::currentTestFailed())
                return;
            // No box but the questions a person is asked on every road: no
            // failure, no refusal, no reboot note.
            for (const Journey::Box& box : hand.boxes)
                QVERIFY2(box.text == kResetQuestion || box.text == WizardPage::exitQuestion(), qPrintable(box.text));
            if (pages.last() == PageId::Wiz13 && detour != Detour::CancelYesAtLast) {
                auto* final = run.page<frmWiz13>();
                QVERIFY(final);
                const QString shown = final->lblInstructions->text();
                QVERIFY2(shown.startsWith(outcome.opening), qPrintable(shown));
                for (const QString& words : outcome.finalWords)
                    QVERIFY2(shown.contains(words), qPrintable(shown));
                m_browser.browseAndFinish(run, final, outcome.browsed, webLog);
            } else if (shift) {
                // Straight to the unit's pages, and the run ends.
                QTRY_COMPARE_WITH_TIMEOUT(m_browser.opened(), outcome.browsed, 10'000);
                QTRY_COMPARE(run.ends, 1);
                QVERIFY(!run.router().page(PageId::Wiz12C));
            }
            // Nothing beyond the road's end (the Shift road borrows the final
            // page's Browse).
            for (PageId later : { PageId::Wiz12A, PageId::Wiz12B, PageId::Wiz12C, PageId::Wiz13 }) {
                if (!pages.contains(later) && !(shift && later == PageId::Wiz13))
                    QVERIFY2(!run.router().page(later), qPrintable(pageName(later)));
            }
            QCOMPARE(run.ends, 1);
        });
        if (QTest::currentTestFailed())
            return;

        const QStringList heard = AddressRoad::commandsTo(commandLog, QStringLiteral("10"));
        QStringList told = heard;
        if (!outcome.cellularTold.isEmpty()) {
            // The test page's last pass of settings, its questions (the link,
            // the signal) until it was left, and nothing of the page after.
            const qsizetype last = heard.lastIndexOf(outcome.cellularTold.first());
            QVERIFY2(last >= 0 && walk.heardAtTestExit > last, qPrintable(heard.join('\n')));
            QStringList pass;
            for (const QString& line : heard.mid(last, walk.heardAtTestExit - last))
                if (line != u"AT")
                    pass << line;
            QVERIFY2(pass.mid(0, outcome.cellularTold.size()) == outcome.cellularTold, qPrintable(heard.join('\n')));
            const QStringList asked = pass.mid(outcome.cellularTold.size());
            QVERIFY2(asked.contains(QStringLiteral("modemstat ?")), qPrintable(heard.join('\n')));
            for (const QString& line : asked)
                QVERIFY2(CellularRoad::isTestPageQuestion(line), qPrintable(line));
            told = heard.mid(walk.heardAtTestExit);
            for (const QString& line : told)
                QVERIFY2(!CellularRoad::isTestPageQuestion(line),
                    qPrintable(QStringLiteral("heard after the test page was left: ") + line));
            if (outcome.unitTold.isEmpty())
                QVERIFY2(told.isEmpty(), qPrintable(told.join('\n')));
        }
        QVERIFY2(told.mid(told.size() - outcome.unitTold.size()) == outcome.unitTold, qPrintable(heard.join('\n')));
        // A road that ended before the unit's address page left the unit as
        // it was.
        if (outcome.unitTold.isEmpty() && outcome.cellularTold.isEmpty()) {
            for (const QString& line : told)
                QVERIFY2(line.startsWith(QLatin1String("dhcpcli ")), qPrintable(line));
        }
        auto pcSide = [&lan](const QString& command) {
            QString out;
            lan.onPcSide(command, &out);
            return out.trimmed();
        };
        const QString address = pcSide(QStringLiteral("ip -4 -o addr show dev eth0 | awk '{print $4}'"));
        QVERIFY2(address.startsWith(outcome.pcAddress), qPrintable(address));
        const QString route = pcSide(QStringLiteral("ip -4 route show default"));
        if (outcome.defaultRoute.isEmpty())
            QCOMPARE(route, QString());
        else
            QVERIFY2(route.startsWith(outcome.defaultRoute), qPrintable(route));
        if (!outcome.resolvConf.isEmpty())
            QCOMPARE(StandInBrowser::fileText(QStringLiteral("/etc/resolv.conf")), outcome.resolvConf);
        // The other adaptor is none of the wizard's business.
        if (Lan::Shape(shape) == Lan::Shape::TwoInterfaces)
            QCOMPARE(pcSide(QStringLiteral("ip -4 -o addr show dev eth1 | awk '{print $4}'")),
                QStringLiteral("203.0.113.1/24"));
    }
};

LINKWISE_DESKTOP_TEST_MAIN(tst_JourneyMatrix, QApplication)
#include "tst_JourneyMatrix.moc"
