#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// Acts on a modal dialog from inside its own event loop, the way a person
// would while it is up: call before whatever opens the dialog. A window of
// another kind is closed, so that a test that went wrong ends instead of
// waiting for ever.
template<typename Dialog> void whenModal(std::function<void(Dialog*)> act, bool* seen = nullptr)
{
    QTimer::singleShot(0, [act = std::move(act), seen] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<Dialog*>(modal);
        if (seen)
            *seen = dialog != nullptr;
        if (!dialog) {
            if (modal)
                modal->close();
            return;
        }
        act(dialog);
    });
}

// Replaces what a line edit (or the edit inside a spin box) holds by typing.
inline void retype(QWidget* box, const QString& text)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}
