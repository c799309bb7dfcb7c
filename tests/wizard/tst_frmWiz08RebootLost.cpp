// A unit that does not come back after its factory reset: the person is told,
// and the probe goes on with the factory address. Takes the restart wait and
// the DHCP search's full 30 s against a silent unit, so it runs on its own.
#include "AddressRoad.h"
#include "wizard/frmWiz08.h"

#include <QRadioButton>

using AddressRoad::BoxHand;

class tst_frmWiz08RebootLost : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    void unitNeverComesBack()
    {
        AddressRoad::Bench bench;
        QVERIFY2(bench.start(AddressRoad::oneUnit({ "--reboot-down", "600000" })), qPrintable(bench.lastError()));
        Journey::Run run;
        Journey::inEventLoop([&] {
            frmWiz07* search = AddressRoad::reachSearch(run);
            QVERIFY(search);
            // The options dialog's reboot time, for this run only.
            run.program.settings().RebootTime = 4;
            BoxHand hand({ QMessageBox::Yes });
            frmWiz08* page = AddressRoad::probe(run, *search);
            QVERIFY(page);
            QCOMPARE(hand.texts(),
                (QStringList { "Do you want to reset the Calvantor to the factory default configuration before "
                               "continuing with the Wizard?",
                    "The Calvantor did not respond correctly after reboot." }));
            QCOMPARE(hand.boxes[1].title, QStringLiteral("Warning"));
            const QStringList lines = bench.commands();
            QCOMPARE(lines.mid(0, 3), (QStringList { "fattr -r config.da0", "copy config.fac config.da0", "reboot" }));
            QCOMPARE(lines.last(), QStringLiteral("dhcpcli discover eth 0"));
            const WizardState& s = run.program.wizardState();
            QCOMPARE(s.CurrentUnit->ip(), frmWiz08::temporaryAddress());
            QVERIFY(!s.DHCPSrvOnLAN);
            QVERIFY(!s.UnitReachable);
            QVERIFY(page->Option1->isChecked());
            page->close();
            QCOMPARE(run.ends, 1);
        });
    }
};

QTEST_MAIN(tst_frmWiz08RebootLost)
#include "tst_frmWiz08RebootLost.moc"
