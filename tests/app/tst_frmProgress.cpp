#include "Clicks.h"
#include "app/frmProgress.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <limits>

class tst_frmProgress : public QObject {
    Q_OBJECT
private slots:
    void captionsAndOperation()
    {
        bool cancel = false;
        frmProgress w(cancel);
        QCOMPARE(w.windowTitle(), QStringLiteral("Progress"));
        QCOMPARE(w.Label1()->text(), QStringLiteral("Current Operation:"));
        QCOMPARE(w.Label2()->text(), QString());
        w.SetOperation(QStringLiteral("Wait for internet connection"));
        QCOMPARE(w.Label2()->text(), QStringLiteral("Wait for internet connection"));
        QCOMPARE(w.ProgressBar1()->minimum(), 0);
        QCOMPARE(w.ProgressBar1()->maximum(), 100);
    }

    void setProgressClampsAndWritesBack_data()
    {
        QTest::addColumn<qint32>("given");
        QTest::addColumn<qint32>("shown");
        QTest::newRow("negative") << -5 << 0;
        QTest::newRow("lowest 32-bit") << std::numeric_limits<qint32>::min() << 0;
        QTest::newRow("zero") << 0 << 0;
        QTest::newRow("inside") << 55 << 55;
        QTest::newRow("full") << 100 << 100;
        QTest::newRow("above") << 150 << 100;
        QTest::newRow("highest 32-bit") << std::numeric_limits<qint32>::max() << 100;
    }
    void setProgressClampsAndWritesBack()
    {
        QFETCH(qint32, given);
        QFETCH(qint32, shown);
        bool cancel = false;
        frmProgress w(cancel);
        qint32 percent = given;
        w.SetProgress(percent);
        QCOMPARE(percent, shown);
        QCOMPARE(w.ProgressBar1()->value(), shown);
    }

    // Every way a person cancels raises the flag and leaves the window up:
    // the run closes it once it has seen the flag.
    void cancelRaisesTheFlagAndKeepsTheWindow_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("click") << "click";
        QTest::newRow("two clicks") << "twice";
        QTest::newRow("double click") << "double";
        QTest::newRow("Space on the focused button") << "space";
        QTest::newRow("Esc") << "esc";
    }
    void cancelRaisesTheFlagAndKeepsTheWindow()
    {
        QFETCH(QString, how);
        bool cancel = false;
        frmProgress w(cancel);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY2(!QApplication::activeModalWidget(), "the run must go on while the window is up");
        if (how == QLatin1String("click")) {
            QTest::mouseClick(w.CancelButton(), Qt::LeftButton);
        } else if (how == QLatin1String("twice")) {
            QTest::mouseClick(w.CancelButton(), Qt::LeftButton);
            QTest::mouseClick(w.CancelButton(), Qt::LeftButton);
        } else if (how == QLatin1String("double")) {
            doubleClick(w.CancelButton());
        } else if (how == QLatin1String("space")) {
            w.CancelButton()->setFocus();
            QTest::keyClick(w.CancelButton(), Qt::Key_Space);
        } else {
            QTest::keyClick(&w, Qt::Key_Escape);
        }
        QVERIFY(cancel);
        QVERIFY(w.isVisible());
    }

    // Return is what a person presses to dismiss a box; here it must not
    // stop a run that has been going for minutes.
    void returnDoesNotCancel()
    {
        bool cancel = false;
        frmProgress w(cancel);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClick(&w, Qt::Key_Return);
        QVERIFY(!cancel);
        QVERIFY(w.isVisible());
    }

    void closeByCodeSetsNothing()
    {
        bool cancel = false;
        frmProgress w(cancel);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
        QVERIFY(!cancel);
    }

    void flagSetEarlierIsLeftAlone()
    {
        bool cancel = true;
        frmProgress w(cancel);
        qint32 p = 10;
        w.SetProgress(p);
        w.SetOperation(QStringLiteral("IP Assignment"));
        QVERIFY(cancel);
    }
};

QTEST_MAIN(tst_frmProgress)
#include "tst_frmProgress.moc"
