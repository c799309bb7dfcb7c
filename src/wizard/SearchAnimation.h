#pragma once

#include "net/ClockTimer.h"

#include <QWidget>

class Clock;

// The search page's moving picture: a magnifying glass that circles over a
// small unit while waves go out from it. The frames are painted here, so the
// clip ships inside the program and scales with the page.
class SearchAnimation : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrames = 12;
    static constexpr int kFrameMs = 125;

    SearchAnimation(Clock& clock, QWidget* parent = nullptr);

    int frame() const { return m_frame; }
    bool isPlaying() const { return m_timer.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void advance();

    ClockTimer m_timer;
    int m_frame = 0;
};
