#pragma once

#include <QTest>
#include <QWidget>

// A double click as the window system delivers it: press, release, press
// (seen as a double click), release. QTest's widget overload sends the
// double-click event alone, which a button never takes for a click.
inline void doubleClick(QWidget* widget)
{
    QWidget* top = widget->window();
    QTest::mouseDClick(top->windowHandle(), Qt::LeftButton, {}, widget->mapTo(top, widget->rect().center()));
}
