#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// A pending action on the next modal dialog; dropping it disarms the action,
// so a dialog that never opened cannot leave it to fire in a later test.
class ModalScript {
public:
    explicit ModalScript(QTimer* timer)
        : m_timer(timer)
    { }
    ModalScript(ModalScript&&) = default;
    ModalScript& operator=(ModalScript&&) = default;
    ~ModalScript()
    {
        if (m_timer)
            delete m_timer.data();
    }

private:
    QPointer<QTimer> m_timer;
};

// Acts on the next modal dialog of type T (a QDialog) once it is on screen,
// from inside the event loop of its exec(), the way a person would reach it.
// Whatever act leaves open is rejected after it. Keep the result until the
// dialog has come and gone; it gives up by itself after 10 s.
template<class T> [[nodiscard]] ModalScript whenModal(std::function<void(T*)> act)
{
    auto* timer = new QTimer;
    const QDeadlineTimer deadline(10000);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act, deadline] {
        T* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            timer->stop();
            timer->deleteLater();
            const QPointer<T> open(dialog);
            act(dialog);
            // A check that failed inside act returned early; the dialog must
            // not be left waiting for a person who never comes.
            if (open && open->isVisible())
                open->reject();
        } else if (deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(0);
    return ModalScript(timer);
}
