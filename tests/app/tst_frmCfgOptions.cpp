#include "Clicks.h"
#include "ModalDriver.h"
#include "app/frmCfgOptions.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {
// Box number and the switch it shows.
struct Box {
    int index;
    bool (clsCfgOptions::*get)() const;
};
const Box kBoxes[] = {
    { 0, &clsCfgOptions::ConfirmIP },
    { 1, &clsCfgOptions::SaveConfig },
    { 2, &clsCfgOptions::Reboot },
    { 3, &clsCfgOptions::WaitForPPP },
    { 4, &clsCfgOptions::TestPPP },
    { 5, &clsCfgOptions::SetGateway },
    { 6, &clsCfgOptions::TestPCConnectivity },
    { 8, &clsCfgOptions::CfgGPRS },
    { 10, &clsCfgOptions::DisplaySummary },
};
const QList<int> kBasicBoxes = { 10 };
const QList<int> kAdvancedBoxes = { 10, 0, 1, 2, 5, 6, 8, 3, 4 };

QString shown(const QAbstractButton* b)
{
    return b->text().remove(QLatin1Char('&'));
}

// The switches as a box-number map, for comparisons with readable failures.
QMap<int, bool> switches(const clsCfgOptions& o)
{
    QMap<int, bool> out;
    for (const Box& b : kBoxes)
        out[b.index] = (o.*b.get)();
    return out;
}

clsCfgOptions withOff(const QList<int>& off)
{
    clsCfgOptions o;
    for (int i : off) {
        switch (i) {
        case 0:
            o.setConfirmIP(false);
            break;
        case 1:
            o.setSaveConfig(false);
            break;
        case 2:
            o.setReboot(false);
            break;
        case 3:
            o.setWaitForPPP(false);
            break;
        case 4:
            o.setTestPPP(false);
            break;
        case 5:
            o.setSetGateway(false);
            break;
        case 6:
            o.setTestPCConnectivity(false);
            break;
        case 8:
            o.setCfgGPRS(false);
            break;
        case 10:
            o.setDisplaySummary(false);
            break;
        }
    }
    return o;
}

QList<int> visibleBoxes(const frmCfgOptions* d)
{
    QList<int> out;
    for (int i : kAdvancedBoxes) {
        if (d->Check1(i)->isVisible())
            out << i;
    }
    return out;
}

bool open(clsCfgOptions& options, const QString& serial, std::function<void(frmCfgOptions*)> act)
{
    frmCfgOptions dialog;
    const auto script = whenModal<frmCfgOptions>(std::move(act));
    return dialog.GetCfgOptions(serial, options);
}
} // namespace

class tst_frmCfgOptions : public QObject {
    Q_OBJECT
private slots:
    void firstOpeningShowsBasicViewWithEveryBoxTicked()
    {
        clsCfgOptions options;
        QString caption, button;
        QList<int> visible;
        QMap<int, bool> ticked;
        bool gprsFrameVisible = true;
        const bool ok = open(options, QStringLiteral("12345"), [&](frmCfgOptions* d) {
            caption = d->windowTitle();
            button = shown(d->cmdOptions());
            visible = visibleBoxes(d);
            gprsFrameVisible = d->Frame1(2)->isVisible();
            for (int i : kAdvancedBoxes)
                ticked[i] = d->Check1(i)->isChecked();
            d->OKButton()->click();
        });
        QVERIFY(ok);
        QCOMPARE(caption, QStringLiteral("Configuration options for unit SN: 12345"));
        QCOMPARE(button, QStringLiteral("Advanced >>"));
        QCOMPARE(visible, kBasicBoxes);
        QVERIFY(!gprsFrameVisible);
        for (int i : kAdvancedBoxes)
            QVERIFY2(ticked[i], qPrintable(QString::number(i)));
        QCOMPARE(switches(options), switches(clsCfgOptions()));
    }

    // Starts from a record with Reboot and TestPPP off, so that OK has to
    // write both ways and the ways out that cancel have something to keep.
    void endings_data()
    {
        QTest::addColumn<bool>("advanced");
        QTest::addColumn<QList<int>>("clicked");
        QTest::addColumn<QString>("ending");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QList<int>>("offAfter");

        const QList<int> before = { 2, 4 };
        QTest::newRow("OK button after changes")
            << true << QList<int> { 0, 4, 8 } << "ok" << true << QList<int> { 0, 2, 8 };
        QTest::newRow("Return after changes")
            << true << QList<int> { 3, 10 } << "return" << true << QList<int> { 2, 3, 4, 10 };
        QTest::newRow("Cancel button after changes") << true << QList<int> { 0, 4, 8 } << "cancel" << false << before;
        QTest::newRow("Esc after changes") << true << QList<int> { 1, 10 } << "esc" << false << before;
        QTest::newRow("close box after changes") << false << QList<int> { 10 } << "close" << false << before;
        QTest::newRow("OK in basic view keeps the hidden switches")
            << false << QList<int> { 10 } << "ok" << true << QList<int> { 2, 4, 10 };
        QTest::newRow("OK unchanged") << false << QList<int> {} << "ok" << true << before;
    }
    void endings()
    {
        QFETCH(bool, advanced);
        QFETCH(QList<int>, clicked);
        QFETCH(QString, ending);
        QFETCH(bool, accepted);
        QFETCH(QList<int>, offAfter);

        clsCfgOptions options = withOff({ 2, 4 });
        const bool ok = open(options, QStringLiteral("7"), [&](frmCfgOptions* d) {
            if (advanced)
                QTest::mouseClick(d->cmdOptions(), Qt::LeftButton);
            for (int i : clicked)
                QTest::mouseClick(d->Check1(i), Qt::LeftButton, {}, QPoint(4, d->Check1(i)->height() / 2));
            if (ending == QLatin1String("ok"))
                QTest::mouseClick(d->OKButton(), Qt::LeftButton);
            else if (ending == QLatin1String("return"))
                QTest::keyClick(d, Qt::Key_Return);
            else if (ending == QLatin1String("cancel"))
                QTest::mouseClick(d->CancelButton(), Qt::LeftButton);
            else if (ending == QLatin1String("esc"))
                QTest::keyClick(d, Qt::Key_Escape);
            else
                d->close();
        });
        QCOMPARE(ok, accepted);
        QCOMPARE(switches(options), switches(withOff(offAfter)));
    }

    // Alt with a box's underlined letter toggles it, as a person at the
    // keyboard would clear Display Summary without the mouse.
    void mnemonicTogglesTheSummarySwitch()
    {
        clsCfgOptions options;
        const bool ok = open(options, QStringLiteral("9"), [](frmCfgOptions* d) {
            d->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(d));
            // A mnemonic clicks its button after a short animation.
            QSignalSpy toggled(d->Check1(10), &QCheckBox::toggled);
            QTest::keyClick(d, Qt::Key_D, Qt::AltModifier);
            QVERIFY(toggled.wait());
            QTest::keyClick(d, Qt::Key_Return);
        });
        QVERIFY(ok);
        QCOMPARE(switches(options), switches(withOff({ 10 })));
    }

    void advancedButtonSwitchesTheView()
    {
        clsCfgOptions options;
        QSize basic, advanced, basicAgain, afterDoubleClick;
        QString advancedCaption, basicCaption;
        QList<int> advancedVisible;
        bool gprsFrameVisible = false;
        open(options, QStringLiteral("1"), [&](frmCfgOptions* d) {
            basic = d->size();
            QTest::mouseClick(d->cmdOptions(), Qt::LeftButton);
            QApplication::processEvents();
            advanced = d->size();
            advancedCaption = shown(d->cmdOptions());
            advancedVisible = visibleBoxes(d);
            gprsFrameVisible = d->Frame1(2)->isVisible();
            QTest::mouseClick(d->cmdOptions(), Qt::LeftButton);
            QApplication::processEvents();
            basicAgain = d->size();
            basicCaption = shown(d->cmdOptions());
            // A double click is two clicks: out and back again.
            doubleClick(d->cmdOptions());
            QApplication::processEvents();
            afterDoubleClick = d->size();
            d->reject();
        });
        QCOMPARE(advancedCaption, QStringLiteral("<< Advanced"));
        QCOMPARE(basicCaption, QStringLiteral("Advanced >>"));
        QCOMPARE(advancedVisible, kAdvancedBoxes);
        QVERIFY(gprsFrameVisible);
        QVERIFY2(advanced.height() > basic.height(),
            qPrintable(QStringLiteral("%1 vs %2").arg(advanced.height()).arg(basic.height())));
        QCOMPARE(advanced.width(), basic.width());
        QCOMPARE(basicAgain, basic);
        QCOMPARE(afterDoubleClick, basic);
    }

    void nextRunOffersTheConfirmedChoicesInTheBasicView()
    {
        clsCfgOptions options;
        QVERIFY(open(options, QStringLiteral("1"), [](frmCfgOptions* d) {
            QTest::mouseClick(d->cmdOptions(), Qt::LeftButton);
            for (int i : { 1, 3 })
                QTest::mouseClick(d->Check1(i), Qt::LeftButton, {}, QPoint(4, d->Check1(i)->height() / 2));
            d->OKButton()->click();
        }));
        QMap<int, bool> ticked;
        bool advanced = true;
        QVERIFY(!open(options, QStringLiteral("2"), [&](frmCfgOptions* d) {
            advanced = d->advanced() || d->Check1(1)->isVisible();
            for (int i : kAdvancedBoxes)
                ticked[i] = d->Check1(i)->isChecked();
            d->CancelButton()->click();
        }));
        QVERIFY(!advanced);
        QCOMPARE(ticked, switches(withOff({ 1, 3 })));
        QCOMPARE(switches(options), switches(withOff({ 1, 3 })));
    }
};

QTEST_MAIN(tst_frmCfgOptions)
#include "tst_frmCfgOptions.moc"
