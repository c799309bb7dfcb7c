#include "WizardFixture.h"
#include "app/Twips.h"
#include "wizard/ClickLabel.h"
#include "wizard/frmWiz01.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

Q_DECLARE_METATYPE(PageId)

namespace {
frmWiz01* openWelcome(WizardFixture& f)
{
    return static_cast<frmWiz01*>(f.router->open(PageId::Wiz01));
}
// What the window system tells a page while it is up, as the tests below
// play it.
enum class News { FocusWithShift, ShiftPressed, ShiftReleased, KeyWithShift, WordFromXServer };

void tell(WizardFixture& f, frmWiz01* w, News news)
{
    switch (news) {
    case News::FocusWithShift: {
        f.shift = true;
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(w, &activate);
        break;
    }
    case News::ShiftPressed:
        // The key goes where a person's goes: the focused control.
        QTest::keyPress(w->focusWidget(), Qt::Key_Shift, Qt::ShiftModifier);
        break;
    case News::ShiftReleased:
        QTest::keyRelease(w->focusWidget(), Qt::Key_Shift);
        break;
    case News::KeyWithShift:
        QTest::keyClick(w->focusWidget(), Qt::Key_Control, Qt::ShiftModifier);
        break;
    case News::WordFromXServer: {
        // The X server's note that the keyboard's state changed, as it comes
        // once a window of an X client under Wayland has the keyboard: the
        // page reads the key only after the note has been taken in.
        f.shift = true;
        char note[32] = { 85 };
        qintptr result = 0;
        QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", note, &result);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        break;
    }
    }
}

// Whether the page shows both choices at their design rows, the first one
// still selected.
bool offersBoth(const frmWiz01* w);

// Top-left corner of a control, in twips of the design.
QPoint at(int left, int top)
{
    return QPoint(Twips::toPx(left), Twips::toPx(top));
}

bool offersBoth(const frmWiz01* w)
{
    return w->Option2->isVisible() && w->Label4->isVisible() && w->Option1->pos() == at(1680, 1320)
        && w->Label3->pos() == at(2280, 1560) && w->Option2->pos() == at(1680, 2040)
        && w->Label4->pos() == at(2280, 2280) && w->Option1->isChecked();
}
} // namespace

Q_DECLARE_METATYPE(News)

class tst_frmWiz01 : public QObject {
    Q_OBJECT
private slots:
    void design()
    {
        WizardFixture f;
        f.programPages();
        frmWiz01* w = openWelcome(f);
        QCOMPARE(w->windowTitle(), QStringLiteral("Calvantor Linkwise"));
        QCOMPARE(w->Label1->text(), QStringLiteral("Welcome to the Calvantor Linkwise"));
        QCOMPARE(w->Label1->geometry(), Twips::rect(75, 240, 8775, 495));
        QVERIFY(w->Label1->alignment() & Qt::AlignHCenter);
        QCOMPARE(w->Label2->text(),
            QStringLiteral("This wizard will help you configure your Calvantor router by Ethernet."));
        QCOMPARE(w->Label2->pos(), at(1080, 4320));
        QCOMPARE(w->Label3->text(),
            QStringLiteral("Configure a Calvantor's Ethernet port so you can connect to it from your PC."));
        QCOMPARE(w->Label4->text(),
            QStringLiteral("Configure a Calvantor's Ethernet port and also a connection to a GPRS / Edge / UMTS /  "
                           "HSDPA network."));
        QCOMPARE(w->cmdNext->text(), QStringLiteral("&Next"));
        QCOMPARE(w->cmdNext->pos(), at(7680, 4920));
        QCOMPARE(w->cmdCancel->text(), QStringLiteral("&Cancel"));
        QCOMPARE(w->cmdCancel->pos(), at(6480, 4920));
        // No Back and no Help on the welcome page.
        for (const QPushButton* b : w->findChildren<QPushButton*>())
            QVERIFY(b == w->cmdNext || b == w->cmdCancel);
    }

    void loadWithoutShift()
    {
        WizardFixture f;
        f.programPages();
        frmWiz01* w = openWelcome(f);
        QCOMPARE(w->Option1->pos(), at(1680, 2040));
        QCOMPARE(w->Label3->pos(), at(2280, 2280));
        QVERIFY(w->Option1->isVisible());
        QVERIFY(w->Label3->isVisible());
        QVERIFY(!w->Option2->isVisible());
        QVERIFY(!w->Label4->isVisible());
        QVERIFY(w->Option1->isChecked());
    }

    void loadWithShift()
    {
        WizardFixture f;
        f.programPages();
        f.shift = true;
        frmWiz01* w = openWelcome(f);
        QCOMPARE(w->Option1->pos(), at(1680, 1320));
        QCOMPARE(w->Label3->pos(), at(2280, 1560));
        QCOMPARE(w->Option2->pos(), at(1680, 2040));
        QCOMPARE(w->Label4->pos(), at(2280, 2280));
        QVERIFY(w->Option2->isVisible());
        QVERIFY(w->Label4->isVisible());
        QVERIFY(w->Option1->isChecked());
        QVERIFY(!w->Option2->isChecked());
    }

    // A Shift that the window system reports only once the page is up counts
    // as held while the page opens, and the cellular road then leads on.
    void shiftSeenOnceUp_data()
    {
        QTest::addColumn<News>("news");
        QTest::newRow("keyboard focus arrives with Shift held") << News::FocusWithShift;
        QTest::newRow("Shift pressed on the page") << News::ShiftPressed;
        QTest::newRow("Shift let go on the page") << News::ShiftReleased;
        QTest::newRow("another key typed with Shift held") << News::KeyWithShift;
        QTest::newRow("X server reports the keyboard's state") << News::WordFromXServer;
    }
    void shiftSeenOnceUp()
    {
        QFETCH(News, news);
        WizardFixture f;
        f.stubAll();
        f.programPages();
        QPointer<frmWiz01> w(openWelcome(f));
        QVERIFY(!w->Option2->isVisible());
        QWidget* focused = w->focusWidget();
        tell(f, w, news);
        QVERIFY(offersBoth(w));
        QCOMPARE(w->focusWidget(), focused);
        // Shift gone again: what was offered stays.
        f.shift = false;
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(w, &activate);
        QVERIFY(w->Option2->isVisible());
        w->Option2->click();
        w->cmdNext->click();
        WizardFixture::flushDeletes();
        QCOMPARE(f.state.WizardMode, 0);
        QCOMPARE(pageName(f.currentId()), pageName(PageId::Wiz03));
    }

    // Focus, keys and window-system news without Shift change nothing.
    void newsWithoutShiftKeepsOneChoice()
    {
        WizardFixture f;
        f.programPages();
        frmWiz01* w = openWelcome(f);
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(w, &activate);
        QTest::keyClick(w->focusWidget(), Qt::Key_Control);
        char note[32] = { 85 };
        qintptr result = 0;
        QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", note, &result);
        QCoreApplication::processEvents();
        QVERIFY(!w->Option2->isVisible());
        QCOMPARE(w->Option1->pos(), at(1680, 2040));
        QCOMPARE(w->Label3->pos(), at(2280, 2280));
    }

    // Once the person has acted on the page, a Shift is theirs and the page
    // stays as they see it: the choice under their pointer does not move.
    void shiftAfterTheFirstTouchIsIgnored_data()
    {
        QTest::addColumn<QString>("touch");
        QTest::addColumn<News>("news");
        QTest::newRow("choice clicked, then Shift pressed") << QStringLiteral("Option1") << News::ShiftPressed;
        QTest::newRow("choice's text clicked, then focus with Shift")
            << QStringLiteral("Label3") << News::FocusWithShift;
        QTest::newRow("Cancel answered No, then Shift pressed") << QStringLiteral("cmdCancel") << News::ShiftPressed;
        QTest::newRow("choice clicked, then X server news with Shift")
            << QStringLiteral("Option1") << News::WordFromXServer;
    }
    void shiftAfterTheFirstTouchIsIgnored()
    {
        QFETCH(QString, touch);
        QFETCH(News, news);
        WizardFixture f;
        f.programPages();
        frmWiz01* w = openWelcome(f);
        f.prompts.answers = { false };
        QWidget* target = w->findChild<QWidget*>(touch);
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton);
        tell(f, w, news);
        QVERIFY(!w->Option2->isVisible());
        QCOMPARE(w->Option1->pos(), at(1680, 2040));
        QVERIFY(w->Option1->isChecked());
        QCOMPARE(f.ends, 0);
    }

    void labelsSelectTheirOptions()
    {
        WizardFixture f;
        f.programPages();
        f.shift = true;
        frmWiz01* w = openWelcome(f);
        QTest::mouseClick(w->Label4, Qt::LeftButton);
        QVERIFY(w->Option2->isChecked());
        QVERIFY(!w->Option1->isChecked());
        QTest::mouseClick(w->Label3, Qt::LeftButton);
        QVERIFY(w->Option1->isChecked());
    }

    void next_data()
    {
        QTest::addColumn<bool>("shift");
        QTest::addColumn<bool>("cellular");
        QTest::addColumn<int>("adapters");
        QTest::addColumn<int>("mode");
        QTest::addColumn<PageId>("to");
        QTest::newRow("no shift, one adapter: search, ethernet") << false << false << 1 << 1 << PageId::Wiz07;
        QTest::newRow("no shift, two adapters: adaptor page") << false << false << 2 << 1 << PageId::Wiz02;
        QTest::newRow("shift, ethernet kept, one adapter: search") << true << false << 1 << 1 << PageId::Wiz07;
        QTest::newRow("shift, cellular, one adapter: SIM page") << true << true << 1 << 0 << PageId::Wiz03;
        QTest::newRow("shift, cellular, two adapters: adaptor page") << true << true << 2 << 0 << PageId::Wiz02;
    }
    void next()
    {
        QFETCH(bool, shift);
        QFETCH(bool, cellular);
        QFETCH(int, adapters);
        QFETCH(int, mode);
        QFETCH(PageId, to);
        WizardFixture f(adapters);
        f.stubAll();
        f.programPages();
        f.shift = shift;
        f.state.WizardMode = 7;
        QPointer<frmWiz01> w(openWelcome(f));
        if (cellular)
            w->Option2->click();
        w->cmdNext->click();
        WizardFixture::flushDeletes();
        QCOMPARE(f.state.WizardMode, mode);
        QCOMPARE(pageName(f.currentId()), pageName(to));
        QVERIFY(!w);
        QCOMPARE(f.ends, 0);
        QVERIFY(f.prompts.boxes.isEmpty());
    }

    void nextWithoutSelection()
    {
        WizardFixture f;
        f.stubAll();
        f.programPages();
        f.state.WizardMode = 5;
        frmWiz01* w = openWelcome(f);
        w->Option1->setAutoExclusive(false);
        w->Option1->setChecked(false);
        w->cmdNext->click();
        WizardFixture::flushDeletes();
        QCOMPARE(f.currentId(), PageId::Wiz01);
        QCOMPARE(f.state.WizardMode, 5);
        QVERIFY(!w->navigating());
        QCOMPARE(f.prompts.boxes.size(), 1);
        QCOMPARE(f.prompts.boxes[0].text, QStringLiteral("You must make a selection before clicking Next"));
        QCOMPARE(f.prompts.boxes[0].title, QStringLiteral("Make a selection first!"));
        QCOMPARE(f.prompts.boxes[0].icon, UserPrompts::Icon::Information);
        w->close();
        QCOMPARE(f.ends, 1);
    }

    void cancelAnsweredNo()
    {
        WizardFixture f;
        f.stubAll();
        f.programPages();
        f.shift = true;
        f.state.WizardMode = 3;
        f.state.UnitIP = QStringLiteral("198.51.100.7");
        frmWiz01* w = openWelcome(f);
        w->Option2->click();
        f.prompts.answers = { false };
        w->cmdCancel->click();
        QCOMPARE(f.ends, 0);
        QCOMPARE(f.prompts.boxes.size(), 1);
        QCOMPARE(f.prompts.boxes[0].text, QStringLiteral("Are you sure you want to exit the Calvantor Linkwise?"));
        QVERIFY(f.prompts.boxes[0].question);
        QVERIFY(f.prompts.boxes[0].title.isEmpty());
        QCOMPARE(f.currentId(), PageId::Wiz01);
        QVERIFY(w->isVisible());
        QVERIFY(w->Option2->isChecked());
        QVERIFY(!w->navigating());
        QCOMPARE(f.state.WizardMode, 3);
        QCOMPARE(f.state.UnitIP, QStringLiteral("198.51.100.7"));
    }

    void cancelAnsweredYes()
    {
        WizardFixture f;
        f.programPages();
        frmWiz01* w = openWelcome(f);
        f.prompts.answers = { true };
        w->cmdCancel->click();
        QCOMPARE(f.ends, 1);
    }

    void closeBoxEndsTheRun()
    {
        WizardFixture f;
        f.programPages();
        openWelcome(f)->close();
        QCOMPARE(f.ends, 1);
    }

    // Back to the welcome page tests Shift anew: without it only Ethernet is offered.
    void comingBackTestsShiftAgain()
    {
        WizardFixture f;
        f.programPages();
        f.shift = true;
        frmWiz01* w = openWelcome(f);
        w->Option2->click();
        w->cmdNext->click();
        WizardFixture::flushDeletes();
        QCOMPARE(f.currentId(), PageId::Wiz03);
        QCOMPARE(f.state.WizardMode, 0);
        f.shift = false;
        f.router->current()->findChild<QPushButton*>(QStringLiteral("cmdBack"))->click();
        WizardFixture::flushDeletes();
        QCOMPARE(f.currentId(), PageId::Wiz01);
        auto* again = static_cast<frmWiz01*>(f.router->current());
        QVERIFY(!again->Option2->isVisible());
        QVERIFY(again->Option1->isChecked());
        QCOMPARE(again->Option1->pos(), at(1680, 2040));
        QCOMPARE(f.ends, 0);
    }
};

QTEST_MAIN(tst_frmWiz01)
#include "tst_frmWiz01.moc"
