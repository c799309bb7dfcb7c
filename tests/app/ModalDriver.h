#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Acts on the next modal dialog of type T (a QDialog) once it is on screen,
// from inside the event loop of its exec(), the way a person would reach it.
// Whatever act leaves open is rejected after it. Gives up
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
}
