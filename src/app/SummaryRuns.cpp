#include "app/SummaryRuns.h"

#include "net/ModQar.h"
#include "unit/CQarUnitInfo.h"

#include <initializer_list>

namespace SummaryRuns {
namespace {
using namespace TextStyles;

const QString kCrLf = QStringLiteral("\r\n");

struct Phrase {
    qint32 code;
    const char* text;
    TextStyle style;
};

// "Unknown test result: " or "Unknown result: " for codes a line lacks.
enum class Unknown { Test, Result };

struct Section {
    const char* heading;
    qint32 (clsSummary::*code)() const;
    Unknown unknown;
    std::initializer_list<Phrase> phrases;
};

// A phrase ending in "(" is followed by the unit's address and ")".
const std::initializer_list<Phrase> kTestPhrases = {
    { 0, "Test not performed", PlainStyle },
    { 1, "Test was cancelled by the user", FailureStyle },
    { 2, "Connectivity test failed", FailureStyle },
    { 3, "Connectivity test succeeded", SuccessStyle },
};

const Section kSections[FieldCount] = {
    { "Liveliness Test:", &clsSummary::Liveliness, Unknown::Test,
        {
            { 0, "Test Not Performed", PlainStyle },
            { 1, "No reply received", FailureStyle },
            { 2, "Test was successful", SuccessStyle },
        } },
    { "IP Address evaluation:", &clsSummary::IPAssignment, Unknown::Test,
        {
            { 0, "IP address was not checked", PlainStyle },
            { 1, "Unit had existing address", PlainStyle },
            { 2, "Unit had an address that was not of the same network as this PC", PlainStyle },
            { 3, "Unit had no address", PlainStyle },
        } },
    { "IP Address Assignment:", &clsSummary::NewIP, Unknown::Test,
        {
            { 0, "IP address was not assigned to unit", PlainStyle },
            { 1, "No IP address was available for this unit", FailureStyle },
            { 2, "Failed to configure unit with new IP address", FailureStyle },
            { 3, "New IP address was assigned successfully (", SuccessStyle },
        } },
    { "IP Address Check:", &clsSummary::IPCheck, Unknown::Test,
        {
            { 0, "IP address was not checked", PlainStyle },
            { 1, "Unable to obtain a temporary user config in this unit", FailureStyle },
            { 2, "Failed to establish a TELNET connection with this unit", FailureStyle },
            { 3, "Serial number of unit didn't match what was expected", FailureStyle },
            { 4, "Test was successful", SuccessStyle },
        } },
    { "GPRS configuration:", &clsSummary::GPRS, Unknown::Test,
        {
            { 0, "GPRS configuration was not attempted", PlainStyle },
            { 1, "This unit has no GPRS support", PlainStyle },
            { 2, "GPRS configuration was cancelled by the user", FailureStyle },
            { 3, "GPRS configuration was completed successfully", SuccessStyle },
            { 4, "Failed to configure the APN", FailureStyle },
            { 8, "Failed to configure the dialout phone number", FailureStyle },
            { 12, "Failed to configure both the APN and the dialout phone number", FailureStyle },
        } },
    { "Configuration save operation:", &clsSummary::SaveCfg, Unknown::Result,
        {
            { 0, "Configuration was not saved", PlainStyle },
            { 1, "Failed to save the config in the unit", FailureStyle },
            { 2, "Config was saved successfully", SuccessStyle },
        } },
    { "Reboot operation:", &clsSummary::Reboot, Unknown::Result,
        {
            { 0, "Unit was not rebooted", PlainStyle },
            { 1, "The reboot operation failed", FailureStyle },
            { 2, "Unit rebooted successfully", SuccessStyle },
        } },
    { "Remote PPP connection establishment:", &clsSummary::WaitForPPP, Unknown::Result,
        {
            { 0, "Operation not performed", PlainStyle },
            { 1, "PPP connection failed to establish within expected time period", FailureStyle },
            { 2, "PPP connection established successfully", SuccessStyle },
        } },
    { "Remote PPP connection connectivity test:", &clsSummary::ConnectivityTest, Unknown::Test, kTestPhrases },
    { "PC Gateway Assignment:", &clsSummary::SetGateway, Unknown::Result,
        {
            { 0, "Operation not performed", PlainStyle },
            { 1, "Operation was cancelled by the user", FailureStyle },
            { 2, "Operation failed", FailureStyle },
            { 3, "Operation not supported by this Windows version", FailureStyle },
            { 4, "Operation successful but requires system reboot (", WarningStyle },
            { 5, "Gateway assignment succeeded (", SuccessStyle },
        } },
    { "PC DNS Server Assignment:", &clsSummary::SetNameServer, Unknown::Result,
        {
            { 0, "Operation not performed", PlainStyle },
            { 1, "Operation was cancelled by the user", FailureStyle },
            { 2, "Operation failed", FailureStyle },
            { 3, "Operation not supported by this Windows version", FailureStyle },
            { 4, "Operation successful but requires system reboot (", WarningStyle },
            { 5, "DNS server assignment succeeded (", SuccessStyle },
        } },
    { "PC Connectivity Test:", &clsSummary::PCConnectivityTest, Unknown::Test, kTestPhrases },
};

const Section& section(Field field)
{
    return kSections[static_cast<int>(field)];
}

void append(QList<StyledRun>& runs, const QString& text, const TextStyle& style)
{
    runs.append({ text, style });
}

void row(QList<StyledRun>& runs, const char* label, const QString& value)
{
    append(runs, kCrLf + QString::fromUtf8(label), LabelStyle);
    append(runs, QStringLiteral(" ") + value, PlainStyle);
}

QString presence(bool flag)
{
    return flag ? QStringLiteral("present") : QStringLiteral("not present");
}
} // namespace

QString heading(Field field)
{
    return QString::fromUtf8(section(field).heading);
}

StyledRun phrase(Field field, qint32 code, const QString& ip)
{
    const Section& s = section(field);
    for (const Phrase& p : s.phrases) {
        if (p.code != code)
            continue;
        QString text = QString::fromUtf8(p.text);
        if (text.endsWith(QLatin1Char('(')))
            text += ip + QLatin1Char(')');
        return { text, p.style };
    }
    const QString unknown
        = s.unknown == Unknown::Test ? QStringLiteral("Unknown test result: ") : QStringLiteral("Unknown result: ");
    return { unknown + QString::number(code), FailureStyle };
}

QList<StyledRun> forUnit(const CQarUnitInfo& unit)
{
    QList<StyledRun> runs;
    append(runs, QStringLiteral("Velmar Wizard results summary:") + kCrLf, HeadingStyle);
    append(runs, kCrLf + kCrLf + QStringLiteral("Unit Details:"), HeadingStyle);
    row(runs, "Unit Serial Number:", unit.Serial());
    row(runs, "Unit ID:", unit.UnitID());
    row(runs, "Product ID:", unit.ProductID());
    row(runs, "MAC Address:", ModQar::FormatMacAddress(unit.Mac()));
    row(runs, "LAN IP address:", unit.ip());
    append(runs, kCrLf + kCrLf + QStringLiteral("Capabilities:"), HeadingStyle);
    row(runs, "DHCP Client Support:", presence(unit.DHCPCli()));
    row(runs, "DHCP Server Support:", presence(unit.DHCPSrv()));
    row(runs, "GPRS support:", presence(unit.GPRS()));
    append(runs, kCrLf + kCrLf + QStringLiteral("Results:"), HeadingStyle);

    const clsSummary& summary = unit.Summary();
    for (int i = 0; i < FieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        append(runs, kCrLf + heading(field), LabelStyle);
        append(runs, QStringLiteral(" "), PlainStyle);
        runs.append(phrase(field, (summary.*section(field).code)(), unit.ip()));
    }
    return runs;
}

QString plainText(const QList<StyledRun>& runs)
{
    QString text;
    for (const StyledRun& run : runs)
        text += run.text;
    text.replace(kCrLf, QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace SummaryRuns
