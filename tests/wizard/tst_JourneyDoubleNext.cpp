// A quick second click on Next, on each page that leads to the search page:
// the program started as main() starts it opens one search page, sends its
// query and keeps the discovery object where the next search finds it.
#include "Journey.h"
#include "app/frmMain.h"
#include "wizard/ClickLabel.h"
#include "wizard/frmWiz01.h"
#include "wizard/frmWiz02.h"
#include "wizard/frmWiz06.h"
#include "wizard/frmWiz07.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using Journey::doubleClick;
using Journey::Lan;

namespace {
// Next on the current page until the page of type Page is on screen.
template<class Page> Page* nextUntil(Journey::Run& run)
{
    for (int i = 0; i < 6 && !run.page<Page>(); ++i) {
        WizardPage* page = run.router().visiblePage();
        if (!page)
            return nullptr;
        QTest::mouseClick(page->navButton(WizardPage::Nav::Next), Qt::LeftButton);
        QTest::qWait(20);
    }
    return run.page<Page>();
}
} // namespace

class tst_JourneyDoubleNext : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    void doubleNext_data()
    {
        QTest::addColumn<PageId>("from");
        QTest::addColumn<int>("shape");
        QTest::addColumn<bool>("shift");
        QTest::newRow("welcome page") << PageId::Wiz01 << int(Lan::Shape::Bare) << false;
        QTest::newRow("adaptor page") << PageId::Wiz02 << int(Lan::Shape::TwoInterfaces) << false;
        QTest::newRow("power page") << PageId::Wiz06 << int(Lan::Shape::Bare) << true;
    }
    void doubleNext()
    {
        QFETCH(PageId, from);
        QFETCH(int, shape);
        QFETCH(bool, shift);
        Lan lan;
        QVERIFY2(lan.build(Lan::Shape(shape)), qPrintable(lan.lastError()));
        QVERIFY(lan.startUnits());
        Journey::Run run;
        // Shift held while the welcome page opens offers the cellular road.
        run.shift = shift;
        Journey::inEventLoop([&] {
            run.program.start();
            run.shift = false;
            int searchPages = 0;
            QObject::connect(&run.router(), &WizardRouter::pageShown, qApp, [&searchPages](PageId id) {
                if (id == PageId::Wiz07)
                    ++searchPages;
            });

            WizardPage* page = run.router().visiblePage();
            if (from == PageId::Wiz02) {
                QTest::mouseClick(page->navButton(WizardPage::Nav::Next), Qt::LeftButton);
                auto* adaptor = run.page<frmWiz02>();
                QVERIFY(adaptor);
                adaptor->cbInterfaces->setCurrentIndex(1);
                QCOMPARE(adaptor->lblIP->text(), Journey::kPcAddress);
                page = adaptor;
            } else if (from == PageId::Wiz06) {
                // The Ethernet-and-cellular road, by the text of its choice.
                auto* welcome = run.page<frmWiz01>();
                QVERIFY(welcome && welcome->Label4->isVisible());
                QTest::mouseClick(welcome->Label4, Qt::LeftButton);
                QVERIFY(welcome->Option2->isChecked());
                page = nextUntil<frmWiz06>(run);
                QVERIFY(page);
            }
            QCOMPARE(page->id(), from);

            doubleClick(page->navButton(WizardPage::Nav::Next));
            frmWiz07* search = Journey::waitForUnits(run);
            QVERIFY(search);
            QCOMPARE(searchPages, 1);
            QCOMPARE(Journey::rowTexts(*search), (QStringList { "9", "10" }));
            // Back at rest, where the next search and the unit commands take it.
            frmMain* main = run.program.mainWindow();
            QVERIFY(main->cz());
            QVERIFY(!main->cVerevo());
            QCOMPARE(main->scanResultsView(), search);
            QCOMPARE(run.ends, 0);
        });
    }
};

QTEST_MAIN(tst_JourneyDoubleNext)
#include "tst_JourneyDoubleNext.moc"
