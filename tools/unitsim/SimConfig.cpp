#include "SimConfig.h"

#include <QCommandLineParser>
#include <QFile>
#include <QHash>

namespace {

struct Option {
    const char* name;
    const char* help;
};

constexpr Option options[] = {
    { "serial", "serial number of the first unit (the others count up)" },
    { "mac", "MAC of the first unit, 12 hex digits, separators allowed" },
    { "ip", "address the first unit reports" },
    { "unit-id", "unit id every unit reports" },
    { "product-id", "product id every unit reports" },
    { "model", "model text every unit reports (empty: no ModelId line)" },
    { "count", "how many units this process plays" },
    { "bind", "address to listen on" },
    { "port", "UDP port to listen on" },
    { "delay", "milliseconds before a unit answers" },
    { "spread", "window in milliseconds over which the units' answers are spread" },
    { "fault", "none, silence, wrong-auth, short, no-cr or overrun" },
    { "fault-serials", "comma-separated serial numbers the fault applies to (default: all)" },
};

std::optional<SimFault> faultFrom(const QString& text)
{
    static const QHash<QString, SimFault> names = {
        { QStringLiteral("none"), SimFault::None },
        { QStringLiteral("silence"), SimFault::Silence },
        { QStringLiteral("wrong-auth"), SimFault::WrongAuthenticator },
        { QStringLiteral("short"), SimFault::Short },
        { QStringLiteral("no-cr"), SimFault::NoCarriageReturn },
        { QStringLiteral("overrun"), SimFault::Overrun },
    };
    const auto it = names.find(text);
    if (it == names.end())
        return std::nullopt;
    return *it;
}

bool apply(SimConfig& c, const QString& key, const QString& value, QString* error)
{
    bool ok = true;
    if (key == u"serial") {
        c.firstSerial = value;
    } else if (key == u"mac") {
        QString hex = value;
        hex.remove(u':').remove(u'-');
        c.firstMac = QByteArray::fromHex(hex.toLatin1());
        ok = c.firstMac.size() == 6;
    } else if (key == u"ip") {
        ok = c.firstAddress.setAddress(value) && c.firstAddress.protocol() == QAbstractSocket::IPv4Protocol;
    } else if (key == u"unit-id") {
        c.unitId = value;
    } else if (key == u"product-id") {
        c.productId = value;
    } else if (key == u"model") {
        c.model = value;
    } else if (key == u"count") {
        c.count = value.toInt(&ok);
        ok = ok && c.count >= 1;
    } else if (key == u"bind") {
        ok = c.bindAddress.setAddress(value);
    } else if (key == u"port") {
        c.port = value.toUShort(&ok);
    } else if (key == u"delay") {
        c.replyDelayMs = value.toInt(&ok);
        ok = ok && c.replyDelayMs >= 0;
    } else if (key == u"spread") {
        c.spreadMs = value.toInt(&ok);
        ok = ok && c.spreadMs >= 0;
    } else if (key == u"fault") {
        const auto f = faultFrom(value);
        ok = f.has_value();
        if (ok)
            c.fault = *f;
    } else if (key == u"fault-serials") {
        for (const QString& s : value.split(u',', Qt::SkipEmptyParts))
            c.faultSerials.insert(s.trimmed());
    } else if (key == u"verbose") {
        c.verbose = value != u"0" && value != u"false";
    } else {
        *error = QStringLiteral("unknown setting %1").arg(key);
        return false;
    }
    if (!ok)
        *error = QStringLiteral("bad value for %1: %2").arg(key, value);
    return ok;
}

bool applyFile(SimConfig& c, const QString& path, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read %1").arg(path);
        return false;
    }
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) {
            *error = QStringLiteral("%1: expected key=value: %2").arg(path, line);
            return false;
        }
        if (!apply(c, line.left(eq).trimmed(), line.mid(eq + 1).trimmed(), error))
            return false;
    }
    return true;
}

} // namespace

std::optional<SimConfig> loadSimConfig(const QStringList& arguments, QString* error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Plays Calvantor units on the discovery port."));
    parser.addHelpOption();
    const QCommandLineOption config(QStringLiteral("config"), QStringLiteral("key=value file"), QStringLiteral("file"));
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("log every datagram on stderr"));
    parser.addOption(config);
    parser.addOption(verbose);
    for (const Option& o : options)
        parser.addOption(
            QCommandLineOption(QString::fromLatin1(o.name), QString::fromLatin1(o.help), QStringLiteral("value")));
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        *error = parser.helpText();
        return std::nullopt;
    }
    SimConfig c;
    if (parser.isSet(config) && !applyFile(c, parser.value(config), error))
        return std::nullopt;
    for (const Option& o : options) {
        const QString name = QString::fromLatin1(o.name);
        if (parser.isSet(name) && !apply(c, name, parser.value(name), error))
            return std::nullopt;
    }
    if (parser.isSet(verbose))
        c.verbose = true;
    return c;
}
