#pragma once

#include "net/InterfaceEntry.h"
#include "unit/UnitInterfacePrefixes.h"

#include <QString>
#include <QtGlobal>

#include <memory>

class CQarUnitInfo;

// The values the wizard's pages hand to each other. They live for the whole
// run and are never cleared: a value written on one pass stays until a page
// writes it again. The usable-interface count and the selected interface are
// the start-up's own record, lent here so there is one source for both.
struct WizardState {
    explicit WizardState(UsableInterfaces& interfaces)
        : Interfaces(interfaces)
    { }

    UsableInterfaces& Interfaces;

    // 1 Ethernet only, 0 Ethernet and cellular.
    qint32 WizardMode = 0;
    qint32 SelectedUnitNo = 0;
    std::shared_ptr<CQarUnitInfo> CurrentUnit;
    // EthIf and PPPIf, which the configuration-option page sets, live with the
    // unit commands' GPRSPPP so that the commands and the pages share one copy.
    UnitInterfacePrefixes Prefixes;
    bool DHCPSrvOnLAN = false;
    bool PCUsesDHCP = false;
    bool UnitReachable = false;
    bool PCGatewayIsUnit = false;
    bool PCDNSIsUnit = false;
    bool PCCanPingUnit = false;
    QString UnitIP;
    // 1 unit serves addresses by DHCP, 2 static addresses, 3 existing or free
    // address with the PC's gateway and DNS pointing to the unit.
    qint16 ConfigOption = 0;
    QString GPRSAPN;
    QString GPRSPIN;
    QString GPRSUser;
    QString GPRSPassword;
    bool GPRSTestOK = false;

    qint32& LanAdapterCount() { return Interfaces.LanAdapterCount; }
    qint32 LanAdapterCount() const { return Interfaces.LanAdapterCount; }
    qint32& SelectedInterface() { return Interfaces.SelectedInterface; }
    qint32 SelectedInterface() const { return Interfaces.SelectedInterface; }
};
