#include "wizard/CellularReplies.h"

#include <QTest>

using namespace CellularReplies;

namespace {
QString modemstat(const QString& signalLine)
{
    return QStringLiteral("Modem: on\r\nSIM status: READY\r\n") + signalLine + QStringLiteral("OK\r\n");
}
const QString kNow = QStringLiteral("The signal strength is currently: ");
const QString kPoor = QStringLiteral(" This is a poor signal!");
const QString kAdvice = QStringLiteral(
    " Please try re-positioning the Calvantor. If you are in a building using an external antenna may help.");
const QString kLow = QStringLiteral(" This signal strength should allow the Calvantor to work although it is low.");
const QString kGood = QStringLiteral(" This is a good signal.");
const QString kExcellent = QStringLiteral(" This is an excellent signal!");
} // namespace

class tst_CellularReplies : public QObject {
    Q_OBJECT
private slots:
    void signalVerdicts_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("testFailed");
        QTest::addColumn<QString>("shown");

        const auto level = [](const char* dbm) {
            return modemstat(QStringLiteral("Signal Strength:%1 dBm\r\n").arg(QLatin1String(dbm)));
        };
        const auto strength = [](const char* dbm) { return kNow + QLatin1String(dbm) + QStringLiteral(" dBm"); };
        QTest::newRow("91: poor") << level("-91") << false << strength("-91") + kPoor;
        QTest::newRow("91 after a failed test: poor, with advice")
            << level("-91") << true << strength("-91") + kPoor + kAdvice;
        QTest::newRow("90: low but working") << level("-90") << true << strength("-90") + kLow;
        QTest::newRow("81: low but working") << level("-81") << false << strength("-81") + kLow;
        QTest::newRow("80: good") << level("-80") << false << strength("-80") + kGood;
        QTest::newRow("61: good") << level("-61") << false << strength("-61") + kGood;
        QTest::newRow("60: excellent") << level("-60") << false << strength("-60") + kExcellent;
        QTest::newRow("46: excellent") << level("-46") << false << strength("-46") + kExcellent;
        QTest::newRow("45, stronger still: excellent") << level("-45") << false << strength("-45") + kExcellent;
        QTest::newRow("60.5 rounds to even 60: excellent") << level("-60.5") << false << strength("-60.5") + kExcellent;
        QTest::newRow("80.6 rounds to 81: low") << level("-80.6") << false << strength("-80.6") + kLow;
        QTest::newRow("no number after the minus: no verdict") << level("-x") << false << strength("-x");
        QTest::newRow("an absurd level is poor, not an overflow")
            << level("-99999999999999999999") << false << strength("-99999999999999999999") + kPoor;

        QTest::newRow("no Signal line: (4)") << modemstat({}) << false << "Unable to read signal strength! (4)";
        QTest::newRow("Signal without a CR after it: (3)")
            << QStringLiteral("SIM status: READY\r\nSignal Strength:-67 dBm") << false
            << "Unable to read signal strength! (3)";
        QTest::newRow("CR inside the caption: (3)")
            << modemstat(QStringLiteral("Signal: -67\r\n")) << false << "Unable to read signal strength! (3)";
        QTest::newRow("no minus in the level: (2)") << modemstat(QStringLiteral("Signal Strength: 67 dBm\r\n")) << false
                                                    << "Unable to read signal strength! (2)";
        QTest::newRow("no blank after the level: (1)") << modemstat(QStringLiteral("Signal Strength:-67dBm\r\n"))
                                                       << false << "Unable to read signal strength! (1)";
        QTest::newRow("the caption is cut at 16 characters, whatever it says")
            << modemstat(QStringLiteral("Signal Strength: -73 dBm\r\n")) << false << kNow + " -73 dBm" + kGood;

        const QString pin = QStringLiteral(
            "The SIM is currently locked with a PIN number, please click Back and then re-enter your PIN number.");
        QTest::newRow("SIM PIN beats the signal line")
            << QStringLiteral("SIM status: SIM PIN\r\nSignal Strength:-67 dBm\r\nOK\r\n") << false << pin;
        QTest::newRow("SIM PIN in any letter case") << QStringLiteral("sim status: sim pin\r\nOK\r\n") << false << pin;
        QTest::newRow("SIM PIN before SIM PUK") << QStringLiteral("SIM PUK\r\nSIM PIN\r\n") << false << pin;
        QTest::newRow("SIM PUK")
            << QStringLiteral("SIM status: SIM PUK\r\nSignal Strength:-67 dBm\r\n") << false
            << "The SIM is currently blocked due to incorrect PIN. The only way to un-block the SIM is to put it "
               "into your mobile phone and un-lock it with your PUK (Personal Unlock Code.)";
        QTest::newRow("Not Ready") << QStringLiteral("SIM status: Not Ready\r\nSignal Strength:-67 dBm\r\n") << false
                                   << "SIM status: Not Ready. Please check that the SIM is inserted correctly.";
        QTest::newRow("silence") << QString() << false << "Unable to read signal strength! (4)";
    }
    void signalVerdicts()
    {
        QFETCH(QString, reply);
        QFETCH(bool, testFailed);
        QFETCH(QString, shown);
        QCOMPARE(signalText(reply, testFailed), shown);
    }

    void linkAddress_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("up");
        QTest::newRow("connected") << "PPP 1: Connected\r\nIP Address: 203.0.113.5\r\nOK\r\n"
                                   << true << "203.0.113.5" << true;
        QTest::newRow("activating") << "PPP 1: Activating\r\nIP Address: 0.0.0.0\r\nOK\r\n"
                                    << true << "0.0.0.0" << false;
        QTest::newRow("label in other letter case") << "ip address: 10.1.2.3\r\n" << true << "10.1.2.3" << true;
        QTest::newRow("empty address counts as up") << "IP Address: \r\nOK\r\n" << true << "" << true;
        QTest::newRow("CR right after the label: no address") << "IP Address:\r\nOK\r\n" << false << "" << false;
        QTest::newRow("no CR after the label") << "IP Address: 203.0.113.5" << false << "" << false;
        QTest::newRow("no label") << "PPP 1: Idle\r\nOK\r\n" << false << "" << false;
        QTest::newRow("address holding 0.0.0.0 is not up") << "IP Address: 10.0.0.0.0\r\n"
                                                           << true << "10.0.0.0.0" << false;
    }
    void linkAddress()
    {
        QFETCH(QString, reply);
        QFETCH(bool, found);
        QFETCH(QString, address);
        QFETCH(bool, up);
        const std::optional<QString> got = CellularReplies::linkAddress(reply);
        QCOMPARE(got.has_value(), found);
        if (found) {
            QCOMPARE(*got, address);
            QCOMPARE(linkUp(*got), up);
        }
    }

    void keepWaitingCountsMinutes_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("counted");
        QTest::newRow("one: singular") << 1 << "more than 1 minute to connect.";
        QTest::newRow("two: plural") << 2 << "more than 2 minutes to connect.";
        QTest::newRow("twelve: plural, no padding") << 12 << "more than 12 minutes to connect.";
    }
    void keepWaitingCountsMinutes()
    {
        QFETCH(int, minutes);
        QFETCH(QString, counted);
        QCOMPARE(keepWaitingText(minutes),
            QStringLiteral("We have been waiting for ") + counted
                + " Under some circumstances it can take up to 5 minutes, click 'Yes' to wait another minute or 'No' "
                  "to try something else?");
    }
};

QTEST_APPLESS_MAIN(tst_CellularReplies)
#include "tst_CellularReplies.moc"
