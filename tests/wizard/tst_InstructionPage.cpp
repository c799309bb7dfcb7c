#include "WizardFixture.h"
#include "app/Twips.h"
#include "net/ClockTimer.h"
#include "wizard/frmWiz03.h"
#include "wizard/frmWiz04.h"
#include "wizard/frmWiz05.h"
#include "wizard/frmWiz06.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

Q_DECLARE_METATYPE(PageId)

class tst_InstructionPage : public QObject {
    Q_OBJECT
private slots:
    void texts_data()
    {
        QTest::addColumn<PageId>("page");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QStringList>("texts");
        using enum PageId;
        QTest::newRow("frmWiz03 SIM")
            << Wiz03 << QStringList { "lblTitle", "Label2", "Label3", "Label1", "Label4" }
            << QStringList { "Insert the GPRS\\Edge\\3G enabled SIM", "1) Ensure that the Calvantor is powered off. ",
                   "2) Insert the SIM with contacts facing downards, notched corner first. If you",
                   "have a unit with two SIM slots, use the top SIM slot.", "3) Click &Next." };
        QTest::newRow("frmWiz04 cable")
            << Wiz04 << QStringList { "lblTitle", "Label1", "Label4", "Label3" }
            << QStringList { "Connect the Ethernet cable",
                   "Connect the Ethernet cable to the port labelled \"LAN\" or \"LAN 0\" on the rear",
                   "of the Calvantor. The other end of the Ethernet cable must be plugged into",
                   "a hub or switch to which your PC is also connected." };
        QTest::newRow("frmWiz05 aerial") << Wiz05 << QStringList { "lblTitle", "Label1", "Label4" }
                                         << QStringList { "Connect the Aerial",
                                                "1) Connect the Aerial to the port labelled Aerial, GPRS, Edge or 3G.",
                                                "2) Click &Next." };
        QTest::newRow("frmWiz06 power") << Wiz06 << QStringList { "lblTitle", "Label1", "Label4", "Label3", "Label2" }
                                        << QStringList { "Connect the PSU",
                                               "1) Connect the power adaptor to the port labelled DC.",
                                               "2) Plug the power adaptor into the mains supply.",
                                               "3) Wait for the GSM LED to start flashing if there is one.",
                                               "4) Click &Next." };
    }
    // Texts, and the steps standing one under another in the order given.
    void texts()
    {
        QFETCH(PageId, page);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, texts);
        WizardFixture f;
        f.programPages();
        WizardPage* w = f.router->open(page);
        int lastTop = -1;
        for (int i = 0; i < labels.size(); ++i) {
            auto* label = w->findChild<QLabel*>(labels[i]);
            QVERIFY2(label, qPrintable(labels[i]));
            QCOMPARE(label->text(), texts[i]);
            QVERIFY(label->isVisible());
            QVERIFY2(label->y() > lastTop, qPrintable(labels[i]));
            // Every line fits its label at the page's font.
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(), qPrintable(labels[i]));
            QVERIFY(label->geometry().right() < w->width());
            lastTop = label->y();
        }
        QVERIFY(w->findChild<QLabel*>("Image1"));
        for (const char* name : { "cmdNext", "cmdBack", "cmdCancel" })
            QVERIFY(w->findChild<QPushButton*>(name));
        QCOMPARE(w->findChild<QPushButton*>("cmdNext")->text(), QStringLiteral("&Next"));
        QCOMPARE(w->findChild<QPushButton*>("cmdBack")->text(), QStringLiteral("&Back"));
        QCOMPARE(w->findChild<QPushButton*>("cmdCancel")->text(), QStringLiteral("&Cancel"));
    }

    void stepsStartAt3600AndIndentTheSecondLine()
    {
        WizardFixture f;
        f.programPages();
        auto* w = static_cast<frmWiz03*>(f.router->open(PageId::Wiz03));
        QCOMPARE(w->Label2->pos(), QPoint(Twips::toPx(840), Twips::toPx(3600)));
        QCOMPARE(w->Label1->x(), Twips::toPx(1110));
    }

    void blink_data()
    {
        QTest::addColumn<PageId>("page");
        QTest::addColumn<QString>("blinking");
        QTest::addColumn<QStringList>("still");
        QTest::newRow("frmWiz04 cable") << PageId::Wiz04 << "imageEth" << QStringList {};
        QTest::newRow("frmWiz05 aerial") << PageId::Wiz05 << "imageAnt" << QStringList { "imageEth" };
        QTest::newRow("frmWiz06 power") << PageId::Wiz06 << "imagePwr" << QStringList { "imageEth", "imageAnt" };
    }
    // Once a second: three seconds left alone change the picture three times.
    void blink()
    {
        QFETCH(PageId, page);
        QFETCH(QString, blinking);
        QFETCH(QStringList, still);
        WizardFixture f;
        f.programPages();
        WizardPage* w = f.router->open(page);
        auto* picture = w->findChild<QLabel*>(blinking);
        QVERIFY(picture);
        QVERIFY(picture->isVisible());
        QList<bool> seen;
        for (int i = 0; i < 6; ++i) {
            f.clock.advance(500);
            seen << picture->isVisible();
        }
        QCOMPARE(seen, (QList<bool> { true, false, false, true, true, false }));
        for (const QString& name : still) {
            auto* other = w->findChild<QLabel*>(name);
            QVERIFY(other);
            QVERIFY(other->isVisible());
        }
    }

    void noBlinkOnTheSimPage()
    {
        WizardFixture f;
        f.programPages();
        auto* w = static_cast<frmWiz03*>(f.router->open(PageId::Wiz03));
        QVERIFY(!w->Timer1);
        QVERIFY(!w->findChild<ClockTimer*>());
    }

    // The blinking starts anew with each load and stops with the unload.
    void blinkingLivesWithThePage()
    {
        WizardFixture f;
        f.programPages();
        auto* first = static_cast<frmWiz04*>(f.router->open(PageId::Wiz04));
        f.clock.advance(1000);
        QVERIFY(first->imageEth->isHidden());
        first->cmdNext->click();
        WizardFixture::flushDeletes();
        QCOMPARE(f.currentId(), PageId::Wiz05);
        f.clock.advance(3000); // nothing left of the cable page's timer may fire
        static_cast<frmWiz05*>(f.router->current())->cmdBack->click();
        WizardFixture::flushDeletes();
        auto* again = static_cast<frmWiz04*>(f.router->current());
        QCOMPARE(again->id(), PageId::Wiz04);
        QVERIFY(!again->imageEth->isHidden());
        QVERIFY(again->Timer1->isActive());
        QCOMPARE(again->Timer1->interval(), 1000);
        f.clock.advance(1000);
        QVERIFY(again->imageEth->isHidden());
    }

    // Next from the SIM page and Back again, then the close box, ends the run.
    void nextBackThenCloseEnds()
    {
        WizardFixture f;
        f.programPages();
        auto* sim = static_cast<frmWiz03*>(f.router->open(PageId::Wiz03));
        sim->cmdNext->click();
        WizardFixture::flushDeletes();
        static_cast<frmWiz04*>(f.router->current())->cmdBack->click();
        WizardFixture::flushDeletes();
        QCOMPARE(f.currentId(), PageId::Wiz03);
        QCOMPARE(f.ends, 0);
        f.router->current()->close();
        QCOMPARE(f.ends, 1);
    }

    void backFromSimWithTwoAdapters()
    {
        WizardFixture f(2);
        f.stubAll();
        f.programPages();
        static_cast<frmWiz03*>(f.router->open(PageId::Wiz03))->cmdBack->click();
        WizardFixture::flushDeletes();
        QCOMPARE(f.currentId(), PageId::Wiz02);
    }

    void cancel_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("answered no") << false;
        QTest::newRow("answered yes") << true;
    }
    void cancel()
    {
        QFETCH(bool, yes);
        WizardFixture f;
        f.programPages();
        auto* w = static_cast<frmWiz06*>(f.router->open(PageId::Wiz06));
        f.prompts.answers = { yes };
        w->cmdCancel->click();
        QCOMPARE(f.prompts.texts(), QStringList { "Are you sure you want to exit the Calvantor Linkwise?" });
        QCOMPARE(f.ends, yes ? 1 : 0);
        QCOMPARE(f.currentId(), PageId::Wiz06);
        QVERIFY(!w->navigating());
    }

    void nextFromPowerGoesToTheSearchPage()
    {
        WizardFixture f;
        f.programPages();
        QPointer<frmWiz06> w = static_cast<frmWiz06*>(f.router->open(PageId::Wiz06));
        w->cmdNext->click();
        WizardFixture::flushDeletes();
        QCOMPARE(f.currentId(), PageId::Wiz07);
        QVERIFY(f.prompts.texts().isEmpty());
        QVERIFY(!w);
        QCOMPARE(f.ends, 0);
    }
};

QTEST_MAIN(tst_InstructionPage)
#include "tst_InstructionPage.moc"
