#include "wizard/CellularReplies.h"

#include "net/NumberText.h"

#include <algorithm>
#include <cmath>

namespace CellularReplies {

namespace {
const QLatin1String kAddressLabel("IP Address:");
// The label, then one blank: the address starts here, counted from the label.
constexpr qsizetype kAddressOffset = 12;
// "Signal" and the ten characters of its caption the level follows.
constexpr qsizetype kLevelOffset = 16;

QString unreadable(int which)
{
    return QStringLiteral("Unable to read signal strength! (%1)").arg(which);
}

QString verdict(int magnitude, bool testFailed)
{
    if (magnitude >= 91) {
        QString text = QStringLiteral(" This is a poor signal!");
        if (testFailed)
            text += QStringLiteral(" Please try re-positioning the Calvantor. If you are in a building using an "
                                   "external antenna may help.");
        return text;
    }
    if (magnitude >= 81)
        return QStringLiteral(" This signal strength should allow the Calvantor to work although it is low.");
    if (magnitude >= 61)
        return QStringLiteral(" This is a good signal.");
    // A level stronger than -46 dBm is stronger still than the excellent
    // band; 0 means no number could be read, which earns no verdict.
    if (magnitude >= 1)
        return QStringLiteral(" This is an excellent signal!");
    return {};
}
} // namespace

std::optional<QString> linkAddress(const QString& reply)
{
    const qsizetype p = reply.indexOf(kAddressLabel, 0, Qt::CaseInsensitive);
    if (p < 0)
        return std::nullopt;
    const qsizetype q = reply.indexOf(QLatin1Char('\r'), p + 1);
    // A line that ends right after the label holds no address to cut out.
    if (q < 0 || q < p + kAddressOffset)
        return std::nullopt;
    return reply.mid(p + kAddressOffset, q - (p + kAddressOffset));
}

bool linkUp(const QString& address)
{
    return !address.contains(QLatin1String("0.0.0.0"));
}

bool linkIdle(const QString& reply)
{
    return reply.contains(QLatin1String("Idle"), Qt::CaseInsensitive);
}

quint32 ticksBetween(qint32 from, qint32 to)
{
    return quint32(to) - quint32(from);
}

QString keepWaitingText(int minutes)
{
    return QStringLiteral("We have been waiting for more than ") + QString::number(minutes)
        + (minutes < 2 ? QStringLiteral(" minute to connect.") : QStringLiteral(" minutes to connect."))
        + QStringLiteral(" Under some circumstances it can take up to 5 minutes, click 'Yes' to wait another minute "
                         "or 'No' to try something else?");
}

QString signalText(const QString& reply, bool testFailed)
{
    if (reply.contains(QLatin1String("SIM PIN"), Qt::CaseInsensitive))
        return QStringLiteral("The SIM is currently locked with a PIN number, please click Back and then re-enter "
                              "your PIN number.");
    if (reply.contains(QLatin1String("SIM PUK"), Qt::CaseInsensitive))
        return QStringLiteral("The SIM is currently blocked due to incorrect PIN. The only way to un-block the SIM "
                              "is to put it into your mobile phone and un-lock it with your PUK (Personal Unlock "
                              "Code.)");
    if (reply.contains(QLatin1String("SIM status: Not Ready"), Qt::CaseInsensitive))
        return QStringLiteral("SIM status: Not Ready. Please check that the SIM is inserted correctly.");

    const qsizetype p = reply.indexOf(QLatin1String("Signal"));
    if (p < 0)
        return unreadable(4);
    const qsizetype q = reply.indexOf(QLatin1Char('\r'), p + 1);
    // A line that ends inside its caption has no level either.
    if (q < 0 || q < p + kLevelOffset)
        return unreadable(3);
    const QString level = reply.mid(p + kLevelOffset, q - (p + kLevelOffset));
    const qsizetype m = level.indexOf(QLatin1Char('-'));
    if (m < 0)
        return unreadable(2);
    const qsizetype n = level.indexOf(QLatin1Char(' '), m + 1);
    if (n < 0)
        return unreadable(1);
    return QStringLiteral("The signal strength is currently: ") + level
        + verdict(levelMagnitude(level.mid(m + 1, n - m - 1)), testFailed);
}

int levelMagnitude(const QString& text)
{
    const double value = NumberText::read(text, NumberText::decimalNumber).value();
    return int(std::nearbyint(std::clamp(value, -32768.0, 32767.0)));
}

} // namespace CellularReplies
