#include "HookedMainWindow.h"
#include "Retype.h"
#include "app/Module1.h"
#include "app/PppInstanceBox.h"
#include "app/frmOptions.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// The advanced options as the main window's Tools menu opens them, with the
// hooks start-up fills.
namespace {

struct Rig : HookedMainWindow {
    Rig() { build(); }
    bool open(std::function<void(frmOptions*)> act) { return HookedMainWindow::open(w->mnuOptions(), act); }
    // Values of the run other than the defaults, to tell them apart.
    void setRunValues()
    {
        settings.RebootTime = 70;
        settings.PPPWaitTime = 240;
        settings.GPRSPPP = QStringLiteral("3");
        settings.PingTimeout = 400;
    }
};

struct Values {
    qint32 reboot, pppWait;
    QString gprs;
    qint32 ping;
};

Values valuesOf(const AppSettings& s)
{
    return { s.RebootTime, s.PPPWaitTime, s.GPRSPPP, s.PingTimeout };
}

bool operator==(const Values& a, const Values& b)
{
    return a.reboot == b.reboot && a.pppWait == b.pppWait && a.gprs == b.gprs && a.ping == b.ping;
}

char* toString(const Values& v)
{
    return QTest::toString(QStringLiteral("reboot %1, ppp wait %2, gprs '%3', ping %4")
                               .arg(v.reboot)
                               .arg(v.pppWait)
                               .arg(v.gprs)
                               .arg(v.ping));
}

void typeAll(frmOptions* d, const QStringList& texts)
{
    retype(d->txtRebootTimeout, texts[0]);
    retype(d->txtPPPWaitTimeout, texts[1]);
    retype(d->txtGPRSPPP, texts[2]);
    retype(d->txtPingTimeout, texts[3]);
}

const Values kRunValues { 70, 240, QStringLiteral("3"), 400 };

} // namespace

class tst_frmOptions : public QObject {
    Q_OBJECT
private slots:
    void opensWithTheValuesInForce()
    {
        Rig rig;
        rig.setRunValues();
        QStringList shown;
        QString title;
        QVERIFY(rig.open([&](frmOptions* d) {
            title = d->windowTitle();
            shown << d->txtRebootTimeout->text() << d->txtPPPWaitTimeout->text() << d->txtGPRSPPP->text()
                  << d->txtPingTimeout->text();
            d->reject();
        }));
        QCOMPARE(title, QStringLiteral("Configure Advanced Options"));
        QCOMPARE(shown, (QStringList { "70", "240", "3", "400" }));
    }

    void okStoresWhatWasTyped_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<Values>("stored");
        QTest::newRow("plain numbers") << QStringList { "60", "300", "2", "1500" } << Values { 60, 300, "2", 1500 };
        QTest::newRow("a half goes down to the even neighbour")
            << QStringList { "2.5", "180", "1", "1000" } << Values { 2, 180, "1", 1000 };
        QTest::newRow("a half goes up to the even neighbour")
            << QStringList { "3.5", "180", "1", "1000" } << Values { 4, 180, "1", 1000 };
        QTest::newRow("other fractions to the nearest")
            << QStringList { "59.6", "179.6", "1", "999.49" } << Values { 60, 180, "1", 999 };
        QTest::newRow("a reboot time of zero or below as typed")
            << QStringList { "0", "180", "0", "1000" } << Values { 0, 180, "0", 1000 };
        QTest::newRow("negative reboot time")
            << QStringList { "-30", "180", "1", "1000" } << Values { -30, 180, "1", 1000 };
        QTest::newRow("blanks around numbers; the instance keeps its own")
            << QStringList { " 45 ", "90 ", " 2 ", " 250" } << Values { 45, 90, " 2 ", 250 };
        QTest::newRow("the lowest values taken")
            << QStringList { "-2147483648", "10", "0", "50" } << Values { -2147483648, 10, "0", 50 };
        QTest::newRow("the highest values taken")
            << QStringList { "2147483647", "3600", "5", "60000" } << Values { 2147483647, 3600, "5", 60000 };
        QTest::newRow("a half that rounds into the range")
            << QStringList { "50", "9.5", "1", "49.5" } << Values { 50, 10, "1", 50 };
    }
    void okStoresWhatWasTyped()
    {
        QFETCH(QStringList, typed);
        QFETCH(Values, stored);
        Rig rig;
        int result = -1;
        QVERIFY(rig.open([&](frmOptions* d) {
            typeAll(d, typed);
            QTest::mouseClick(d->OKButton, Qt::LeftButton);
            result = d->result();
        }));
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(valuesOf(rig.settings), stored);
        QVERIFY(rig.prompts.boxes.isEmpty());
    }

    // A box that holds no whole number, or a number outside what start-up
    // reads back, keeps the dialog open with the person back in that box,
    // and nothing is stored, not even the good boxes.
    void okRefusesWhatIsNoWholeNumber_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("message");
        const QString reboot = QStringLiteral("Reboot timeout (secs) must be a whole number.");
        const QString ppp = QStringLiteral("PPP connection timeout (secs) must be a whole number from 10 to 3600.");
        const QString gprs = QStringLiteral("GPRS PPP to configure must be a whole number.");
        const QString ping = QStringLiteral("Connectivity Test Timeout (ms) must be a whole number from 50 to 60000.");
        QTest::newRow("empty reboot time") << QStringList { "", "200", "2", "900" } << 0 << reboot;
        QTest::newRow("letters as PPP wait") << QStringList { "55", "three", "2", "900" } << 1 << ppp;
        QTest::newRow("number then letters") << QStringList { "55", "20s", "2", "900" } << 1 << ppp;
        QTest::newRow("ping time beyond 32 bits") << QStringList { "55", "200", "2", "2147483648" } << 3 << ping;
        QTest::newRow("rounds beyond 32 bits") << QStringList { "2147483647.5", "200", "2", "900" } << 0 << reboot;
        QTest::newRow("empty PPP instance") << QStringList { "55", "200", "", "900" } << 2 << gprs;
        QTest::newRow("PPP instance with a word after it") << QStringList { "55", "200", "1 x", "900" } << 2 << gprs;
        QTest::newRow("PPP instance with a fraction") << QStringList { "55", "200", "1.5", "900" } << 2 << gprs;
        QTest::newRow("negative PPP instance") << QStringList { "55", "200", "-1", "900" } << 2 << gprs;
        QTest::newRow("PPP wait of zero") << QStringList { "55", "0", "2", "900" } << 1 << ppp;
        QTest::newRow("PPP wait just too short") << QStringList { "55", "9", "2", "900" } << 1 << ppp;
        QTest::newRow("PPP wait just too long") << QStringList { "55", "3601", "2", "900" } << 1 << ppp;
        QTest::newRow("negative PPP wait") << QStringList { "55", "-180", "2", "900" } << 1 << ppp;
        QTest::newRow("ping time of zero") << QStringList { "55", "200", "2", "0" } << 3 << ping;
        QTest::newRow("ping time just too short") << QStringList { "55", "200", "2", "49.4" } << 3 << ping;
        QTest::newRow("ping time just too long") << QStringList { "55", "200", "2", "60001" } << 3 << ping;
        QTest::newRow("the first refused box is named") << QStringList { "55", "5", "2", "5" } << 1 << ppp;
    }
    void okRefusesWhatIsNoWholeNumber()
    {
        QFETCH(QStringList, typed);
        QFETCH(int, box);
        QFETCH(QString, message);
        Rig rig;
        rig.setRunValues();
        bool stillOpen = false;
        bool focusBack = false;
        QVERIFY(rig.open([&](frmOptions* d) {
            typeAll(d, typed);
            QTest::mouseClick(d->OKButton, Qt::LeftButton);
            stillOpen = d->isVisible() && d->result() != QDialog::Accepted;
            const QList<QWidget*> boxes { d->txtRebootTimeout, d->txtPPPWaitTimeout, d->txtGPRSPPP, d->txtPingTimeout };
            QWidget* focus = d->focusWidget();
            focusBack = focus == boxes[box] || (focus && focus->parentWidget() == boxes[box]);
            d->reject();
        }));
        QVERIFY(stillOpen);
        QVERIFY(focusBack);
        QCOMPARE(rig.prompts.texts(), QStringList { message });
        QCOMPARE(rig.prompts.boxes[0].icon, UserPrompts::Icon::Exclamation);
        QCOMPARE(valuesOf(rig.settings), kRunValues);
    }

    // One rule for the dialog and start-up: what OK stores comes back after
    // a restart, and what start-up reads as the default when it finds it in
    // the store cannot be stored with OK either.
    void whatOkStoresSurvivesARestart_data()
    {
        QTest::addColumn<int>("box"); // 1 PPP wait, 2 PPP instance, 3 ping time
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("taken");
        QTest::newRow("PPP wait in range") << 1 << "240" << true;
        QTest::newRow("PPP wait at its lower end") << 1 << "10" << true;
        QTest::newRow("PPP wait at its upper end") << 1 << "3600" << true;
        QTest::newRow("PPP wait below") << 1 << "9" << false;
        QTest::newRow("PPP wait above") << 1 << "3601" << false;
        QTest::newRow("PPP wait with a fraction") << 1 << "240.5" << true;
        QTest::newRow("PPP wait in words") << 1 << "four minutes" << false;
        QTest::newRow("ping time in range") << 3 << "300" << true;
        QTest::newRow("ping time at its lower end") << 3 << "50" << true;
        QTest::newRow("ping time at its upper end") << 3 << "60000" << true;
        QTest::newRow("ping time of zero") << 3 << "0" << false;
        QTest::newRow("ping time below") << 3 << "49" << false;
        QTest::newRow("ping time above") << 3 << "60001" << false;
        QTest::newRow("ping time beyond 32 bits") << 3 << "4294967296" << false;
        QTest::newRow("PPP instance") << 2 << "3" << true;
        QTest::newRow("PPP instance between blanks") << 2 << " 2 " << true;
        QTest::newRow("PPP instance with a word after it") << 2 << "1 x" << false;
        QTest::newRow("PPP instance as a command") << 2 << "1 aodion off" << false;
        QTest::newRow("empty PPP instance") << 2 << "" << false;
    }
    void whatOkStoresSurvivesARestart()
    {
        QFETCH(int, box);
        QFETCH(QString, text);
        QFETCH(bool, taken);
        Rig rig;
        bool accepted = false;
        QVERIFY(rig.open([&](frmOptions* d) {
            const QList<QWidget*> boxes { nullptr, d->txtPPPWaitTimeout, d->txtGPRSPPP, d->txtPingTimeout };
            retype(boxes[box], text);
            QTest::mouseClick(d->OKButton, Qt::LeftButton);
            accepted = d->result() == QDialog::Accepted;
            if (!accepted)
                d->reject();
        }));
        QCOMPARE(accepted, taken);

        // What the program would write back and read at its next start.
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Linkwise.ini"));
        {
            QSettings store(file, QSettings::IniFormat);
            Module1::SaveSettings(store, rig.settings);
        }
        QSettings reread(file, QSettings::IniFormat);
        AppSettings next;
        Module1::ReadSettings(reread, next);
        QCOMPARE(valuesOf(next).pppWait, rig.settings.PPPWaitTime);
        QCOMPARE(valuesOf(next).gprs, rig.settings.GPRSPPP);
        QCOMPARE(valuesOf(next).ping, rig.settings.PingTimeout);

        // The same text found in the store at start-up.
        const QStringList keys { QString(), "PPPWaitTime", "GPRSPPP", "PingTimeout" };
        {
            QSettings store(file, QSettings::IniFormat);
            store.setValue(QStringLiteral("Settings/") + keys[box], text);
        }
        QSettings edited(file, QSettings::IniFormat);
        AppSettings started;
        Module1::ReadSettings(edited, started);
        const AppSettings defaults;
        if (taken) {
            QCOMPARE(valuesOf(started), valuesOf(rig.settings));
        } else {
            QCOMPARE(valuesOf(started).pppWait, box == 1 ? defaults.PPPWaitTime : rig.settings.PPPWaitTime);
            QCOMPARE(valuesOf(started).gprs, box == 2 ? defaults.GPRSPPP : rig.settings.GPRSPPP);
            QCOMPARE(valuesOf(started).ping, box == 3 ? defaults.PingTimeout : rig.settings.PingTimeout);
        }
    }

    // Restore Defaults only fills the boxes: how the dialog is left decides.
    void restoreDefaultsThenLeave_data()
    {
        QTest::addColumn<QString>("leave");
        QTest::addColumn<Values>("stored");
        QTest::newRow("OK stores the defaults") << "ok" << Values { 50, 180, "1", 1000 };
        QTest::newRow("Return stores the defaults") << "return" << Values { 50, 180, "1", 1000 };
        QTest::newRow("Cancel keeps the run's values") << "cancel" << kRunValues;
        QTest::newRow("Escape keeps the run's values") << "escape" << kRunValues;
        QTest::newRow("the close box keeps the run's values") << "close" << kRunValues;
    }
    void restoreDefaultsThenLeave()
    {
        QFETCH(QString, leave);
        QFETCH(Values, stored);
        Rig rig;
        rig.setRunValues();
        QStringList shown;
        QVERIFY(rig.open([&](frmOptions* d) {
            QTest::mouseClick(d->cmdRestore, Qt::LeftButton);
            shown << d->txtRebootTimeout->text() << d->txtPPPWaitTimeout->text() << d->txtGPRSPPP->text()
                  << d->txtPingTimeout->text();
            // Until the dialog is left, the run still uses its own values.
            QCOMPARE(valuesOf(rig.settings), kRunValues);
            if (leave == u"ok")
                QTest::mouseClick(d->OKButton, Qt::LeftButton);
            else if (leave == u"return")
                QTest::keyClick(d->txtPingTimeout, Qt::Key_Return);
            else if (leave == u"cancel")
                QTest::mouseClick(d->CancelButton, Qt::LeftButton);
            else if (leave == u"escape")
                QTest::keyClick(d->txtRebootTimeout, Qt::Key_Escape);
            else
                d->close();
        }));
        QCOMPARE(shown, (QStringList { "50", "180", "1", "1000" }));
        QCOMPARE(valuesOf(rig.settings), stored);
    }

    // The arrows beside the PPP instance step its number between 0 and 5.
    void arrowsStepThePppInstance_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("after");
        QTest::newRow("up from 1") << "1" << int(Qt::Key_Up) << "2";
        QTest::newRow("down from 3") << "3" << int(Qt::Key_Down) << "2";
        QTest::newRow("up stops at 5") << "5" << int(Qt::Key_Up) << "5";
        QTest::newRow("down stops at 0") << "0" << int(Qt::Key_Down) << "0";
        QTest::newRow("page up stops at 5") << "2" << int(Qt::Key_PageUp) << "5";
        QTest::newRow("a number between blanks steps") << " 3 " << int(Qt::Key_Up) << "4";
        QTest::newRow("text without a number starts from 0") << "abc" << int(Qt::Key_Up) << "1";
        QTest::newRow("a number above 5 comes back into range") << "9" << int(Qt::Key_Down) << "4";
    }
    void arrowsStepThePppInstance()
    {
        QFETCH(QString, start);
        QFETCH(int, key);
        QFETCH(QString, after);
        Rig rig;
        QString shown;
        QVERIFY(rig.open([&](frmOptions* d) {
            retype(d->txtGPRSPPP, start);
            QTest::keyClick(d->txtGPRSPPP, Qt::Key(key));
            shown = d->txtGPRSPPP->text();
            QTest::mouseClick(d->OKButton, Qt::LeftButton);
        }));
        QCOMPARE(shown, after);
        QCOMPARE(rig.settings.GPRSPPP, after);
    }

    // Each opening starts again from the values in force.
    void aSecondOpeningShowsWhatTheFirstStored()
    {
        Rig rig;
        QVERIFY(rig.open([&](frmOptions* d) {
            typeAll(d, { "61", "181", "4", "1001" });
            QTest::mouseClick(d->OKButton, Qt::LeftButton);
        }));
        QStringList shown;
        QVERIFY(rig.open([&](frmOptions* d) {
            retype(d->txtRebootTimeout, QStringLiteral("999"));
            QTest::mouseClick(d->CancelButton, Qt::LeftButton);
        }));
        QVERIFY(rig.open([&](frmOptions* d) {
            shown << d->txtRebootTimeout->text() << d->txtPPPWaitTimeout->text() << d->txtGPRSPPP->text()
                  << d->txtPingTimeout->text();
            d->reject();
        }));
        QCOMPARE(shown, (QStringList { "61", "181", "4", "1001" }));
    }
};

QTEST_MAIN(tst_frmOptions)
#include "tst_frmOptions.moc"
