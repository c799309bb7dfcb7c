#include "app/WholeNumberText.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace WholeNumberText {

std::optional<qint32> read(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    // A point always works; the desktop's own decimal comma as well.
    bool ok = false;
    double value = QLocale::c().toDouble(t, &ok);
    if (!ok)
        value = QLocale::system().toDouble(t, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    // The default rounding mode takes halves to the even neighbour.
    const double whole = std::nearbyint(value);
    if (whole < double(std::numeric_limits<qint32>::min()) || whole > double(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return qint32(whole);
}

bool isCount(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    for (const QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace WholeNumberText
