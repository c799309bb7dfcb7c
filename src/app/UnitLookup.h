#pragma once

#include "unit/CQarUnitInfos.h"

#include <QString>

#include <memory>
#include <optional>

// How the program finds the unit a person chose in the search page's list.
// The wizard keeps the choice as a number (the row's serial read as a whole
// number) because the list is emptied by the next search while the pages
// after it still need the unit. The main window's unit actions act on the
// row selected at that moment and find its record by the row's own text, so
// that serials with letters, or beyond 32 bits, reach their unit too.
namespace UnitLookup {

// The number a text starts with, as the program reads serial numbers and the
// search filter: a decimal number, possibly with a fraction, after leading
// white space (NumberText::decimalNumber); 0 when the text starts with none.
double numericValue(const QString& text);

// A row's text as a whole 32-bit number (blanks around it allowed); nothing
// when it is not one.
std::optional<qint32> rowNumber(const QString& rowText);

// The first record, in collection order, whose list row shows a text of the
// numeric value selectedUnitNo; empty when no record matches or there are none.
std::shared_ptr<CQarUnitInfo> bySelectedUnitNo(const std::shared_ptr<CQarUnitInfos>& units, qint32 selectedUnitNo);

// The first record, in collection order, whose list row shows exactly
// rowText (letter case and leading zeros count); empty when none does.
std::shared_ptr<CQarUnitInfo> byRowText(const std::shared_ptr<CQarUnitInfos>& units, const QString& rowText);

} // namespace UnitLookup
