#pragma once

#include "app/TextStyle.h"

#include <QList>

class CQarUnitInfo;

// The results summary of one unit as styled runs, in the order the window
// appends them: the unit's details and capabilities, then one line per step
// with the fixed phrase of the step's result code.
namespace SummaryRuns {

// The twelve result lines, in the order of the summary.
enum class Field {
    Liveliness,
    IPAssignment,
    NewIP,
    IPCheck,
    GPRS,
    SaveCfg,
    Reboot,
    WaitForPPP,
    ConnectivityTest,
    SetGateway,
    SetNameServer,
    PCConnectivityTest,
};
inline constexpr int FieldCount = 12;

QString heading(Field field);
// The phrase of code and its look; a phrase that names the unit's address
// carries ip in brackets. A code the line does not know reads "Unknown test
// result: " or "Unknown result: " and the number, as a failure.
StyledRun phrase(Field field, qint32 code, const QString& ip);

QList<StyledRun> forUnit(const CQarUnitInfo& unit);

// The runs' text with line breaks as line feeds.
QString plainText(const QList<StyledRun>& runs);

} // namespace SummaryRuns
