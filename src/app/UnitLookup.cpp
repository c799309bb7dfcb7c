#include "app/UnitLookup.h"

#include "net/NumberText.h"
#include "unit/CQarUnitInfo.h"
#include "unit/UnitListRow.h"

#include <limits>

namespace UnitLookup {

double numericValue(const QString& text)
{
    return NumberText::read(text, NumberText::decimalNumber).value();
}

std::optional<qint32> rowNumber(const QString& rowText)
{
    const std::optional<qint64> n = NumberText::wholeText(rowText);
    if (!n || *n < std::numeric_limits<qint32>::min() || *n > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(*n);
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
