#include "Clicks.h"
#include "ModalDriver.h"
#include "app/frmScanOptions.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
clsScanOptions record(bool initialPing, bool mustHaveGPRS)
{
    clsScanOptions o;
    o.setInitialPing(initialPing);
    o.setMustHaveGPRS(mustHaveGPRS);
    return o;
}

bool ask(QString& serial, clsScanOptions& options, std::function<void(frmScanOptions*)> act)
{
    frmScanOptions dialog;
    const auto script = whenModal<frmScanOptions>(std::move(act));
    return dialog.GetScanOptions(serial, options);
}

void click(QAbstractButton* b)
{
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(4, b->height() / 2));
}
} // namespace

class tst_frmScanOptions : public QObject {
    Q_OBJECT
private slots:
    void opening_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<bool>("initialPing");
        QTest::addColumn<bool>("mustHaveGPRS");
        QTest::newRow("all units, ping on") << QString() << true << false;
        QTest::newRow("one serial, GPRS required, no ping") << QStringLiteral("12345") << false << true;
    }
    void opening()
    {
        QFETCH(QString, serial);
        QFETCH(bool, initialPing);
        QFETCH(bool, mustHaveGPRS);
        clsScanOptions options = record(initialPing, mustHaveGPRS);
        QString s = serial;
        bool specific = false, all = false, enabled = false, ping = false, gprs = false, switchesShown = true;
        QString text, caption, button;
        ask(s, options, [&](frmScanOptions* d) {
            caption = d->windowTitle();
            specific = d->Option1(0)->isChecked();
            all = d->Option1(1)->isChecked();
            enabled = d->txtSerial()->isEnabled();
            text = d->txtSerial()->text();
            ping = d->Check1(7)->isChecked();
            gprs = d->Check1(9)->isChecked();
            switchesShown = d->Check1(7)->isVisible() || d->Check1(9)->isVisible();
            button = d->cmdOptions()->text().remove(QLatin1Char('&'));
            d->reject();
        });
        QCOMPARE(caption, QStringLiteral("Scan options"));
        QCOMPARE(specific, !serial.isEmpty());
        QCOMPARE(all, serial.isEmpty());
        QCOMPARE(enabled, !serial.isEmpty());
        QCOMPARE(text, serial);
        QCOMPARE(ping, initialPing);
        QCOMPARE(gprs, mustHaveGPRS);
        QVERIFY(!switchesShown);
        QCOMPARE(button, QStringLiteral("Advanced >>"));
    }

    // Starts from serial "999" (or "" where named) with the ping on and
    // GPRS not required.
    void endings_data()
    {
        QTest::addColumn<QString>("startSerial");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("serialAfter");
        QTest::addColumn<bool>("pingAfter");
        QTest::addColumn<bool>("gprsAfter");

        QTest::newRow("OK unchanged, all units") << QString() << "ok" << true << QString() << true << false;
        QTest::newRow("specific chosen, box left empty")
            << QString() << "specific ok" << true << QString() << true << false;
        QTest::newRow("specific chosen, serial typed, Return")
            << QString() << "specific type return" << true << QStringLiteral("4711") << true << false;
        QTest::newRow("back to all units drops the serial") << "999"
                                                            << "all ok" << true << QString() << true << false;
        QTest::newRow("advanced switches changed") << "999"
                                                   << "advanced ping gprs ok" << true << "999" << false << true;
        QTest::newRow("Cancel after changes") << "999"
                                              << "all advanced ping gprs cancel" << false << "999" << true << false;
        QTest::newRow("Esc after changes") << "999"
                                           << "advanced gprs esc" << false << "999" << true << false;
        QTest::newRow("close box after changes") << "999"
                                                 << "advanced ping close" << false << "999" << true << false;
    }
    void endings()
    {
        QFETCH(QString, startSerial);
        QFETCH(QString, steps);
        QFETCH(bool, accepted);
        QFETCH(QString, serialAfter);
        QFETCH(bool, pingAfter);
        QFETCH(bool, gprsAfter);

        QString serial = startSerial;
        clsScanOptions options = record(true, false);
        const bool ok = ask(serial, options, [steps](frmScanOptions* d) {
            d->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(d));
            for (const QString& step : steps.split(QLatin1Char(' '))) {
                if (step == QLatin1String("specific")) {
                    click(d->Option1(0));
                    // Choosing the specific scan puts the cursor in the box.
                    QCOMPARE(QApplication::focusWidget(), d->txtSerial());
                } else if (step == QLatin1String("all")) {
                    click(d->Option1(1));
                    QVERIFY(!d->txtSerial()->isEnabled());
                } else if (step == QLatin1String("type")) {
                    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("4711"));
                } else if (step == QLatin1String("advanced")) {
                    click(d->cmdOptions());
                } else if (step == QLatin1String("ping")) {
                    click(d->Check1(7));
                } else if (step == QLatin1String("gprs")) {
                    click(d->Check1(9));
                } else if (step == QLatin1String("ok")) {
                    click(d->OKButton());
                } else if (step == QLatin1String("return")) {
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                } else if (step == QLatin1String("cancel")) {
                    click(d->CancelButton());
                } else if (step == QLatin1String("esc")) {
                    QTest::keyClick(d, Qt::Key_Escape);
                } else {
                    d->close();
                }
            }
        });
        QCOMPARE(ok, accepted);
        QCOMPARE(serial, serialAfter);
        QCOMPARE(options.InitialPing(), pingAfter);
        QCOMPARE(options.MustHaveGPRS(), gprsAfter);
    }

    void advancedButtonSwitchesTheView()
    {
        QString serial;
        clsScanOptions options;
        QSize basic, advanced, basicAgain, afterDoubleClick;
        bool switchesShown = false;
        QString advancedCaption;
        ask(serial, options, [&](frmScanOptions* d) {
            basic = d->size();
            click(d->cmdOptions());
            advanced = d->size();
            switchesShown = d->Check1(7)->isVisible() && d->Check1(9)->isVisible();
            advancedCaption = d->cmdOptions()->text().remove(QLatin1Char('&'));
            click(d->cmdOptions());
            basicAgain = d->size();
            doubleClick(d->cmdOptions());
            afterDoubleClick = d->size();
            d->reject();
        });
        QVERIFY(switchesShown);
        QCOMPARE(advancedCaption, QStringLiteral("<< Advanced"));
        QVERIFY(advanced.height() > basic.height());
        QCOMPARE(advanced.width(), basic.width());
        QCOMPARE(basicAgain, basic);
        QCOMPARE(afterDoubleClick, basic);
    }
};

QTEST_MAIN(tst_frmScanOptions)
#include "tst_frmScanOptions.moc"
