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

void UnitCommands::setPrefixes(UnitInterfacePrefixes& prefixes, const QString& model)
{
    prefixes.PPPIf = model.contains(QLatin1String("KR5005"), Qt::CaseInsensitive) ? QStringLiteral("PPP 3")
                                                                                  : QStringLiteral("PPP 1");
    prefixes.EthIf = model.contains(QLatin1String("KR5012"), Qt::CaseInsensitive) ? QStringLiteral("eth 1")
                                                                                  : QStringLiteral("eth 0");
}
