#include "HookedMainWindow.h"
#include "app/frmAbout.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// The About box as the main window's Help menu opens it, with the hooks
// start-up fills. Stand-in system-information programs on PATH write their
// name and arguments to a record file when they start.
namespace {

struct Rig : HookedMainWindow {
    QTemporaryDir dir;
    std::unique_ptr<QSettings> ownStore;
    QByteArray savedPath = qgetenv("PATH");

    Rig()
    {
        ownStore = std::make_unique<QSettings>(dir.filePath(QStringLiteral("Linkwise.ini")), QSettings::IniFormat);
        store = ownStore.get();
        QDir().mkpath(bin());
        qputenv("PATH", bin().toLocal8Bit());
        qputenv("LINKWISE_SYSINFO_RECORD", record().toLocal8Bit());
    }
    ~Rig()
    {
        qputenv("PATH", savedPath);
        qunsetenv("LINKWISE_SYSINFO_RECORD");
    }

    QString bin() const { return dir.filePath(QStringLiteral("bin")); }
    QString record() const { return dir.filePath(QStringLiteral("started")); }

    // A program that records its start; executable unless told otherwise.
    QString standIn(const QString& path, bool executable = true)
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return QString();
        // PATH holds the stand-ins alone: nothing but the shell's own words.
        f.write("#!/bin/sh\necho \"${0##*/} $*\" >> \"$LINKWISE_SYSINFO_RECORD\"\n");
        f.close();
        if (executable)
            f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeUser);
        return path;
    }

    bool open(std::function<void(frmAbout*)> act) { return HookedMainWindow::open(w->mnuHelpAbout(), act); }

    QString started() const
    {
        QFile f(record());
        return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()).trimmed() : QString();
    }
};

} // namespace

class tst_frmAbout : public QObject {
    Q_OBJECT
private slots:
    void showsTheProgramsTexts()
    {
        Rig rig;
        rig.build();
        QStringList texts;
        bool ownedByMain = false;
        QVERIFY(rig.open([&](frmAbout* d) {
            texts << d->windowTitle() << d->lblTitle->text() << d->lblVersion->text() << d->lblDescription->text()
                  << d->txtWinSockVersion->text() << d->cmdOK->text() << d->cmdSysInfo->text();
            ownedByMain = d->parentWidget() == rig.w.get();
            QTest::mouseClick(d->cmdOK, Qt::LeftButton);
        }));
        QCOMPARE(texts,
            (QStringList { "About Velmar Wizard", "Linkwise", "Version 1.0.73",
                "Velmar Product Setup Wizard. Perform initial setup of your new Velmar router.", "Winsock: ", "OK",
                "&System Info..." }));
        QVERIFY(ownedByMain);
    }

    void systemInformation_data()
    {
        QTest::addColumn<QStringList>("onPath");
        QTest::addColumn<QString>("setting"); // "$BIN" stands for the stand-ins' folder
        QTest::addColumn<QString>("started");
        QTest::addColumn<bool>("byKeyboard");
        QTest::newRow("nothing named: a known program on PATH")
            << QStringList { "hardinfo" } << QString() << "hardinfo" << false;
        QTest::newRow("nothing named: the first known program wins")
            << QStringList { "hardinfo", "kinfocenter" } << QString() << "kinfocenter" << false;
        QTest::newRow("Alt+S starts it as well")
            << QStringList { "gnome-system-monitor" } << QString() << "gnome-system-monitor" << true;
        QTest::newRow("nothing named, nothing on PATH") << QStringList {} << QString() << QString() << false;
        QTest::newRow("the settings name a program: PATH is not asked")
            << QStringList { "kinfocenter", "my tool" } << "$BIN/my tool"
            << "my tool" << false;
        QTest::newRow("the settings name a command with arguments")
            << QStringList { "kinfocenter", "probe" } << "\"$BIN/probe\" --summary --all"
            << "probe --summary --all" << false;
        QTest::newRow("the settings name a missing program: no fallback")
            << QStringList { "kinfocenter" } << "$BIN/gone" << QString() << false;
        QTest::newRow("the settings name a file that cannot run")
            << QStringList { "kinfocenter", "-plain" } << "$BIN/plain" << QString() << false;
    }
    void systemInformation()
    {
        QFETCH(QStringList, onPath);
        QFETCH(QString, setting);
        QFETCH(QString, started);
        QFETCH(bool, byKeyboard);
        Rig rig;
        for (const QString& name : onPath) {
            const bool executable = !name.startsWith(u'-');
            QVERIFY(!rig.standIn(rig.bin() + u'/' + (executable ? name : name.mid(1)), executable).isEmpty());
        }
        if (!setting.isEmpty()) {
            rig.ownStore->beginGroup(QStringLiteral("Settings"));
            rig.ownStore->setValue(
                QStringLiteral("SysInfoPath"), QString(setting).replace(QStringLiteral("$BIN"), rig.bin()));
            rig.ownStore->endGroup();
        }
        rig.build();
        bool openAfter = false;
        QVERIFY(rig.open([&](frmAbout* d) {
            if (byKeyboard) {
                d->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(d));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
                // A mnemonic presses its button visibly: the click comes a moment later.
                QTRY_VERIFY_WITH_TIMEOUT(!rig.started().isEmpty() || !rig.prompts.boxes.isEmpty(), 10000);
            } else {
                QTest::mouseClick(d->cmdSysInfo, Qt::LeftButton);
            }
            openAfter = d->isVisible();
            d->accept();
        }));
        // The box stays open whatever the outcome.
        QVERIFY(openAfter);
        if (started.isEmpty()) {
            QCOMPARE(rig.prompts.texts(), QStringList { "System Information Is Unavailable At This Time" });
            QCOMPARE(rig.prompts.boxes[0].icon, UserPrompts::Icon::None);
            QCOMPARE(rig.prompts.boxes[0].title, QString());
            QCOMPARE(rig.started(), QString());
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(rig.started(), started, 10000);
            QVERIFY(rig.prompts.boxes.isEmpty());
        }
    }
};

QTEST_MAIN(tst_frmAbout)
#include "tst_frmAbout.moc"
