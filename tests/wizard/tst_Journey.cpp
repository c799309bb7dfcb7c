// The wizard as a person meets it: the program started as main() starts it,
// on a PC whose only way to the unit is the Ethernet link it is cabled to,
// driven by clicks and by answers given in real message boxes.
#include "Journey.h"
#include "app/frmMain.h"
#include "unit/CQarUnitInfo.h"
#include "unit/clsUnitQuerier.h"
#include "wizard/frmWiz01.h"
#include "wizard/frmWiz02.h"
#include "wizard/frmWiz07.h"
#include "wizard/frmWiz08.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <memory>

using Journey::Box;
using Journey::BoxAnswer;
using Journey::choose;
using Journey::Lan;
using Journey::rowTexts;
using Journey::waitForUnits;

namespace {
// Presses button and answers the box it opens; the box is returned as seen.
Box pressAndAnswer(QAbstractButton* button, QMessageBox::StandardButton answer)
{
    Box box;
    BoxAnswer hand(answer, box);
    QTest::mouseClick(button, Qt::LeftButton);
    return box;
}

// Whatever a closing box set off has had its turn.
void settle()
{
    QTest::qWait(100);
}
} // namespace

class tst_Journey : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    // Welcome, the search over a bare LAN, and every box on the way keeps the
    // page it was asked on; only the close box ends the run.
    void bareLan()
    {
        Lan lan;
        QVERIFY2(lan.build(Lan::Shape::Bare), qPrintable(lan.lastError()));
        QTemporaryDir logDir;
        const QString commandLog = logDir.filePath(QStringLiteral("commands.log"));
        QVERIFY(lan.startUnits({ "--command-log", commandLog }));
        Journey::Run run;
        Journey::inEventLoop([&] { walkBareLan(run, commandLog); });
    }

    // The search goes out on the LAN whatever else the PC has: a VPN that
    // holds the default route, or a second adaptor (listed first) that the
    // person passes over on the adaptor page.
    void searchGoesOutOnTheLan_data()
    {
        QTest::addColumn<int>("shape");
        QTest::newRow("default route through a VPN tunnel") << int(Lan::Shape::TunnelDefaultRoute);
        QTest::newRow("two adaptors, the unit on the second") << int(Lan::Shape::TwoInterfaces);
    }
    void searchGoesOutOnTheLan()
    {
        QFETCH(int, shape);
        Lan lan;
        QVERIFY2(lan.build(Lan::Shape(shape)), qPrintable(lan.lastError()));
        QVERIFY(lan.startUnits());
        Journey::Run run;
        Journey::inEventLoop([&] {
            run.program.start();
            auto* welcome = run.page<frmWiz01>();
            QVERIFY(welcome);
            QPoint where = welcome->pos();
            QTest::mouseClick(welcome->cmdNext, Qt::LeftButton);
            if (auto* adaptor = run.page<frmWiz02>()) {
                QCOMPARE(adaptor->pos(), where);
                QCOMPARE(adaptor->cbInterfaces->count(), 2);
                // The first, preselected entry would not find the unit.
                QCOMPARE(pickInterface(*adaptor, Journey::kPcAddress), 1);
                where = adaptor->pos();
                QTest::mouseClick(adaptor->cmdNext, Qt::LeftButton);
            }
            frmWiz07* search = waitForUnits(run);
            QVERIFY(search);
            QCOMPARE(search->pos(), where);
            QCOMPARE(rowTexts(*search), (QStringList { "9", "10" }));
            QCOMPARE(run.ends, 0);
            search->close();
            QCOMPARE(run.ends, 1);
        });
    }

    // Units whose pings go unanswered, each ping holding the program for its
    // time-out: while a unit is pinged, its row is on screen with its serial
    // number alone under the rows done before it, and the status line names
    // it. What the list and the line showed is read as they paint. Rows that
    // fall below the visible part of the list are not looked for.
    void eachRowShowsWhileItsUnitIsPinged_data()
    {
        QTest::addColumn<int>("units");
        QTest::newRow("three units") << 3;
        QTest::newRow("more units than the list shows") << 16;
    }
    void eachRowShowsWhileItsUnitIsPinged()
    {
        QFETCH(int, units);
        Lan lan;
        QVERIFY2(lan.build(Lan::Shape::Bare), qPrintable(lan.lastError()));
        // Serials from 9 up at addresses nobody holds.
        QVERIFY(lan.startUnits({ "--count", QString::number(units), "--ip", "198.51.100.75" }));
        Journey::Run run;
        run.store.setValue(QStringLiteral("Settings/PingTimeout"), QStringLiteral("100"));
        run.store.sync();
        Journey::inEventLoop([&] {
            run.program.start();
            std::unique_ptr<PaintedSearch> painted;
            QObject::connect(&run.router(), &WizardRouter::pageShown, qApp, [&](PageId id) {
                if (id == PageId::Wiz07)
                    painted = std::make_unique<PaintedSearch>(*static_cast<frmWiz07*>(run.router().page(id)));
            });
            auto* welcome = run.page<frmWiz01>();
            QVERIFY(welcome);
            QTest::mouseClick(welcome->cmdNext, Qt::LeftButton);
            frmWiz07* search = waitForUnits(run);
            QVERIFY(search);
            QVERIFY(painted);
            QCOMPARE(rowTexts(*search).size(), units);
            QCOMPARE(search->lvUnits->topLevelItem(units - 1)->text(4), QStringLiteral("No"));
            QStringList inView;
            for (int i = 0; i < units; ++i) {
                QTreeWidgetItem* row = search->lvUnits->topLevelItem(i);
                if (search->lvUnits->visualItemRect(row).top() < search->lvUnits->viewport()->height())
                    inView << row->text(0);
            }
            QVERIFY(inView.size() >= 3);
            if (units > 3)
                QVERIFY2(inView.size() < units, "the list shows every row: no test of the rows below it");
            QCOMPARE(painted->whilePinged, inView);
            search->close();
        });
    }

private:
    // Notes, each time the search page's list or status line paints, which
    // unit (if any) is shown being pinged: the line names it, its row is the
    // last one and shows its serial number alone, the rows above it are
    // complete.
    class PaintedSearch : public QObject {
    public:
        explicit PaintedSearch(frmWiz07& page)
            : m_page(page)
        {
            page.lvUnits->viewport()->installEventFilter(this);
            page.lblStatus->installEventFilter(this);
        }
        QStringList whilePinged;

    protected:
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() != QEvent::Paint)
                return false;
            if (watched == m_page.lblStatus) {
                m_status = m_page.lblStatus->text();
            } else {
                m_rows.clear();
                for (int i = 0; i < m_page.lvUnits->topLevelItemCount(); ++i) {
                    QStringList columns;
                    for (int c = 0; c < 5; ++c)
                        columns << m_page.lvUnits->topLevelItem(i)->text(c);
                    m_rows << columns;
                }
            }
            if (m_rows.isEmpty())
                return false;
            const QStringList last = m_rows.last();
            const QString serial = last[0];
            bool alone = true;
            for (int c = 1; c < 5; ++c)
                alone = alone && last[c].isEmpty();
            for (qsizetype i = 0; i + 1 < m_rows.size(); ++i)
                alone = alone && !m_rows[i][1].isEmpty() && m_rows[i][4] == u"No";
            if (alone && m_status.startsWith(QStringLiteral("Pinging Unit SN: ") + serial + QStringLiteral(" with"))
                && !whilePinged.contains(serial))
                whilePinged << serial;
            return false;
        }

    private:
        frmWiz07& m_page;
        QList<QStringList> m_rows;
        QString m_status;
    };

    void walkBareLan(Journey::Run& run, const QString& commandLog)
    {
        run.program.start();
        auto* welcome = run.page<frmWiz01>();
        QVERIFY(welcome);
        QVERIFY(QTest::qWaitForWindowExposed(welcome));

        // Cancel, then No: the page and its choice stay, the run goes on.
        Box box = pressAndAnswer(welcome->cmdCancel, QMessageBox::No);
        QVERIFY(box.seen);
        QCOMPARE(box.text, QStringLiteral("Are you sure you want to exit the Calvantor Linkwise?"));
        QCOMPARE(box.title, QStringLiteral("Linkwise"));
        QCOMPARE(box.over.data(), welcome);
        QVERIFY(Journey::centredOver(box.geometry, welcome->frameGeometry()));
        settle();
        QCOMPARE(run.ends, 0);
        QCOMPARE(run.router().visiblePage(), welcome);
        QVERIFY(welcome->Option1->isChecked());

        // Windows of the main window's own tools (a terminal, the About box)
        // have no owner; one closing is no ending either.
        {
            QWidget tool;
            tool.show();
            QVERIFY(QTest::qWaitForWindowExposed(&tool));
            tool.close();
            settle();
            QCOMPARE(run.ends, 0);
            QCOMPARE(run.router().visiblePage(), welcome);
        }

        // Next: the search page takes the welcome page's place and finds both units.
        const QPoint where = welcome->pos();
        QTest::mouseClick(welcome->cmdNext, Qt::LeftButton);
        frmWiz07* search = waitForUnits(run);
        QVERIFY(search);
        QCOMPARE(search->pos(), where);
        QCOMPARE(search->lblTitle->text(), QStringLiteral("2 Calvantor units were located!"));
        QCOMPARE(rowTexts(*search), (QStringList { "9", "10" }));
        QCOMPARE(search->lvUnits->topLevelItem(1)->text(4), QStringLiteral("Yes"));

        box = pressAndAnswer(search->cmdCancel, QMessageBox::No);
        QVERIFY(box.seen);
        settle();
        QCOMPARE(run.ends, 0);
        QCOMPARE(run.router().visiblePage(), search);
        QCOMPARE(rowTexts(*search), (QStringList { "9", "10" }));

        // A refused unit: OK on the box keeps the page, and another unit may be chosen.
        choose(*search, QStringLiteral("9"));
        box = pressAndAnswer(search->cmdNext, QMessageBox::Ok);
        QCOMPARE(box.text, QStringLiteral("This unit has no serial number therefore you may not RURA it!"));
        QCOMPARE(box.over.data(), search);
        QVERIFY(Journey::centredOver(box.geometry, search->frameGeometry()));
        settle();
        QCOMPARE(run.ends, 0);
        QCOMPARE(run.router().visiblePage(), search);
        QVERIFY(search->isEnabled());
        QVERIFY(search->cmdNext->isEnabled());

        // The unit that may be configured: the option page takes over and
        // first asks about the factory reset, over itself.
        choose(*search, QStringLiteral("10"));
        box = pressAndAnswer(search->cmdNext, QMessageBox::No);
        QCOMPARE(box.text,
            QStringLiteral("Do you want to reset the Calvantor to the factory default configuration before continuing "
                           "with the Wizard?"));
        auto* options = run.page<frmWiz08>();
        QVERIFY(options);
        QCOMPARE(box.over.data(), options);
        QCOMPARE(options->pos(), where);
        QTRY_VERIFY_WITH_TIMEOUT(options->isEnabled(), 20000);
        QCOMPARE(run.ends, 0);
        QCOMPARE(run.program.wizardState().CurrentUnit->Serial(), QStringLiteral("10"));

        // The unit commands take the PPP instance the settings hold now, and
        // reach the chosen unit over the same link.
        run.program.settings().GPRSPPP = QStringLiteral("3");
        const auto unit = run.program.wizardState().CurrentUnit;
        QVERIFY(unit->cuq());
        clsVerevo* resting = run.program.mainWindow()->cz();
        QVERIFY(resting);
        unit->cuq()->GetPPPStatus(unit->Serial(), *resting);
        QFile log(commandLog);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY2(log.readAll().contains("10\tppp 3 status"), "the unit never heard \"ppp 3 status\"");

        // The close box is one of the ways out.
        options->close();
        QCOMPARE(run.ends, 1);
    }

    // Goes through the list as a person reads it, stopping at the entry
    // whose address is the one wanted.
    static int pickInterface(frmWiz02& page, const QString& address)
    {
        for (int i = 0; i < page.cbInterfaces->count(); ++i) {
            page.cbInterfaces->setCurrentIndex(i);
            if (page.lblIP->text() == address)
                return i;
        }
        return -1;
    }
};

QTEST_MAIN(tst_Journey)
#include "tst_Journey.moc"
