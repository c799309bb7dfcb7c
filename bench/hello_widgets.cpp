// The yardstick of the start-up benchmark: the smallest Qt Widgets program
// that puts a window on screen. Like the program's own test hook, it says on
// stderr when its window has first painted and closes it after
// LINKWISE_AUTOCLOSE_MS milliseconds.
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>

#include <cstdio>

namespace {
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            std::fputs("hello shown\n", stderr);
        }
        return false;
    }
};
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Hello, world"));
    FirstPaint paint;
    window.installEventFilter(&paint);
    window.show();
    bool ok = false;
    const int closeMs = qEnvironmentVariableIntValue("LINKWISE_AUTOCLOSE_MS", &ok);
    if (ok)
        QTimer::singleShot(closeMs, &window, &QWidget::close);
    return app.exec();
}
