// Renders the dialogs, the About box and the terminal window into PNG files,
// frames and all, for a look at layout and text fit under a real window
// manager. Usage: app_windows_screens <output dir>
#include "RecordingPrompts.h"
#include "app/frmAbout.h"
#include "app/frmInterface.h"
#include "app/frmOptions.h"
#include "app/frmTerminal2.h"
#include "net/SystemClock.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QTest>

namespace {
void shoot(QWidget& w, const QString& path)
{
    w.show();
    w.raise();
    w.activateWindow();
    (void)QTest::qWaitForWindowExposed(&w);
    QTest::qWait(400);
    const QRect frame = w.frameGeometry();
    QScreen* screen = w.screen();
    screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).save(path);
    w.hide();
}

std::shared_ptr<CAdapter> adapter(
    int index, const QString& name, const QString& ip, const QString& mask, const char* mac)
{
    auto a = std::make_shared<CAdapter>();
    a->setInterfaceIndex(index);
    a->setInterfaceName(name);
    a->setDescription(name == u"enp0s31f6" ? QStringLiteral("Intel(R) Ethernet Connection I219-LM (enp0s31f6)")
                                           : QStringLiteral("Realtek RTL8153 USB Ethernet (enx00e04c680001)"));
    a->setIPAddress(ip);
    a->setMask(mask);
    a->SetPhysAddr(6, QByteArray::fromHex(mac));
    return a;
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    RecordingPrompts prompts;

    AppSettings settings;
    frmOptions options(settings, prompts);
    shoot(options, out + QStringLiteral("/frmOptions.png"));

    UsableInterfaces interfaces;
    interfaces.InterfaceList << InterfaceEntry { {},
        adapter(2, QStringLiteral("enp0s31f6"), "192.168.10.23", "255.255.255.0", "3c52821a0b7f") };
    interfaces.InterfaceList << InterfaceEntry { {},
        adapter(7, QStringLiteral("enx00e04c680001"), "203.0.113.1", "255.255.255.0", "00e04c680001") };
    interfaces.SelectedInterface = 1;
    frmInterface choice(interfaces, {}, {});
    shoot(choice, out + QStringLiteral("/frmInterface.png"));

    frmAbout about(nullptr, prompts);
    shoot(about, out + QStringLiteral("/frmAbout.png"));

    SystemClock clock;
    frmTerminal2 terminal(std::make_unique<clsTrm>(clock, prompts), prompts);
    terminal.lblStatus->setText(QStringLiteral("Login succesful: "));
    terminal.messagePrint(QStringLiteral("SUPER\r\nppp 1 status\r\nPPP 1: Connected\r\nIP Address: 203.0.113.5\r\n"
                                         "OK\r\nSerial#:4711\r\n"));
    shoot(terminal, out + QStringLiteral("/frmTerminal2.png"));
    return 0;
}
