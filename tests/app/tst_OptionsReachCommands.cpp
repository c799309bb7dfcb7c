#include "../unit/QuerierRig.h"
#include "ModalDriver.h"
#include "RecordingScanView.h"
#include "Retype.h"
#include "StandInDiscovery.h"
#include "app/AppWindows.h"
#include "app/PppInstanceBox.h"
#include "app/frmOptions.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// What the advanced options dialog stores is what the next command, wait
// and ping use: nothing keeps an older copy. The dialog is opened from the
// main window's menu with the hooks start-up fills.
namespace {

// The discovery object as the scan sees it; one unit answers each query.
class OneUnitDiscovery final : public StandInDiscovery {
public:
    using StandInDiscovery::StandInDiscovery;
    void SetMac(const QByteArray&) override { }
    void SendQuery(const QString&) override
    {
        raiseIdentity(QByteArray::fromHex("0050c2aa0010"), QStringLiteral("1000"), QStringLiteral("198.51.100.10"),
            QStringLiteral("1"), QStringLiteral("CV100"), QStringLiteral("Calvantor CV100-E3G"));
    }
};

struct MainRig {
    SimulatedClock& clock;
    RecordingPrompts prompts;
    UsableInterfaces interfaces;
    AppSettings settings;
    RecordingView view;
    QList<qint32> pingTimeouts;
    std::unique_ptr<frmMain> w;

    explicit MainRig(SimulatedClock& c)
        : clock(c)
    {
        interfaces.InterfaceList << InterfaceEntry { QByteArray::fromHex("0050c2000001"), nullptr };
        frmMain::Services s {
            .clock = clock,
            .interfaces = interfaces,
            .createDiscovery = [this] { return std::make_unique<OneUnitDiscovery>(clock); },
            .PingAddress =
                [this](quint32, const QString&, qint32 timeout) {
                    pingTimeouts << timeout;
                    return true;
                },
            .settings = settings,
            .WizardMode = [] { return 1; },
            .ShiftKeyDown = [] { return false; },
            .prompts = &prompts,
        };
        AppWindows::fill(s);
        w = std::make_unique<frmMain>(std::move(s));
        view.window = w.get();
        w->setScanResultsView(&view);
    }

    void setOption(QLineEdit* frmOptions::*box, const QString& text)
    {
        const auto script = whenModal<frmOptions>([box, text](frmOptions* d) {
            retype(d->*box, text);
            QTest::mouseClick(d->OKButton, Qt::LeftButton);
        });
        w->mnuOptions()->trigger();
    }

    void scan()
    {
        const int before = view.displays;
        w->mnumnuScan()->trigger();
        clock.advance(5000);
        QCOMPARE(view.displays, before + 1);
    }
};

} // namespace

class tst_OptionsReachCommands : public QObject {
    Q_OBJECT
private slots:
    // The unit's command object is made before the options change, as the
    // scan makes it; its reboot wait still ends at the new time.
    void rebootWaitFollowsTheDialog()
    {
        // The unit answers across a LAN of the test's own.
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QuerierRig sim;
        sim.config.rebootDownMs = 0; // never goes down: the wait runs to its end
        sim.start();
        MainRig rig(sim.clock);
        clsUnitQuerier q(
            sim.clock, sim.prefixes, rig.settings.RebootTime, sim.cancel, [](const QString&, const QString&) {},
            [] { return simunits::unitMac; });

        for (const auto& [typed, seconds] : { std::pair { "7", 7 }, std::pair { "12.5", 12 } }) {
            rig.setOption(&frmOptions::txtRebootTimeout, QString::fromLatin1(typed));
            QCOMPARE(rig.settings.RebootTime, seconds);
            const qint64 t0 = sim.clock.monotonicMs();
            QVERIFY(!q.Reboot(simunits::serial, *sim.verevo));
            const qint64 took = sim.clock.monotonicMs() - t0;
            QVERIFY2(took >= seconds * 1000 - 500 && took <= seconds * 1000 + 2500,
                qPrintable(QStringLiteral("%1 ms for %2 s").arg(took).arg(seconds)));
        }
    }

    // The PPP instance is read from the settings as each command is built,
    // as start-up wires the unit commands.
    void pppInstanceFollowsTheDialog()
    {
        // The unit answers across a LAN of the test's own.
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QuerierRig sim;
        sim.start();
        MainRig rig(sim.clock);
        sim.prefixes.GPRSPPP = [&rig] { return rig.settings.GPRSPPP; };
        clsUnitQuerier q(
            sim.clock, sim.prefixes, rig.settings.RebootTime, sim.cancel, [](const QString&, const QString&) {},
            [] { return simunits::unitMac; });
        (void)q.GetPPPStatus(simunits::serial, *sim.verevo);
        const auto script = whenModal<frmOptions>([](frmOptions* d) {
            retype(d->txtGPRSPPP, QStringLiteral("2"));
            QTest::mouseClick(d->OKButton, Qt::LeftButton);
        });
        rig.w->mnuOptions()->trigger();
        (void)q.GetPPPStatus(simunits::serial, *sim.verevo);
        QCOMPARE(sim.lines(), (QStringList { "ppp 1 status", "ppp 2 status" }));
    }

    void nextScanPingsWithTheNewTimeout()
    {
        SimulatedClock clock;
        MainRig rig(clock);
        rig.scan();
        rig.setOption(&frmOptions::txtPingTimeout, QStringLiteral("250"));
        rig.scan();
        rig.setOption(&frmOptions::txtPingTimeout, QStringLiteral("50"));
        rig.scan();
        QCOMPARE(rig.pingTimeouts, (QList<qint32> { 1000, 250, 50 }));
    }
};

QTEST_MAIN(tst_OptionsReachCommands)
#include "tst_OptionsReachCommands.moc"
