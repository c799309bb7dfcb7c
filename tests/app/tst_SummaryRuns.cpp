#include "app/SummaryRuns.h"
#include "unit/CQarUnitInfo.h"

#include <QTest>

using SummaryRuns::Field;
using namespace TextStyles;

Q_DECLARE_METATYPE(TextStyle)

namespace {
const QString kIp = QStringLiteral("192.168.1.99");
const QString kCrLf = QStringLiteral("\r\n");

const char* const kHeadings[] = {
    "Liveliness Test:",
    "IP Address evaluation:",
    "IP Address Assignment:",
    "IP Address Check:",
    "GPRS configuration:",
    "Configuration save operation:",
    "Reboot operation:",
    "Remote PPP connection establishment:",
    "Remote PPP connection connectivity test:",
    "PC Gateway Assignment:",
    "PC DNS Server Assignment:",
    "PC Connectivity Test:",
};

void setCode(clsSummary& s, Field field, qint32 code)
{
    switch (field) {
    case Field::Liveliness:
        s.setLiveliness(code);
        break;
    case Field::IPAssignment:
        s.setIPAssignment(code);
        break;
    case Field::NewIP:
        s.setNewIP(code);
        break;
    case Field::IPCheck:
        s.setIPCheck(code);
        break;
    case Field::GPRS:
        s.setGPRS(code);
        break;
    case Field::SaveCfg:
        s.setSaveCfg(code);
        break;
    case Field::Reboot:
        s.setReboot(code);
        break;
    case Field::WaitForPPP:
        s.setWaitForPPP(code);
        break;
    case Field::ConnectivityTest:
        s.setConnectivityTest(code);
        break;
    case Field::SetGateway:
        s.setSetGateway(code);
        break;
    case Field::SetNameServer:
        s.setSetNameServer(code);
        break;
    case Field::PCConnectivityTest:
        s.setPCConnectivityTest(code);
        break;
    }
}

// The run that follows a result line's heading and its blank.
StyledRun resultRun(const QList<StyledRun>& runs, Field field)
{
    const QString heading = kCrLf + QString::fromLatin1(kHeadings[int(field)]);
    for (qsizetype i = 0; i + 2 < runs.size(); ++i) {
        if (runs[i].text == heading && runs[i].style == LabelStyle && runs[i + 1].text == QLatin1String(" ")
            && runs[i + 1].style == PlainStyle)
            return runs[i + 2];
    }
    return { QStringLiteral("<heading not found>"), {} };
}

std::shared_ptr<CQarUnitInfo> unit()
{
    auto u = std::make_shared<CQarUnitInfo>();
    u->setSerial(QStringLiteral("61001"));
    u->setUnitID(QStringLiteral("Unit-A"));
    u->setProductID(QStringLiteral("CV-200"));
    u->setMac(QByteArray::fromHex("000a959d6816"));
    u->setIp(kIp);
    return u;
}

void row(const char* name, Field field, qint32 code, const QString& text, const TextStyle& style)
{
    QTest::newRow(name) << field << code << text << style;
}
} // namespace

class tst_SummaryRuns : public QObject {
    Q_OBJECT
private slots:
    // Every line with every code it knows, and codes it does not know. The
    // code is set on the unit's own record and only that one field is set,
    // so a line that reads another field's code shows the wrong phrase.
    void resultLines_data()
    {
        QTest::addColumn<Field>("field");
        QTest::addColumn<qint32>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<TextStyle>("style");
        const auto unknownTest = [](int c) { return QStringLiteral("Unknown test result: %1").arg(c); };
        const auto unknown = [](int c) { return QStringLiteral("Unknown result: %1").arg(c); };

        row("liveliness 0", Field::Liveliness, 0, "Test Not Performed", PlainStyle);
        row("liveliness 1", Field::Liveliness, 1, "No reply received", FailureStyle);
        row("liveliness 2", Field::Liveliness, 2, "Test was successful", SuccessStyle);
        row("liveliness 3 unknown", Field::Liveliness, 3, unknownTest(3), FailureStyle);
        row("liveliness -1 unknown", Field::Liveliness, -1, unknownTest(-1), FailureStyle);

        row("evaluation 0", Field::IPAssignment, 0, "IP address was not checked", PlainStyle);
        row("evaluation 1", Field::IPAssignment, 1, "Unit had existing address", PlainStyle);
        row("evaluation 2", Field::IPAssignment, 2, "Unit had an address that was not of the same network as this PC",
            PlainStyle);
        row("evaluation 3", Field::IPAssignment, 3, "Unit had no address", PlainStyle);
        row("evaluation 4 unknown", Field::IPAssignment, 4, unknownTest(4), FailureStyle);

        row("assignment 0", Field::NewIP, 0, "IP address was not assigned to unit", PlainStyle);
        row("assignment 1", Field::NewIP, 1, "No IP address was available for this unit", FailureStyle);
        row("assignment 2", Field::NewIP, 2, "Failed to configure unit with new IP address", FailureStyle);
        row("assignment 3 names the address", Field::NewIP, 3,
            "New IP address was assigned successfully (192.168.1.99)", SuccessStyle);
        row("assignment 4 unknown", Field::NewIP, 4, unknownTest(4), FailureStyle);

        row("check 0", Field::IPCheck, 0, "IP address was not checked", PlainStyle);
        row("check 1", Field::IPCheck, 1, "Unable to obtain a temporary user config in this unit", FailureStyle);
        row("check 2", Field::IPCheck, 2, "Failed to establish a TELNET connection with this unit", FailureStyle);
        row("check 3", Field::IPCheck, 3, "Serial number of unit didn't match what was expected", FailureStyle);
        row("check 4", Field::IPCheck, 4, "Test was successful", SuccessStyle);
        row("check 5 unknown", Field::IPCheck, 5, unknownTest(5), FailureStyle);

        row("GPRS 0", Field::GPRS, 0, "GPRS configuration was not attempted", PlainStyle);
        row("GPRS 1", Field::GPRS, 1, "This unit has no GPRS support", PlainStyle);
        row("GPRS 2", Field::GPRS, 2, "GPRS configuration was cancelled by the user", FailureStyle);
        row("GPRS 3", Field::GPRS, 3, "GPRS configuration was completed successfully", SuccessStyle);
        row("GPRS 4", Field::GPRS, 4, "Failed to configure the APN", FailureStyle);
        row("GPRS 8", Field::GPRS, 8, "Failed to configure the dialout phone number", FailureStyle);
        row("GPRS 12", Field::GPRS, 12, "Failed to configure both the APN and the dialout phone number", FailureStyle);
        for (int c : { 5, 6, 7, 9, 10, 11, 13 }) {
            QTest::addRow("GPRS %d unknown", c) << Field::GPRS << c << unknownTest(c) << FailureStyle;
        }

        row("save 0", Field::SaveCfg, 0, "Configuration was not saved", PlainStyle);
        row("save 1", Field::SaveCfg, 1, "Failed to save the config in the unit", FailureStyle);
        row("save 2", Field::SaveCfg, 2, "Config was saved successfully", SuccessStyle);
        row("save 3 unknown", Field::SaveCfg, 3, unknown(3), FailureStyle);

        row("reboot 0", Field::Reboot, 0, "Unit was not rebooted", PlainStyle);
        row("reboot 1", Field::Reboot, 1, "The reboot operation failed", FailureStyle);
        row("reboot 2", Field::Reboot, 2, "Unit rebooted successfully", SuccessStyle);
        row("reboot 7 unknown", Field::Reboot, 7, unknown(7), FailureStyle);

        row("PPP wait 0", Field::WaitForPPP, 0, "Operation not performed", PlainStyle);
        row("PPP wait 1", Field::WaitForPPP, 1, "PPP connection failed to establish within expected time period",
            FailureStyle);
        row("PPP wait 2", Field::WaitForPPP, 2, "PPP connection established successfully", SuccessStyle);
        row("PPP wait 3 unknown", Field::WaitForPPP, 3, unknown(3), FailureStyle);

        row("link test 0", Field::ConnectivityTest, 0, "Test not performed", PlainStyle);
        row("link test 1", Field::ConnectivityTest, 1, "Test was cancelled by the user", FailureStyle);
        row("link test 2", Field::ConnectivityTest, 2, "Connectivity test failed", FailureStyle);
        row("link test 3", Field::ConnectivityTest, 3, "Connectivity test succeeded", SuccessStyle);
        row("link test 4 unknown", Field::ConnectivityTest, 4, unknownTest(4), FailureStyle);

        row("gateway 0", Field::SetGateway, 0, "Operation not performed", PlainStyle);
        row("gateway 1", Field::SetGateway, 1, "Operation was cancelled by the user", FailureStyle);
        row("gateway 2", Field::SetGateway, 2, "Operation failed", FailureStyle);
        row("gateway 3", Field::SetGateway, 3, "Operation not supported by this Windows version", FailureStyle);
        row("gateway 4 needs a restart", Field::SetGateway, 4,
            "Operation successful but requires system reboot (192.168.1.99)", WarningStyle);
        row("gateway 5", Field::SetGateway, 5, "Gateway assignment succeeded (192.168.1.99)", SuccessStyle);
        row("gateway 6 unknown", Field::SetGateway, 6, unknown(6), FailureStyle);

        row("DNS 0", Field::SetNameServer, 0, "Operation not performed", PlainStyle);
        row("DNS 1", Field::SetNameServer, 1, "Operation was cancelled by the user", FailureStyle);
        row("DNS 2", Field::SetNameServer, 2, "Operation failed", FailureStyle);
        row("DNS 3", Field::SetNameServer, 3, "Operation not supported by this Windows version", FailureStyle);
        row("DNS 4 needs a restart", Field::SetNameServer, 4,
            "Operation successful but requires system reboot (192.168.1.99)", WarningStyle);
        row("DNS 5", Field::SetNameServer, 5, "DNS server assignment succeeded (192.168.1.99)", SuccessStyle);
        row("DNS 6 unknown", Field::SetNameServer, 6, unknown(6), FailureStyle);

        row("PC test 0", Field::PCConnectivityTest, 0, "Test not performed", PlainStyle);
        row("PC test 1", Field::PCConnectivityTest, 1, "Test was cancelled by the user", FailureStyle);
        row("PC test 2", Field::PCConnectivityTest, 2, "Connectivity test failed", FailureStyle);
        row("PC test 3", Field::PCConnectivityTest, 3, "Connectivity test succeeded", SuccessStyle);
        row("PC test 4 unknown", Field::PCConnectivityTest, 4, unknownTest(4), FailureStyle);
        row("PC test highest code unknown", Field::PCConnectivityTest, 2147483647, unknownTest(2147483647),
            FailureStyle);
    }
    void resultLines()
    {
        QFETCH(Field, field);
        QFETCH(qint32, code);
        QFETCH(QString, text);
        QFETCH(TextStyle, style);
        auto u = unit();
        setCode(u->Summary(), field, code);
        const StyledRun run = resultRun(SummaryRuns::forUnit(*u), field);
        QCOMPARE(run.text, text);
        QCOMPARE(run.style.Bold, style.Bold);
        QCOMPARE(run.style.Underline, style.Underline);
        QCOMPARE(run.style.Italic, style.Italic);
        QCOMPARE(run.style.color(), style.color());
    }

    void detailsAndCapabilities()
    {
        auto u = unit();
        u->setDHCPCli(true);
        const QList<StyledRun> expected = {
            { QStringLiteral("Velmar Wizard results summary:\r\n"), HeadingStyle },
            { QStringLiteral("\r\n\r\nUnit Details:"), HeadingStyle },
            { QStringLiteral("\r\nUnit Serial Number:"), LabelStyle },
            { QStringLiteral(" 61001"), PlainStyle },
            { QStringLiteral("\r\nUnit ID:"), LabelStyle },
            { QStringLiteral(" Unit-A"), PlainStyle },
            { QStringLiteral("\r\nProduct ID:"), LabelStyle },
            { QStringLiteral(" CV-200"), PlainStyle },
            { QStringLiteral("\r\nMAC Address:"), LabelStyle },
            { QStringLiteral(" 00:0A:95:9D:68:16"), PlainStyle },
            { QStringLiteral("\r\nLAN IP address:"), LabelStyle },
            { QStringLiteral(" 192.168.1.99"), PlainStyle },
            { QStringLiteral("\r\n\r\nCapabilities:"), HeadingStyle },
            { QStringLiteral("\r\nDHCP Client Support:"), LabelStyle },
            { QStringLiteral(" present"), PlainStyle },
            { QStringLiteral("\r\nDHCP Server Support:"), LabelStyle },
            { QStringLiteral(" not present"), PlainStyle },
            { QStringLiteral("\r\nGPRS support:"), LabelStyle },
            { QStringLiteral(" not present"), PlainStyle },
            { QStringLiteral("\r\n\r\nResults:"), HeadingStyle },
        };
        const QList<StyledRun> runs = SummaryRuns::forUnit(*u);
        QCOMPARE(runs.mid(0, expected.size()), expected);
    }

    // Twelve lines of three runs each follow the header, in the table's
    // order, and the text ends on the last phrase, not on a line break.
    void resultLinesInOrderAndNoTrailingBreak()
    {
        auto u = unit();
        u->Summary().setPCConnectivityTest(3);
        const QList<StyledRun> runs = SummaryRuns::forUnit(*u);
        QCOMPARE(runs.size(), 20 + 3 * SummaryRuns::FieldCount);
        for (int i = 0; i < SummaryRuns::FieldCount; ++i)
            QCOMPARE(runs[20 + 3 * i].text, kCrLf + QString::fromLatin1(kHeadings[i]));
        QCOMPARE(runs.constLast().text, QStringLiteral("Connectivity test succeeded"));
        QVERIFY(!SummaryRuns::plainText(runs).endsWith(QLatin1Char('\n')));
    }

    void plainTextUsesLineFeeds()
    {
        const QList<StyledRun> runs
            = { { QStringLiteral("a\r\nb"), PlainStyle }, { QStringLiteral("\rc"), LabelStyle } };
        QCOMPARE(SummaryRuns::plainText(runs), QStringLiteral("a\nb\nc"));
    }
};

QTEST_GUILESS_MAIN(tst_SummaryRuns)
#include "tst_SummaryRuns.moc"
