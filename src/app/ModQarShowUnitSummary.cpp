#include "app/ModQarShowUnitSummary.h"

namespace ModQar {

void ShowUnitSummary(const std::shared_ptr<CQarUnitInfo>& unit, const frmSummary::Services& services, QWidget* parent)
{
    frmSummary window(services, parent);
    window.DisplaySummary(unit);
}

} // namespace ModQar
