#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Acts on the next modal dialog of type T once it is on screen, from inside
// the event loop of its exec(), the way a person would reach it. Gives up
// after 10 s, so a dialog that never opens cannot keep a timer alive into
// later tests.
template<class T> void whenModal(std::function<void(T*)> act)
{
    auto* timer = new QTimer;
    const QDeadlineTimer deadline(10000);
    QObject::connect(timer, &QTimer::timeout, [timer, act, deadline] {
        T* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        } else if (deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(0);
}
