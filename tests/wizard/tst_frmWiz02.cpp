#include "NetLab.h"
#include "ScanPageRig.h"
#include "SimulatedClock.h"
#include "net/CAdapterHelper.h"
#include "net/CIpHelper.h"
#include "net/ModQar.h"
#include "net/SystemClock.h"
#include "wizard/StepLabel.h"
#include "wizard/frmWiz02.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {
const QByteArray kMacOne = QByteArray::fromHex("02005e000101");
const QByteArray kMacTwo = QByteArray::fromHex("02005e000102");

// A table of the PC's interfaces as the kernel would give it.
struct FakeTable {
    QMap<qint32, QString> descriptions;
    int reads = 0;
    std::function<std::shared_ptr<CInterfaces>()> reader()
    {
        return [this] {
            ++reads;
            auto table = std::make_shared<CInterfaces>();
            for (auto it = descriptions.cbegin(); it != descriptions.cend(); ++it) {
                auto row = std::make_shared<CInterface>();
                row->setInterfaceIndex(it.key());
                row->setInterfaceDescription(it.value());
                (void)table->Add(std::move(row), QString::number(it.key()));
            }
            return table;
        };
    }
};

QStringList entries(const frmWiz02& page)
{
    QStringList out;
    for (int i = 0; i < page.cbInterfaces->count(); ++i)
        out << page.cbInterfaces->itemText(i);
    return out;
}

// The two interfaces of a PC with one foot in each documentation network.
struct Local {
    SimulatedClock clock;
    ScanPageRig rig { clock };
    FakeTable table;
    QList<QString> broadcastAtSearchLoad;

    explicit Local(qint32 mode = 1)
    {
        rig.addInterface(QStringLiteral("198.51.100.1"), QStringLiteral("255.255.255.0"), kMacOne, 2);
        rig.addInterface(QStringLiteral("203.0.113.1"), QStringLiteral("255.255.255.128"), kMacTwo, 3);
        rig.state.WizardMode = mode;
        table.descriptions = { { 2, QStringLiteral("Calvantor Lab Adapter") }, { 3, QStringLiteral("Second Port") } };
        VerevoSocketOptions quiet;
        quiet.bindAddress = QHostAddress::LocalHost;
        quiet.localPort = 0;
        rig.build([this, quiet] { return rig.realDiscovery(quiet); }, table.reader());
        // The search page as a stand-in that notes where the broadcast stood
        // when it loaded.
        rig.router->registerPage(PageId::Wiz07, [this](WizardRouter& r, QWidget* owner) -> WizardPage* {
            broadcastAtSearchLoad << rig.broadcast;
            return new StubPage(PageId::Wiz07, r, owner);
        });
    }
    frmWiz02* open() { return static_cast<frmWiz02*>(rig.router->open(PageId::Wiz02)); }
};
} // namespace

class tst_frmWiz02 : public QObject {
    Q_OBJECT
private slots:
    void fillsTheListAndPreselectsTheFirst()
    {
        Local l;
        frmWiz02* page = l.open();
        QCOMPARE(page->lblTitle->text(), QStringLiteral("Your PC has 2 network adaptors."));
        QCOMPARE(page->Label6->text(), QStringLiteral("WARNING"));
        QCOMPARE(page->Label2->text(),
            QStringLiteral("Please select the network adaptor connected to the same physical network as your "
                           "Calvantor. Then click &Next."));
        QCOMPARE(entries(*page),
            (QStringList {
                "1) Calvantor Lab Adapter    MAC: 02:00:5E:00:01:01", "2) Second Port    MAC: 02:00:5E:00:01:02" }));
        QCOMPARE(l.table.reads, 2); // a fresh read per entry
        QCOMPARE(page->cbInterfaces->currentIndex(), 0);
        QCOMPARE(page->lblIP->text(), QStringLiteral("198.51.100.1"));
        QCOMPARE(page->lblmask->text(), QStringLiteral("255.255.255.0"));
        QCOMPARE(page->lblDesc->text(), QStringLiteral("1) Calvantor Lab Adapter    MAC: 02:00:5E:00:01:01"));
    }

    void selectionRefreshesTheValues()
    {
        Local l;
        frmWiz02* page = l.open();
        page->cbInterfaces->setCurrentIndex(1);
        QCOMPARE(page->lblIP->text(), QStringLiteral("203.0.113.1"));
        QCOMPARE(page->lblmask->text(), QStringLiteral("255.255.255.128"));
        QCOMPARE(page->lblDesc->text(), QStringLiteral("2) Second Port    MAC: 02:00:5E:00:01:02"));
        QCOMPARE(l.rig.state.SelectedInterface(), 0); // only Next records the choice
    }

    void comingBackPreselectsTheEarlierChoice()
    {
        Local l;
        l.rig.interfaces.SelectedInterface = 1;
        frmWiz02* page = l.open();
        QCOMPARE(page->cbInterfaces->currentIndex(), 1);
        QCOMPARE(page->lblIP->text(), QStringLiteral("203.0.113.1"));
    }

    void descriptionsAreTrimmed_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("entry");
        QTest::newRow("trailing NULs and control characters")
            << QString::fromLatin1("Port\0\0\r\n  ", 10) << "1) Port    MAC: 02:00:5E:00:01:01";
        QTest::newRow("runs of blanks, leading blanks kept")
            << "  Intel(R)     PRO/1000   MT  Adapter"
            << "1)   Intel(R)  PRO/1000  MT  Adapter    MAC: 02:00:5E:00:01:01";
        QTest::newRow("empty") << ""
                               << "1)     MAC: 02:00:5E:00:01:01";
    }
    void descriptionsAreTrimmed()
    {
        QFETCH(QString, description);
        QFETCH(QString, entry);
        Local l;
        l.table.descriptions[2] = description;
        QCOMPARE(entries(*l.open()).value(0), entry);
    }

    // The adapter went away after start-up: its own record names it.
    void interfaceMissingFromTheTable()
    {
        Local l;
        l.rig.interfaces.InterfaceList[1].Adapter->setDescription(QStringLiteral("Gone Adapter"));
        l.table.descriptions.remove(3);
        frmWiz02* page = l.open();
        QCOMPARE(entries(*page).value(1), QStringLiteral("2) Gone Adapter    MAC: 02:00:5E:00:01:02"));
    }

    void nextRecordsTheChoiceAndRebindsBeforeTheNextPage_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<PageId>("target");
        QTest::newRow("Ethernet only: search page") << 1 << PageId::Wiz07;
        QTest::newRow("cellular: first instruction page") << 0 << PageId::Wiz03;
    }
    void nextRecordsTheChoiceAndRebindsBeforeTheNextPage()
    {
        QFETCH(int, mode);
        QFETCH(PageId, target);
        Local l(mode);
        frmWiz02* page = l.open();
        page->cbInterfaces->setCurrentIndex(1);
        page->cmdNext->click();
        QCOMPARE(l.rig.state.SelectedInterface(), 1);
        QCOMPARE(l.rig.broadcast, QStringLiteral("203.0.113.127"));
        QCOMPARE(l.rig.currentId(), target);
        if (target == PageId::Wiz07)
            QCOMPARE(l.broadcastAtSearchLoad, QList<QString> { "203.0.113.127" });
        QCOMPARE(l.rig.ends, 0);
        QVERIFY(l.rig.startups.isEmpty());
    }

    void backLeadsToTheWelcomePage()
    {
        Local l;
        frmWiz02* page = l.open();
        page->cbInterfaces->setCurrentIndex(1);
        page->cmdBack->click();
        QCOMPARE(l.rig.currentId(), PageId::Wiz01);
        QCOMPARE(l.rig.state.SelectedInterface(), 0);
        QCOMPARE(l.rig.broadcast, QStringLiteral("255.255.255.255"));
        QCOMPARE(l.rig.ends, 0);
    }

    void cancelAsks_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("No keeps the page") << false;
        QTest::newRow("Yes ends the run") << true;
    }
    void cancelAsks()
    {
        QFETCH(bool, yes);
        Local l;
        frmWiz02* page = l.open();
        l.rig.prompts.answers << yes;
        page->cmdCancel->click();
        QCOMPARE(l.rig.prompts.texts(), QStringList { "Are you sure you want to exit the Calvantor Linkwise?" });
        QCOMPARE(l.rig.ends, yes ? 1 : 0);
        QCOMPARE(l.rig.currentId(), PageId::Wiz02);
    }

    void closeBoxEndsTheRun()
    {
        Local l;
        l.open()->close();
        QCOMPARE(l.rig.ends, 1);
    }

    // Last: the test process moves into the PC's namespace for good. Two
    // veth interfaces, a unit behind each; the one chosen is the one found.
    void twoInterfacesOverTheNetwork()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        NetLab lab;
        const QString pc = lab.addHost(QStringLiteral("pc"));
        const QString near = lab.addHost(QStringLiteral("near"));
        const QString far = lab.addHost(QStringLiteral("far"));
        QVERIFY2(lab.link(pc, QStringLiteral("eth1"), QStringLiteral("198.51.100.1/24"), near, QStringLiteral("eth0"),
                     QStringLiteral("198.51.100.2/24"), QStringLiteral("02:00:5e:00:01:01")),
            qPrintable(lab.lastError()));
        QVERIFY2(lab.link(pc, QStringLiteral("eth2"), QStringLiteral("203.0.113.1/24"), far, QStringLiteral("eth0"),
                     QStringLiteral("203.0.113.2/24"), QStringLiteral("02:00:5e:00:01:02")),
            qPrintable(lab.lastError()));
        QVERIFY(lab.sh(pc,
            QStringLiteral("ip link set eth1 alias '  Lab   port one  ' && "
                           "ip link set eth2 alias 'Lab port two'")));
        for (const auto& [ns, serial] : { std::pair { near, "7200" }, std::pair { far, "7100" } }) {
            QProcess* sim = lab.start(ns,
                { unitsimPath(), "--bind", "0.0.0.0", "--port", "7477", "--serial", serial, "--ip",
                    ns == near ? "198.51.100.2" : "203.0.113.2" });
            QVERIFY(sim && unitsimReady(*sim) == 7477);
        }
        QVERIFY2(lab.enter(pc), qPrintable(lab.lastError()));

        SystemClock clock;
        ScanPageRig rig(clock);
        CAdapterHelper adapters(QStringLiteral("/sys/class/net"), &rig.prompts);
        QCOMPARE(ModQar::BuildInterfaceList(adapters, rig.interfaces), 2);
        rig.interfaces.LanAdapterCount = 2;
        rig.state.WizardMode = 1;
        CIpHelper helper(QStringLiteral("/sys/class/net"), &rig.prompts);
        rig.build([&rig] { return rig.realDiscovery(); }, [&helper] { return helper.Interfaces(); });

        auto* page = static_cast<frmWiz02*>(rig.router->open(PageId::Wiz02));
        QCOMPARE(page->lblTitle->text(), QStringLiteral("Your PC has 2 network adaptors."));
        QCOMPARE(entries(*page),
            (QStringList {
                "1)   Lab  port one    MAC: 02:00:5E:00:01:01", "2) Lab port two    MAC: 02:00:5E:00:01:02" }));
        QCOMPARE(page->lblIP->text(), QStringLiteral("198.51.100.1"));
        QCOMPARE(page->lblmask->text(), QStringLiteral("255.255.255.0"));

        page->cbInterfaces->setCurrentIndex(1);
        QCOMPARE(page->lblIP->text(), QStringLiteral("203.0.113.1"));
        page->cmdNext->click();
        QCOMPARE(rig.broadcast, QStringLiteral("203.0.113.255"));
        QCOMPARE(rig.currentId(), PageId::Wiz07);
        auto* search = static_cast<frmWiz07*>(rig.router->current());
        QVERIFY(rig.waitForResults());
        QCOMPARE(search->lvUnits->topLevelItemCount(), 1);
        QCOMPARE(search->lvUnits->topLevelItem(0)->text(0), QStringLiteral("7100"));
        QCOMPARE(search->lvUnits->topLevelItem(0)->text(2), QStringLiteral("203.0.113.2"));
        QVERIFY(rig.prompts.boxes.isEmpty());
    }
};

QTEST_MAIN(tst_frmWiz02)
#include "tst_frmWiz02.moc"
