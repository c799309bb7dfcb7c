#pragma once

#include "wizard/PageAnimation.h"

// The cellular test's moving picture: a satellite over a unit, with a signal
// pulse travelling down to the unit's aerial and the unit's signal bars filling
// as it arrives (the link is being brought up).
class SatAnimation : public PageAnimation {
    Q_OBJECT
public:
    static constexpr int kFrames = 16;
    static constexpr int kFrameMs = 110;

    explicit SatAnimation(Clock& clock, QWidget* parent = nullptr);

    static Clip clip();
};
