#include "NetLab.h"
#include "ScanPageRig.h"
#include "SimulatedClock.h"
#include "net/CAdapterHelper.h"
#include "net/ModQar.h"
#include "net/SystemClock.h"
#include "wizard/SearchAnimation.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

// Tests over the lab need root; elsewhere they are skipped.
#define SKIP_WITHOUT_LAB()                                                                                             \
    if (const QString why = NetLab::unavailableReason(); !why.isEmpty())                                               \
    QSKIP(qPrintable(why))

namespace {
const QByteArray kPcMac = QByteArray::fromHex("02005e0000a1");

QStringList rowTexts(const frmWiz07& page)
{
    QStringList out;
    for (int i = 0; i < page.lvUnits->topLevelItemCount(); ++i)
        out << page.lvUnits->topLevelItem(i)->text(0);
    return out;
}

QStringList logTexts(const frmMain& main)
{
    QStringList out;
    for (int i = 0; i < main.lvLog()->topLevelItemCount(); ++i)
        out << main.lvLog()->topLevelItem(i)->text(2);
    return out;
}

bool choose(frmWiz07& page, const QString& serial)
{
    const QList<QTreeWidgetItem*> hits = page.lvUnits->findItems(serial, Qt::MatchExactly, 0);
    if (hits.size() != 1)
        return false;
    page.lvUnits->setCurrentItem(hits[0]);
    return true;
}

// The searching state the page shows from its load or Retry until the outcome.
void verifySearching(const frmWiz07& page)
{
    QVERIFY(page.Animation1->isVisibleTo(&page));
    QVERIFY(page.Label1->isVisibleTo(&page));
    QVERIFY(!page.Label2->isVisibleTo(&page));
    QVERIFY(!page.Label3->isVisibleTo(&page));
    QVERIFY(!page.Label4->isVisibleTo(&page));
    QVERIFY(!page.cmdNext->isEnabled());
    QVERIFY(!page.cmdBack->isEnabled());
    QVERIFY(!page.cmdRetry->isVisibleTo(&page));
}

ScriptedDiscovery::Answer unit(const QString& serial, const QByteArray& mac = QByteArray::fromHex("0050c2aa0001"))
{
    return { mac, serial, QStringLiteral("198.51.100.20") };
}
} // namespace

class tst_frmWiz07 : public QObject {
    Q_OBJECT

    // Scans on a simulated clock against a scripted discovery object.
    struct Local {
        SimulatedClock clock;
        ScanPageRig rig { clock };
        ScriptedDiscovery* discovery = nullptr;
        // What the main window's Configure Units was given, one entry a run.
        QStringList configured;
        QList<clsVerevo*> lent;
        explicit Local(QList<ScriptedDiscovery::Answer> answers, qint32 mode = 1)
        {
            rig.addInterface(QStringLiteral("198.51.100.1"), QStringLiteral("255.255.255.0"), kPcMac);
            rig.state.WizardMode = mode;
            rig.configureUnits
                = [this](const QString& serial, const std::shared_ptr<CQarUnitInfos>& one, clsVerevo* discovery) {
                      configured << serial + QLatin1Char('/') + QString::number(one ? one->Count() : 0);
                      lent << discovery;
                  };
            rig.build([this, answers] {
                auto d = std::make_unique<ScriptedDiscovery>(clock);
                d->answers = answers;
                discovery = d.get();
                return d;
            });
        }
    };

private slots:
    void searchLendsTheDiscoveryObjectUntilTheOutcome()
    {
        Local l({ unit(QStringLiteral("61000")) });
        clsVerevo* object = l.rig.main->cz();
        QVERIFY(object);
        frmWiz07* page = l.rig.openSearch();
        QCOMPARE(page->lblTitle->text(), QStringLiteral("Searching for Calvantors......"));
        QCOMPARE(page->Label2->text(),
            QStringLiteral("2) Select the Calvantor in the above list that you want to configure."));
        verifySearching(*page);
        QVERIFY(page->Animation1->isPlaying());
        QCOMPARE(l.rig.main->cVerevo(), object);
        QVERIFY(!l.rig.main->cz());
        QCOMPARE(l.discovery->key, kPcMac);

        QVERIFY(l.rig.waitForResults());
        QCOMPARE(l.rig.main->cz(), object);
        QVERIFY(!l.rig.main->cVerevo());
        QVERIFY(!page->Animation1->isVisibleTo(page));
        QVERIFY(!page->Animation1->isPlaying());
    }

    void titlesByCountAndMode_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("logLine");
        QTest::newRow("one, Ethernet only") << 1 << 1 << "One Calvantor was located!"
                                            << "1 Calvantor Units Located";
        QTest::newRow("one, cellular") << 1 << 0 << "One GPRS / EDGE / 3G / HSDPA Calvantor was located!"
                                       << "1 Calvantor Units Located";
        QTest::newRow("three, Ethernet only") << 3 << 1 << "3 Calvantor units were located!"
                                              << "3 Calvantor Units Located";
        QTest::newRow("three, cellular") << 3 << 0 << "3 GPRS / EDGE / 3G / HSDPA Calvantor units were located!"
                                         << "3 Calvantor Units Located";
        QTest::newRow("none, Ethernet only") << 0 << 1 << "No Calvantor units were located!"
                                             << "No Calvantor units Located";
        QTest::newRow("none, cellular") << 0 << 0 << "No GPRS / Edge / 3G / HSDPA Calvantor units were located!"
                                        << "No Calvantor units Located";
    }
    void titlesByCountAndMode()
    {
        QFETCH(int, count);
        QFETCH(int, mode);
        QFETCH(QString, title);
        QFETCH(QString, logLine);
        QList<ScriptedDiscovery::Answer> answers;
        for (int i = 0; i < count; ++i)
            answers << unit(QString::number(61000 + i));
        Local l(answers, mode);
        frmWiz07* page = l.rig.openSearch();
        QVERIFY(l.rig.waitForResults());
        QCOMPARE(page->lblTitle->text(), title);
        const QStringList log = logTexts(*l.rig.main);
        QCOMPARE(log.value(0), logLine);
        QCOMPARE(log.value(1), QStringLiteral("Scan Complete"));
        QCOMPARE(page->cmdNext->isEnabled(), count > 0);
        QVERIFY(page->cmdBack->isEnabled());
        QCOMPARE(page->cmdRetry->isVisibleTo(page), count == 0);
        QCOMPARE(page->Label2->isVisibleTo(page), count > 0);
        QCOMPARE(page->Label3->isVisibleTo(page), count > 0);
        QCOMPARE(page->Label4->isVisibleTo(page), count == 0);
        QCOMPARE(page->Label1->isVisibleTo(page), count > 0);
    }

    // The cellular wizard drops models outside its table before they are listed.
    void unsupportedModelIsNotCountedInTheCellularMode()
    {
        auto other = unit(QStringLiteral("61001"));
        other.model = QStringLiteral("Calvantor XY100 Box");
        Local l({ unit(QStringLiteral("61000")), other }, 0);
        frmWiz07* page = l.rig.openSearch();
        QVERIFY(l.rig.waitForResults());
        QCOMPARE(rowTexts(*page), QStringList { "61000" });
        QCOMPARE(page->lblTitle->text(), QStringLiteral("One GPRS / EDGE / 3G / HSDPA Calvantor was located!"));
    }

    void retrySearchesAgain_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("title");
        QTest::newRow("Ethernet only") << 1 << "Searching for Calvantor units......";
        QTest::newRow("cellular") << 0 << "Searching for GPRS / Edge / 3G / HSDPA Calvantor units......";
    }
    void retrySearchesAgain()
    {
        QFETCH(int, mode);
        QFETCH(QString, title);
        Local l({}, mode);
        frmWiz07* page = l.rig.openSearch();
        QVERIFY(l.rig.waitForResults());
        QVERIFY(page->cmdRetry->isVisibleTo(page));

        l.discovery->answers << unit(QStringLiteral("61000"));
        page->cmdRetry->click();
        QCOMPARE(page->lblTitle->text(), title);
        verifySearching(*page);
        QVERIFY(l.rig.main->cVerevo());
        QVERIFY(l.rig.waitForResults());
        QCOMPARE(l.discovery->queries, 2);
        QCOMPARE(rowTexts(*page), QStringList { "61000" });
        QVERIFY(page->cmdNext->isEnabled());
        QVERIFY(!page->Label4->isVisibleTo(page));
    }

    void backFollowsTheMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<PageId>("target");
        QTest::newRow("Ethernet only: welcome page") << 1 << PageId::Wiz01;
        QTest::newRow("cellular: last instruction page") << 0 << PageId::Wiz06;
    }
    void backFollowsTheMode()
    {
        QFETCH(int, mode);
        QFETCH(PageId, target);
        Local l({ unit(QStringLiteral("61000")) }, mode);
        l.rig.interfaces.LanAdapterCount = 2; // came through the adaptor page
        frmWiz07* page = l.rig.openSearch();
        QVERIFY(l.rig.waitForResults());
        page->cmdBack->click();
        QCOMPARE(l.rig.currentId(), target);
        QCOMPARE(l.rig.ends, 0);
    }

    void shiftRoadSetsTheOptionBeforeTheFreeAddressPage()
    {
        Local l({ unit(QStringLiteral("61000")) });
        l.rig.stub(PageId::Wiz11C);
        frmWiz07* page = l.rig.openSearch();
        QVERIFY(l.rig.waitForResults());
        l.rig.shift = true;
        page->cmdNext->click();
        QCOMPARE(l.rig.startups, QList<PageId> { PageId::Wiz11C });
        QCOMPARE(l.rig.configOptionAtStartup, qint16(3));
        QCOMPARE(l.rig.state.CurrentUnit->Serial(), QStringLiteral("61000"));
        QCOMPARE(l.rig.ends, 0);
    }

    void nextWithoutAUsableRowKeepsThePage_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::newRow("no row chosen") << QString();
        QTest::newRow("row text is no whole number") << QStringLiteral("61A00");
    }
    void nextWithoutAUsableRowKeepsThePage()
    {
        QFETCH(QString, serial);
        Local l({ unit(serial.isEmpty() ? QStringLiteral("61000") : serial) });
        frmWiz07* page = l.rig.openSearch();
        QVERIFY(l.rig.waitForResults());
        if (serial.isEmpty())
            page->lvUnits->setCurrentItem(nullptr);
        page->cmdNext->click();
        QCOMPARE(l.rig.currentId(), PageId::Wiz07);
        QVERIFY(!page->navigating());
        QVERIFY(page->isEnabled());
        QVERIFY(page->cmdNext->isEnabled());
        QVERIFY(!l.rig.state.CurrentUnit);
        QVERIFY(l.rig.prompts.boxes.isEmpty());
        QVERIFY(l.rig.startups.isEmpty());
    }

    // The main window's unit actions find the unit chosen in this page's
    // list by the wizard's own rule.
    void mainWindowFindsTheRowChosenHere_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("configured");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("second row") << "61001" << QStringList { "61001/1" } << QStringList();
        QTest::newRow("first row") << "61000" << QStringList { "61000/1" } << QStringList();
        QTest::newRow("no row") << QString() << QStringList() << QStringList { "Select a unit from the List first" };
    }
    void mainWindowFindsTheRowChosenHere()
    {
        QFETCH(QString, chosen);
        QFETCH(QStringList, configured);
        QFETCH(QStringList, boxes);
        Local l({ unit(QStringLiteral("61000")), unit(QStringLiteral("61001")) });
        frmWiz07* page = l.rig.openSearch();
        QVERIFY(l.rig.waitForResults());
        clsVerevo* object = l.rig.main->cz();
        if (chosen.isEmpty())
            page->lvUnits->clearSelection();
        else
            QVERIFY(choose(*page, chosen));
        l.rig.main->lvUnits_DblClick();
        QCOMPARE(l.configured, configured);
        QCOMPARE(l.rig.prompts.texts(), boxes);
        if (!configured.isEmpty())
            QCOMPARE(l.lent.value(0), object);
        QCOMPARE(l.rig.main->cz(), object);
    }

    void closeBoxDuringTheSearchEndsTheRun()
    {
        Local l({ unit(QStringLiteral("61000")) });
        QPointer<frmWiz07> page = l.rig.openSearch();
        page->close();
        QCOMPARE(l.rig.ends, 1);
        // The engine finishes its window with no page to report to and puts
        // the object back at rest by itself.
        QVERIFY(l.rig.waitForResults());
    }

    void closeBoxAfterARefusalEndsTheRun()
    {
        Local l({ unit(QStringLiteral("9")) });
        frmWiz07* page = l.rig.openSearch();
        QVERIFY(l.rig.waitForResults());
        page->cmdNext->click();
        QCOMPARE(
            l.rig.prompts.texts(), QStringList { "This unit has no serial number therefore you may not RURA it!" });
        QCOMPARE(l.rig.ends, 0);
        page->close();
        QCOMPARE(l.rig.ends, 1);
    }

    // The search over real datagrams, with units played by the simulator in
    // namespaces of their own behind a bridge in the PC's namespace.
    void oneUnitOverTheNetwork_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("title");
        QTest::newRow("Ethernet only") << 1 << "One Calvantor was located!";
        QTest::newRow("cellular") << 0 << "One GPRS / EDGE / 3G / HSDPA Calvantor was located!";
    }
    void oneUnitOverTheNetwork()
    {
        QFETCH(int, mode);
        QFETCH(QString, title);
        SKIP_WITHOUT_LAB();
        QVERIFY(labReady());
        QVERIFY(startSim(0, { "--serial", "61000", "--model", "Calvantor KR5004 Router", "--ip", "198.51.100.10" }));
        ScanPageRig rig(m_clock);
        QVERIFY(prepare(rig, mode));
        frmWiz07* page = rig.openSearch();
        QVERIFY(rig.waitForResults());
        QCOMPARE(rowTexts(*page), QStringList { "61000" });
        QCOMPARE(page->lblTitle->text(), title);
        QCOMPARE(logTexts(*rig.main).value(0), QStringLiteral("1 Calvantor Units Located"));
        QCOMPARE(page->lvUnits->topLevelItem(0)->text(1), QStringLiteral("KR5004"));
        QCOMPARE(page->lvUnits->topLevelItem(0)->text(2), QStringLiteral("198.51.100.10"));
        QCOMPARE(page->lvUnits->topLevelItem(0)->text(4), QStringLiteral("Yes"));
        QVERIFY(page->cmdNext->isEnabled());
        QCOMPARE(QApplication::focusWidget() ? QApplication::focusWidget() : page->focusWidget(), page->cmdNext);
        QVERIFY(page->lblStatus->text().isEmpty());
        QVERIFY(rig.prompts.boxes.isEmpty());

        page->cmdNext->click();
        QCOMPARE(rig.startups, QList<PageId> { PageId::Wiz08 });
        QCOMPARE(rig.state.SelectedUnitNo, 61000);
        QCOMPARE(rig.state.CurrentUnit->Mac(), QByteArray::fromHex("0050c2aa0000"));
        stopSims();
    }

    void noUnitOverTheNetwork()
    {
        SKIP_WITHOUT_LAB();
        QVERIFY(labReady());
        ScanPageRig rig(m_clock);
        QVERIFY(prepare(rig, 1));
        frmWiz07* page = rig.openSearch();
        QVERIFY(rig.waitForResults());
        QCOMPARE(page->lblTitle->text(), QStringLiteral("No Calvantor units were located!"));
        QCOMPARE(page->Label4->text(),
            QStringLiteral("No Calvantor units were located.\nPlease ensure the Ethernet lead is plugged in, and the "
                           "LAN LED is on. Click the &Retry button to try again."));
        QVERIFY(page->Label4->isVisibleTo(page));
        QVERIFY(!page->Label1->isVisibleTo(page));
        QVERIFY(page->cmdRetry->isVisibleTo(page));
        QCOMPARE(page->focusWidget(), page->cmdRetry);
        QVERIFY(!page->cmdNext->isEnabled());
        QVERIFY(page->cmdBack->isEnabled());
        QCOMPARE(logTexts(*rig.main).value(0), QStringLiteral("No Calvantor units Located"));

        // The person plugs the lead in and tries again.
        QVERIFY(startSim(0, { "--serial", "61000", "--count", "2" }));
        page->cmdRetry->click();
        verifySearching(*page);
        QVERIFY(rig.waitForResults());
        QCOMPARE(rowTexts(*page).size(), 2);
        QCOMPARE(page->lblTitle->text(), QStringLiteral("2 Calvantor units were located!"));
        stopSims();
    }

    // One search lists every kind of unit; each row is then tried in turn.
    void severalUnitsOverTheNetwork()
    {
        SKIP_WITHOUT_LAB();
        frmWiz07* page = sharedPage();
        QVERIFY(page);
        QStringList rows = rowTexts(*page);
        rows.sort();
        QCOMPARE(rows, (QStringList { "10", "22770", "5000", "6000", "61210", "8", "9" }));
        QCOMPARE(page->lblTitle->text(), QStringLiteral("7 Calvantor units were located!"));
        QCOMPARE(logTexts(*m_shared->main).value(0), QStringLiteral("7 Calvantor Units Located"));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("box");
        QTest::newRow("all-zero MAC") << "5000"
                                      << "The unit has no MAC address therefore you may not RURA it!";
        QTest::newRow("all-one MAC") << "6000"
                                     << "The unit's MAC address is FF:FF:FF:FF:FF:FF therefore you many not RURA it!";
        QTest::newRow("serial 8") << "8"
                                  << "This unit has no serial number therefore you may not RURA it!";
        QTest::newRow("serial 9") << "9"
                                  << "This unit has no serial number therefore you may not RURA it!";
    }
    void refusals()
    {
        QFETCH(QString, serial);
        QFETCH(QString, box);
        SKIP_WITHOUT_LAB();
        frmWiz07* page = sharedPage();
        QVERIFY(page);
        m_shared->prompts.boxes.clear();
        QVERIFY(choose(*page, serial));
        page->cmdNext->click();
        QCOMPARE(m_shared->prompts.texts(), QStringList { box });
        QCOMPARE(m_shared->prompts.boxes[0].icon, UserPrompts::Icon::Exclamation);
        QCOMPARE(m_shared->state.SelectedUnitNo, serial.toInt());
        QCOMPARE(m_shared->state.CurrentUnit->Serial(), serial);
        QCOMPARE(m_shared->currentId(), PageId::Wiz07);
        QVERIFY(!page->navigating());
        QVERIFY(page->isEnabled());
        QVERIFY(page->cmdNext->isEnabled());
        QCOMPARE(m_shared->ends, 0);
        QVERIFY(m_shared->startups.isEmpty());
    }

    void reservedSerialsEndTheRun_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::newRow("22770") << "22770";
        QTest::newRow("61210") << "61210";
    }
    void reservedSerialsEndTheRun()
    {
        QFETCH(QString, serial);
        SKIP_WITHOUT_LAB();
        frmWiz07* page = sharedPage();
        QVERIFY(page);
        m_shared->prompts.boxes.clear();
        m_shared->ends = 0;
        QVERIFY(choose(*page, serial));
        page->cmdNext->click();
        QCOMPARE(m_shared->prompts.texts(), QStringList { "You are not allowed to RURA the office VPN Router!" });
        QCOMPARE(m_shared->prompts.boxes[0].icon, UserPrompts::Icon::Exclamation);
        QCOMPARE(m_shared->ends, 1);
        QVERIFY(m_shared->startups.isEmpty());
    }

    void serialTenIsTaken()
    {
        SKIP_WITHOUT_LAB();
        QPointer<frmWiz07> page = sharedPage();
        QVERIFY(page);
        m_shared->prompts.boxes.clear();
        m_shared->ends = 0;
        QVERIFY(choose(*page, QStringLiteral("10")));
        page->cmdNext->click();
        QVERIFY(m_shared->prompts.boxes.isEmpty());
        QCOMPARE(m_shared->startups, QList<PageId> { PageId::Wiz08 });
        QCOMPARE(m_shared->state.SelectedUnitNo, 10);
        QCOMPARE(m_shared->state.CurrentUnit->Serial(), QStringLiteral("10"));
        WizardFixture::flushDeletes();
        QVERIFY(!page);
        QCOMPARE(m_shared->ends, 0);
    }

    void cleanupTestCase()
    {
        m_shared.reset();
        stopSims();
        m_lab.reset();
    }

private:
    // The lab: a bridge in the PC's namespace and five unit namespaces on it.
    // The test process moves into the PC's namespace for good.
    bool labReady()
    {
        if (m_lab)
            return true;
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty()) {
            qWarning("%s", qPrintable(why));
            return false;
        }
        m_lab = std::make_unique<NetLab>();
        m_pc = m_lab->addHost(QStringLiteral("pc"));
        QString bridge = QStringLiteral("ip link add br0 type bridge && ip link set br0 up && "
                                        "ip addr add 198.51.100.1/24 dev br0");
        for (int i = 0; i < 5; ++i) {
            const QString ns = m_lab->addHost(QStringLiteral("unit%1").arg(i));
            const QString port = QStringLiteral("p%1").arg(i);
            if (ns.isEmpty()
                || !m_lab->link(m_pc, port, QString(), ns, QStringLiteral("eth0"),
                    QStringLiteral("198.51.100.%1/24").arg(10 + 10 * i)))
                return false;
            m_units << ns;
            bridge += QStringLiteral(" && ip link set %1 master br0").arg(port);
        }
        if (!m_lab->sh(m_pc, bridge) || !m_lab->enter(m_pc)) {
            qWarning("%s", qPrintable(m_lab->lastError()));
            return false;
        }
        return true;
    }

    bool startSim(int unitNs, const QStringList& args)
    {
        QProcess* sim = m_lab->start(
            m_units[unitNs], QStringList { unitsimPath(), "--bind", "0.0.0.0", "--port", "7477" } + args);
        if (!sim || unitsimReady(*sim) != 7477)
            return false;
        m_sims << sim;
        return true;
    }

    void stopSims()
    {
        for (QProcess* sim : std::as_const(m_sims)) {
            sim->kill();
            sim->waitForFinished(3000);
        }
        m_sims.clear();
    }

    // The PC's interface table read from the kernel, as start-up reads it:
    // one adaptor (the bridge; its ports are no candidates), so the welcome
    // page leads straight to the search, which broadcasts to everyone out of
    // that link.
    bool prepare(ScanPageRig& rig, int mode)
    {
        CAdapterHelper adapters(QStringLiteral("/sys/class/net"), &rig.prompts);
        if (ModQar::BuildInterfaceList(adapters, rig.interfaces) != 1)
            return false;
        rig.interfaces.LanAdapterCount = 1;
        rig.state.WizardMode = mode;
        rig.build([&rig] { return rig.realDiscovery(); });
        return true;
    }

    frmWiz07* sharedPage()
    {
        if (m_shared)
            return m_sharedPage;
        if (!labReady())
            return nullptr;
        const bool started = startSim(0, { "--serial", "8", "--count", "3" })
            && startSim(1, { "--serial", "5000", "--mac", "000000000000" })
            && startSim(2, { "--serial", "6000", "--mac", "ffffffffffff" })
            && startSim(3, { "--serial", "22770", "--mac", "0050c2bb0000" })
            && startSim(4, { "--serial", "61210", "--mac", "0050c2cc0000" });
        if (!started)
            return nullptr;
        m_shared = std::make_unique<ScanPageRig>(m_clock);
        if (!prepare(*m_shared, 1))
            return nullptr;
        m_sharedPage = m_shared->openSearch();
        if (!m_shared->waitForResults())
            return nullptr;
        return m_sharedPage;
    }

    SystemClock m_clock;
    std::unique_ptr<NetLab> m_lab;
    QString m_pc;
    QStringList m_units;
    QList<QProcess*> m_sims;
    std::unique_ptr<ScanPageRig> m_shared;
    QPointer<frmWiz07> m_sharedPage;
};

QTEST_MAIN(tst_frmWiz07)
#include "tst_frmWiz07.moc"
