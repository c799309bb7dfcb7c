#include "app/AppSettings.h"
#include "app/Module1.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {
// A settings store in a file of its own, written raw or read back as text.
class IniFile {
public:
    IniFile()
        : m_path(m_dir.filePath(QStringLiteral("Linkwise.ini")))
    { }

    const QString& path() const { return m_path; }

    void writeRaw(const QByteArray& text) const
    {
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

    // Lines "key=value" of the group [Settings], the order dropped.
    QStringList settingsLines() const
    {
        QFile f(m_path);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList lines;
        bool inGroup = false;
        for (const QByteArray& raw : f.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.startsWith(QLatin1Char('[')))
                inGroup = line == QLatin1String("[Settings]");
            else if (inGroup && !line.isEmpty())
                lines << line;
        }
        lines.sort();
        return lines;
    }

    AppSettings read() const
    {
        QSettings store(m_path, QSettings::IniFormat);
        AppSettings s;
        Module1::ReadSettings(store, s);
        return s;
    }

    void save(const AppSettings& s) const
    {
        QSettings store(m_path, QSettings::IniFormat);
        Module1::SaveSettings(store, s);
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// Every field as text, so rows can name a field by its key.
QString fieldByKey(const AppSettings& s, const QString& key)
{
    static const QHash<QString, std::function<QString(const AppSettings&)>> fields {
        { QStringLiteral("APN"), [](const AppSettings& a) { return a.APN; } },
        { QStringLiteral("PPPPhonenum"), [](const AppSettings& a) { return a.PPPPhonenum; } },
        { QStringLiteral("CfgDir"), [](const AppSettings& a) { return a.CfgDir; } },
        { QStringLiteral("GPRSCfgFile"), [](const AppSettings& a) { return a.GPRSCfgFile; } },
        { QStringLiteral("TestHostname"), [](const AppSettings& a) { return a.TestHost; } },
        { QStringLiteral("RebootTime"), [](const AppSettings& a) { return QString::number(a.RebootTime); } },
        { QStringLiteral("PPPWaitTime"), [](const AppSettings& a) { return QString::number(a.PPPWaitTime); } },
        { QStringLiteral("GPRSPPP"), [](const AppSettings& a) { return a.GPRSPPP; } },
        { QStringLiteral("PingTimeout"), [](const AppSettings& a) { return QString::number(a.PingTimeout); } },
        { QStringLiteral("ShowStatusLog"),
            [](const AppSettings& a) { return a.ShowStatusLog ? QStringLiteral("True") : QStringLiteral("False"); } },
    };
    return fields.value(key)(s);
}
} // namespace

class tst_Module1Settings : public QObject {
    Q_OBJECT
private slots:
    void emptyStoreGivesDefaults()
    {
        IniFile ini;
        QSettings store(ini.path(), QSettings::IniFormat);
        // Values left over from elsewhere must all be replaced, not kept.
        AppSettings s;
        s.APN = QStringLiteral("stale");
        s.PPPPhonenum = s.CfgDir = s.GPRSCfgFile = s.TestHost = s.GPRSPPP = QStringLiteral("stale");
        s.RebootTime = s.PPPWaitTime = s.PingTimeout = 7;
        s.ShowStatusLog = true;

        Module1::ReadSettings(store, s);

        QCOMPARE(s.APN, QString());
        QCOMPARE(s.PPPPhonenum, QStringLiteral("*99#"));
        QCOMPARE(s.CfgDir, QStringLiteral("files"));
        QCOMPARE(s.GPRSCfgFile, QStringLiteral("gprscfg.da0"));
        QCOMPARE(s.TestHost, QStringLiteral("www.google.com"));
        QCOMPARE(s.RebootTime, 50);
        QCOMPARE(s.PPPWaitTime, 180);
        QCOMPARE(s.GPRSPPP, QStringLiteral("1"));
        QCOMPARE(s.PingTimeout, 1000);
        QCOMPARE(s.ShowStatusLog, false);
    }

    void roundTrip()
    {
        IniFile ini;
        AppSettings out;
        out.APN = QStringLiteral("internet.example, fast");
        out.PPPPhonenum = QStringLiteral("*99***1#");
        out.CfgDir = QStringLiteral("/home/user/cfg dir");
        out.GPRSCfgFile = QStringLiteral("gprs=cfg;#1.da0");
        out.TestHost = QStringLiteral("203.0.113.9");
        out.PPPWaitTime = 240;
        out.GPRSPPP = QStringLiteral("3");
        out.PingTimeout = 2500;
        out.ShowStatusLog = true;
        ini.save(out);

        const AppSettings in = ini.read();
        QCOMPARE(in.APN, out.APN);
        QCOMPARE(in.PPPPhonenum, out.PPPPhonenum);
        QCOMPARE(in.CfgDir, out.CfgDir);
        QCOMPARE(in.GPRSCfgFile, out.GPRSCfgFile);
        QCOMPARE(in.TestHost, out.TestHost);
        QCOMPARE(in.PPPWaitTime, 240);
        QCOMPARE(in.GPRSPPP, out.GPRSPPP);
        QCOMPARE(in.PingTimeout, 2500);
        QCOMPARE(in.ShowStatusLog, true);
    }

    void storedRebootTimeIsIgnoredAndOverwritten()
    {
        IniFile ini;
        ini.writeRaw("[Settings]\nRebootTime=120\n");
        const AppSettings s = ini.read();
        QCOMPARE(s.RebootTime, 50);
        ini.save(s);
        QVERIFY(ini.settingsLines().contains(QStringLiteral("RebootTime=50")));
    }

    void rebootTimeChangedDuringTheRunIsWritten()
    {
        IniFile ini;
        AppSettings s = ini.read();
        s.RebootTime = 90;
        ini.save(s);
        QVERIFY(ini.settingsLines().contains(QStringLiteral("RebootTime=90")));
        QCOMPARE(ini.read().RebootTime, 50);
    }

    void savedText()
    {
        IniFile ini;
        ini.writeRaw("[Settings]\nMainLeft=120\nSummaryWidth=8000\n");
        AppSettings s;
        s.ShowStatusLog = true;
        ini.save(s);
        QStringList expected {
            QStringLiteral("APN="),
            QStringLiteral("CfgDir=files"),
            QStringLiteral("GPRSCfgFile=gprscfg.da0"),
            QStringLiteral("GPRSPPP=1"),
            QStringLiteral("MainLeft=120"),
            QStringLiteral("PPPPhonenum=*99#"),
            QStringLiteral("PPPWaitTime=180"),
            QStringLiteral("PingTimeout=1000"),
            QStringLiteral("RebootTime=50"),
            QStringLiteral("ShowStatusLog=True"),
            QStringLiteral("SummaryWidth=8000"),
            QStringLiteral("TestHostname=www.google.com"),
        };
        expected.sort();
        QCOMPARE(ini.settingsLines(), expected);

        s.ShowStatusLog = false;
        ini.save(s);
        QVERIFY(ini.settingsLines().contains(QStringLiteral("ShowStatusLog=False")));
    }

    void storedText_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("wait time read") << QByteArray("PPPWaitTime=240") << "PPPWaitTime"
                                        << "240";
        QTest::newRow("wait time with blanks") << QByteArray("PPPWaitTime= 240 ") << "PPPWaitTime"
                                               << "240";
        QTest::newRow("wait time not a number") << QByteArray("PPPWaitTime=abc") << "PPPWaitTime"
                                                << "180";
        QTest::newRow("wait time empty") << QByteArray("PPPWaitTime=") << "PPPWaitTime"
                                         << "180";
        QTest::newRow("wait time trailing junk") << QByteArray("PPPWaitTime=12s") << "PPPWaitTime"
                                                 << "180";
        QTest::newRow("wait time beyond 32 bits") << QByteArray("PPPWaitTime=4294967296") << "PPPWaitTime"
                                                  << "180";
        QTest::newRow("ping time-out read") << QByteArray("PingTimeout=300") << "PingTimeout"
                                            << "300";
        QTest::newRow("ping time-out decimal point, too short") << QByteArray("PingTimeout=1.5") << "PingTimeout"
                                                                << "1000";
        // Read as the options dialog reads what is typed.
        QTest::newRow("ping time-out with a fraction") << QByteArray("PingTimeout=300.5") << "PingTimeout"
                                                       << "300";
        QTest::newRow("ping time-out hex") << QByteArray("PingTimeout=0x10") << "PingTimeout"
                                           << "1000";
        QTest::newRow("log True") << QByteArray("ShowStatusLog=True") << "ShowStatusLog"
                                  << "True";
        QTest::newRow("log lower-case true") << QByteArray("ShowStatusLog=true") << "ShowStatusLog"
                                             << "True";
        QTest::newRow("log False") << QByteArray("ShowStatusLog=False") << "ShowStatusLog"
                                   << "False";
        QTest::newRow("log yes is no Boolean") << QByteArray("ShowStatusLog=yes") << "ShowStatusLog"
                                               << "False";
        QTest::newRow("log 1 is no Boolean") << QByteArray("ShowStatusLog=1") << "ShowStatusLog"
                                             << "False";
        QTest::newRow("a PPP instance that is no number") << QByteArray("GPRSPPP=x") << "GPRSPPP"
                                                          << "1";
        QTest::newRow("a PPP instance with a command after it") << QByteArray("GPRSPPP=1 aodion off") << "GPRSPPP"
                                                                << "1";
        QTest::newRow("a PPP instance kept with its blanks") << QByteArray("GPRSPPP=\" 3 \"") << "GPRSPPP"
                                                             << " 3 ";
        QTest::newRow("empty text is a value") << QByteArray("PPPPhonenum=") << "PPPPhonenum"
                                               << "";
        QTest::newRow("comma in hand-edited text") << QByteArray("APN=internet,fast") << "APN"
                                                   << "internet,fast";
        QTest::newRow("quoted text") << QByteArray("CfgDir=\"a,b\"") << "CfgDir"
                                     << "a,b";
        QTest::newRow("host name") << QByteArray("TestHostname=198.51.100.7") << "TestHostname"
                                   << "198.51.100.7";
        QTest::newRow("reboot time not read") << QByteArray("RebootTime=120") << "RebootTime"
                                              << "50";
        QTest::newRow("key of another section") << QByteArray("[Other]\nPingTimeout=500") << "PingTimeout"
                                                << "1000";
        // Numbers that would hang or break the program read as the default.
        QTest::newRow("ping time-out huge") << QByteArray("PingTimeout=2147483647") << "PingTimeout"
                                            << "1000";
        QTest::newRow("ping time-out negative") << QByteArray("PingTimeout=-5") << "PingTimeout"
                                                << "1000";
        QTest::newRow("ping time-out zero") << QByteArray("PingTimeout=0") << "PingTimeout"
                                            << "1000";
        QTest::newRow("ping time-out just below range") << QByteArray("PingTimeout=49") << "PingTimeout"
                                                        << "1000";
        QTest::newRow("ping time-out lowest kept") << QByteArray("PingTimeout=50") << "PingTimeout"
                                                   << "50";
        QTest::newRow("ping time-out highest kept") << QByteArray("PingTimeout=60000") << "PingTimeout"
                                                    << "60000";
        QTest::newRow("ping time-out just above range") << QByteArray("PingTimeout=60001") << "PingTimeout"
                                                        << "1000";
        QTest::newRow("wait time huge") << QByteArray("PPPWaitTime=2147483647") << "PPPWaitTime"
                                        << "180";
        QTest::newRow("wait time negative") << QByteArray("PPPWaitTime=-180") << "PPPWaitTime"
                                            << "180";
        QTest::newRow("wait time too short") << QByteArray("PPPWaitTime=9") << "PPPWaitTime"
                                             << "180";
        QTest::newRow("wait time lowest kept") << QByteArray("PPPWaitTime=10") << "PPPWaitTime"
                                               << "10";
        QTest::newRow("wait time highest kept") << QByteArray("PPPWaitTime=3600") << "PPPWaitTime"
                                                << "3600";
        QTest::newRow("wait time above range") << QByteArray("PPPWaitTime=3601") << "PPPWaitTime"
                                               << "180";
    }
    void storedText()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        IniFile ini;
        ini.writeRaw("[Settings]\n" + line + "\n");
        QCOMPARE(fieldByKey(ini.read(), key), expected);
    }
};

QTEST_GUILESS_MAIN(tst_Module1Settings)
#include "tst_Module1Settings.moc"
