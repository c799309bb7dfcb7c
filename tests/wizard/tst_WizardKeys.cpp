// The keyboard on every page: Alt+letter presses the button
// with that key (the step labels that name the key do not take it), Return
// presses the focused button, or the default one when the focus is on a list
// or a choice, and Escape asks the exit question.
#include "ScanPageRig.h"
#include "SimulatedClock.h"
#include "WizardFixture.h"
#include "wizard/StepLabel.h"

#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QTest>

namespace {
const QByteArray kPcMac = QByteArray::fromHex("02005e0000a1");

// One page of the wizard on screen and active, in the surroundings it needs.
struct Stage {
    SimulatedClock clock;
    std::unique_ptr<WizardFixture> plain;
    std::unique_ptr<ScanPageRig> scan;
    ScriptedDiscovery* discovery = nullptr;
    WizardPage* page = nullptr;

    // units: what the search finds (the search page only).
    Stage(PageId id, int units)
    {
        if (id == PageId::Wiz02 || id == PageId::Wiz07) {
            scan = std::make_unique<ScanPageRig>(clock);
            scan->addInterface(QStringLiteral("198.51.100.1"), QStringLiteral("255.255.255.0"), kPcMac, 2);
            if (id == PageId::Wiz02)
                scan->addInterface(QStringLiteral("203.0.113.1"), QStringLiteral("255.255.255.0"),
                    QByteArray::fromHex("02005e0000a2"), 3);
            scan->state.WizardMode = 1;
            scan->build([this, units] {
                auto d = std::make_unique<ScriptedDiscovery>(clock);
                for (int i = 0; i < units; ++i)
                    d->answers << ScriptedDiscovery::Answer { QByteArray::fromHex("0050c2aa0001"),
                        QString::number(61000 + i), QStringLiteral("198.51.100.20") };
                discovery = d.get();
                return d;
            });
            page = id == PageId::Wiz07 ? scan->openSearch() : scan->router->open(id);
            if (id == PageId::Wiz07)
                scan->waitForResults();
        } else {
            plain = std::make_unique<WizardFixture>(1);
            plain->stubAll();
            plain->programPages();
            page = plain->router->open(id);
        }
        page->activateWindow();
    }

    WizardRouter& router() { return plain ? *plain->router : *scan->router; }
    RecordingPrompts& prompts() { return plain ? plain->prompts : scan->prompts; }
    PageId visibleId() { return router().visiblePage() ? router().visiblePage()->id() : PageId::EndProgram; }
};

QImage render(QLabel& label)
{
    label.resize(label.sizeHint());
    return label.grab().toImage();
}
} // namespace

class tst_WizardKeys : public QObject {
    Q_OBJECT
private slots:
    void keys_data()
    {
        QTest::addColumn<PageId>("page");
        QTest::addColumn<int>("units");
        QTest::addColumn<QString>("focus"); // object name; empty: as the page opened
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<PageId>("shownAfter");
        QTest::addColumn<bool>("asksToExit");
        QTest::addColumn<int>("queries"); // queries the search sent in all (a search page reached counts)

        const int alt = Qt::AltModifier;
        const int none = Qt::NoModifier;
        using enum PageId;
        // clang-format off
        QTest::newRow("welcome: Alt+N")                  << Wiz01 << 0 << "" << int(Qt::Key_N) << alt << Wiz07 << false << 0;
        QTest::newRow("welcome: Return as it opens")     << Wiz01 << 0 << "" << int(Qt::Key_Return) << none << Wiz07 << false << 0;
        QTest::newRow("welcome: Return on the choice")   << Wiz01 << 0 << "Option1" << int(Qt::Key_Return) << none << Wiz07 << false << 0;
        QTest::newRow("welcome: Return on Cancel")       << Wiz01 << 0 << "cmdCancel" << int(Qt::Key_Return) << none << Wiz01 << true << 0;
        QTest::newRow("welcome: Escape")                 << Wiz01 << 0 << "" << int(Qt::Key_Escape) << none << Wiz01 << true << 0;
        QTest::newRow("adaptor: Alt+N")                  << Wiz02 << 0 << "" << int(Qt::Key_N) << alt << Wiz07 << false << 1;
        QTest::newRow("adaptor: Alt+B")                  << Wiz02 << 0 << "" << int(Qt::Key_B) << alt << Wiz01 << false << 0;
        QTest::newRow("adaptor: Return on the list")     << Wiz02 << 0 << "cbInterfaces" << int(Qt::Key_Return) << none << Wiz07 << false << 1;
        QTest::newRow("adaptor: Return on Back")         << Wiz02 << 0 << "cmdBack" << int(Qt::Key_Return) << none << Wiz01 << false << 0;
        QTest::newRow("SIM page: Alt+N")                 << Wiz03 << 0 << "" << int(Qt::Key_N) << alt << Wiz04 << false << 0;
        QTest::newRow("SIM page: Return")                << Wiz03 << 0 << "" << int(Qt::Key_Return) << none << Wiz04 << false << 0;
        QTest::newRow("cable page: Alt+N")               << Wiz04 << 0 << "" << int(Qt::Key_N) << alt << Wiz05 << false << 0;
        QTest::newRow("cable page: Return on Back")      << Wiz04 << 0 << "cmdBack" << int(Qt::Key_Return) << none << Wiz03 << false << 0;
        QTest::newRow("aerial page: Alt+N")              << Wiz05 << 0 << "" << int(Qt::Key_N) << alt << Wiz06 << false << 0;
        QTest::newRow("aerial page: Return")             << Wiz05 << 0 << "" << int(Qt::Key_Return) << none << Wiz06 << false << 0;
        QTest::newRow("power page: Alt+N")               << Wiz06 << 0 << "" << int(Qt::Key_N) << alt << Wiz07 << false << 0;
        QTest::newRow("power page: Return")              << Wiz06 << 0 << "" << int(Qt::Key_Return) << none << Wiz07 << false << 0;
        QTest::newRow("search, found: Alt+N")            << Wiz07 << 2 << "" << int(Qt::Key_N) << alt << Wiz08 << false << 1;
        QTest::newRow("search, found: Return on list")   << Wiz07 << 2 << "lvUnits" << int(Qt::Key_Return) << none << Wiz08 << false << 1;
        QTest::newRow("search, found: Return on Cancel") << Wiz07 << 2 << "cmdCancel" << int(Qt::Key_Return) << none << Wiz07 << true << 1;
        QTest::newRow("search, none: Alt+R")             << Wiz07 << 0 << "" << int(Qt::Key_R) << alt << Wiz07 << false << 2;
        QTest::newRow("search, none: Return on Retry")   << Wiz07 << 0 << "" << int(Qt::Key_Return) << none << Wiz07 << false << 2;
        QTest::newRow("search, none: Alt+N does nothing") << Wiz07 << 0 << "" << int(Qt::Key_N) << alt << Wiz07 << false << 1;
        // clang-format on
    }
    void keys()
    {
        QFETCH(PageId, page);
        QFETCH(int, units);
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(PageId, shownAfter);
        QFETCH(bool, asksToExit);
        QFETCH(int, queries);

        Stage stage(page, units);
        QVERIFY(QTest::qWaitForWindowActive(stage.page));
        if (!focus.isEmpty()) {
            auto* target = stage.page->findChild<QWidget*>(focus);
            QVERIFY(target);
            target->setFocus(Qt::TabFocusReason);
        }
        QWidget* receiver = QApplication::focusWidget() ? QApplication::focusWidget() : stage.page;
        QTest::keyClick(receiver, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        // Alt+letter presses the button as a click with its 100 ms press.
        QTest::qWait(250);
        QCOMPARE(stage.visibleId(), shownAfter);
        QCOMPARE(stage.prompts().texts(), asksToExit ? QStringList { WizardPage::exitQuestion() } : QStringList());
        if (stage.discovery)
            QCOMPARE(stage.discovery->queries, queries);
    }

    // "3) Click &Next." underlines the N and shows no '&'.
    void stepLabelShowsTheKeyUnderlined()
    {
        StepLabel step(QStringLiteral("3) Click &Next."));
        QCOMPARE(step.text(), QStringLiteral("3) Click &Next."));
        QVERIFY(!step.buddy());
        QLabel literal(QStringLiteral("3) Click &Next."));
        literal.setTextFormat(Qt::PlainText);
        StepLabel bare(QStringLiteral("3) Click Next."));
        const QImage shown = render(step);
        QVERIFY(shown != render(literal));
        const QImage withoutKey = render(bare);
        QCOMPARE(shown.size().height(), withoutKey.size().height());
        QVERIFY(shown.copy(QRect(QPoint(), withoutKey.size())) != withoutKey);
    }
};

QTEST_MAIN(tst_WizardKeys)
#include "tst_WizardKeys.moc"
