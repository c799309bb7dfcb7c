#pragma once

#include "app/frmSummary.h"

#include <memory>

class CQarUnitInfo;
class QWidget;

namespace ModQar {

// A new results window for unit, shown modally; returns once it is closed.
void ShowUnitSummary(
    const std::shared_ptr<CQarUnitInfo>& unit, const frmSummary::Services& services, QWidget* parent = nullptr);

} // namespace ModQar
