#pragma once

#include <QTest>
#include <QWidget>

// Replaces what a line edit (or the edit inside a spin box) holds, by typing.
inline void retype(QWidget* box, const QString& text)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}
