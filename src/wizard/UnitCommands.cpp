#include "wizard/UnitCommands.h"

#include "unit/CQarUnitInfo.h"
#include "unit/clsUnitQuerier.h"
#include "wizard/WizardRouter.h"

UnitCommands::UnitCommands(const WizardRouter& router, std::shared_ptr<CQarUnitInfo> unit)
    : m_unit(std::move(unit))
{
    if (!m_unit)
        return;
    m_cuq = m_unit->cuq();
    m_verevo = router.discovery();
}

QString UnitCommands::serial() const
{
    return m_unit ? m_unit->Serial() : QString();
}
