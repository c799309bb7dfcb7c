#include "app/AppSettings.h"
#include "app/Module1.h"
#include "session/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <thread>

namespace {
// Reading a FIFO blocks until someone writes to it: a fault here would hang
// the test instead of failing it, so a watchdog ends the process.
class Watchdog {
public:
    explicit Watchdog(int seconds)
        : m_thread([this, seconds] {
            for (int i = 0; i < seconds * 10 && !m_done; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (!m_done) {
                std::fputs("FAIL: the settings file blocked start-up\n", stderr);
                std::_Exit(1);
            }
        })
    { }
    ~Watchdog()
    {
        m_done = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_done { false };
    std::thread m_thread;
};
} // namespace

class tst_SettingsFile : public QObject {
    Q_OBJECT
private slots:
    void whatLiesAtThePath_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("usable");
        QTest::addColumn<qint32>("pingTimeout");
        QTest::newRow("nothing yet") << "none" << true << 1000;
        QTest::newRow("regular file") << "file" << true << 300;
        QTest::newRow("link to a regular file") << "link to file" << true << 300;
        QTest::newRow("link that leads nowhere") << "dangling link" << true << 1000;
        QTest::newRow("FIFO") << "fifo" << false << 1000;
        QTest::newRow("link to a FIFO") << "link to fifo" << false << 1000;
        QTest::newRow("directory") << "directory" << false << 1000;
    }
    void whatLiesAtThePath()
    {
        QFETCH(QString, kind);
        QFETCH(bool, usable);
        QFETCH(qint32, pingTimeout);
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("Linkwise")));
        const QString path = root.filePath(QStringLiteral("Linkwise/Linkwise.ini"));
        const QString elsewhere = root.filePath(QStringLiteral("elsewhere"));
        const QByteArray stored = "[Settings]\nPingTimeout=300\n";
        auto writeFile = [&](const QString& p) {
            QFile f(p);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(stored);
        };
        if (kind == u"file")
            writeFile(path);
        else if (kind == u"link to file") {
            writeFile(elsewhere);
            QVERIFY(QFile::link(elsewhere, path));
        } else if (kind == u"dangling link")
            QVERIFY(QFile::link(elsewhere, path));
        else if (kind == u"fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind == u"link to fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(elsewhere).constData(), 0600), 0);
            QVERIFY(QFile::link(elsewhere, path));
        } else if (kind == u"directory")
            QVERIFY(QDir().mkpath(path));

        Watchdog watchdog(20);
        SettingsFile file(QStringLiteral("Linkwise"), QStringLiteral("Linkwise"), root.path());
        QCOMPARE(file.path(), path);
        QCOMPARE(file.usable(), usable);
        AppSettings s;
        Module1::ReadSettings(file.store(), s);
        QCOMPARE(s.PingTimeout, pingTimeout);
        s.PingTimeout = 2500;
        Module1::SaveSettings(file.store(), s);

        // What the run wrote is there for the next one only when the file was usable.
        if (usable) {
            QSettings again(path, QSettings::IniFormat);
            QCOMPARE(again.value(QStringLiteral("Settings/PingTimeout")).toString(), QStringLiteral("2500"));
        } else {
            const QFileInfo after(path);
            QVERIFY(after.exists() && !after.isFile());
        }
    }
};

QTEST_GUILESS_MAIN(tst_SettingsFile)
#include "tst_SettingsFile.moc"
