// The pipeline's address step: keep the unit's address when it lies in the
// PC's network, else offer free addresses of that network, then prove the
// unit answers at its address with its own serial number.
#include "app/ModQarConfigureUnits.h"
#include "net/IPHlpAPI.h"
#include "unit/CQarUnitInfo.h"
#include "unit/clsUnitQuerier.h"

#include <QCoreApplication>

#include <arpa/inet.h>

namespace ModQar {

namespace {
const QChar CR(u'\r');

// The platform's dotted-address reading in host order: a text it cannot read
// is 255.255.255.255. An empty text is no address at all.
quint32 hostOrder(const QString& dotted)
{
    if (dotted.isEmpty())
        return 0;
    return ntohl(::inet_addr(dotted.toLatin1().constData()));
}

struct PcNetwork {
    QString address;
    QString mask;
};

PcNetwork pcNetwork(const UsableInterfaces& interfaces)
{
    const InterfaceEntry* entry = interfaces.selected();
    if (!entry || !entry->Adapter)
        return {};
    return { entry->Adapter->IPAddress(), entry->Adapter->mask() };
}
} // namespace

void ConfigureUnitsPipeline::AssignUnitAddress(CQarUnitInfo& unit, clsVerevo& v)
{
    clsSummary& summary = unit.Summary();
    summary.setIPAssignment(0);
    summary.setNewIP(0);
    summary.setIPCheck(0);
    if (!m_services.CfgOptions.ConfirmIP())
        return;

    const QString serial = unit.Serial();
    log(serial, QStringLiteral("Searching for free IP address"));
    const PcNetwork pc = pcNetwork(m_services.interfaces);
    const quint32 pcAddress = hostOrder(pc.address);
    const quint32 pcMask = hostOrder(pc.mask);
    const quint32 unitAddress = hostOrder(unit.ip());

    bool confirmed = false;
    if (unitAddress != 0 && ((unitAddress ^ pcAddress) & pcMask) == 0) {
        summary.setIPAssignment(1);
        log(serial, QStringLiteral("Existing IP address is OK"));
        confirmed = true;
    } else {
        const QString question = unitAddress != 0
            ? QStringLiteral("Unit with serial number: ") + serial + QStringLiteral(" has an IP Address (") + unit.ip()
                + QStringLiteral(")") + CR + QStringLiteral("that is not of the same network as this PC.") + CR
                + QStringLiteral("Find a new address for this unit?")
            : QStringLiteral("Unit with serial number: ") + serial + QStringLiteral(" has no IP Address.") + CR
                + QStringLiteral("Find a new address for this unit?");
        if (m_services.prompts.askYesNo(question, UserPrompts::Icon::Question)) {
            summary.setIPAssignment(unitAddress != 0 ? 2 : 3);
            const QString candidate = searchFreeAddress(unit);
            if (!candidate.isEmpty()) {
                clsUnitQuerier* q = unit.cuq();
                // The unit's own model names its LAN interface, not the unit
                // the wizard has chosen.
                if (q
                    && q->SetEthOn(serial, v, UnitInterfacePrefixes::ethIfForModel(unit.model()), candidate,
                        pcNetwork(m_services.interfaces).mask)) {
                    summary.setNewIP(3);
                    if (const std::shared_ptr<UnitListRow> row = unit.li())
                        row->setSubItem(UnitListRow::EthernetIP, candidate);
                    unit.setIp(candidate);
                    confirmed = true;
                } else {
                    summary.setNewIP(2);
                    // A record a new scan discarded failed for that reason alone.
                    if (!unit.discarded())
                        m_services.prompts.message(
                            QStringLiteral("Failed to set ethernet address for unit with serial number: ") + serial,
                            UserPrompts::Icon::Exclamation);
                }
            }
        }
    }
    if (confirmed)
        CheckUnitAddress(unit, v);
}

QString ConfigureUnitsPipeline::searchFreeAddress(CQarUnitInfo& unit)
{
    const QString serial = unit.Serial();
    qint32 lastRejected = 0;
    for (;;) {
        // Read afresh each time: the person may have changed the interface.
        const PcNetwork pc = pcNetwork(m_services.interfaces);
        const qint32 found = m_services.findFreeAddress(pc.address, pc.mask, lastRejected);
        if (found == 0) {
            m_services.prompts.message(QStringLiteral("Unable to locate a free IP address") + CR
                    + QStringLiteral("for unit with serial number: ") + serial + QStringLiteral("."),
                UserPrompts::Icon::Exclamation);
            unit.Summary().setNewIP(1);
            return QString();
        }
        const QString candidate = IPHlpAPI::IPToString(htonl(quint32(found)));
        if (m_services.prompts.askYesNo(QStringLiteral("IP Address: ") + candidate
                    + QStringLiteral(" appears to be free.") + CR
                    + QStringLiteral("Use this address for unit with serial number: ") + serial + QStringLiteral("?"),
                UserPrompts::Icon::Question))
            return candidate;
        lastRejected = found;
        // The search itself pumps nothing; a Cancel pressed meanwhile is
        // seen here.
        QCoreApplication::processEvents();
        if (m_services.CancelRequested)
            return QString();
    }
}

void ConfigureUnitsPipeline::CheckUnitAddress(CQarUnitInfo& unit, clsVerevo& v)
{
    log(unit.Serial(),
        QStringLiteral("Checking IP address: ") + unit.ip() + QStringLiteral(" in unit: ") + unit.Serial());
    const qint32 code = CheckSerialAtAddress(unit, v);
    unit.Summary().setIPCheck(code);
    unit.setIPOK(code == 4);
}

qint32 ConfigureUnitsPipeline::CheckSerialAtAddress(CQarUnitInfo& unit, clsVerevo& v)
{
    clsUnitQuerier* q = unit.cuq();
    // Without a command object no temporary profile can be made.
    return q ? q->checkSerial(unit.Serial(), unit.ip(), v) : 1;
}

} // namespace ModQar
