// Walks the pages built so far as a person does, with the program started as
// main() starts it, and saves the whole screen at each step (window frames,
// positions and message boxes included), for a look under a real window
// manager at 1x and 2x. Needs root (network namespaces) and a display.
// Usage: journey_screens <output dir>
#include "Journey.h"
#include "wizard/frmWiz01.h"
#include "wizard/frmWiz02.h"
#include "wizard/frmWiz07.h"

#include <QComboBox>
#include <QDir>
#include <QRadioButton>
#include <QScreen>

#include <cstdio>

namespace {
QString g_out;
int g_shot = 0;

void shoot(const QString& name)
{
    QTest::qWait(400); // the window manager places and draws its frames
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    const QString path = QStringLiteral("%1/%2-%3.png").arg(g_out).arg(++g_shot, 2, 10, QLatin1Char('0')).arg(name);
    screen.save(path);
    std::printf("%s\n", qPrintable(path));
}

// Presses button, photographs the box it opens, then presses answer on it.
void boxShot(QAbstractButton* button, QMessageBox::StandardButton answer, const QString& name)
{
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll.stop();
        shoot(name);
        QTest::mouseClick(box->button(answer), Qt::LeftButton);
    });
    poll.start(50);
    QTest::mouseClick(button, Qt::LeftButton);
}

void next(Journey::Run& run)
{
    QTest::mouseClick(run.router().visiblePage()->navButton(WizardPage::Nav::Next), Qt::LeftButton);
}

void cellularRoad()
{
    Journey::Lan lan;
    if (!lan.build(Journey::Lan::Shape::TwoInterfaces) || !lan.startUnits())
        return;
    Journey::Run run;
    run.shift = true;
    Journey::inEventLoop([&] {
        run.program.start();
        run.shift = false;
        auto* welcome = run.page<frmWiz01>();
        shoot(QStringLiteral("welcome-shift"));
        welcome->Option2->click();
        boxShot(welcome->cmdCancel, QMessageBox::No, QStringLiteral("exit-question"));
        next(run);
        auto* adaptor = run.page<frmWiz02>();
        adaptor->cbInterfaces->setCurrentIndex(1);
        shoot(QStringLiteral("adaptor"));
        for (const char* name : { "sim", "cable", "aerial", "power" }) {
            next(run);
            shoot(QString::fromLatin1(name));
        }
        next(run);
        QTest::qWait(300);
        shoot(QStringLiteral("searching-cellular"));
        frmWiz07* search = Journey::waitForUnits(run);
        if (!search)
            return;
        shoot(QStringLiteral("found-cellular"));
        search->lvUnits->setCurrentItem(search->lvUnits->topLevelItem(0));
        boxShot(search->cmdNext, QMessageBox::Ok, QStringLiteral("refusal"));
        search->close();
    });
}

void nothingFound()
{
    Journey::Lan lan;
    if (!lan.build(Journey::Lan::Shape::Bare))
        return;
    Journey::Run run;
    Journey::inEventLoop([&] {
        run.program.start();
        shoot(QStringLiteral("welcome"));
        next(run);
        auto* search = run.page<frmWiz07>();
        QTest::qWait(300);
        shoot(QStringLiteral("searching"));
        QDeadlineTimer deadline(20000);
        while (!search->cmdRetry->isVisible() && !deadline.hasExpired())
            QTest::qWait(50);
        shoot(QStringLiteral("none-found"));
        search->close();
    });
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    g_out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(g_out);
    if (const QString why = NetLab::unavailableReason(); !why.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        return 1;
    }
    cellularRoad();
    nothingFound();
    return 0;
}
