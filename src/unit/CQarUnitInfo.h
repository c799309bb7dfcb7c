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
// The record owns the unit's command object (cuq) and its Summary, both made
// with it and gone with it.
class CQarUnitInfo {
public:
    // Makes the command object of a record (with its terminal session); it
    // is given the record, whose MAC is the command object's reply key.
    using QuerierFactory = std::function<std::unique_ptr<clsUnitQuerier>(CQarUnitInfo&)>;

    // makeQuerier makes the record's command object; a record made without
    // one has none, and its unit commands fail.
    explicit CQarUnitInfo(const QuerierFactory& makeQuerier = {});
    ~CQarUnitInfo();
    CQarUnitInfo(const CQarUnitInfo&) = delete;
    CQarUnitInfo& operator=(const CQarUnitInfo&) = delete;

    clsUnitQuerier* cuq() const { return m_cuq.get(); }
    // A new scan has replaced the record: its command object ends (a wait of
    // it returns as for a silent unit; nothing more is sent or logged).
    // Whoever still holds the record keeps its data.
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
    std::unique_ptr<clsUnitQuerier> m_cuq;
    bool m_discarded = false;
};
