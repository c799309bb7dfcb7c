#pragma once

#include <QtGlobal>

// What one Configure Units run did to one unit: a code per step, in the order
// the run performs them. 0 always means the step did not run; the summary
// window turns the other codes into phrases.
class clsSummary {
public:
    void setPCConnectivityTest(qint32 v) { m_PCConnectivityTest = v; }
    qint32 PCConnectivityTest() const { return m_PCConnectivityTest; }
    void setSetNameServer(qint32 v) { m_SetNameServer = v; }
    qint32 SetNameServer() const { return m_SetNameServer; }
    void setSetGateway(qint32 v) { m_SetGateway = v; }
    qint32 SetGateway() const { return m_SetGateway; }
    void setConnectivityTest(qint32 v) { m_ConnectivityTest = v; }
    qint32 ConnectivityTest() const { return m_ConnectivityTest; }
    void setWaitForPPP(qint32 v) { m_WaitForPPP = v; }
    qint32 WaitForPPP() const { return m_WaitForPPP; }
    void setReboot(qint32 v) { m_Reboot = v; }
    qint32 Reboot() const { return m_Reboot; }
    void setSaveCfg(qint32 v) { m_SaveCfg = v; }
    qint32 SaveCfg() const { return m_SaveCfg; }
    void setGPRS(qint32 v) { m_GPRS = v; }
    qint32 GPRS() const { return m_GPRS; }
    void setIPCheck(qint32 v) { m_IPCheck = v; }
    qint32 IPCheck() const { return m_IPCheck; }
    void setNewIP(qint32 v) { m_NewIP = v; }
    qint32 NewIP() const { return m_NewIP; }
    void setIPAssignment(qint32 v) { m_IPAssignment = v; }
    qint32 IPAssignment() const { return m_IPAssignment; }
    void setLiveliness(qint32 v) { m_Liveliness = v; }
    qint32 Liveliness() const { return m_Liveliness; }

private:
    qint32 m_Liveliness = 0;
    qint32 m_IPAssignment = 0;
    qint32 m_NewIP = 0;
    qint32 m_IPCheck = 0;
    qint32 m_GPRS = 0;
    qint32 m_SaveCfg = 0;
    qint32 m_Reboot = 0;
    qint32 m_WaitForPPP = 0;
    qint32 m_ConnectivityTest = 0;
    qint32 m_SetGateway = 0;
    qint32 m_SetNameServer = 0;
    qint32 m_PCConnectivityTest = 0;
};
