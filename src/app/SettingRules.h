#pragma once

#include <QString>

#include <optional>

// Which values the settings that a person can change take: typed into the
// advanced options or edited by hand in the settings file, one rule for
// both, so that what the dialog stores comes back at the next start and
// what start-up would refuse cannot be typed in either.
namespace SettingRules {

struct Range {
    qint32 low;
    qint32 high;
};

// A ping time-out of 2^31 ms hangs the scan's first ping for weeks and one
// below 50 ms makes pings fail that a unit answers; a link wait below a few
// seconds can never see a link come up.
inline constexpr Range PingTimeout { 50, 60'000 };
inline constexpr Range PPPWaitTime { 10, 3'600 };

// The whole number the text holds, read as the option boxes read numbers
// (WholeNumberText), when it lies within range; nothing otherwise.
std::optional<qint32> number(const QString& text, Range range);

// A PPP instance number goes into command lines as it stands: decimal
// digits only, blanks around them allowed (and kept).
bool isPppInstance(const QString& text);

} // namespace SettingRules
