#include "wizard/ShiftWatch.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QTimer>
#include <QWidget>

// Off unless asked for (QT_LOGGING_RULES="linkwise.shift.info=true"): what
// the watch saw, for whoever wonders why a road was or was not offered.
Q_LOGGING_CATEGORY(lcShift, "linkwise.shift", QtWarningMsg)

ShiftWatch::ShiftWatch(QWidget& window, std::function<bool()> shiftKeyDown)
    : m_window(window)
    , m_shiftKeyDown(std::move(shiftKeyDown))
{ }

ShiftWatch::~ShiftWatch()
{
    stop();
}

void ShiftWatch::start()
{
    if (m_watching)
        return;
    m_watching = true;
    // Key events go to the focused control first; the application sees each
    // before any control can take it.
    QCoreApplication::instance()->installEventFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

void ShiftWatch::stop()
{
    if (!m_watching)
        return;
    m_watching = false;
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->removeEventFilter(this);
        app->removeNativeEventFilter(this);
    }
}

bool ShiftWatch::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::WindowActivate && type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return false;
    if (!m_watching || !watched->isWidgetType())
        return false;
    if (static_cast<QWidget*>(watched)->window() != &m_window)
        return false;
    if (type == QEvent::WindowActivate && watched == &m_window) {
        look("on focus");
    } else if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        // A key event carries the modifiers held as it happened; a Shift
        // pressed or let go is itself a Shift held.
        const auto* key = static_cast<const QKeyEvent*>(event);
        const bool shift = key->key() == Qt::Key_Shift || key->modifiers().testFlag(Qt::ShiftModifier);
        qCInfo(lcShift, "Shift on a key: %s", shift ? "held" : "not held");
        if (shift)
            seen("on a key");
    }
    return false;
}

bool ShiftWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result)
{
    Q_UNUSED(eventType);
    Q_UNUSED(message);
    Q_UNUSED(result);
    // Which word it was needs no reading: one look per turn of the event
    // loop, after the news has been taken in, covers a burst of them.
    if (m_watching && !m_lookAsked) {
        m_lookAsked = true;
        QTimer::singleShot(0, this, [this] {
            m_lookAsked = false;
            if (m_watching && m_shiftKeyDown && m_shiftKeyDown())
                seen("after news from the window system");
        });
    }
    return false;
}

void ShiftWatch::look(const char* when)
{
    const bool held = m_shiftKeyDown && m_shiftKeyDown();
    qCInfo(lcShift, "Shift %s: %s", when, held ? "held" : "not held");
    if (held)
        seen(when);
}

void ShiftWatch::seen(const char* when)
{
    if (!m_watching)
        return;
    stop();
    qCInfo(lcShift, "Shift seen %s", when);
    emit shiftHeld();
}
