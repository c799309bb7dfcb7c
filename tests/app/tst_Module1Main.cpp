#include "app/Module1.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// Main with its first windows and the interface count replaced by recorders.
class StartupRecorder {
public:
    explicit StartupRecorder(qint32 count)
    {
        hooks.buildInterfaceList = [this, count] {
            events << QStringLiteral("count");
            broadcastAtCount = state.BroadcastAddress;
            pingTimeoutAtCount = settings.PingTimeout;
            return count;
        };
        hooks.loadMainWindowAndShowWelcome = [this] {
            events << QStringLiteral("welcome");
            countAtWindow = usable.LanAdapterCount;
        };
        hooks.showNoAdaptorPage = [this] {
            events << QStringLiteral("no adaptor");
            countAtWindow = usable.LanAdapterCount;
        };
    }

    void run(QSettings& store) { Module1::Main(state, store, settings, usable, hooks); }

    ProgramState state;
    AppSettings settings;
    UsableInterfaces usable;
    Module1::StartupHooks hooks;
    QStringList events;
    QString broadcastAtCount;
    qint32 pingTimeoutAtCount = -1;
    qint32 countAtWindow = -99;
};

class tst_Module1Main : public QObject {
    Q_OBJECT
private slots:
    void firstWindow_data()
    {
        QTest::addColumn<qint32>("count");
        QTest::addColumn<QStringList>("events");
        const QStringList noAdaptor { QStringLiteral("count"), QStringLiteral("no adaptor") };
        const QStringList welcome { QStringLiteral("count"), QStringLiteral("welcome") };
        QTest::newRow("no interface") << 0 << noAdaptor;
        QTest::newRow("one interface") << 1 << welcome;
        QTest::newRow("two interfaces") << 2 << welcome;
        QTest::newRow("negative count is none") << -1 << noAdaptor;
    }
    void firstWindow()
    {
        QFETCH(qint32, count);
        QFETCH(QStringList, events);
        QTemporaryDir dir;
        QSettings store(dir.filePath(QStringLiteral("Linkwise.ini")), QSettings::IniFormat);
        StartupRecorder rec(count);
        rec.run(store);
        QCOMPARE(rec.events, events);
        QCOMPARE(rec.usable.LanAdapterCount, count);
        QCOMPARE(rec.countAtWindow, count);
        QCOMPARE(rec.state.BroadcastAddress, QStringLiteral("255.255.255.255"));
    }

    void settingsAndBroadcastComeBeforeTheCount()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Linkwise.ini"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[Settings]\nPingTimeout=2500\n");
        }
        QSettings store(path, QSettings::IniFormat);
        StartupRecorder rec(1);
        rec.state.BroadcastAddress = QStringLiteral("198.51.100.255");
        rec.run(store);
        QCOMPARE(rec.pingTimeoutAtCount, 2500);
        QCOMPARE(rec.broadcastAtCount, QStringLiteral("255.255.255.255"));
    }

    void mainWritesNoSettings()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Linkwise.ini"));
        {
            QSettings store(path, QSettings::IniFormat);
            StartupRecorder rec(0);
            rec.run(store);
        }
        QVERIFY(!QFile::exists(path));
    }

    void shiftNotHeld()
    {
        // Nothing presses a key on the test display.
        QVERIFY(!Module1::ShiftKeyDown());
    }
};

QTEST_MAIN(tst_Module1Main)
#include "tst_Module1Main.moc"
