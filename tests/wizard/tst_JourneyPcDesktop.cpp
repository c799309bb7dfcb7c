// The end of the Ethernet road, as a person walks it on a desktop: the program
// started as main() starts it on a bare LAN, the unit played by unitsim (its
// saved address and DHCP pool made real on its side of the cable, its web
// server listening), on through the unit address page of each option to the
// PC settings page, whose changes really reconfigure the PC's adapter, and
// the final page, whose Browse opens the unit's pages through the desktop's
// URL handler (xdg-open, which hands them to $BROWSER: a stand-in that notes
// what it was given). The Shift road of the free-address page ends there.
#include "AddressRoad.h"
#include "DesktopTestMain.h"
#include "PrivateSystemFiles.h"
#include "StandInBrowser.h"
#include "net/ModQarWmi.h"
#include "wizard/frmWiz08.h"
#include "wizard/frmWiz13.h"
#include "wizard/frmwiz11A.h"
#include "wizard/frmwiz11B.h"
#include "wizard/frmwiz11C.h"
#include "wizard/frmwiz12A.h"
#include "wizard/frmwiz12B.h"
#include "wizard/frmwiz12C.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using AddressRoad::BoxHand;
using Journey::Lan;

namespace {
const QString kOpening = QStringLiteral("The wizard is now complete. ");
const QString kBoth = QStringLiteral("The PC is now using the Calvantor as its default gateway and DNS server. ");

PageId shownId(Journey::Run& run)
{
    WizardPage* page = run.router().visiblePage();
    return page ? page->id() : PageId::EndProgram;
}

QString pcSide(Lan& lan, const QString& command)
{
    QString out;
    lan.onPcSide(command, &out);
    return out.trimmed();
}

QByteArray fileText(const QString& path)
{
    return StandInBrowser::fileText(path);
}
} // namespace

class tst_JourneyPcDesktop : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    StandInBrowser m_browser;
    int m_roads = 0;

    // The road's LAN with the PC's files made private, and the unit that
    // answers as serial 10 with its side of the cable under its control.
    bool setUp(Lan& lan, PrivateSystemFiles& files, const QString& webLog, const QStringList& extra = {})
    {
        QString error;
        if (!lan.build(Lan::Shape::Bare) || !files.make("nameserver 203.0.113.53\n", &error)) {
            qWarning("%s %s", qPrintable(lan.lastError()), qPrintable(error));
            return false;
        }
        m_browser.clear();
        return lan.startUnits(QStringList { "--lan-dev", "eth0", "--web-log", webLog } + extra);
    }

    struct Road {
        Lan& lan;
        Journey::Run& run;
        BoxHand& hand;
        frmWiz08* options;
        QString webLog;
    };
    // One road: the LAN, the program started as main() starts it, and the
    // walk to the configuration option page (the reset question answered
    // No); body goes on from there.
    void walk(const QStringList& extra, const std::function<void(Road&)>& body)
    {
        Lan lan;
        PrivateSystemFiles files;
        const QString webLog = m_dir.filePath(QStringLiteral("web%1.log").arg(++m_roads));
        QVERIFY(setUp(lan, files, webLog, extra));
        Journey::Run run(nullptr);
        Journey::inEventLoop([&] {
            BoxHand hand;
            frmWiz08* options = AddressRoad::reachOptionPage(run);
            QVERIFY(options);
            Road road { lan, run, hand, options, webLog };
            body(road);
        });
    }

    // The final page as the PC page leaves it; Browse, then Finish.
    void browseAndFinish(Journey::Run& run, frmWiz13* final, const QString& unitIp, const QString& webLog)
    {
        m_browser.browseAndFinish(
            run, final, QStringLiteral("http://") + unitIp + QStringLiteral("/default.asp"), webLog);
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

    // Option 1: the unit serves addresses; the PC gives up its static address
    // for the unit's lease, and the final page sees the lease's gateway and
    // name server.
    void unitServesAddresses()
    {
        walk({}, [&](Road& road) {
            auto& [lan, run, hand, options, webLog] = road;
            QVERIFY(options->Option1->isChecked());
            QTest::mouseClick(options->cmdNext, Qt::LeftButton);
            auto* address = run.page<frmwiz11A>();
            QVERIFY(address);
            QTest::mouseClick(address->cmdNext, Qt::LeftButton);
            QTRY_COMPARE(shownId(run), PageId::Wiz12A);
            auto* pc = run.page<frmwiz12A>();
            QVERIFY(pc->Frame1->isVisible());
            QTest::mouseClick(pc->cmdConfigure, Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(pc->cmdNext->isEnabled(), 60'000);
            QCOMPARE(pc->lblInfo->text(), QStringLiteral("Click next to continue."));
            const QString leased = pcSide(lan, QStringLiteral("ip -4 -o addr show dev eth0 | awk '{print $4}'"));
            QVERIFY2(leased.startsWith(QLatin1String("192.168.0.")) && leased.endsWith(QLatin1String("/24")),
                qPrintable(leased));
            QVERIFY2(
                pcSide(lan, QStringLiteral("ip -4 route show default")).contains(QLatin1String("via 192.168.0.99")),
                qPrintable(pcSide(lan, QStringLiteral("ip -4 route show default"))));
            QTest::mouseClick(pc->cmdNext, Qt::LeftButton);
            auto* final = run.page<frmWiz13>();
            QVERIFY(final);
            QVERIFY2(final->outcomeText().startsWith(kOpening + QStringLiteral("The Calvantor did NOT connect")),
                qPrintable(final->outcomeText()));
            QVERIFY(final->outcomeText().contains(kBoth));
            QVERIFY(final->outcomeText().contains(QLatin1String("will NOT be able")));
            QCOMPARE(hand.texts().size(), 1);
            browseAndFinish(run, final, QStringLiteral("192.168.0.99"), webLog);
        });
    }

    // Option 2: the static address pair; the PC page's defaults put the PC
    // beside the unit with the unit as gateway and name server.
    void staticAddresses()
    {
        walk({}, [&](Road& road) {
            auto& [lan, run, hand, options, webLog] = road;
            QTest::mouseClick(options->Option2, Qt::LeftButton);
            QTest::mouseClick(options->cmdNext, Qt::LeftButton);
            auto* address = run.page<frmwiz11B>();
            QVERIFY(address);
            QTest::mouseClick(address->cmdNext, Qt::LeftButton);
            QTRY_COMPARE(shownId(run), PageId::Wiz12B);
            auto* pc = run.page<frmwiz12B>();
            QVERIFY(QTest::qWaitForWindowActive(pc));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
            QTRY_VERIFY(!pc->Frame1->isVisible());
            QCOMPARE(pc->txtIP->text(), QStringLiteral("192.168.0.1"));
            // Return in a field is Next.
            QTest::keyClick(pc->txtDNS, Qt::Key_Return);
            QTRY_COMPARE(shownId(run), PageId::Wiz13);
            QCOMPARE(hand.texts().size(), 1);
            QCOMPARE(pcSide(lan, QStringLiteral("ip -4 -o addr show dev eth0 | awk '{print $4}'")),
                QStringLiteral("192.168.0.1/24"));
            QCOMPARE(fileText(QStringLiteral("/etc/resolv.conf")), QByteArray("nameserver 192.168.0.99\n"));
            auto* final = run.page<frmWiz13>();
            QVERIFY(final->outcomeText().contains(kBoth));
            QVERIFY(run.program.wizardState().UnitReachable);
            browseAndFinish(run, final, QStringLiteral("192.168.0.99"), webLog);
        });
    }

    // Option 3 with a unit the PC already reaches: the unit keeps its address
    // and becomes the PC's gateway and name server.
    void unitAsGateway()
    {
        walk({ "--lan-dhcp-server", "1" }, [&](Road& road) {
            auto& [lan, run, hand, options, webLog] = road;
            QVERIFY(options->Option3->isChecked());
            QTest::mouseClick(options->cmdNext, Qt::LeftButton);
            auto* pc = run.page<frmwiz12C>();
            QVERIFY(pc);
            QTest::mouseClick(pc->cmdConfigure, Qt::LeftButton);
            QCOMPARE(pc->lblInfo->text(), QStringLiteral("Click next to continue."));
            QVERIFY2(pcSide(lan, QStringLiteral("ip -4 route show default"))
                         .startsWith(QLatin1String("default via 198.51.100.11 dev eth0")),
                qPrintable(pcSide(lan, QStringLiteral("ip -4 route show default"))));
            QCOMPARE(fileText(QStringLiteral("/etc/resolv.conf")), QByteArray("nameserver 198.51.100.11\n"));
            QTest::mouseClick(pc->cmdNext, Qt::LeftButton);
            auto* final = run.page<frmWiz13>();
            QVERIFY(final);
            QVERIFY(final->outcomeText().contains(kBoth));
            QVERIFY(hand.boxes.size() == 1);
            browseAndFinish(run, final, QStringLiteral("198.51.100.11"), webLog);
        });
    }

    // The free-address page with Shift held as its apply ends: no PC page,
    // the web login against the address the unit was just given, the
    // browser opened on it, and the run ends.
    void shiftRoadOfTheFreeAddressPage()
    {
        walk({ "--ip", "198.51.100.75" }, [&](Road& road) {
            auto& [lan, run, hand, options, webLog] = road;
            QVERIFY(!run.program.wizardState().PCCanPingUnit);
            QTest::mouseClick(options->Option3, Qt::LeftButton);
            QTest::mouseClick(options->cmdNext, Qt::LeftButton);
            auto* free = run.page<frmwiz11C>();
            QVERIFY(free);
            QTRY_VERIFY_WITH_TIMEOUT(free->cmdNext->isEnabled(), 30'000);
            QCOMPARE(free->txtIP->text(), QStringLiteral("198.51.100.2"));
            const QString routes = pcSide(lan, QStringLiteral("ip -4 route show"));
            run.shift = true;
            QTest::mouseClick(free->cmdNext, Qt::LeftButton);
            QTRY_COMPARE_WITH_TIMEOUT(m_browser.opened(), QStringLiteral("http://198.51.100.2/default.asp"), 10'000);
            QTRY_COMPARE(run.ends, 1);
            QVERIFY(!run.router().page(PageId::Wiz12C));
            QVERIFY(fileText(webLog).startsWith("GET /login.asp\t\t\nPOST /login.asp\t"));
            // The PC was not touched.
            QCOMPARE(pcSide(lan, QStringLiteral("ip -4 route show")), routes);
        });
    }
};

LINKWISE_DESKTOP_TEST_MAIN(tst_JourneyPcDesktop, QApplication)
#include "tst_JourneyPcDesktop.moc"
