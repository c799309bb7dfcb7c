#include "NetLab.h"
#include "wizard/frmEnd.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class tst_frmEnd : public QObject {
    Q_OBJECT
private slots:
    void texts()
    {
        frmEnd page([] {});
        QCOMPARE(page.windowTitle(), QStringLiteral("Velmar Linkwise"));
        QCOMPARE(page.Label1->text(), QStringLiteral("The Velmar Linkwise cannot run on this PC"));
        QVERIFY(page.Label1->alignment().testFlag(Qt::AlignHCenter));
        // A title, in the pages' title font: Arial 15.75 pt bold.
        QCOMPARE(page.Label1->font().family(), QStringLiteral("Arial"));
        QCOMPARE(page.Label1->font().pointSizeF(), 15.75);
        QVERIFY(page.Label1->font().bold());
        QVERIFY(!page.Label2->font().bold());
        QCOMPARE(page.Label2->text(),
            QStringLiteral("Unfortuanly the Wizard was unable to locate an Ethernet network adaptor on your PC with "
                           "an IP address.  Please install a network adaptor or ensure that your network adapter is "
                           "configured with an IP address (any IP address) and try again."));
        QCOMPARE(page.OK->text(), QStringLiteral("&Exit"));
        QCOMPARE(page.size(), QSize(595, 363));
    }

    void nothingCutOffOrOverlapping()
    {
        frmEnd page([] {});
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        const QList<QWidget*> parts { page.Label1, page.Label2, page.OK };
        for (QWidget* w : parts) {
            QVERIFY2(page.rect().contains(w->geometry()), qPrintable(w->objectName()));
            if (auto* label = qobject_cast<QLabel*>(w))
                QVERIFY(label->heightForWidth(label->width()) <= label->height());
        }
        QVERIFY(!page.Label1->geometry().intersects(page.Label2->geometry()));
        QVERIFY(!page.Label2->geometry().intersects(page.OK->geometry()));
        QVERIFY(page.OK->sizeHint().width() <= page.OK->width());
    }

    void everyWayOutEndsTheProgram_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("exit button") << "button";
        QTest::newRow("close box") << "close";
        QTest::newRow("escape key") << "escape";
        QTest::newRow("return key") << "return";
        QTest::newRow("Alt+E") << "alt-e";
    }
    void everyWayOutEndsTheProgram()
    {
        QFETCH(QString, how);
        int ended = 0;
        frmEnd page([&ended] { ++ended; });
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        if (how == QLatin1String("button"))
            QTest::mouseClick(page.OK, Qt::LeftButton);
        else if (how == QLatin1String("close"))
            page.close();
        else if (how == QLatin1String("escape"))
            QTest::keyClick(&page, Qt::Key_Escape);
        else if (how == QLatin1String("return"))
            QTest::keyClick(&page, Qt::Key_Return);
        else {
            page.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&page));
            QTest::keyClick(&page, Qt::Key_E, Qt::AltModifier);
            QTest::qWait(250); // the button's pressed look before the click
        }
        QCOMPARE(ended, 1);
    }

    void shownWhenThePcHasOnlyLoopback()
    {
        if (const QString why = NetLab::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        const QString binary = qEnvironmentVariable("LINKWISE_BUILD_DIR") + QStringLiteral("/src/linkwise");
        QVERIFY2(QFileInfo(binary).isExecutable(), qPrintable(binary));
        NetLab lab;
        const QString pc = lab.addHost(QStringLiteral("pc"));
        QVERIFY2(!pc.isEmpty(), qPrintable(lab.lastError()));
        QTemporaryDir home;
        QString output;
        // Exit code 0 only comes from the page's own ending; the close arrives
        // through the binary's test hook.
        const bool ok = lab.run(pc,
            { QStringLiteral("env"), QStringLiteral("QT_QPA_PLATFORM=offscreen"),
                QStringLiteral("LINKWISE_AUTOCLOSE_MS=200"), QStringLiteral("XDG_CONFIG_HOME=") + home.path(),
                QStringLiteral("XDG_RUNTIME_DIR=") + home.path(), binary },
            &output);
        QVERIFY2(ok, qPrintable(lab.lastError()));
        QVERIFY2(output.contains(QStringLiteral("frmEnd shown\n")), qPrintable(output));
        QVERIFY2(!output.contains(QStringLiteral("wizard not yet available")), qPrintable(output));
        // Only the settings store's own reads happened: nothing was written back.
        QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral("Linkwise/Linkwise.ini"))));
    }
};

QTEST_MAIN(tst_frmEnd)
#include "tst_frmEnd.moc"
