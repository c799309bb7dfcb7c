#include "wizard/UnitCommands.h"

#include "app/frmMain.h"
#include "discovery/clsVerevo.h"
#include "unit/CQarUnitInfo.h"
#include "unit/clsUnitQuerier.h"
#include "wizard/WizardRouter.h"

UnitCommands::UnitCommands(const WizardRouter& router, std::shared_ptr<CQarUnitInfo> unit)
    : m_unit(std::move(unit))
{
    if (!m_unit)
        return;
    m_cuq = m_unit->cuq();
    if (frmMain* main = router.services().main)
        m_verevo = main->cz();
}

QString UnitCommands::serial() const
{
    return m_unit ? m_unit->Serial() : QString();
}
