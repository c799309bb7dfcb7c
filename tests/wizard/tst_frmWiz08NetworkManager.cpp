// What the option page reads of a PC whose adaptor NetworkManager manages: the
// real daemon (on a bus of the test's own) holds a DHCP lease from the LAN's
// server that names the unit as gateway and name server.
#include "AddressRoad.h"
#include "NetworkManagerLab.h"
#include "wizard/frmWiz08.h"

#include <QRadioButton>

using AddressRoad::BoxHand;

class tst_frmWiz08NetworkManager : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const QString why = NetworkManagerLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    void managedPcPointsAtTheUnit()
    {
        AddressRoad::Bench bench;
        QVERIFY2(bench.build(), qPrintable(bench.lastError()));
        NetworkManagerLab nm;
        QVERIFY2(nm.startDhcpServer(bench.lan.unitNamespace(), QStringLiteral("eth0")), qPrintable(nm.error()));
        // The daemon, not a hand-made address, gives the PC its address.
        QVERIFY(bench.lan.onPcSide(QStringLiteral("ip addr flush dev eth0")));
        QVERIFY2(nm.start(bench.lan.pcNamespace(), QStringLiteral("eth0")), qPrintable(nm.error()));
        // The lease names 198.51.100.1 for both: the unit stands there.
        QVERIFY(bench.lan.onUnitSide(QStringLiteral("ip addr add 198.51.100.1/24 dev eth0")));
        QVERIFY(bench.startUnits(AddressRoad::oneUnit({ "--ip", "198.51.100.1", "--lan-dhcp-server", "1" })));
        // The program finds NetworkManager on the system bus.
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", nm.busAddress().toLocal8Bit());
        Journey::Run run;
        Journey::inEventLoop([&] {
            BoxHand hand;
            frmWiz08* page = AddressRoad::reachOptionPage(run);
            QVERIFY(page);
            const WizardState& s = run.program.wizardState();
            QVERIFY(s.PCUsesDHCP);
            QVERIFY(s.PCGatewayIsUnit);
            QVERIFY(s.PCDNSIsUnit);
            QVERIFY(s.UnitReachable);
            QCOMPARE(page->lblResults->text(),
                QStringLiteral("DHCP server is present on network.\nThis PC IS configured to use a DHCP server.\n"
                               "This PC CAN ping the Calvantor unit now."));
            QVERIFY(page->Option3->isChecked());
            QCOMPARE(hand.boxes.size(), 1);
            page->close();
        });
    }
};

QTEST_MAIN(tst_frmWiz08NetworkManager)
#include "tst_frmWiz08NetworkManager.moc"
