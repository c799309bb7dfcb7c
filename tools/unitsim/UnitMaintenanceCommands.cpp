// The parts of a unit's command language that field engineers use for
// upkeep: the flash file system ("dir", "fattr", "move", "scan"), the clock
// ("TIME") and the modem ("call").
#include "UnitCommandLanguage.h"

#include <QDateTime>
#include <QRegularExpression>

namespace {
const QByteArray ok = QByteArrayLiteral("OK\r\n");
const QByteArray error = QByteArrayLiteral("ERROR\r\n");

QRegularExpression rx(const char* pattern)
{
    return QRegularExpression(QString::fromLatin1(pattern), QRegularExpression::CaseInsensitiveOption);
}

// Firmware and data files every unit carries, with their sizes.
const QList<QPair<const char*, qint64>> standardFiles = {
    { "image", 1'048'576 },
    { "sbios", 65'536 },
    { "filter.bin", 4'096 },
    { "sregs.dat", 512 },
    { "x3prof", 2'048 },
    { "logcodes.txt", 8'192 },
    { "index.web", 16'384 },
    { "status.web", 8'192 },
};

QStringList lowered(const QStringList& names)
{
    QStringList out;
    for (const QString& n : names)
        out << n.trimmed().toLower();
    return out;
}
} // namespace

void UnitCommandLanguage::fillFlash(SimUnitState& s) const
{
    for (const auto& [name, size] : standardFiles)
        s.binaries.insert(QString::fromLatin1(name), size);
    for (const QString& name : lowered(m_config.flashAdd))
        s.binaries.insert(name, name.startsWith(u"image") ? 1'048'576 : 65'536);
    const QStringList bad = lowered(m_config.flashBad);
    const QStringList readOnly = lowered(m_config.flashReadOnly);
    s.badCrc = QSet<QString>(bad.begin(), bad.end());
    s.readOnly = QSet<QString>(readOnly.begin(), readOnly.end());
}

std::optional<QByteArray> UnitCommandLanguage::maintenance(SimUnitState& s, const QString& line)
{
    static const QRegularExpression fattr = rx(R"(^fattr ([+-])r (\S+)$)");
    static const QRegularExpression move = rx(R"(^move (\S+) (\S+)$)");
    static const QRegularExpression time = rx(R"(^TIME (\d\d) (\d\d) (\d\d) (\d\d) (\d\d) (\d\d\d\d)$)");
    static const QRegularExpression call = rx(R"(^call (\S+)$)");

    auto exists = [&s](const QString& name) { return s.files.contains(name) || s.binaries.contains(name); };
    if (line.compare(u"dir", Qt::CaseInsensitive) == 0) {
        // One line a file: the name in 12 columns, the size in 8, two
        // blanks, then "ro" or "rw" from column 22.
        QMap<QString, qint64> all = s.binaries;
        for (auto it = s.files.cbegin(); it != s.files.cend(); ++it)
            all.insert(it.key(), 40 * it.value().size());
        QByteArray out;
        for (auto it = all.cbegin(); it != all.cend(); ++it)
            out += (it.key().leftJustified(12) + QString::number(it.value()).rightJustified(8) + QStringLiteral("  ")
                       + (s.readOnly.contains(it.key()) ? QStringLiteral("ro") : QStringLiteral("rw")))
                       .toLatin1()
                + "\r\n";
        return out + ok;
    }
    if (const auto m = fattr.match(line); m.hasMatch()) {
        const QString name = m.captured(2).toLower();
        if (!exists(name))
            return error;
        if (m.captured(1) == u"+")
            s.readOnly.insert(name);
        else
            s.readOnly.remove(name);
        return ok;
    }
    if (const auto m = move.match(line); m.hasMatch()) {
        // The file system prints nothing when a move succeeds.
        const QString from = m.captured(1).toLower();
        const QString to = m.captured(2).toLower();
        if (!exists(from) || from == to)
            return error;
        if (s.binaries.contains(from))
            s.binaries.insert(to, s.binaries.take(from));
        else
            s.files.insert(to, s.files.take(from));
        if (s.badCrc.remove(from))
            s.badCrc.insert(to);
        else
            s.badCrc.remove(to);
        if (s.readOnly.remove(from))
            s.readOnly.insert(to);
        return QByteArray();
    }
    if (line.compare(u"scan", Qt::CaseInsensitive) == 0) {
        QStringList names = s.binaries.keys() + s.files.keys();
        names.sort();
        QByteArray out = "Scanning flash\r\n";
        for (const QString& name : std::as_const(names))
            out += (name + (s.badCrc.contains(name) ? QStringLiteral(": bad CRC") : QStringLiteral(": OK"))).toLatin1()
                + "\r\n";
        return out + ok;
    }
    if (const auto m = time.match(line); m.hasMatch()) {
        const QDate date(m.captured(6).toInt(), m.captured(5).toInt(), m.captured(4).toInt());
        const QTime clock(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (!date.isValid() || !clock.isValid())
            return error;
        s.time = line.mid(5);
        return ok;
    }
    if (call.match(line).hasMatch()) {
        if (m_config.callResult.isEmpty())
            return QByteArray();
        // A call that connects reaches the far unit, which asks for a login.
        if (m_config.callResult.compare(u"CONNECT", Qt::CaseInsensitive) == 0)
            return QByteArrayLiteral("CONNECT 9600\r\n\r\nUsername: ");
        return m_config.callResult.toLatin1() + "\r\n";
    }
    return std::nullopt;
}
