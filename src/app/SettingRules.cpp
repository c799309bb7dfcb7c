#include "app/SettingRules.h"

#include "app/WholeNumberText.h"

namespace SettingRules {

std::optional<qint32> number(const QString& text, Range range)
{
    const std::optional<qint32> n = WholeNumberText::read(text);
    if (!n || *n < range.low || *n > range.high)
        return std::nullopt;
    return n;
}

bool isPppInstance(const QString& text)
{
    return WholeNumberText::isCount(text);
}

} // namespace SettingRules
