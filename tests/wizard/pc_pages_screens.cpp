// Photographs every state of the PC settings pages and the final page under a
// real window manager on a private X display, message boxes included, for a
// look at 1x and 2x (QT_SCALE_FACTOR=2). The adapter layer is an in-memory
// one, so no namespace is needed. Usage: pc_pages_screens <output dir>
#include "FakeAdapterConfigBackend.h"
#include "ScreenShots.h"
#include "SimulatedClock.h"
#include "XvfbDisplay.h"
#include "app/DialogPrompts.h"
#include "wizard/WizardPages.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardServices.h"
#include "wizard/WizardState.h"
#include "wizard/frmWiz13.h"
#include "wizard/frmwiz12A.h"
#include "wizard/frmwiz12B.h"
#include "wizard/frmwiz12C.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {
void shoot(const QString& name)
{
    ScreenShots::shoot(name, ScreenShots::Area::Windows);
}

// Photographs each box that comes up (named in turn) and answers it.
class BoxCamera : public QObject {
public:
    BoxCamera(QStringList names, QMessageBox::StandardButton answer)
        : m_names(std::move(names))
        , m_answer(answer)
    {
        connect(&m_poll, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || box == m_last || m_names.isEmpty())
                return;
            m_last = box;
            shoot(m_names.takeFirst());
            QAbstractButton* b = box->button(m_answer);
            QTest::mouseClick(b ? b : box->buttons().first(), Qt::LeftButton);
        });
        m_poll.start(50);
    }

private:
    QStringList m_names;
    QMessageBox::StandardButton m_answer;
    QTimer m_poll;
    QPointer<QMessageBox> m_last;
};

struct Stage {
    Stage()
        : prompts([this] {
            if (QWidget* modal = QApplication::activeModalWidget())
                return modal;
            return router ? static_cast<QWidget*>(router->visiblePage()) : nullptr;
        })
    {
        FakeAdapterConfigBackend::Entry e;
        e.config = { QStringLiteral("eth0"), QStringLiteral("02:00:5E:00:0C:01") };
        e.ipAddress = QStringList { QStringLiteral("192.168.0.1") };
        e.ipSubnet = QStringList { QStringLiteral("255.255.255.0") };
        e.gateways = QStringList { QStringLiteral("192.168.0.99") };
        e.dns = QStringList { QStringLiteral("192.168.0.99") };
        adapters.entries << e;
        interfaces.InterfaceList << InterfaceEntry { QByteArray::fromHex("02005e000c01"), nullptr };
        interfaces.LanAdapterCount = 1;
        state.UnitIP = QStringLiteral("192.168.0.99");
        state.WizardMode = 1;
        WizardServices services;
        services.adapters = &adapters;
        services.pingHost = [this](const QString&, const QString&, qint32) { return reachable; };
        services.openUrl = [](const QUrl&) { return false; };
        router = std::make_unique<WizardRouter>(
            state, prompts, clock, [] { return false; }, [] {}, nullptr, std::move(services));
        WizardPages::registerAll(*router);
    }
    ~Stage() { router.reset(); }

    FakeAdapterConfigBackend adapters;
    UsableInterfaces interfaces;
    WizardState state { interfaces };
    DialogPrompts prompts;
    SimulatedClock clock;
    bool reachable = true;
    std::unique_ptr<WizardRouter> router;
};

void dhcpPage()
{
    Stage s;
    s.adapters.codes[QStringLiteral("ReleaseDHCPLease")] = 83;
    s.adapters.codes[QStringLiteral("EnableDHCP")] = 1;
    auto* page = static_cast<frmwiz12A*>(s.router->open(PageId::Wiz12A));
    shoot(QStringLiteral("12A-warning"));
    BoxCamera camera({ QStringLiteral("12A-release-failed"), QStringLiteral("12A-restart-note") }, QMessageBox::Ok);
    QTest::mouseClick(page->cmdConfigure, Qt::LeftButton);
    shoot(QStringLiteral("12A-configured"));
    page->close();
}

void staticPage()
{
    Stage s;
    auto* page = static_cast<frmwiz12B*>(s.router->open(PageId::Wiz12B));
    shoot(QStringLiteral("12B-warning"));
    QTest::mouseClick(page->cmdConfigure, Qt::LeftButton);
    shoot(QStringLiteral("12B-fields"));
    page->txtgateway->clear();
    BoxCamera camera({ QStringLiteral("12B-gateway-failed"), QStringLiteral("12B-try-again") }, QMessageBox::Yes);
    QTest::mouseClick(page->cmdNext, Qt::LeftButton);
    shoot(QStringLiteral("12B-stays"));
    page->close();
}

void gatewayPage()
{
    Stage s;
    auto* page = static_cast<frmwiz12C*>(s.router->open(PageId::Wiz12C));
    shoot(QStringLiteral("12C-warning"));
    QTest::mouseClick(page->cmdConfigure, Qt::LeftButton);
    shoot(QStringLiteral("12C-configured"));
    page->close();
}

void finalPage(bool reachable, bool cellular)
{
    Stage s;
    s.reachable = reachable;
    s.state.GPRSTestOK = cellular;
    auto* page = static_cast<frmWiz13*>(s.router->open(PageId::Wiz13));
    shoot(QStringLiteral("13-before-startup"));
    page->runStartup();
    const QString name = reachable ? (cellular ? QStringLiteral("13-congratulations") : QStringLiteral("13-reachable"))
                                   : QStringLiteral("13-unreachable");
    shoot(name);
    if (reachable && !cellular) {
        BoxCamera camera({ QStringLiteral("13-browse-failed") }, QMessageBox::Ok);
        s.state.UnitIP = QStringLiteral("Error!");
        QTest::mouseClick(page->cmdConfigure, Qt::LeftButton);
    }
    page->close();
}
} // namespace

int main(int argc, char* argv[])
{
    XvfbDisplay display;
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        if (!display.start(true)) {
            std::fprintf(stderr, "%s\n", qPrintable(display.lastError()));
            return 1;
        }
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ScreenShots::setFolder(argc, argv);
    dhcpPage();
    staticPage();
    gatewayPage();
    finalPage(true, true);
    finalPage(true, false);
    finalPage(false, false);
    return 0;
}
