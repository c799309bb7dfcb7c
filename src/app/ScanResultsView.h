#pragma once

#include "unit/CQarUnitInfos.h"
#include "unit/UnitListRow.h"

#include <QString>

#include <memory>

// The search page as the scan engine sees it: its unit list, its status line
// and the hand-over of a finished scan. The page registers itself with the
// main window while it exists.
class ScanResultsView {
public:
    virtual ~ScanResultsView() = default;

    // Empties the unit list.
    virtual void clearUnitRows() = 0;
    // Appends a row whose own text is text (the serial number).
    virtual std::shared_ptr<UnitListRow> addUnitRow(const QString& text) = 0;
    // The progress line under the list.
    virtual void setStatusText(const QString& text) = 0;
    // The outcome of a scan; units is empty when no unit answered. The page
    // returns the discovery object to its resting slot. True asks for the
    // chosen unit to go through Configure Units at once.
    virtual bool DisplayScanResults(const QString& filter, const std::shared_ptr<CQarUnitInfos>& units) = 0;
    // The row the person has selected in the unit list, or nullptr.
    virtual std::shared_ptr<UnitListRow> selectedUnitRow() const { return nullptr; }
};
