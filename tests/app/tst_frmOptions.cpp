#include "HookedMainWindow.h"
#include "Retype.h"
#include "app/PppInstanceBox.h"
#include "app/frmOptions.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
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
            << QStringList { "59.6", "-0.4", "1", "999.49" } << Values { 60, 0, "1", 999 };
        QTest::newRow("zero and negatives as typed")
            << QStringList { "0", "-30", "0", "0" } << Values { 0, -30, "0", 0 };
        QTest::newRow("blanks around numbers; the instance keeps its own")
            << QStringList { " 45 ", "90 ", " 2 ", " 250" } << Values { 45, 90, " 2 ", 250 };
        QTest::newRow("the 32-bit edges")
            << QStringList { "2147483647", "-2147483648", "5", "1" } << Values { 2147483647, -2147483648, "5", 1 };
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

    // A box that holds no whole number keeps the dialog open with the person
    // back in that box, and nothing is stored, not even the good boxes.
    void okRefusesWhatIsNoWholeNumber_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("message");
        const QString reboot = QStringLiteral("Reboot timeout (secs) must be a whole number.");
        const QString ppp = QStringLiteral("PPP connection timeout (secs) must be a whole number.");
        const QString gprs = QStringLiteral("GPRS PPP to configure must be a whole number.");
        const QString ping = QStringLiteral("Connectivity Test Timeout (ms) must be a whole number.");
        QTest::newRow("empty reboot time") << QStringList { "", "200", "2", "900" } << 0 << reboot;
        QTest::newRow("letters as PPP wait") << QStringList { "55", "three", "2", "900" } << 1 << ppp;
        QTest::newRow("number then letters") << QStringList { "55", "20s", "2", "900" } << 1 << ppp;
        QTest::newRow("ping time beyond 32 bits") << QStringList { "55", "200", "2", "2147483648" } << 3 << ping;
        QTest::newRow("rounds beyond 32 bits") << QStringList { "2147483647.5", "200", "2", "900" } << 0 << reboot;
        QTest::newRow("empty PPP instance") << QStringList { "55", "200", "", "900" } << 2 << gprs;
        QTest::newRow("PPP instance with a word after it") << QStringList { "55", "200", "1 x", "900" } << 2 << gprs;
        QTest::newRow("PPP instance with a fraction") << QStringList { "55", "200", "1.5", "900" } << 2 << gprs;
        QTest::newRow("negative PPP instance") << QStringList { "55", "200", "-1", "900" } << 2 << gprs;
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
