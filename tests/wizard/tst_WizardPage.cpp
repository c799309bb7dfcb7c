#include "WizardFixture.h"
#include "app/Twips.h"

#include <QPointer>
#include <QScreen>
#include <QTest>

using PageGraph::Button;

// The conventions every page shares, seen on stand-in pages.
class tst_WizardPage : public QObject {
    Q_OBJECT
private slots:
    void frame()
    {
        WizardFixture f;
        f.stubAll();
        WizardPage* page = f.router->open(PageId::Wiz04);
        QCOMPARE(page->windowTitle(), QStringLiteral("Calvantor Linkwise"));
        QCOMPARE(page->size(), QSize(Twips::toPx(8925), Twips::toPx(5445)));
        QVERIFY(page->isWindow());
        QVERIFY(!page->windowIcon().isNull());
        QCOMPARE(page->windowIcon().cacheKey(), f.router->windowIcon().cacheKey());
    }

    void closeBoxEndsTheRun()
    {
        WizardFixture f;
        f.stubAll();
        WizardPage* page = f.router->open(PageId::Wiz05);
        QVERIFY(!page->navigating());
        page->close();
        QCOMPARE(f.ends, 1);
    }

    void leavingByButtonsDoesNotEndTheRun()
    {
        WizardFixture f;
        f.stubAll();
        auto* page = static_cast<StubPage*>(f.router->open(PageId::Wiz05));
        QVERIFY(page->press(Button::Next));
        WizardFixture::flushDeletes();
        QCOMPARE(f.ends, 0);
        QCOMPARE(f.currentId(), PageId::Wiz06);
    }

    // The flag is cleared by each new load: Next, Back, then the close box ends.
    void closeAfterComingBackEndsTheRun()
    {
        WizardFixture f;
        f.stubAll();
        auto* first = static_cast<StubPage*>(f.router->open(PageId::Wiz04));
        QVERIFY(first->press(Button::Next));
        auto* second = static_cast<StubPage*>(f.router->current());
        QVERIFY(second->press(Button::Back));
        WizardFixture::flushDeletes();
        QCOMPARE(f.ends, 0);
        WizardPage* again = f.router->current();
        QCOMPARE(again->id(), PageId::Wiz04);
        QVERIFY(again != first);
        QVERIFY(!again->navigating());
        again->close();
        QCOMPARE(f.ends, 1);
    }

    // A page closed while its successor's startup pumps events ends the run.
    void closeDuringStartupEndsTheRun()
    {
        WizardFixture f;
        f.stubAll();
        f.router->registerPage(PageId::Wiz08, [](WizardRouter& r, QWidget* owner) -> WizardPage* {
            auto* page = new StubPage(PageId::Wiz08, r, owner);
            page->onStartup = [](StubPage& self) { self.close(); };
            return page;
        });
        auto* search = static_cast<StubPage*>(f.router->open(PageId::Wiz07));
        QVERIFY(search->press(Button::Next));
        QCOMPARE(f.ends, 1);
    }

    // A second Next while the first is still leaving (the target's load
    // pumps events) opens no second page.
    void secondNextWhileLeavingIsIgnored()
    {
        WizardFixture f;
        f.stubAll();
        int made = 0;
        QPointer<StubPage> source;
        f.router->registerPage(PageId::Wiz04, [&](WizardRouter& r, QWidget* owner) -> WizardPage* {
            ++made;
            auto* page = new StubPage(PageId::Wiz04, r, owner);
            page->onLoaded = [&](StubPage&) {
                // The person clicks again while the next page is on its way.
                if (made > 1 || !source)
                    return;
                QTest::mouseClick(source->cmdNext, Qt::LeftButton);
                QCoreApplication::processEvents();
            };
            return page;
        });
        source = static_cast<StubPage*>(f.router->open(PageId::Wiz03));
        QTest::mouseClick(source->cmdNext, Qt::LeftButton);
        WizardFixture::flushDeletes();
        QCOMPARE(made, 1);
        QVERIFY(!source);
        QCOMPARE(f.currentId(), PageId::Wiz04);
        QCOMPARE(f.ends, 0);
    }

    // Back or Next pressed on a page while its own startup waits: the page
    // leaves, but stays in memory until its startup has returned, which
    // sees that it was unloaded; the page that called the startup goes too.
    void leavingDuringTheOwnStartupWait_data()
    {
        QTest::addColumn<bool>("back");
        QTest::addColumn<PageId>("target");
        QTest::newRow("Back") << true << PageId::Wiz07;
        QTest::newRow("Next") << false << PageId::Wiz09;
    }
    void leavingDuringTheOwnStartupWait()
    {
        QFETCH(bool, back);
        QFETCH(PageId, target);
        WizardFixture f;
        f.stubAll();
        f.state.WizardMode = 0;
        bool unloadedWhenTheWaitEnded = false;
        bool returned = false;
        f.router->registerPage(PageId::Wiz08, [&](WizardRouter& r, QWidget* owner) -> WizardPage* {
            auto* page = new StubPage(PageId::Wiz08, r, owner);
            page->onStartup = [&, back](StubPage& self) {
                f.clock.schedule(100, [&self, back] {
                    QTest::mouseClick(back ? self.cmdBack : self.cmdNext, Qt::LeftButton);
                    // Whatever the loop does next, it may not free the page.
                    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                });
                const qint64 until = f.clock.monotonicMs() + 1000;
                while (f.clock.monotonicMs() < until && !self.unloaded())
                    f.clock.waitForEvents(until);
                unloadedWhenTheWaitEnded = self.unloaded();
                self.setWindowTitle(QStringLiteral("still here"));
                returned = true;
            };
            return page;
        });
        QPointer<StubPage> search = static_cast<StubPage*>(f.router->open(PageId::Wiz07));
        QTest::mouseClick(search->cmdNext, Qt::LeftButton);
        QVERIFY(returned);
        QVERIFY(unloadedWhenTheWaitEnded);
        WizardFixture::flushDeletes();
        QVERIFY(!search);
        QVERIFY(!f.router->page(PageId::Wiz08));
        QCOMPARE(f.router->visiblePage()->id(), target);
        QCOMPARE(f.ends, 0);
    }

    // While a poll is in flight, leaving shows the target at once and hides
    // the page, which unloads when the poll has ended.
    void leavingWhileBusyUnloadsWhenIdle()
    {
        WizardFixture f;
        f.stubAll();
        QPointer<StubPage> page = static_cast<StubPage*>(f.router->open(PageId::Wiz05));
        page->setBusy(true);
        QTest::mouseClick(page->cmdBack, Qt::LeftButton);
        WizardFixture::flushDeletes();
        QVERIFY(page);
        QVERIFY(!page->isVisible());
        QCOMPARE(f.router->visiblePage()->id(), PageId::Wiz04);
        page->setBusy(false);
        WizardFixture::flushDeletes();
        QVERIFY(!page);
        QCOMPARE(f.ends, 0);
    }

    void cancelWhileBusyEndsWhenIdle()
    {
        WizardFixture f;
        f.stubAll();
        auto* page = static_cast<StubPage*>(f.router->open(PageId::Wiz05));
        page->setBusy(true);
        f.prompts.answers << true;
        QTest::mouseClick(page->cmdCancel, Qt::LeftButton);
        QCOMPARE(f.prompts.texts(), QStringList { WizardPage::exitQuestion() });
        QVERIFY(!page->isVisible());
        QCOMPARE(f.ends, 0);
        page->setBusy(false);
        QCOMPARE(f.ends, 1);
    }

    void cancelAnsweredNoKeepsThePage()
    {
        WizardFixture f;
        f.stubAll();
        auto* page = static_cast<StubPage*>(f.router->open(PageId::Wiz05));
        QTest::mouseClick(page->cmdCancel, Qt::LeftButton);
        QCOMPARE(f.prompts.texts(), QStringList { WizardPage::exitQuestion() });
        QVERIFY(page->isVisible());
        QVERIFY(!page->navigating());
        QCOMPARE(f.ends, 0);
        // No also leaves the close box ending the run.
        page->close();
        QCOMPARE(f.ends, 1);
    }

    // What waited for the poll runs once, in the order it was asked for.
    void deferredActionsRunOnceInOrder()
    {
        WizardFixture f;
        f.stubAll();
        auto* page = static_cast<StubPage*>(f.router->open(PageId::Wiz05));
        QStringList ran;
        page->whenIdle([&] { ran << "at once"; });
        page->setBusy(true);
        page->whenIdle([&] { ran << "first"; });
        page->whenIdle([&] { ran << "second"; });
        QCOMPARE(ran, QStringList { "at once" });
        page->setBusy(false);
        page->setBusy(true);
        page->setBusy(false);
        QCOMPARE(ran, (QStringList { "at once", "first", "second" }));
    }

    // A page may ignore its close box (while it is disabled, say); leaving
    // it by its buttons still closes it.
    void pageThatIgnoresItsCloseBox()
    {
        WizardFixture f;
        f.stubAll();
        QPointer<StubPage> page = static_cast<StubPage*>(f.router->open(PageId::Wiz05));
        page->ignoreCloseBox = true;
        page->close();
        QVERIFY(page->isVisible());
        QCOMPARE(f.ends, 0);
        QVERIFY(page->press(Button::Next));
        WizardFixture::flushDeletes();
        QVERIFY(!page);
        QCOMPARE(f.ends, 0);
    }

    // Each page opens where the one before it stood, kept on the screen.
    void nextPageOpensWhereThePageStood_data()
    {
        QTest::addColumn<QPoint>("movedTo");
        QTest::addColumn<bool>("fits");
        QTest::newRow("inside the screen") << QPoint(37, 41) << true;
        QTest::newRow("partly off the right and bottom edges") << QPoint(100000, 100000) << false;
        QTest::newRow("partly off the left and top edges") << QPoint(-300, -200) << false;
    }
    void nextPageOpensWhereThePageStood()
    {
        QFETCH(QPoint, movedTo);
        QFETCH(bool, fits);
        WizardFixture f;
        f.stubAll();
        auto* first = static_cast<StubPage*>(f.router->open(PageId::Wiz03));
        const QRect screen = first->screen()->availableGeometry();
        first->move(screen.topLeft() + movedTo);
        QVERIFY(first->press(Button::Next));
        WizardPage* next = f.router->visiblePage();
        QCOMPARE(next->id(), PageId::Wiz04);
        QVERIFY(screen.contains(next->frameGeometry()));
        if (fits)
            QCOMPARE(next->pos(), screen.topLeft() + movedTo);
    }

    // The frame's own size is known only once a window is on screen, so the
    // first page may stand off the centre by that much.
    void firstPageOpensCentred()
    {
        WizardFixture f;
        f.stubAll();
        WizardPage* page = f.router->open(PageId::Wiz01);
        const QRect screen = page->screen()->availableGeometry();
        const QPoint off = page->frameGeometry().center() - screen.center();
        const QSize frame = page->frameGeometry().size() - page->geometry().size();
        QVERIFY2(qAbs(off.x()) <= frame.width() + 1 && qAbs(off.y()) <= frame.height() + 1,
            qPrintable(QStringLiteral("%1,%2 off the centre").arg(off.x()).arg(off.y())));
    }

    void helpStub()
    {
        WizardFixture f;
        f.stubAll();
        auto* page = static_cast<StubPage*>(f.router->open(PageId::Wiz12A));
        page->pressHelp();
        QCOMPARE(f.prompts.boxes.size(), 1);
        QCOMPARE(f.prompts.boxes[0].text, QStringLiteral("Help not yet implemented!"));
        QCOMPARE(f.prompts.boxes[0].icon, UserPrompts::Icon::Exclamation);
        QVERIFY(!f.prompts.boxes[0].question);
        QCOMPARE(f.currentId(), PageId::Wiz12A);
        QCOMPARE(f.ends, 0);
    }

    // A button the page graph has no road for leaves the page as it was.
    void noRoadKeepsThePage()
    {
        WizardFixture f;
        f.stub(PageId::Wiz04);
        auto* page = static_cast<StubPage*>(f.router->open(PageId::Wiz04));
        QPointer<StubPage> alive(page);
        QVERIFY(!page->press(Button::Skip));
        WizardFixture::flushDeletes();
        QVERIFY(alive);
        QVERIFY(page->isVisible());
        QVERIFY(!page->navigating());
        QVERIFY(f.prompts.boxes.isEmpty());
        QCOMPARE(f.ends, 0);
        // Still a page whose close box ends the run.
        page->close();
        QCOMPARE(f.ends, 1);
    }

    void pageOwnedByTheMainWindow()
    {
        QWidget owner;
        UsableInterfaces interfaces;
        WizardState state { interfaces };
        RecordingPrompts prompts;
        SimulatedClock clock;
        int ends = 0;
        WizardRouter router(
            state, prompts, clock, [] { return false; }, [&] { ++ends; }, &owner);
        router.registerPage(PageId::Wiz03,
            [](WizardRouter& r, QWidget* o) -> WizardPage* { return new StubPage(PageId::Wiz03, r, o); });
        WizardPage* page = router.open(PageId::Wiz03);
        QCOMPARE(page->parentWidget(), &owner);
        QVERIFY(page->isWindow());
        QVERIFY(page->isVisible());
    }
};

QTEST_MAIN(tst_WizardPage)
#include "tst_WizardPage.moc"
