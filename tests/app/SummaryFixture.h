#pragma once

#include "unit/CQarUnitInfo.h"

#include <memory>

// A unit after a run with successes, a warning and failures.
inline std::shared_ptr<CQarUnitInfo> summaryUnit()
{
    auto u = std::make_shared<CQarUnitInfo>();
    u->setSerial(QStringLiteral("61001"));
    u->setUnitID(QStringLiteral("Unit-A"));
    u->setProductID(QStringLiteral("CV-200"));
    u->setMac(QByteArray::fromHex("000a959d6816"));
    u->setIp(QStringLiteral("192.168.1.99"));
    u->setDHCPCli(true);
    clsSummary& s = u->Summary();
    s.setLiveliness(2);
    s.setIPAssignment(1);
    s.setIPCheck(4);
    s.setSaveCfg(2);
    s.setReboot(1);
    s.setWaitForPPP(1);
    s.setConnectivityTest(2);
    s.setSetGateway(4);
    s.setSetNameServer(5);
    s.setPCConnectivityTest(3);
    return u;
}
