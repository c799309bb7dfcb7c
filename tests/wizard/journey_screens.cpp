// Walks the pages as a person does, with the program started as
// main() starts it, and saves the whole screen at each step (window frames,
// positions and message boxes included), for a look under a real window
// manager at 1x and 2x. Needs root (network namespaces) and a display.
// Usage: journey_screens <output dir>
#include "AddressRoad.h"
#include "Journey.h"
#include "ScreenShots.h"
#include "wizard/ClickLabel.h"
#include "wizard/frmWiz01.h"
#include "wizard/frmWiz02.h"
#include "wizard/frmWiz07.h"
#include "wizard/frmWiz08.h"
#include "wizard/frmwiz11A.h"
#include "wizard/frmwiz11B.h"
#include "wizard/frmwiz11C.h"

#include <QComboBox>
#include <QDir>
#include <QRadioButton>
#include <QScreen>

#include <cstdio>

namespace {
using ScreenShots::shoot;

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
// Runs body on a bare LAN with one unit (unitsim's extra arguments: sim), in
// the program's own event loop.
void onBareLan(const QStringList& sim, const std::function<void(Journey::Lan&, Journey::Run&)>& body)
{
    Journey::Lan lan;
    if (!lan.build(Journey::Lan::Shape::Bare) || !lan.startUnits(AddressRoad::oneUnit(sim)))
        return;
    Journey::Run run;
    Journey::inEventLoop([&] { body(lan, run); });
}

// The option page and the address pages: a DHCP server on the LAN and a unit
// the PC can't reach (option 2, then back and option 3), then a reachable unit
// without a server (option 1), then the Shift road on a PC without address.
void addressRoads()
{
    const QStringList serverAndSilentUnit { "--ip", "198.51.100.75", "--lan-dhcp-server", "1", "--late", "dhcpcli=1500",
        "--refuse", "eth 0 ipaddr \"192.168.0.99\"" };
    onBareLan(serverAndSilentUnit, [](Journey::Lan& lan, Journey::Run& run) {
        // .2 to .4 answer, so the free-address search waits on .5.
        lan.onUnitSide(QStringLiteral("ip addr add 198.51.100.2/24 dev eth0 && ip addr add 198.51.100.3/24 dev eth0 && "
                                      "ip addr add 198.51.100.4/24 dev eth0"));
        frmWiz07* search = AddressRoad::reachSearch(run);
        if (!search)
            return;
        Journey::choose(*search, QStringLiteral("10"));
        AddressRoad::BoxHand hand([&](const Journey::Box&) {
            shoot(QStringLiteral("option-reset-question"));
            QTimer::singleShot(500, qApp, [] { shoot(QStringLiteral("option-probing")); });
            return QMessageBox::No;
        });
        QTest::mouseClick(search->cmdNext, Qt::LeftButton);
        auto* options = run.page<frmWiz08>();
        shoot(QStringLiteral("option-server-unreachable"));
        AddressRoad::BoxHand notAllowed([](const Journey::Box&) {
            shoot(QStringLiteral("option-not-allowed"));
            return QMessageBox::Ok;
        });
        QTest::mouseClick(options->Label1, Qt::LeftButton);
        QTest::qWait(500);
        options->Option2->click();
        QTest::mouseClick(options->cmdNext, Qt::LeftButton);
        auto* fixed = run.page<frmwiz11B>();
        shoot(QStringLiteral("address-static"));
        AddressRoad::BoxHand retry([](const Journey::Box&) {
            shoot(QStringLiteral("address-static-refused"));
            return QMessageBox::Yes;
        });
        QTest::mouseClick(fixed->cmdNext, Qt::LeftButton);
        QTest::qWait(500);
        AddressRoad::BoxHand again;
        QTest::mouseClick(fixed->cmdBack, Qt::LeftButton);
        options = run.page<frmWiz08>();
        options->Option3->click();
        QObject::connect(&run.router(), &WizardRouter::pageShown, qApp, [](PageId id) {
            if (id == PageId::Wiz11C)
                QTimer::singleShot(300, qApp, [] { shoot(QStringLiteral("address-free-searching")); });
        });
        QTest::mouseClick(options->cmdNext, Qt::LeftButton);
        shoot(QStringLiteral("address-free-found"));
    });
    onBareLan({}, [](Journey::Lan&, Journey::Run& run) {
        AddressRoad::BoxHand hand;
        frmWiz08* options = AddressRoad::reachOptionPage(run);
        if (!options)
            return;
        shoot(QStringLiteral("option-reachable"));
        QTest::mouseClick(options->cmdNext, Qt::LeftButton);
        shoot(QStringLiteral("address-dhcp-server"));
    });
    onBareLan({}, [](Journey::Lan& lan, Journey::Run& run) {
        frmWiz07* search = AddressRoad::reachSearch(run);
        if (!search)
            return;
        Journey::choose(*search, QStringLiteral("10"));
        lan.onPcSide(QStringLiteral("ip addr flush dev eth0"));
        run.shift = true;
        QTest::mouseClick(search->cmdNext, Qt::LeftButton);
        run.shift = false;
        shoot(QStringLiteral("address-free-manual"));
    });
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ScreenShots::setFolder(argc, argv);
    if (const QString why = NetLab::unavailableReason(); !why.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        return 1;
    }
    if (argc > 2 && QByteArray(argv[2]) == "address") {
        addressRoads();
        return 0;
    }
    cellularRoad();
    nothingFound();
    addressRoads();
    return 0;
}
