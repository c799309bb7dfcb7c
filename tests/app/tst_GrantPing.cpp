#include "NetLab.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// scripts/grant-ping.sh, which run.sh calls before it starts the program:
// it grants pings when it may and otherwise prints the command for root.
// Each row runs it in a namespace whose ping_group_range the row chooses.
class tst_GrantPing : public QObject {
    Q_OBJECT
private slots:
    void grantOrSayHow_data()
    {
        QTest::addColumn<QString>("groupRange");
        QTest::addColumn<bool>("asRoot");
        QTest::addColumn<bool>("granted");
        QTest::addColumn<bool>("told");
        QTest::newRow("root grants the capability") << QStringLiteral("1 0") << true << true << false;
        QTest::newRow("user without sudo is told the command") << QStringLiteral("1 0") << false << false << true;
        QTest::newRow("user whose group may ping needs nothing")
            << QStringLiteral("0 2147483647") << false << false << false;
    }
    void grantOrSayHow()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QFETCH(QString, groupRange);
        QFETCH(bool, asRoot);
        QFETCH(bool, granted);
        QFETCH(bool, told);
        NetLab lab;
        const QString ns = lab.addHost(QStringLiteral("desk"));
        QVERIFY2(lab.sh(ns, QStringLiteral("sysctl -qw net.ipv4.ping_group_range='%1'").arg(groupRange)),
            qPrintable(lab.lastError()));

        // A stand-in for the built program, in a folder the user may enter,
        // with a blank in its name to check the quoting.
        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther | QFile::ReadOther);
        const QString binary = dir.filePath(QStringLiteral("build dir linkwise"));
        QVERIFY(QFile::copy(QStringLiteral("/bin/true"), binary));

        const QString script = qEnvironmentVariable("LINKWISE_SOURCE_DIR") + QStringLiteral("/scripts/grant-ping.sh");
        QStringList argv { QStringLiteral("ip"), QStringLiteral("netns"), QStringLiteral("exec"), ns };
        if (!asRoot)
            argv << QStringLiteral("setpriv") << QStringLiteral("--reuid=65534") << QStringLiteral("--regid=65534")
                 << QStringLiteral("--clear-groups");
        argv << script << binary;
        QProcess p;
        p.start(argv.takeFirst(), argv);
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(30000));
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        QCOMPARE(p.exitCode(), 0);

        QProcess getcap;
        getcap.start(QStringLiteral("/usr/sbin/getcap"), { binary });
        QVERIFY(getcap.waitForFinished(10000));
        QCOMPARE(getcap.readAllStandardOutput().contains("cap_net_raw"), granted);
        if (told) {
            QVERIFY2(err.contains(QStringLiteral("Run this as root once after each build:\n  /usr/sbin/setcap "
                                                 "cap_net_raw+ep ")
                         + dir.path() + QStringLiteral("/build\\ dir\\ linkwise\n")),
                qPrintable(err));
        } else {
            QVERIFY2(err.isEmpty(), qPrintable(err));
        }
    }
};

QTEST_GUILESS_MAIN(tst_GrantPing)
#include "tst_GrantPing.moc"
