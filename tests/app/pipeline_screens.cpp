// Photographs a Configure Units run as a person sees it, framed by a real
// window manager on a private X display: the options dialog, the progress
// window over the main window, the host prompts, the boxes, and the results
// window of a run with successes, a warning and failures.
// Usage: pipeline_screens <output dir>   (QT_SCALE_FACTOR=2 for the 2x set)
#include "PersonAtDialogs.h"
#include "PipelineRig.h"
#include "WindowPhotos.h"
#include "app/DialogHostPrompt.h"
#include "app/DialogPrompts.h"
#include "app/frmCfgOptions.h"
#include "app/frmMain.h"
#include "app/frmSummary.h"
#include "app/frmTestHostname.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {
QString out;

void save(QWidget* w, const QString& name)
{
    WindowPhotos::save(w, out, name);
}
} // namespace

int main(int argc, char* argv[])
{
    XvfbDisplay display;
    if (!WindowPhotos::startDisplay(display))
        return 1;
    QApplication app(argc, argv);
    out = WindowPhotos::outputDir(argc, argv);

    PipelineRig rig;
    rig.sim.clock.setWallMs(
        QDateTime::currentDateTime().toMSecsSinceEpoch() + QDateTime::currentDateTime().offsetFromUtc() * 1000LL);
    DialogPrompts prompts;
    DialogHostPrompt hostPrompt;
    rig.realWindows = true;
    rig.realPrompts = &prompts;
    rig.realHostPrompt = &hostPrompt;
    rig.answering << QStringLiteral("pc.example");
    // The gateway is set, but the PC must restart; the unit's own test fails.
    rig.adapters.codes[QStringLiteral("SetGateways")] = 1;
    rig.sim.config.pingUnreachable << QStringLiteral("gprs.example");
    rig.start();
    rig.unit()->setIp(QStringLiteral("198.51.100.10"));
    rig.unit()->setUnitID(QStringLiteral("Depot-3"));
    rig.unit()->setProductID(QStringLiteral("CV100"));

    AppSettings settings = rig.settings;
    settings.ShowStatusLog = true;
    frmMain main(frmMain::Services {
        .clock = rig.sim.clock,
        .interfaces = rig.interfaces,
        .createDiscovery = {},
        .PingAddress = {},
        .settings = settings,
        .WizardMode = [] { return 0; },
    });
    main.move(40, 40);
    main.show();
    if (!QTest::qWaitForWindowExposed(&main))
        return 1;
    main.AddLogEntry(QString(), QStringLiteral("Scan Complete"));
    rig.onLog = [&main, &rig](const QString& line) { main.AddLogEntry(rig.unit()->Serial(), line); };

    ProgressWatch watch;
    watch.onStage = [&main](frmProgress& progress, const QString& label) {
        if (label == QLatin1String("Wait for internet connection")) {
            // The bar repaints only once the stage's value has been announced.
            progress.ProgressBar1()->repaint();
            save(&progress, QStringLiteral("run-progress"));
            WindowPhotos::saveArea(
                main.frameGeometry().united(progress.frameGeometry()), out, QStringLiteral("run-progress-over-main"));
        }
    };
    PersonAtDialogs person;
    person.switches = QStringLiteral("SRWTGPCD");
    person.pcHost = QStringLiteral("pc.example");
    int boxes = 0;
    person.beforeAnswer = [&boxes](QWidget& w, const QString& kind) {
        save(&w, QStringLiteral("run-") + kind + (kind == u"box" ? QString::number(++boxes) : QString()));
    };
    main.activateWindow();
    rig.configure();
    save(&main, QStringLiteral("run-main-window"));
    return 0;
}
