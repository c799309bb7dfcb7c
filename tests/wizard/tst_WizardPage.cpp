#include "WizardFixture.h"
#include "wizard/Twips.h"

#include <QPointer>
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

    void twipsAt96Dpi()
    {
        if (!qFuzzyCompare(Twips::pixelsPerTwip(), 96.0 / 1440.0))
            QSKIP("screen is not at 96 dpi");
        QCOMPARE(Twips::toPx(15), 1);
        QCOMPARE(Twips::toPx(8925), 595);
        QCOMPARE(Twips::toPx(5445), 363);
        QCOMPARE(Twips::rect(1680, 2040, 375, 735), QRect(112, 136, 25, 49));
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

    void missingTargetKeepsThePage()
    {
        WizardFixture f;
        f.stub(PageId::Wiz03);
        auto* page = static_cast<StubPage*>(f.router->open(PageId::Wiz03));
        QPointer<StubPage> alive(page);
        QVERIFY(!page->press(Button::Next));
        WizardFixture::flushDeletes();
        QVERIFY(alive);
        QVERIFY(page->isVisible());
        QVERIFY(!page->navigating());
        QCOMPARE(f.prompts.boxes.size(), 1);
        QCOMPARE(f.prompts.boxes[0].text, QStringLiteral("This step of the wizard is not yet available."));
        QCOMPARE(f.prompts.boxes[0].icon, UserPrompts::Icon::Exclamation);
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
