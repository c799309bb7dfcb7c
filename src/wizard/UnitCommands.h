#pragma once

#include "unit/clsUnitQuerier.h"

#include <QString>

#include <memory>
#include <utility>

class CQarUnitInfo;
class WizardRouter;

// What a page needs to send one unit a command: the record's own command
// object, its serial number and the discovery object resting in the main
// window. Taken afresh for each piece of work, since the discovery object is
// lent to every search. A command that cannot be sent (no record, or the
// discovery object is away) fails as a silent unit's would.
class UnitCommands {
public:
    UnitCommands(const WizardRouter& router, std::shared_ptr<CQarUnitInfo> unit);

    const std::shared_ptr<CQarUnitInfo>& unit() const { return m_unit; }
    QString serial() const;

    // (cuq->*command)(serial, discovery object, args...), or false.
    template<class Command, class... Args> bool run(Command command, Args&&... args)
    {
        if (!m_cuq || !m_verevo)
            return false;
        return (m_cuq->*command)(serial(), *m_verevo, std::forward<Args>(args)...);
    }

private:
    std::shared_ptr<CQarUnitInfo> m_unit;
    clsUnitQuerier* m_cuq = nullptr;
    clsVerevo* m_verevo = nullptr;
};
