#pragma once

// The nine on/off switches of one Configure Units run. Each is kept inverted,
// so that a record made with all-false members, as a new one is, reads every
// switch as on.
class clsCfgOptions {
public:
    bool DisplaySummary() const { return !m_noDisplaySummary; }
    void setDisplaySummary(bool v) { m_noDisplaySummary = !v; }
    bool CfgGPRS() const { return !m_noCfgGPRS; }
    void setCfgGPRS(bool v) { m_noCfgGPRS = !v; }
    bool ConfirmIP() const { return !m_noConfirmIP; }
    void setConfirmIP(bool v) { m_noConfirmIP = !v; }
    bool SaveConfig() const { return !m_noSaveConfig; }
    void setSaveConfig(bool v) { m_noSaveConfig = !v; }
    bool Reboot() const { return !m_noReboot; }
    void setReboot(bool v) { m_noReboot = !v; }
    bool WaitForPPP() const { return !m_noWaitForPPP; }
    void setWaitForPPP(bool v) { m_noWaitForPPP = !v; }
    bool TestPPP() const { return !m_noTestPPP; }
    void setTestPPP(bool v) { m_noTestPPP = !v; }
    bool SetGateway() const { return !m_noSetGateway; }
    void setSetGateway(bool v) { m_noSetGateway = !v; }
    bool TestPCConnectivity() const { return !m_noTestPCConnectivity; }
    void setTestPCConnectivity(bool v) { m_noTestPCConnectivity = !v; }

private:
    bool m_noConfirmIP = false;
    bool m_noSaveConfig = false;
    bool m_noReboot = false;
    bool m_noCfgGPRS = false;
    bool m_noWaitForPPP = false;
    bool m_noTestPPP = false;
    bool m_noSetGateway = false;
    bool m_noTestPCConnectivity = false;
    bool m_noDisplaySummary = false;
};
