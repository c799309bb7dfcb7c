// Photographs every state of the cellular settings and apply-and-test pages,
// the whole screen with window frames and message boxes, for a look under a
// real window manager at 1x and 2x. The unit is played in this process on a
// simulated clock. Run it on a display with a window manager.
// Usage: cellular_screens <output dir>
#include "CellularPageRig.h"
#include "ScreenShots.h"
#include "app/DialogPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <limits>

namespace {
using ScreenShots::shoot;

// Shows a real box with the text the page asked over it, photographs it and
// closes it.
void boxShot(QWidget* over, const RecordingPrompts::Box& box, const QString& name)
{
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!shown || !shown->isVisible())
            return;
        poll.stop();
        shoot(name);
        shown->reject();
    });
    poll.start(50);
    DialogPrompts real(over);
    if (box.question)
        real.askYesNo(box.text, box.icon, box.title);
    else
        real.message(box.text, box.icon, box.title);
}

void road(const QString& prefix, const std::function<void(CellularPageRig&)>& setUp, QList<bool> answers)
{
    SimulatedClock clock;
    CellularPageRig rig(clock);
    setUp(rig);
    if (!rig.start())
        return;
    rig.scan.prompts.answers = answers;
    frmWiz09* settings = rig.openSettingsPage();
    if (!settings)
        return;
    settings->activateWindow();
    shoot(prefix + QStringLiteral("settings-empty"));
    settings->txtAPN->setText(QStringLiteral("internet.operator.example"));
    settings->txtPIN->setText(QStringLiteral("1234"));
    settings->txtUserName->setText(QStringLiteral("web"));
    settings->txtPassword->setText(QStringLiteral("secret"));
    shoot(prefix + QStringLiteral("settings-filled"));

    int statusLines = 0;
    rig.watcher->onLine = [&](const WatchingInterpreter::Seen& s) {
        if (s.line == u"config 0 save")
            clock.schedule(0, [&] { shoot(prefix + QStringLiteral("working-save")); });
        if (s.line.endsWith(QLatin1String(" status")) && ++statusLines == 3)
            clock.schedule(0, [&] { shoot(prefix + QStringLiteral("working-link-wait")); });
    };
    rig.scan.prompts.onBox = [&] {
        const RecordingPrompts::Box box = rig.scan.prompts.boxes.last();
        QString name = box.title.isEmpty() ? QStringLiteral("question") : box.title;
        name.replace(QLatin1Char(' '), QLatin1Char('-')).remove(QLatin1Char('?'));
        boxShot(rig.testPage(), box, prefix + QStringLiteral("box-") + name.toLower());
    };
    frmWiz10* page = rig.applyAndTest(*settings);
    if (!page)
        return;
    shoot(prefix + QStringLiteral("done"));
    page->close();
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ScreenShots::setFolder(argc, argv);
    road(QStringLiteral("ok-"), [](CellularPageRig&) {}, {});
    road(QStringLiteral("refused-"),
        [](CellularPageRig& rig) { rig.config.refuse = QStringList { QStringLiteral("muxoff") }; }, { false });
    road(QStringLiteral("failed-"),
        [](CellularPageRig& rig) {
            rig.config.pppIdleMs = std::numeric_limits<int>::max();
            rig.config.signalDbm = { { QString(), QStringLiteral("-97") } };
        },
        { false });
    road(QStringLiteral("pin-"),
        [](CellularPageRig& rig) {
            rig.config.simState = { { QString(), QStringLiteral("pin") } };
        },
        { false });
    road(QStringLiteral("puk-"),
        [](CellularPageRig& rig) {
            rig.config.simState = { { QString(), QStringLiteral("puk") } };
        },
        { false });
    return 0;
}
