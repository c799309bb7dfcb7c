// The Ethernet-and-cellular road as a person takes it: the program started as
// main() starts it on a bare LAN, Shift held as the welcome page opens, the
// instruction pages, the search, the option page, the cellular settings typed
// with the keyboard and the unit configured and its link tested.
#include "Journey.h"
#include "WizardFixture.h"
#include "wizard/frmWiz01.h"
#include "wizard/frmWiz07.h"
#include "wizard/frmWiz09.h"
#include "wizard/frmWiz10.h"

#include <QFile>
#include <QLineEdit>
#include <QRadioButton>

using Journey::Box;
using Journey::BoxAnswer;
using Journey::Lan;

namespace {
// The lines unit 10 received, in order.
QStringList unitLines(const QString& commandLog)
{
    QFile f(commandLog);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList out;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith("10\t"))
            out << QString::fromLatin1(l.mid(3));
    return out;
}

// Stands in for the configuration-option page: leaves what that page leaves
// for a reachable unit the person configures as a DHCP server.
void standInForTheOptionPage(Journey::Run& run)
{
    run.router().registerPage(PageId::Wiz08, [&run](WizardRouter& r, QWidget* owner) -> WizardPage* {
        auto* page = new StubPage(PageId::Wiz08, r, owner);
        page->onStartup = [&run](StubPage&) {
            WizardState& s = run.program.wizardState();
            s.Prefixes.PPPIf = QStringLiteral("PPP 1");
            s.Prefixes.EthIf = QStringLiteral("eth 0");
            s.ConfigOption = 1;
            s.PCCanPingUnit = true;
            s.UnitIP = Journey::kUnitAddress;
        };
        return page;
    });
}
} // namespace

class tst_JourneyCellular : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    void cellularRoad()
    {
        Lan lan;
        QVERIFY2(lan.build(Lan::Shape::Bare), qPrintable(lan.lastError()));
        QTemporaryDir logDir;
        const QString commandLog = logDir.filePath(QStringLiteral("commands.log"));
        QVERIFY(lan.startUnits({ "--command-log", commandLog, "--reboot-down", "1500", "--ppp-idle", "800",
            "--ppp-activating", "1200", "--signal", "-85" }));
        Journey::Run run;
        run.shift = true;
        Journey::inEventLoop([&] { walk(run, commandLog); });
    }

private:
    void walk(Journey::Run& run, const QString& commandLog)
    {
        run.program.start();
        run.shift = false;
        standInForTheOptionPage(run);
        auto* welcome = run.page<frmWiz01>();
        QVERIFY(welcome);
        QVERIFY(welcome->Option2->isVisible());
        QTest::mouseClick(welcome->Option2, Qt::LeftButton);
        QTest::mouseClick(welcome->cmdNext, Qt::LeftButton);
        for (PageId id : { PageId::Wiz03, PageId::Wiz04, PageId::Wiz05, PageId::Wiz06 }) {
            WizardPage* page = run.router().visiblePage();
            QVERIFY(page);
            QCOMPARE(page->id(), id);
            QTest::mouseClick(page->navButton(WizardPage::Nav::Next), Qt::LeftButton);
        }
        frmWiz07* search = Journey::waitForUnits(run);
        QVERIFY(search);
        const QList<QTreeWidgetItem*> ten = search->lvUnits->findItems(QStringLiteral("10"), Qt::MatchExactly, 0);
        QCOMPARE(ten.size(), 1);
        QTest::mouseClick(
            search->lvUnits->viewport(), Qt::LeftButton, {}, search->lvUnits->visualItemRect(ten[0]).center());
        QTest::mouseClick(search->cmdNext, Qt::LeftButton);
        WizardPage* option = run.router().visiblePage();
        QVERIFY(option);
        QCOMPARE(option->id(), PageId::Wiz08);
        QTest::mouseClick(option->navButton(WizardPage::Nav::Next), Qt::LeftButton);

        auto* settings = run.page<frmWiz09>();
        QVERIFY(settings);
        QVERIFY(QTest::qWaitForWindowExposed(settings));
        QCOMPARE(settings->focusWidget(), settings->txtAPN);
        // Help: the page shipped beside the program, in the desktop's viewer.
        QTest::mouseClick(settings->cmdHelp, Qt::LeftButton);
        QCOMPARE(run.opened.size(), 1);
        QVERIFY(QFile::exists(run.opened[0].toLocalFile()));
        QVERIFY(run.opened[0].toLocalFile().endsWith(QLatin1String("/help/apn_and_pin.htm")));

        // Typed as a person does: Return moves down the boxes; the PIN is left empty.
        QTest::mouseClick(settings->txtAPN, Qt::LeftButton);
        QCOMPARE(settings->focusWidget(), settings->txtAPN);
        for (const char* value : { "internet", "", "web" }) {
            QWidget* box = settings->focusWidget();
            QTest::keyClicks(box, QString::fromLatin1(value));
            QTest::keyClick(box, Qt::Key_Return);
        }
        QCOMPARE(settings->focusWidget(), settings->txtPassword);
        QTest::keyClicks(settings->txtPassword, QStringLiteral("secret"));
        // A quick second click lands on the test page while it works.
        Journey::doubleClick(settings->cmdNext);

        auto* test = run.page<frmWiz10>();
        QVERIFY(test);
        QCOMPARE(test->lblInfo->text(), QStringLiteral("The GPRS test was successful! GPRS IP address = 203.0.113.5"));
        QCOMPARE(test->lblSignal->text(),
            QStringLiteral("The signal strength is currently: -85 dBm This signal strength should allow the "
                           "Calvantor to work although it is low."));
        QVERIFY(run.program.wizardState().GPRSTestOK);

        const QStringList lines = unitLines(commandLog);
        QStringList pass;
        for (const QString& l : lines)
            if (l != u"AT" && l != u"PPP 1 status" && l != u"modemcc 0 ?" && l != u"modemstat ?")
                pass << l;
        QCOMPARE(pass.mid(pass.indexOf(QStringLiteral("modemcc 0 apn \"internet\""))),
            (QStringList { "modemcc 0 apn \"internet\"", "modemcc 0 pin \"!\"", "PPP 1 username \"web\"",
                "PPP 1 password \"secret\"", "config 0 save", "reboot", "PPP 1 aodion on", "def_route 0 ll_ent ppp" }));
        QCOMPARE(lines.count(QStringLiteral("modemcc 0 apn \"internet\"")), 1);
        QVERIFY(lines.contains(QStringLiteral("PPP 1 status")));
        QVERIFY(lines.contains(QStringLiteral("modemstat ?")));

        // On to the unit's address.
        Box box;
        {
            BoxAnswer hand(QMessageBox::Ok, box, 3000);
            QTest::mouseClick(test->cmdNext, Qt::LeftButton);
            QTest::qWait(300);
        }
        QCOMPARE(box.text, QStringLiteral("This step of the wizard is not yet available."));
        QCOMPARE(run.ends, 0);

        test->close();
        QCOMPARE(run.ends, 1);
    }
};

QTEST_MAIN(tst_JourneyCellular)
#include "tst_JourneyCellular.moc"
