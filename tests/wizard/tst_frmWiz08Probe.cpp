// The configuration option page's probe of the unit, as unitsim hears it: the
// factory reset and its reboot, a unit without an address, and the command
// prefixes of the models.
#include "AddressRoad.h"
#include "wizard/ClickLabel.h"
#include "wizard/frmWiz08.h"

#include <QRadioButton>

using AddressRoad::BoxHand;

namespace {
const QString kResetQuestion = QStringLiteral(
    "Do you want to reset the Calvantor to the factory default configuration before continuing with the Wizard?");

// Watches the option page's results from the moment it is shown.
struct ResultsWatch {
    explicit ResultsWatch(WizardRouter& router)
    {
        QObject::connect(&router, &WizardRouter::pageShown, qApp, [this, &router](PageId id) {
            if (id == PageId::Wiz08)
                shown = std::make_unique<AddressRoad::ShownTexts>(
                    static_cast<frmWiz08*>(router.page(PageId::Wiz08))->lblResults);
        });
    }
    QStringList texts() const { return shown ? shown->texts : QStringList(); }
    std::unique_ptr<AddressRoad::ShownTexts> shown;
};
} // namespace

class tst_frmWiz08Probe : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    // Yes to the reset: the unit's factory configuration is restored, the unit
    // restarts into it, and the probe goes on with the factory address.
    void factoryReset()
    {
        AddressRoad::Bench bench;
        // The restart outlasts two of the wizard's looks at the unit (a 2 s
        // probe, then a pause to the next whole second but one): the unit's
        // late answer to "reboot" may count as the first look's, as with a
        // real unit, and the second must still find it silent.
        QVERIFY2(bench.start(AddressRoad::oneUnit({ "--reboot-down", "5000", "--factory-ip", "192.168.0.99" })),
            qPrintable(bench.lastError()));
        Journey::Run run;
        Journey::inEventLoop([&] {
            frmWiz07* search = AddressRoad::reachSearch(run);
            QVERIFY(search);
            ResultsWatch watch(run.router());
            BoxHand hand({ QMessageBox::Yes });
            QElapsedTimer took;
            took.start();
            frmWiz08* page = AddressRoad::probe(run, *search);
            QVERIFY(page);
            // Joined, so a failure names every box that came up.
            QCOMPARE(hand.texts().join(QStringLiteral(" | ")), kResetQuestion);
            QVERIFY2(took.elapsed() >= 5000, "the unit's restart was not awaited");

            QCOMPARE(watch.texts().mid(0, 4),
                (QStringList { "\nPLEASE WAIT....", "\nResetting Calvantor to factory defaults.",
                    "\nWaiting for reboot...", "\nPLEASE WAIT...." }));
            const QStringList lines = bench.commands();
            QCOMPARE(
                lines.mid(0, 4), (QStringList { "fattr -r config.da0", "copy config.fac config.da0", "reboot", "AT" }));
            QCOMPARE(lines.last(), QStringLiteral("dhcpcli discover eth 0"));
            // The unit now stands at its factory address, out of the PC's reach.
            const WizardState& s = run.program.wizardState();
            QCOMPARE(s.CurrentUnit->ip(), frmWiz08::temporaryAddress());
            QVERIFY(!s.UnitReachable);
            QVERIFY(page->lblResults->text().endsWith(QLatin1String("\nThis PC can NOT ping the Calvantor now.")));
            QVERIFY(page->Option1->isChecked());
            page->close();
        });
    }

    // A refused reset is named, no restart is asked for, and the probe goes on.
    void refusedReset()
    {
        AddressRoad::Bench bench;
        QVERIFY2(bench.start(AddressRoad::oneUnit({ "--reply", "copy config.fac=OK\\r\\nERROR\\r\\n" })),
            qPrintable(bench.lastError()));
        Journey::Run run;
        Journey::inEventLoop([&] {
            BoxHand hand({ QMessageBox::Yes });
            frmWiz08* page = AddressRoad::reachOptionPage(run);
            QVERIFY(page);
            QCOMPARE(hand.texts(),
                (QStringList { kResetQuestion, "Error resetting the configuration to factory defaults." }));
            QCOMPARE(hand.boxes[1].title, QStringLiteral("Warning"));
            QCOMPARE(bench.commands(),
                (QStringList { "fattr -r config.da0", "copy config.fac config.da0", "dhcpcli discover eth 0" }));
            QCOMPARE(run.program.wizardState().CurrentUnit->ip(), frmWiz08::temporaryAddress());
            page->close();
        });
    }

    // A unit that reports no address borrows one for its DHCP server search
    // and gives it back; an address that holds the text 0.0.0.0 counts as none.
    void unitWithoutAddress_data()
    {
        QTest::addColumn<QString>("reported");
        QTest::newRow("0.0.0.0") << QStringLiteral("0.0.0.0");
        QTest::newRow("10.0.0.0, which holds it") << QStringLiteral("10.0.0.0");
    }
    void unitWithoutAddress()
    {
        QFETCH(QString, reported);
        AddressRoad::Bench bench;
        QVERIFY2(bench.start(AddressRoad::oneUnit({ "--ip", reported, "--lan-dhcp-server", "1" })),
            qPrintable(bench.lastError()));
        Journey::Run run;
        Journey::inEventLoop([&] {
            BoxHand hand;
            frmWiz08* page = AddressRoad::reachOptionPage(run);
            QVERIFY(page);
            QCOMPARE(hand.texts(), QStringList { kResetQuestion });
            QCOMPARE(bench.commands(),
                (QStringList { "eth 0 ipaddr \"192.168.0.99\"", "eth 0 mask \"255.255.255.0\"",
                    "dhcpcli discover eth 0", "eth 0 ipaddr \"!\"", "eth 0 mask \"!\"" }));
            // Found only because the unit had an address for the search.
            const WizardState& s = run.program.wizardState();
            QVERIFY(s.DHCPSrvOnLAN);
            QVERIFY(!s.UnitReachable);
            QCOMPARE(s.CurrentUnit->ip(), reported);
            QVERIFY(page->Label3->text().startsWith(QLatin1String("Assign a free IP address")));
            QVERIFY(page->Option2->isChecked());
            page->close();
        });
    }

    // What goes wrong on the way is named in its own box, and the probe goes
    // on to its choices: the unit refuses the address it borrows for the
    // DHCP server search, or to give it back, or to take its cellular link
    // down; or the PC's adaptor is no longer one the PC can be set up on (it
    // was made a bridge's port meanwhile), so its DHCP setting is unknown.
    void failureBoxes_data()
    {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<bool>("cellular");
        QTest::addColumn<QString>("onPcSide");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("icon");
        const QStringList noAddress { "--ip", "0.0.0.0" };
        QTest::newRow("the borrowed address refused")
            << noAddress + QStringList { "--refuse", "eth 0 ipaddr \"192.168.0.99\"" } << false << QString()
            << "Failed to set to 192.168.0.99"
            << "Linkwise" << int(QMessageBox::NoIcon);
        QTest::newRow("the borrowed address kept") << noAddress + QStringList { "--refuse", "eth 0 ipaddr \"!\"" }
                                                   << false << QString() << "Failed to set back to 0.0.0.0"
                                                   << "Linkwise" << int(QMessageBox::NoIcon);
        QTest::newRow("the cellular link kept up") << QStringList { "--refuse", "PPP 1 aodion off" } << true
                                                   << QString() << "Problem deactivating GPRS connection!"
                                                   << "WARNING" << int(QMessageBox::Warning);
        QTest::newRow("the PC's adaptor now a bridge port")
            << QStringList() << false
            << "ip link add br9 type bridge && ip link set dev eth0 master br9"
            << "Unable to determine whether or not the PC is configured to use a DHCP server."
            << "Linkwise" << int(QMessageBox::NoIcon);
    }
    void failureBoxes()
    {
        QFETCH(QStringList, sim);
        QFETCH(bool, cellular);
        QFETCH(QString, onPcSide);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(int, icon);
        AddressRoad::Bench bench;
        QVERIFY2(bench.start(AddressRoad::oneUnit(sim)), qPrintable(bench.lastError()));
        Journey::Run run;
        Journey::inEventLoop([&] {
            bool changed = false;
            BoxHand hand([&](const Journey::Box& box) {
                // Between the search and the probe's reading of the PC.
                if (box.text == kResetQuestion && !onPcSide.isEmpty())
                    changed = bench.lan.onPcSide(onPcSide);
                return QMessageBox::No;
            });
            frmWiz08* page = AddressRoad::reachOptionPage(run, cellular);
            QVERIFY(page);
            QCOMPARE(changed, !onPcSide.isEmpty());
            QCOMPARE(hand.texts().join(QStringLiteral(" | ")), kResetQuestion + QStringLiteral(" | ") + text);
            QCOMPARE(hand.boxes[1].title, title);
            QCOMPARE(int(hand.boxes[1].icon), icon);
            QCOMPARE(hand.boxes[1].over.data(), page);
            QVERIFY(page->Option1->isChecked() || page->Option2->isChecked() || page->Option3->isChecked());
            page->close();
            QCOMPARE(run.ends, 1);
        });
    }

    // The model decides the interfaces the commands name.
    void modelPrefixes_data()
    {
        QTest::addColumn<bool>("cellular");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("ppp");
        QTest::addColumn<QString>("eth");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("KR5012, Ethernet road") << false << "Calvantor KR5012 Router"
                                               << "PPP 1"
                                               << "eth 1" << QStringList { "dhcpcli discover eth 1" };
        QTest::newRow("KR5005-X, cellular road")
            << true << "Calvantor KR5005-X"
            << "PPP 3"
            << "eth 0"
            << QStringList { "dhcpcli discover eth 0", "PPP 3 aodion off", "def_route 0 ll_ent !", "PPP 3 deact_rq",
                   "PPP 3 ipaddr 0.0.0.0" };
        QTest::newRow("KR5004, cellular road")
            << true << "Calvantor KR5004 Router"
            << "PPP 1"
            << "eth 0"
            << QStringList { "dhcpcli discover eth 0", "PPP 1 aodion off", "def_route 0 ll_ent !", "PPP 1 deact_rq",
                   "PPP 1 ipaddr 0.0.0.0" };
    }
    void modelPrefixes()
    {
        QFETCH(bool, cellular);
        QFETCH(QString, model);
        QFETCH(QString, ppp);
        QFETCH(QString, eth);
        QFETCH(QStringList, lines);
        AddressRoad::Bench bench;
        QVERIFY2(bench.start(AddressRoad::oneUnit({ "--model", model, "--lan-dhcp-server", "1" })),
            qPrintable(bench.lastError()));
        Journey::Run run;
        Journey::inEventLoop([&] {
            BoxHand hand;
            frmWiz08* page = AddressRoad::reachOptionPage(run, cellular);
            QVERIFY(page);
            QCOMPARE(hand.texts(), QStringList { kResetQuestion });
            const WizardState& s = run.program.wizardState();
            QCOMPARE(s.Prefixes.PPPIf, ppp);
            QCOMPARE(s.Prefixes.EthIf, eth);
            QCOMPARE(bench.commands(), lines);
            // Found from the port that faces the LAN: only it has an address.
            QVERIFY(s.DHCPSrvOnLAN);
            QVERIFY(s.UnitReachable);
            page->close();
        });
    }
};

QTEST_MAIN(tst_frmWiz08Probe)
#include "tst_frmWiz08Probe.moc"
