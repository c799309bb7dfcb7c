#include <QProcess>
#include <QTest>

// The real ender, seen from outside: the close box ends the process at once
// with status 0, leaving by a button does not.
class tst_WizardExit : public QObject {
    Q_OBJECT
private slots:
    void probe_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("output");
        QTest::newRow("close box ends the process") << "close" << 0 << QByteArray("shown\n");
        QTest::newRow("next keeps it running") << "next" << 3 << QByteArray("shown\nstill running on frmWiz03\n");
    }
    void probe()
    {
        QFETCH(QString, how);
        QFETCH(int, status);
        QFETCH(QByteArray, output);
        const QString dir = qEnvironmentVariable("LINKWISE_BUILD_DIR");
        if (dir.isEmpty())
            QSKIP("LINKWISE_BUILD_DIR not set");
        QProcess p;
        p.setProcessChannelMode(QProcess::SeparateChannels);
        p.start(dir + QStringLiteral("/tests/wizard/wizard_exit_probe"), { how });
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), status);
        QCOMPARE(p.readAllStandardOutput(), output);
    }
};

QTEST_MAIN(tst_WizardExit)
#include "tst_WizardExit.moc"
