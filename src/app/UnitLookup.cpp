#include "app/UnitLookup.h"

#include "unit/CQarUnitInfo.h"
#include "unit/UnitListRow.h"

namespace UnitLookup {

double numericValue(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        ++i;
    while (i < text.size() && text[i].isDigit())
        ++i;
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < text.size() && text[i].isDigit())
            ++i;
    }
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok ? value : 0.0;
}

std::optional<qint32> rowNumber(const QString& rowText)
{
    bool whole = false;
    const qint32 n = rowText.trimmed().toInt(&whole, 10);
    return whole ? std::optional<qint32>(n) : std::nullopt;
}

std::shared_ptr<CQarUnitInfo> bySelectedUnitNo(const std::shared_ptr<CQarUnitInfos>& units, qint32 selectedUnitNo)
{
    if (!units)
        return nullptr;
    for (const CQarUnitInfos::Record& unit : units->NewEnum()) {
        if (unit->li() && numericValue(unit->li()->text()) == selectedUnitNo)
            return unit;
    }
    return nullptr;
}

std::shared_ptr<CQarUnitInfo> byRowText(const std::shared_ptr<CQarUnitInfos>& units, const QString& rowText)
{
    if (!units)
        return nullptr;
    for (const CQarUnitInfos::Record& unit : units->NewEnum()) {
        if (unit->li() && unit->li()->text() == rowText)
            return unit;
    }
    return nullptr;
}

} // namespace UnitLookup
