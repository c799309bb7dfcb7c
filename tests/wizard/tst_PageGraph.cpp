#include "WizardFixture.h"
#include "wizard/PageGraph.h"
#include "wizard/WizardPages.h"

#include <QSet>
#include <QSignalSpy>
#include <QTest>

using PageGraph::Button;

Q_DECLARE_METATYPE(PageId)
Q_DECLARE_METATYPE(PageGraph::Button)

namespace {
// Target of a row that has no way on.
constexpr PageId kStays = PageId::End;
} // namespace

class tst_PageGraph : public QObject {
    Q_OBJECT
private slots:
    void route_data()
    {
        QTest::addColumn<PageId>("from");
        QTest::addColumn<Button>("button");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("adapters");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<bool>("ping");
        QTest::addColumn<int>("option");
        QTest::addColumn<PageId>("to");
        QTest::addColumn<bool>("startup");

        using enum PageId;
        const auto row = [](const char* name, PageId from, Button b, int mode, int adapters, bool shift, bool ping,
                             int option, PageId to, bool startup) {
            QTest::newRow(name) << from << b << mode << adapters << shift << ping << option << to << startup;
        };
        const Button N = Button::Next, B = Button::Back, S = Button::Skip;

        row("welcome next, ethernet, one adapter: search", Wiz01, N, 1, 1, false, false, 0, Wiz07, false);
        row("welcome next, ethernet, no adapter count: search", Wiz01, N, 1, 0, false, false, 0, Wiz07, false);
        row("welcome next, cellular, one adapter: SIM page", Wiz01, N, 0, 1, false, false, 0, Wiz03, false);
        row("welcome next, ethernet, two adapters: adaptor page", Wiz01, N, 1, 2, false, false, 0, Wiz02, false);
        row("welcome next, cellular, three adapters: adaptor page", Wiz01, N, 0, 3, false, false, 0, Wiz02, false);
        row("welcome has no back", Wiz01, B, 1, 1, false, false, 0, kStays, false);

        row("adaptor next, cellular: SIM page", Wiz02, N, 0, 2, false, false, 0, Wiz03, false);
        row("adaptor next, ethernet: search", Wiz02, N, 1, 2, false, false, 0, Wiz07, false);
        row("adaptor back: welcome", Wiz02, B, 1, 2, false, false, 0, Wiz01, false);

        row("SIM next: cable", Wiz03, N, 0, 1, false, false, 0, Wiz04, false);
        row("SIM back, one adapter: welcome", Wiz03, B, 0, 1, false, false, 0, Wiz01, false);
        row("SIM back, two adapters: adaptor page", Wiz03, B, 0, 2, false, false, 0, Wiz02, false);
        row("cable next: aerial", Wiz04, N, 0, 1, false, false, 0, Wiz05, false);
        row("cable back: SIM", Wiz04, B, 0, 1, false, false, 0, Wiz03, false);
        row("cable has no skip", Wiz04, S, 0, 1, false, false, 0, kStays, false);
        row("aerial next: power", Wiz05, N, 0, 1, false, false, 0, Wiz06, false);
        row("aerial back: cable", Wiz05, B, 0, 1, false, false, 0, Wiz04, false);
        row("power next: search", Wiz06, N, 0, 2, false, false, 0, Wiz07, false);
        row("power back: aerial", Wiz06, B, 0, 1, false, false, 0, Wiz05, false);

        row("search next, shift: free address +startup", Wiz07, N, 1, 1, true, false, 0, Wiz11C, true);
        row("search next: option page +startup", Wiz07, N, 1, 1, false, false, 0, Wiz08, true);
        row("search next, cellular: option page +startup", Wiz07, N, 0, 1, false, false, 0, Wiz08, true);
        row("search back, cellular: power", Wiz07, B, 0, 1, false, false, 0, Wiz06, false);
        row("search back, ethernet: welcome", Wiz07, B, 1, 1, false, false, 0, Wiz01, false);
        row("search back, ethernet, two adapters: welcome", Wiz07, B, 1, 2, false, false, 0, Wiz01, false);

        row("option next, cellular: cellular settings", Wiz08, N, 0, 1, false, false, 1, Wiz09, false);
        row("option next, cellular, option 3: cellular settings", Wiz08, N, 0, 1, false, true, 3, Wiz09, false);
        row("option next, option 1: DHCP server page", Wiz08, N, 1, 1, false, false, 1, Wiz11A, false);
        row("option next, option 2: static page", Wiz08, N, 1, 1, false, true, 2, Wiz11B, false);
        row("option next, option 3, pingable: PC gateway page", Wiz08, N, 1, 1, false, true, 3, Wiz12C, false);
        row("option next, option 3, not pingable: free address +startup", Wiz08, N, 1, 1, false, false, 3, Wiz11C,
            true);
        row("option back: search", Wiz08, B, 1, 1, false, false, 1, Wiz07, false);

        row("cellular settings next: apply and test +startup", Wiz09, N, 0, 1, false, false, 1, Wiz10, true);
        row("cellular settings back: option page +startup", Wiz09, B, 0, 1, false, false, 1, Wiz08, true);

        row("test next, option 1: DHCP server page", Wiz10, N, 0, 1, false, true, 1, Wiz11A, false);
        row("test next, option 2: static page", Wiz10, N, 0, 1, false, false, 2, Wiz11B, false);
        row("test next, option 3, pingable: PC gateway page", Wiz10, N, 0, 1, false, true, 3, Wiz12C, false);
        row("test next, option 3, not pingable: free address +startup", Wiz10, N, 0, 1, false, false, 3, Wiz11C, true);
        row("test next, no option, not pingable: free address +startup", Wiz10, N, 0, 1, false, false, 0, Wiz11C, true);
        row("test back: cellular settings", Wiz10, B, 0, 1, false, false, 1, Wiz09, false);

        row("DHCP server next: PC DHCP page", Wiz11A, N, 1, 1, false, false, 1, Wiz12A, false);
        row("DHCP server back, cellular: test +startup", Wiz11A, B, 0, 1, false, false, 1, Wiz10, true);
        row("DHCP server back, ethernet: option page +startup", Wiz11A, B, 1, 1, false, false, 1, Wiz08, true);
        row("static next: PC static page", Wiz11B, N, 1, 1, false, false, 2, Wiz12B, false);
        row("static back, cellular: test +startup", Wiz11B, B, 0, 1, false, false, 2, Wiz10, true);
        row("static back, ethernet: option page +startup", Wiz11B, B, 1, 1, false, false, 2, Wiz08, true);
        row("free address next: PC gateway page", Wiz11C, N, 1, 1, false, false, 3, Wiz12C, false);
        row("free address next, shift: the run ends", Wiz11C, N, 1, 1, true, false, 3, EndProgram, false);
        row("free address back, cellular: test +startup", Wiz11C, B, 0, 1, false, false, 3, Wiz10, true);
        row("free address back, ethernet: option page +startup", Wiz11C, B, 1, 1, false, false, 3, Wiz08, true);

        row("PC DHCP next: final +startup", Wiz12A, N, 1, 1, false, false, 1, Wiz13, true);
        row("PC DHCP skip: final +startup", Wiz12A, S, 1, 1, false, false, 1, Wiz13, true);
        row("PC DHCP back: DHCP server page", Wiz12A, B, 1, 1, false, false, 1, Wiz11A, false);
        row("PC static next: final +startup", Wiz12B, N, 1, 1, false, false, 2, Wiz13, true);
        row("PC static skip: final +startup", Wiz12B, S, 1, 1, false, false, 2, Wiz13, true);
        row("PC static back: static page", Wiz12B, B, 1, 1, false, false, 2, Wiz11B, false);
        row("PC gateway next: final +startup", Wiz12C, N, 1, 1, false, true, 3, Wiz13, true);
        row("PC gateway skip: final +startup", Wiz12C, S, 1, 1, false, true, 3, Wiz13, true);
        row("PC gateway back, not pingable: free address +startup", Wiz12C, B, 0, 1, false, false, 3, Wiz11C, true);
        row("PC gateway back, pingable, cellular: test +startup", Wiz12C, B, 0, 1, false, true, 3, Wiz10, true);
        row("PC gateway back, pingable, ethernet: option page +startup", Wiz12C, B, 1, 1, false, true, 3, Wiz08, true);

        row("final finish: the run ends", Wiz13, N, 1, 1, false, false, 1, EndProgram, false);
        row("final back, option 1: PC DHCP page", Wiz13, B, 1, 1, false, false, 1, Wiz12A, false);
        row("final back, option 2: PC static page", Wiz13, B, 1, 1, false, false, 2, Wiz12B, false);
        row("final back, option 3: PC gateway page", Wiz13, B, 1, 1, false, true, 3, Wiz12C, false);
        row("final back, no option: PC gateway page", Wiz13, B, 1, 1, false, true, 0, Wiz12C, false);
    }

    // The table itself.
    void route()
    {
        QFETCH(PageId, from);
        QFETCH(Button, button);
        QFETCH(int, mode);
        QFETCH(int, adapters);
        QFETCH(bool, shift);
        QFETCH(bool, ping);
        QFETCH(int, option);
        QFETCH(PageId, to);
        QFETCH(bool, startup);

        const auto r = PageGraph::route(from, button, { mode, adapters, shift, ping, qint16(option) });
        if (to == kStays) {
            QVERIFY(!r);
            return;
        }
        QVERIFY(r);
        QCOMPARE(pageName(r->to), pageName(to));
        QCOMPARE(r->startup, startup);
    }

    // The same roads walked by live pages: the target is shown, runs its
    // startup only where marked, while the page left is hidden, and the page
    // left unloads without ending the run.
    void navigate_data() { route_data(); }
    void navigate()
    {
        QFETCH(PageId, from);
        QFETCH(Button, button);
        QFETCH(int, mode);
        QFETCH(int, adapters);
        QFETCH(bool, shift);
        QFETCH(bool, ping);
        QFETCH(int, option);
        QFETCH(PageId, to);
        QFETCH(bool, startup);

        WizardFixture f(adapters);
        f.stubAll();
        f.state.WizardMode = mode;
        f.state.PCCanPingUnit = ping;
        f.state.ConfigOption = qint16(option);
        f.shift = shift;
        QSignalSpy shown(f.router.get(), &WizardRouter::pageShown);

        auto* source = static_cast<StubPage*>(f.router->open(from));
        QPointer<StubPage> left(source);
        bool sourceHiddenDuringStartup = false;
        f.router->registerPage(to, [&](WizardRouter& r, QWidget* owner) -> WizardPage* {
            auto* page = new StubPage(to, r, owner);
            page->onStartup
                = [&](StubPage& self) { sourceHiddenDuringStartup = left && left->isHidden() && self.isVisible(); };
            return page;
        });

        const bool moved = source->press(button);
        WizardFixture::flushDeletes();

        if (to == kStays) {
            QVERIFY(!moved);
            QVERIFY(left);
            QVERIFY(!left->navigating());
            QCOMPARE(f.ends, 0);
            return;
        }
        if (to == PageId::EndProgram) {
            QCOMPARE(f.ends, 1);
            return;
        }
        QVERIFY(moved);
        QCOMPARE(f.ends, 0);
        QVERIFY2(!left, "the page left is unloaded");
        QCOMPARE(pageName(f.currentId()), pageName(to));
        QCOMPARE(shown.count(), 2);
        auto* target = static_cast<StubPage*>(f.router->current());
        QVERIFY(target->isVisible());
        QCOMPARE(target->startups, startup ? 1 : 0);
        QCOMPARE(sourceHiddenDuringStartup, startup);
        QVERIFY(f.prompts.boxes.isEmpty());
    }

    // The program has a page for every stop of every road.
    void theProgramHasEveryPage()
    {
        QSet<PageId> pages;
        for (const WizardPages::Entry& page : WizardPages::all())
            pages << page.id;
        for (const PageGraph::Route& r : PageGraph::routes()) {
            QVERIFY2(pages.contains(r.from), qPrintable(pageName(r.from)));
            QVERIFY2(r.to == PageId::EndProgram || pages.contains(r.to), qPrintable(pageName(r.to)));
        }
    }

    // Every row of the table leads somewhere real and differs from its page.
    void tableIsSane()
    {
        for (const PageGraph::Route& r : PageGraph::routes()) {
            QVERIFY(r.to != PageId::End);
            QVERIFY(r.to != r.from);
        }
    }
};

QTEST_MAIN(tst_PageGraph)
#include "tst_PageGraph.moc"
