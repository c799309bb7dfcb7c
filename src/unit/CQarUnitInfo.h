#pragma once

#include "unit/UnitListRow.h"
#include "unit/clsSummary.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class clsUnitQuerier;

// What the system knows about one discovered unit. Records are shared: the
// scan's collection, the wizard's current unit and the pipeline may hold the
// same one, so they travel as std::shared_ptr.
// The record owns the unit's command object (cuq) as it owns its Summary;
// whoever makes records gives them one, or the means to make one, so that the
// command object's reply key can be this record's MAC.
class CQarUnitInfo {
public:
    // Makes the command object of a record (with its terminal session).
    using QuerierFactory = std::function<std::unique_ptr<clsUnitQuerier>(CQarUnitInfo&)>;

    CQarUnitInfo();
    ~CQarUnitInfo();
    CQarUnitInfo(const CQarUnitInfo&) = delete;
    CQarUnitInfo& operator=(const CQarUnitInfo&) = delete;

    // The command object; made by the factory at the first call when the
    // record was given one. A scan records thousands of units and talks to
    // one, so none pays for an object, a session and a socket it never uses.
    clsUnitQuerier* cuq() const;
    void setCuq(std::unique_ptr<clsUnitQuerier> querier);
    // Shared by every record of a scan.
    void setCuqFactory(std::shared_ptr<const QuerierFactory> factory) { m_cuqFactory = std::move(factory); }
    // A new scan has replaced the record: its command object ends (a wait of
    // it returns as for a silent unit; nothing more is sent or logged) and no
    // new one is made. Whoever still holds the record keeps its data.
    void discard();
    bool discarded() const { return m_discarded; }

    QString model() const { return m_model; }
    void setModel(const QString& v) { m_model = v; }
    QString APN() const { return m_APN; }
    void setAPN(const QString& v) { m_APN = v; }
    QString Phonenum() const { return m_Phonenum; }
    void setPhonenum(const QString& v) { m_Phonenum = v; }
    bool IPOK() const { return m_IPOK; }
    void setIPOK(bool v) { m_IPOK = v; }
    bool PPPConfiged() const { return m_PPPConfiged; }
    void setPPPConfiged(bool v) { m_PPPConfiged = v; }
    bool GPRSConfiged() const { return m_GPRSConfiged; }
    void setGPRSConfiged(bool v) { m_GPRSConfiged = v; }
    bool ConfigSaved() const { return m_ConfigSaved; }
    void setConfigSaved(bool v) { m_ConfigSaved = v; }
    QString Serial() const { return m_Serial; }
    void setSerial(const QString& v) { m_Serial = v; }
    // Deep copies both ways: the authenticator check keys on these bytes, so
    // no caller may change them behind the record's back.
    QByteArray Mac() const;
    void setMac(const QByteArray& v);
    QString ip() const { return m_ip; }
    void setIp(const QString& v) { m_ip = v; }
    QString UnitID() const { return m_UnitID; }
    void setUnitID(const QString& v) { m_UnitID = v; }
    QString ProductID() const { return m_ProductID; }
    void setProductID(const QString& v) { m_ProductID = v; }
    bool Contacted() const { return m_Contacted; }
    void setContacted(bool v) { m_Contacted = v; }
    bool DHCPCli() const { return m_DHCPCli; }
    void setDHCPCli(bool v) { m_DHCPCli = v; }
    bool DHCPSrv() const { return m_DHCPSrv; }
    void setDHCPSrv(bool v) { m_DHCPSrv = v; }
    bool GPRS() const { return m_GPRS; }
    void setGPRS(bool v) { m_GPRS = v; }
    std::shared_ptr<UnitListRow> li() const { return m_li; }
    void setLi(std::shared_ptr<UnitListRow> row) { m_li = std::move(row); }

    clsSummary& Summary() { return m_Summary; }
    const clsSummary& Summary() const { return m_Summary; }

private:
    QString m_model;
    QString m_APN;
    QString m_Phonenum;
    bool m_IPOK = false;
    bool m_PPPConfiged = false;
    bool m_GPRSConfiged = false;
    bool m_ConfigSaved = false;
    QString m_Serial;
    QByteArray m_Mac;
    QString m_ip;
    QString m_UnitID;
    QString m_ProductID;
    bool m_Contacted = false;
    bool m_DHCPCli = false;
    bool m_DHCPSrv = false;
    bool m_GPRS = false;
    std::shared_ptr<UnitListRow> m_li;
    clsSummary m_Summary;
    mutable std::unique_ptr<clsUnitQuerier> m_cuq;
    std::shared_ptr<const QuerierFactory> m_cuqFactory;
    bool m_discarded = false;
};
