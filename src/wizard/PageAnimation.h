#pragma once

#include "net/ClockTimer.h"

#include <QSizeF>
#include <QWidget>

#include <functional>

class Clock;
class QPainter;

// A small looping picture that tells the person the page is at work (a
// search, a probe, a link coming up). The frames are painted, not read from a
// clip file, so they ship inside the program and scale with the page. It plays
// while it is visible: a page shows it to start it and hides it to stop it.
// Pages take one of the clips below or paint their own.
class PageAnimation : public QWidget {
    Q_OBJECT
public:
    struct Clip {
        int frames = 1;
        int frameMs = 100;
        // The size the painter draws a frame in; the widget scales it to fit.
        QSizeF design;
        // Draws frame number n (0 .. frames - 1).
        std::function<void(QPainter&, int)> paint;
    };

    PageAnimation(Clock& clock, Clip clip, QWidget* parent = nullptr);

    const Clip& clip() const { return m_clip; }
    int frame() const { return m_frame; }
    bool isPlaying() const { return m_timer.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void advance();

    Clip m_clip;
    ClockTimer m_timer;
    int m_frame = 0;
};
