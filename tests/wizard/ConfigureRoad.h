#pragma once

// The main window's batch side on the road a person takes: the program
// started as main() starts it on a bare LAN, the units played by the
// simulator, which logs every line it hears, the PC's /etc a scratch copy
// whose resolv.conf the runs may change.

#include "Journey.h"
#include "ScratchEtc.h"
#include "app/frmMain.h"
#include "wizard/frmWiz01.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

namespace ConfigureRoad {

inline const QByteArray kResolvConf = "nameserver 203.0.113.53\n";

// A double click as the window system delivers it, anywhere on the widget.
inline void doubleClick(QWidget* widget)
{
    QWidget* top = widget->window();
    QTest::mouseDClick(top->windowHandle(), Qt::LeftButton, {}, widget->mapTo(top, widget->rect().center()));
}

// Takes the PC's default route away again, if there is one.
inline void dropDefaultRoute()
{
    QProcess ip;
    ip.start(QStringLiteral("ip"), { "-4", "route", "flush", "exact", "0.0.0.0/0" });
    ip.waitForFinished(10000);
}

inline QString defaultRoute()
{
    QProcess ip;
    ip.start(QStringLiteral("ip"), { "-4", "route", "show", "default" });
    ip.waitForFinished(10000);
    return QString::fromLatin1(ip.readAllStandardOutput()).simplified();
}

// Every line the units heard since the log held offset bytes, as
// "<serial> <line>".
inline QStringList heard(const QString& path, qint64& offset)
{
    QFile log(path);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    log.seek(offset);
    const QByteArray text = log.readAll();
    offset += text.size();
    QStringList out;
    for (const QByteArray& line : text.split('\n')) {
        if (!line.isEmpty())
            out << QString::fromLatin1(line).replace(u'\t', u' ');
    }
    return out;
}

// What the steps of a run left in the units' command log: a word per step
// whose commands were heard, in the order of the stages. The address check
// and the cellular test both make a temporary profile ("user ?"); the test
// reads the link's state first.
inline QStringList stepsHeard(const QStringList& lines, const QString& serial)
{
    const QString p = serial + u' ';
    auto heardLine = [&](const QString& command) { return lines.contains(p + command); };
    const qsizetype firstStatus = lines.indexOf(p + QStringLiteral("ppp 1 status"));
    bool check = false;
    bool test = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i] == p + QStringLiteral("user ?"))
            (firstStatus < 0 || i < firstStatus ? check : test) = true;
    }
    QStringList out;
    if (std::any_of(lines.begin(), lines.end(), [&](const QString& l) { return l.startsWith(p + "eth 0 ipaddr"); }))
        out << QStringLiteral("address");
    if (check)
        out << QStringLiteral("check");
    if (heardLine(QStringLiteral("config 0 save")))
        out << QStringLiteral("save");
    if (heardLine(QStringLiteral("reboot")))
        out << QStringLiteral("reboot");
    if (heardLine(QStringLiteral("modemcc 0 apn ?")))
        out << QStringLiteral("cellular probe");
    if (firstStatus >= 0)
        out << QStringLiteral("link status");
    if (test)
        out << QStringLiteral("cellular test");
    return out;
}

// The PC's side and the program, up to the search page listing units 10 and
// 11 and the main window shown (the one thing no page does).
struct Bench {
    Journey::Lan lan;
    ScratchEtc etc;
    QTemporaryDir logDir;
    QString commandLog = logDir.filePath(QStringLiteral("commands.log"));
    qint64 logOffset = 0;
    std::unique_ptr<Journey::Run> run;
    frmWiz07* search = nullptr;
    frmMain* main = nullptr;

    // The units come up with their PPP link on at once; a restart keeps a
    // unit silent for the simulator's 5 s, longer than one probe's round.
    bool startUnits(const QStringList& extra)
    {
        return lan.startUnits(QStringList { "--serial", "10", "--command-log", commandLog, "--ppp-on", "1",
                                  "--ppp-idle", "0", "--ppp-activating", "0", "--lan-dev", "eth0" }
            + extra);
    }
    // Call from the test's initTestCase, once NetLab can run.
    void setUp()
    {
        QVERIFY2(lan.build(Journey::Lan::Shape::Bare), qPrintable(lan.lastError()));
        QVERIFY2(etc.apply(kResolvConf), qPrintable(etc.lastError()));
        QVERIFY(logDir.isValid());
        QVERIFY(startUnits({}));
        run = std::make_unique<Journey::Run>();
        // Short pings: a free address costs one time-out.
        run->store.setValue(QStringLiteral("Settings/PingTimeout"), QStringLiteral("300"));
        run->store.sync();
        Journey::inEventLoop([this] {
            run->program.start();
            auto* welcome = run->page<frmWiz01>();
            QVERIFY(welcome);
            QTest::mouseClick(welcome->cmdNext, Qt::LeftButton);
            search = Journey::waitForUnits(*run);
            QVERIFY(search);
            QCOMPARE(Journey::rowTexts(*search), (QStringList { "10", "11" }));
            main = run->program.mainWindow();
            main->show();
            QVERIFY(QTest::qWaitForWindowExposed(main));
        });
    }

    // What the units heard since the last call.
    QStringList heardSince() { return heard(commandLog, logOffset); }
};

} // namespace ConfigureRoad
