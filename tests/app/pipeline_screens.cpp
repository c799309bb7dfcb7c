// Photographs a Configure Units run as a person sees it, framed by a real
// window manager on a private X display: the options dialog, the progress
// window over the main window, the host prompts, the boxes, and the results
// window of a run with successes, a warning and failures.
// Usage: pipeline_screens <output dir>   (QT_SCALE_FACTOR=2 for the 2x set)
#include "PipelineRig.h"
#include "XvfbDisplay.h"
#include "app/DialogHostPrompt.h"
#include "app/DialogPrompts.h"
#include "app/frmCfgOptions.h"
#include "app/frmMain.h"
#include "app/frmSummary.h"
#include "app/frmTestHostname.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {
QString out;

QString suffix()
{
    return qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
        ? QStringLiteral("-") + qEnvironmentVariable("QT_SCALE_FACTOR") + QStringLiteral("x")
        : QStringLiteral("-1x");
}

void save(QWidget* w, const QString& name)
{
    if (!QTest::qWaitForWindowExposed(w)) {
        std::fprintf(stderr, "%s: the window never showed\n", qPrintable(name));
        return;
    }
    QTest::qWait(300); // the window manager draws its frame after the map
    const QRect frame = w->frameGeometry();
    w->screen()
        ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
        .save(out + QLatin1Char('/') + name + suffix() + QStringLiteral(".png"));
}

void saveScreen(const QRect& area, const QString& name)
{
    QTest::qWait(300);
    QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(out + QLatin1Char('/') + name + suffix() + QStringLiteral(".png"));
}

// Answers each modal window of the run as it comes, photographing it first.
class Person : public QObject {
public:
    Person()
    {
        connect(&m_poll, &QTimer::timeout, this, &Person::look);
        m_poll.start(50);
    }

private:
    void look()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == m_handled)
            return;
        m_handled = modal;
        if (auto* d = qobject_cast<frmCfgOptions*>(modal)) {
            QTest::mouseClick(d->cmdOptions(), Qt::LeftButton);
            d->Check1(0)->setChecked(false);
            save(d, QStringLiteral("run-options"));
            QTest::mouseClick(d->OKButton(), Qt::LeftButton);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            save(box, QStringLiteral("run-box-") + QString::number(++m_boxes));
            QAbstractButton* b
                = box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes) : box->button(QMessageBox::Ok);
            QTest::mouseClick(b, Qt::LeftButton);
        } else if (auto* prompt = qobject_cast<frmTestHostname*>(modal)) {
            const bool pc = prompt->lblPrompt->text().contains(QLatin1String("the PC should"));
            save(prompt, pc ? QStringLiteral("run-host-pc") : QStringLiteral("run-host-unit"));
            prompt->txtRemote->setText(pc ? QStringLiteral("pc.example") : QStringLiteral("gprs.example"));
            QTest::mouseClick(prompt->OKButton, Qt::LeftButton);
        } else if (auto* summary = qobject_cast<frmSummary*>(modal)) {
            save(summary, QStringLiteral("run-summary"));
            QTest::mouseClick(summary->cmdClose(), Qt::LeftButton);
        }
    }

    QTimer m_poll;
    QPointer<QWidget> m_handled;
    int m_boxes = 0;
};
} // namespace

int main(int argc, char* argv[])
{
    XvfbDisplay display;
    if (!display.start(true, QStringLiteral("2560x1600x24"))) {
        std::fprintf(stderr, "%s\n", qPrintable(display.lastError()));
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);

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
            saveScreen(main.frameGeometry().united(progress.frameGeometry()), QStringLiteral("run-progress-over-main"));
        }
    };
    Person person;
    main.activateWindow();
    rig.configure();
    save(&main, QStringLiteral("run-main-window"));
    return 0;
}
