#include "NetLab.h"
#include "RecordingPrompts.h"
#include "app/frmTerminal2.h"
#include "net/SystemClock.h"

#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTest>

// The terminal window against a real telnet server: inetutils' telnetd with
// a shell, started for each connection by busybox nc, on the far side of a
// bare LAN (one link, an address each, no default route). Such a server
// negotiates options first and holds the shell back until it is answered.
class tst_frmTerminal2Telnetd : public QObject {
    Q_OBJECT
private slots:
    void typedKeysReachTheShell()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        if (!QFileInfo(QStringLiteral("/usr/sbin/telnetd")).isExecutable()
            || QStandardPaths::findExecutable(QStringLiteral("busybox")).isEmpty())
            QSKIP("telnetd or busybox missing: scripts/deps.sh installs them");
        NetLab lab;
        const QString pc = lab.addHost(QStringLiteral("pc"));
        const QString server = lab.addHost(QStringLiteral("telnetd"));
        QVERIFY2(!pc.isEmpty() && !server.isEmpty(), qPrintable(lab.lastError()));
        QVERIFY2(lab.link(pc, QStringLiteral("eth0"), QStringLiteral("192.0.2.1/24"), server, QStringLiteral("eth0"),
                     QStringLiteral("192.0.2.2/24")),
            qPrintable(lab.lastError()));
        QVERIFY(lab.start(server,
            { QStringLiteral("busybox"), "nc", "-ll", "-p", "23", "-e", "/usr/sbin/telnetd", "-h", "-E", "/bin/sh" }));
        QVERIFY(QTest::qWaitFor([&] { return lab.sh(server, QStringLiteral("ss -ltn | grep -q ':23 '")); }, 10000));
        QVERIFY2(lab.enter(pc), qPrintable(lab.lastError()));

        SystemClock clock;
        RecordingPrompts prompts;
        frmTerminal2 w(std::make_unique<clsTrm>(clock, prompts, TrmOptions { 23, nullptr, {} }), prompts);
        QCOMPARE(w.connectNow(0, QString(), QString(), QStringLiteral("192.0.2.2"), QString()), 0);
        // The shell's prompt comes once the negotiation has been answered.
        QTRY_VERIFY2_WITH_TIMEOUT(w.txtmsgs->toPlainText().endsWith(QStringLiteral("# ")),
            qPrintable(QStringLiteral("screen: ") + w.txtmsgs->toPlainText().toHtmlEscaped()
                + QStringLiteral(" status: ") + w.lblStatus->text() + QStringLiteral(" boxes: ")
                + prompts.texts().join(u'|')),
            15000);

        QTest::keyClicks(w.txtmsgs, QStringLiteral("echo linkwise$((6*7)) $(id -u)"));
        QTest::keyClick(w.txtmsgs, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(w.txtmsgs->toPlainText().contains(QStringLiteral("\nlinkwise42 0\n")), 15000);
        const QString shown = w.txtmsgs->toPlainText();
        // The server echoes: the typed line is on screen once, as the shell saw it.
        QCOMPARE(shown.count(QStringLiteral("echo linkwise$((6*7)) $(id -u)")), 1);
        // No negotiation byte reaches the screen.
        for (const QChar c : shown)
            QVERIFY2(c.unicode() < 0x80, qPrintable(QStringLiteral("code %1 on screen").arg(c.unicode())));

        // Ctrl+D ends the shell; the server hangs up and the window goes.
        QTest::sendKeyEvent(QTest::Click, w.txtmsgs, Qt::Key_D, QStringLiteral("\x04"), Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 15000);
        QVERIFY(!w.clsrx());
        QVERIFY(prompts.boxes.isEmpty());
    }
};

QTEST_MAIN(tst_frmTerminal2Telnetd)
#include "tst_frmTerminal2Telnetd.moc"
