// Shows the host prompt as the unit's test and as the PC's test use it, and
// saves what the screen shows of each, frame included, for a look at layout
// and text fit. Run it under an X server with a window manager.
// Usage: host_prompt_screens <output dir>
#include "app/frmTestHostname.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace {
void shoot(frmTestHostname& p, const QString& path)
{
    QTimer::singleShot(800, &p, [&p, path] {
        const QPixmap screen = p.screen()->grabWindow(0);
        const qreal ratio = screen.devicePixelRatio();
        const QRect frame = p.frameGeometry().adjusted(-4, -4, 4, 4);
        screen
            .copy(QRect(qRound(frame.x() * ratio), qRound(frame.y() * ratio), qRound(frame.width() * ratio),
                qRound(frame.height() * ratio)))
            .save(path);
        p.reject();
    });
    QString host = QStringLiteral("www.example.com");
    p.GetRemote(host);
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    {
        frmTestHostname p;
        p.setWindowTitle(QStringLiteral("Serial number: 4711 ") + p.windowTitle());
        shoot(p, out + QStringLiteral("/frmTestHostname-unit.png"));
    }
    {
        frmTestHostname p;
        p.setWindowTitle(QStringLiteral("Serial number: 4711 ") + p.windowTitle());
        p.lblPrompt->setText(QStringLiteral("Enter the name of the remote unit that the PC should attempt to "
                                            "communicate with through the Calvantor Unit."));
        shoot(p, out + QStringLiteral("/frmTestHostname-pc.png"));
    }
    return 0;
}
