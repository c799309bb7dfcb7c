#include "wizard/PageFonts.h"

namespace PageFonts {

QFont title()
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(15.75);
    f.setBold(true);
    return f;
}

QFont body()
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(9.75);
    return f;
}

} // namespace PageFonts
