#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <functional>

class QWidget;

// Tells a window that the Shift key is held while it is up, where the moment
// of its load cannot know. A Wayland compositor tells a client the keyboard's
// state only once one of its windows has the keyboard, and so does the X
// server it runs for X clients (XWayland), a little after the window's
// activation: a Shift held from before the program started shows up only
// then. So the watch looks again when the window gets the keyboard, after
// every word from the window system while it watches (the X server's note of
// the new keyboard state is one), and reads every key event sent to the
// window. The first Shift seen is reported once; the watch then ends.
class ShiftWatch : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // shiftKeyDown: whether a Shift key is held at this moment.
    ShiftWatch(QWidget& window, std::function<bool()> shiftKeyDown);
    ~ShiftWatch() override;
    ShiftWatch(const ShiftWatch&) = delete;
    ShiftWatch& operator=(const ShiftWatch&) = delete;

    void start();
    // Nothing is reported after this, not even a look already asked for.
    void stop();
    bool watching() const { return m_watching; }

signals:
    void shiftHeld();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    // Reads the key's state; when says what led to the look.
    void look(const char* when);
    void seen(const char* when);

    QWidget& m_window;
    std::function<bool()> m_shiftKeyDown;
    bool m_watching = false;
    bool m_lookAsked = false;
};
