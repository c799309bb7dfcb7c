#pragma once

#include "wizard/PageAnimation.h"

// The search's moving picture: a magnifying glass that circles over a small
// unit while waves go out from it (the search page and the probe of the
// configuration-option page).
class SearchAnimation : public PageAnimation {
    Q_OBJECT
public:
    static constexpr int kFrames = 12;
    static constexpr int kFrameMs = 125;

    explicit SearchAnimation(Clock& clock, QWidget* parent = nullptr);

    static Clip clip();
};
