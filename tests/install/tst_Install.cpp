// cmake --install into a staging folder (DESTDIR), as a package build does,
// with the prefix a person's own install uses. What lands there must be where
// desktops look for it, pass the freedesktop and AppStream validators, name
// one another consistently, and the installed binary must start.
#include "NetLab.h"
#include "wizard/WizardArt.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {
const QString kId = QStringLiteral("invalid.linkwise.Linkwise");
const QString kPrefix = QStringLiteral("/usr/local");

struct Outcome {
    bool ran = false;
    int exitCode = -1;
    QString output;
};

Outcome runTool(const QString& program, const QStringList& args, const QProcessEnvironment& env = {})
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.start(program, args);
    Outcome out;
    out.ran = p.waitForFinished(60'000) && p.exitStatus() == QProcess::NormalExit;
    out.exitCode = p.exitCode();
    out.output = QString::fromLocal8Bit(p.readAll());
    return out;
}

// The key=value lines of a desktop entry's main group.
QHash<QString, QString> desktopEntry(const QString& path)
{
    QHash<QString, QString> keys;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    bool inMain = false;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('[')))
            inMain = line == QLatin1String("[Desktop Entry]");
        else if (inMain && line.contains(QLatin1Char('=')))
            keys.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
    }
    return keys;
}

// The text of each element of a metainfo file, by its path below the root
// ("id", "provides/binary"); the first of each.
QHash<QString, QString> metainfoTexts(const QString& path)
{
    QHash<QString, QString> texts;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return texts;
    QXmlStreamReader xml(&f);
    QStringList at;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            at << xml.name().toString();
        } else if (xml.isEndElement()) {
            at.removeLast();
        } else if (xml.isCharacters() && !xml.isWhitespace() && at.size() > 1) {
            const QString key = at.mid(1).join(QLatin1Char('/'));
            if (!texts.contains(key))
                texts.insert(key, xml.text().toString());
        }
    }
    return xml.hasError() ? QHash<QString, QString> {} : texts;
}
} // namespace

class tst_Install : public QObject {
    Q_OBJECT

    QTemporaryDir m_stage;
    QString m_root; // the prefix inside the staging folder

    QString installed(const QString& relative) const { return m_root + QLatin1Char('/') + relative; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_stage.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), m_stage.path());
        const Outcome install = runTool(QStringLiteral(CMAKE_COMMAND),
            { QStringLiteral("--install"), qEnvironmentVariable("LINKWISE_BUILD_DIR"), QStringLiteral("--prefix"),
                kPrefix },
            env);
        QVERIFY2(install.ran && install.exitCode == 0, qPrintable(install.output));
        m_root = m_stage.path() + kPrefix;
    }

    void filesInTheirStandardPlaces_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("program") << QStringLiteral("bin/linkwise");
        QTest::newRow("desktop entry") << QStringLiteral("share/applications/%1.desktop").arg(kId);
        QTest::newRow("AppStream metainfo") << QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kId);
        QTest::newRow("scalable icon") << QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(kId);
        QTest::newRow("help page") << QStringLiteral("share/linkwise/help/apn_and_pin.htm");
        for (int side : { 16, 22, 24, 32, 48, 64, 128, 256 }) {
            const QString path = QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(side).arg(kId);
            QTest::newRow(qPrintable(QStringLiteral("icon %1 px").arg(side))) << path;
        }
    }
    void filesInTheirStandardPlaces()
    {
        QFETCH(QString, path);
        const QFileInfo file(installed(path));
        QVERIFY2(file.isFile(), qPrintable(file.filePath()));
        QVERIFY(file.size() > 0);
        if (path.startsWith(QLatin1String("bin/")))
            QVERIFY(file.isExecutable());
    }

    void desktopEntryPassesItsValidator()
    {
        const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (validator.isEmpty())
            QSKIP("no desktop-file-validate (Debian's desktop-file-utils)");
        const Outcome check = runTool(validator, { installed(QStringLiteral("share/applications/%1.desktop").arg(kId)) });
        // Hints count too: the entry is ours and can be clean.
        QVERIFY2(check.ran && check.exitCode == 0 && check.output.trimmed().isEmpty(), qPrintable(check.output));
    }

    void metainfoPassesItsValidator()
    {
        const QString validator = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
        if (validator.isEmpty())
            QSKIP("no appstreamcli (Debian's appstream)");
        const Outcome check = runTool(validator,
            { QStringLiteral("validate"), QStringLiteral("--no-net"),
                installed(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kId)) });
        QVERIFY2(check.ran && check.exitCode == 0, qPrintable(check.output));
        QVERIFY2(!check.output.contains(QRegularExpression(QStringLiteral("^[EW]:"),
                     QRegularExpression::MultilineOption)),
            qPrintable(check.output));
    }

    // The menu entry starts the installed program and shows the installed
    // icon; the software centre's record launches that entry.
    void entryIconAndMetainfoNameEachOther()
    {
        const auto entry = desktopEntry(installed(QStringLiteral("share/applications/%1.desktop").arg(kId)));
        QVERIFY(!entry.isEmpty());
        const QString exec = entry.value(QStringLiteral("Exec")).section(QLatin1Char(' '), 0, 0);
        QVERIFY2(QFileInfo(installed(QStringLiteral("bin/") + exec)).isExecutable(), qPrintable(exec));
        const QString icon = entry.value(QStringLiteral("Icon"));
        QCOMPARE(icon, kId);
        QVERIFY(QFileInfo::exists(installed(QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(icon))));
        QVERIFY(entry.value(QStringLiteral("Categories")).split(QLatin1Char(';')).contains(QStringLiteral("Network")));

        const auto metainfo = metainfoTexts(installed(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kId)));
        QCOMPARE(metainfo.value(QStringLiteral("id")), kId);
        QCOMPARE(metainfo.value(QStringLiteral("launchable")), kId + QStringLiteral(".desktop"));
        QCOMPARE(metainfo.value(QStringLiteral("provides/binary")), exec);
    }

    // Each installed PNG is the scalable icon at its size; the program's
    // windows carry the same pictures at the sizes window frames use.
    void iconsAreTheWindowIcon_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<bool>("inWindowIcon");
        for (int side : { 16, 22, 24, 32, 48, 64 })
            QTest::newRow(qPrintable(QStringLiteral("%1 px").arg(side))) << side << true;
        for (int side : { 128, 256 })
            QTest::newRow(qPrintable(QStringLiteral("%1 px, theme only").arg(side))) << side << false;
    }
    void iconsAreTheWindowIcon()
    {
        QFETCH(int, side);
        QFETCH(bool, inWindowIcon);
        const QImage png(installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(side).arg(kId)));
        QCOMPARE(png.size(), QSize(side, side));
        // The tile fills the middle; the corners stay transparent.
        QCOMPARE(png.pixelColor(side / 2, side / 2).alpha(), 255);
        QCOMPARE(png.pixelColor(0, 0).alpha(), 0);
        const QIcon window = WizardArt::windowIcon();
        QCOMPARE(window.availableSizes().contains(QSize(side, side)), inWindowIcon);
        if (!inWindowIcon)
            return;
        const QPixmap picture = window.pixmap(QSize(side, side), 1.0);
        QCOMPARE(picture.size(), QSize(side, side));
        QCOMPARE(picture.toImage().convertToFormat(QImage::Format_ARGB32), png.convertToFormat(QImage::Format_ARGB32));
    }

    // The installed binary, on a PC cabled to a LAN, reaches its welcome
    // page and ends when that page is closed.
    void installedProgramStarts()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        NetLab lab;
        const QString pc = lab.addHost(QStringLiteral("pc"));
        const QString unit = lab.addHost(QStringLiteral("unit"));
        QVERIFY2(!pc.isEmpty() && !unit.isEmpty(), qPrintable(lab.lastError()));
        QVERIFY2(lab.link(pc, QStringLiteral("eth0"), QStringLiteral("198.51.100.1/24"), unit, QStringLiteral("eth0"),
                     QStringLiteral("198.51.100.10/24")),
            qPrintable(lab.lastError()));
        QTemporaryDir home;
        QString output;
        const bool ok = lab.run(pc,
            { QStringLiteral("env"), QStringLiteral("QT_QPA_PLATFORM=offscreen"),
                QStringLiteral("LINKWISE_AUTOCLOSE_MS=200"), QStringLiteral("XDG_CONFIG_HOME=") + home.path(),
                QStringLiteral("XDG_RUNTIME_DIR=") + home.path(), installed(QStringLiteral("bin/linkwise")) },
            &output);
        QVERIFY2(ok, qPrintable(lab.lastError() + output));
        QVERIFY2(output.contains(QStringLiteral("frmWiz01 shown\n")), qPrintable(output));
    }
};

QTEST_MAIN(tst_Install)
#include "tst_Install.moc"
