#include "../net/SysfsFixture.h"
#include "HookedMainWindow.h"
#include "app/frmInterface.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

// The interface choice as the main window's Tools menu opens it, with the
// hooks start-up fills; the interface table is a fixture tree.
namespace {

struct Nic {
    QString name;
    int index;
    QString alias; // the description the table reports
    QString mac;
    QString address;
    QString mask;
};

struct Rig : HookedMainWindow {
    SysfsFixture sysfs;

    void add(const Nic& nic, bool inTable = true)
    {
        if (inTable)
            sysfs.add({ .name = nic.name,
                .index = nic.index,
                .address = nic.mac.toLower(),
                .extra = { { QStringLiteral("ifalias"), nic.alias } } });
        auto adapter = std::make_shared<CAdapter>();
        adapter->setInterfaceIndex(nic.index);
        adapter->setInterfaceName(nic.name);
        adapter->setIPAddress(nic.address);
        adapter->setMask(nic.mask);
        const QByteArray mac = QByteArray::fromHex(nic.mac.toLatin1().replace(':', ""));
        adapter->SetPhysAddr(6, mac);
        interfaces.InterfaceList << InterfaceEntry { mac, adapter };
    }

    void build()
    {
        extras.sysClassNet = sysfs.root();
        HookedMainWindow::build();
    }

    bool open(std::function<void(frmInterface*)> act) { return HookedMainWindow::open(w->mnuInterface(), act); }
};

const Nic kOffice { "eth0", 2, "Intel PRO/1000", "00:1B:21:0A:0B:0C", "192.0.2.10", "255.255.255.0" };
const Nic kLab { "enp3s0", 5, "Realtek RTL8111", "52:54:00:12:34:56", "198.51.100.7", "255.255.0.0" };

QStringList items(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

} // namespace

class tst_frmInterface : public QObject {
    Q_OBJECT
private slots:
    void listsEachUsableInterface_data()
    {
        QTest::addColumn<QList<Nic>>("nics");
        QTest::addColumn<bool>("lastInTable");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("picked");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("mask");

        QTest::newRow("one interface") << QList<Nic> { kOffice } << true << 0
                                       << QStringList { "1) Intel PRO/1000    MAC: 00:1B:21:0A:0B:0C" } << 0
                                       << "192.0.2.10"
                                       << "255.255.255.0";
        QTest::newRow("two, the second in use") << QList<Nic> { kOffice, kLab } << true << 1
                                                << QStringList { "1) Intel PRO/1000    MAC: 00:1B:21:0A:0B:0C",
                                                       "2) Realtek RTL8111    MAC: 52:54:00:12:34:56" }
                                                << 1 << "198.51.100.7"
                                                << "255.255.0.0";
        Nic padded = kLab;
        padded.alias = QStringLiteral("  Realtek     Gigabit  NIC \t ");
        QTest::newRow("description trimmed at its end, runs of blanks squeezed")
            << QList<Nic> { padded } << true << 0
            << QStringList { "1)   Realtek  Gigabit  NIC    MAC: 52:54:00:12:34:56" } << 0 << "198.51.100.7"
            << "255.255.0.0";
        QTest::newRow("an interface gone from the table keeps its name")
            << QList<Nic> { kOffice, kLab } << false << 0
            << QStringList { "1) Intel PRO/1000    MAC: 00:1B:21:0A:0B:0C", "2) enp3s0    MAC: 52:54:00:12:34:56" } << 0
            << "192.0.2.10"
            << "255.255.255.0";
        QTest::newRow("a selection outside the list picks nothing")
            << QList<Nic> { kOffice, kLab } << true << 7
            << QStringList { "1) Intel PRO/1000    MAC: 00:1B:21:0A:0B:0C",
                   "2) Realtek RTL8111    MAC: 52:54:00:12:34:56" }
            << -1 << ""
            << "";
    }
    void listsEachUsableInterface()
    {
        QFETCH(QList<Nic>, nics);
        QFETCH(bool, lastInTable);
        QFETCH(int, selected);
        QFETCH(QStringList, lines);
        QFETCH(int, picked);
        QFETCH(QString, address);
        QFETCH(QString, mask);
        Rig rig;
        for (qsizetype i = 0; i < nics.size(); ++i)
            rig.add(nics[i], i + 1 < nics.size() || lastInTable);
        rig.interfaces.SelectedInterface = selected;
        rig.build();
        QStringList shown;
        int current = -2;
        QString ip, netmask, title;
        bool okEnabled = false;
        int width = 0, textWidth = 0, minimum = 0;
        QVERIFY(rig.open([&](frmInterface* d) {
            title = d->windowTitle();
            shown = items(d->cbInterfaces);
            current = d->cbInterfaces->currentIndex();
            ip = d->lblIP->text();
            netmask = d->lblmask->text();
            okEnabled = d->OKButton->isEnabled();
            width = d->cbInterfaces->width();
            minimum = qRound(1000.0 * d->logicalDpiX() / 1440.0);
            for (const QString& line : shown)
                textWidth = qMax(textWidth, d->cbInterfaces->fontMetrics().horizontalAdvance(line));
            QTest::keyClick(d->cbInterfaces, Qt::Key_Escape);
            if (d->isVisible())
                d->reject();
        }));
        QCOMPARE(title, QStringLiteral("Select Interface"));
        QCOMPARE(shown, lines);
        QCOMPARE(current, picked);
        QCOMPARE(ip, address);
        QCOMPARE(netmask, mask);
        QCOMPARE(okEnabled, picked >= 0);
        // The closed list shows its longest entry whole, and is never narrower than its minimum.
        QVERIFY2(width >= textWidth && width >= minimum, qPrintable(QStringLiteral("%1 px").arg(width)));
        QCOMPARE(rig.interfaces.SelectedInterface, selected);
    }

    // How the dialog is left decides whether the pick becomes the selection.
    void pickThenLeave_data()
    {
        QTest::addColumn<QString>("leave");
        QTest::addColumn<int>("selectedAfter");
        QTest::newRow("OK") << "ok" << 1;
        QTest::newRow("Return") << "return" << 1;
        QTest::newRow("Cancel") << "cancel" << 0;
        QTest::newRow("Escape") << "escape" << 0;
        QTest::newRow("close box") << "close" << 0;
    }
    void pickThenLeave()
    {
        QFETCH(QString, leave);
        QFETCH(int, selectedAfter);
        Rig rig;
        rig.add(kOffice);
        rig.add(kLab);
        rig.build();
        QString ipAfterPick;
        QVERIFY(rig.open([&](frmInterface* d) {
            d->cbInterfaces->setFocus();
            QTest::keyClick(d->cbInterfaces, Qt::Key_Down);
            ipAfterPick = d->lblIP->text();
            if (leave == u"ok")
                QTest::mouseClick(d->OKButton, Qt::LeftButton);
            else if (leave == u"return")
                QTest::keyClick(d->cbInterfaces, Qt::Key_Return);
            else if (leave == u"cancel")
                QTest::mouseClick(d->CancelButton, Qt::LeftButton);
            else if (leave == u"escape")
                QTest::keyClick(d->cbInterfaces, Qt::Key_Escape);
            else
                d->close();
        }));
        QCOMPARE(ipAfterPick, QStringLiteral("198.51.100.7"));
        QCOMPARE(rig.interfaces.SelectedInterface, selectedAfter);

        // A new opening starts from the selection in force.
        QStringList reopened;
        QVERIFY(rig.open([&](frmInterface* d) {
            reopened << QString::number(d->cbInterfaces->currentIndex()) << d->lblIP->text() << d->lblmask->text();
            d->reject();
        }));
        const Nic& in = selectedAfter == 1 ? kLab : kOffice;
        QCOMPARE(reopened, (QStringList { QString::number(selectedAfter), in.address, in.mask }));
    }
};

QTEST_MAIN(tst_frmInterface)
#include "tst_frmInterface.moc"
